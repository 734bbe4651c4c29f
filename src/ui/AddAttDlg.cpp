#include "ui/AddAttDlg.h"

#include "app/ContextHelp.h"
#include "app/FormControls.h"
#include "document/AttDlgFields.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QVBoxLayout>

AddAttDlg::AddAttDlg(AttDlgFields& fields, QWidget* parent)
    : QDialog(parent), m_fields(fields),
      m_name(new QLineEdit(QString::fromStdString(fields.m_name), this)),
      m_value(new QLineEdit(QString::fromStdString(fields.m_value), this)),
      m_currentSetOnly(new QCheckBox(QStringLiteral("Add only to current set"), this))
{
    setWindowTitle(QStringLiteral("Define Attribute"));
    m_name->setObjectName(QStringLiteral("Name"));
    m_value->setObjectName(QStringLiteral("Value"));
    m_currentSetOnly->setObjectName(QStringLiteral("CurrentSetOnly"));
    m_currentSetOnly->setChecked(fields.m_currentSetOnly != 0);
    m_name->setMinimumWidth(200);
    m_name->selectAll();

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("&Name:"), m_name);
    form->addRow(QStringLiteral("&Value:"), m_value);
    form->addRow(QString(), m_currentSetOnly);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    TabInReadingOrder(this);
    AddContextHelp(this);
}

void AddAttDlg::accept()
{
    m_fields.m_name = m_name->text().toStdString();
    m_fields.m_value = m_value->text().toStdString();
    m_fields.m_currentSetOnly = m_currentSetOnly->isChecked() ? 1 : 0;
    if (!m_fields.OnOK()) {
        m_name->setFocus();
        m_name->selectAll();
        return;
    }
    QDialog::accept();
}
