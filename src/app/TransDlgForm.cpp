#include "app/TransDlgForm.h"

#include "app/DoubleText.h"
#include "app/FormControls.h"
#include "document/TransDlg.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

TransDlgForm::TransDlgForm(TransDlg& dlg, QWidget* parent)
    : QDialog(parent), m_dlg(dlg), m_xMin(NumberEdit("XMin", dlg.m_xMin, this)),
      m_xMax(NumberEdit("XMax", dlg.m_xMax, this)), m_yMin(NumberEdit("YMin", dlg.m_yMin, this)),
      m_yMax(NumberEdit("YMax", dlg.m_yMax, this)),
      m_xLog(CheckBox("X Logarithmic", "XLog", dlg.m_xLog, this)),
      m_yLog(CheckBox("Y Logarithmic", "YLog", dlg.m_yLog, this))
{
    setWindowTitle(QStringLiteral("Axis Mapping"));
    auto* grid = new QGridLayout;
    auto label = [this](const char* text, QLineEdit* buddy) {
        auto* l = new QLabel(QString::fromLatin1(text), this);
        l->setBuddy(buddy);
        return l;
    };
    grid->addWidget(label("X &Min:", m_xMin), 0, 0);
    grid->addWidget(m_xMin, 0, 1);
    grid->addWidget(label("X M&ax:", m_xMax), 1, 0);
    grid->addWidget(m_xMax, 1, 1);
    grid->addWidget(m_xLog, 2, 1);
    grid->setRowMinimumHeight(3, 8);
    grid->addWidget(label("Y M&in:", m_yMin), 4, 0);
    grid->addWidget(m_yMin, 4, 1);
    grid->addWidget(label("Y Ma&x:", m_yMax), 5, 0);
    grid->addWidget(m_yMax, 5, 1);
    grid->addWidget(m_yLog, 6, 1);
    grid->setColumnMinimumWidth(1, 160);

    FinishForm(this, grid);
}

void TransDlgForm::accept()
{
    if (!DoubleText::Exchange(m_xMin, m_dlg.m_xMin) ||
        !DoubleText::Exchange(m_xMax, m_dlg.m_xMax) ||
        !DoubleText::Exchange(m_yMin, m_dlg.m_yMin) || !DoubleText::Exchange(m_yMax, m_dlg.m_yMax))
        return;
    m_dlg.m_xLog = m_xLog->isChecked() ? 1 : 0;
    m_dlg.m_yLog = m_yLog->isChecked() ? 1 : 0;
    if (m_dlg.OnOK())
        QDialog::accept();
}

bool TransDlgForm::RunModal(TransDlg& dlg, QWidget* parent)
{
    TransDlgForm form(dlg, parent);
    return form.exec() == QDialog::Accepted;
}
