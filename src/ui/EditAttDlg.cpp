#include "ui/EditAttDlg.h"

#include "app/ContextHelp.h"
#include "document/AttDlgFields.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QVBoxLayout>

EditAttDlg::EditAttDlg(AttDlgFields& fields, QWidget* parent)
    : QDialog(parent), m_fields(fields),
      m_name(new QLineEdit(QString::fromStdString(fields.m_name), this)),
      m_value(new QLineEdit(QString::fromStdString(fields.m_value), this))
{
    setWindowTitle(QStringLiteral("Edit Attribute"));
    m_name->setObjectName(QStringLiteral("Name"));
    m_value->setObjectName(QStringLiteral("Value"));
    m_name->setMinimumWidth(200);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("&Name:"), m_name);
    form->addRow(QStringLiteral("&Value:"), m_value);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    m_value->setFocus();
    m_value->selectAll();
    AddContextHelp(this);
}

void EditAttDlg::accept()
{
    m_fields.m_name = m_name->text().toStdString();
    m_fields.m_value = m_value->text().toStdString();
    if (!m_fields.OnOK()) {
        m_name->setFocus();
        m_name->selectAll();
        return;
    }
    QDialog::accept();
}
