#include "app/RegGridDlgForm.h"

#include "app/DoubleText.h"
#include "app/FormControls.h"
#include "document/RegGridDlg.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

RegGridDlgForm::RegGridDlgForm(RegGridDlg& dlg, QWidget* parent)
    : QDialog(parent), m_dlg(dlg), m_snapX(CheckBox("&X:", "SnapX", dlg.m_snapX, this)),
      m_snapY(CheckBox("&Y:", "SnapY", dlg.m_snapY, this)),
      m_originX(NumberEdit("OriginX", dlg.m_originX, this, 110)),
      m_stepX(NumberEdit("StepX", dlg.m_stepX, this, 110)),
      m_originY(NumberEdit("OriginY", dlg.m_originY, this, 110)),
      m_stepY(NumberEdit("StepY", dlg.m_stepY, this, 110)),
      m_showX(CheckBox("Show X", "ShowX", dlg.m_showX, this)),
      m_showY(CheckBox("Show Y", "ShowY", dlg.m_showY, this))
{
    setWindowTitle(QStringLiteral("Regular Grid Snap"));
    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("Origin"), this), 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Step"), this), 0, 2);
    grid->addWidget(m_snapX, 1, 0);
    grid->addWidget(m_originX, 1, 1);
    grid->addWidget(m_stepX, 1, 2);
    grid->addWidget(m_showX, 1, 3);
    grid->addWidget(m_snapY, 2, 0);
    grid->addWidget(m_originY, 2, 1);
    grid->addWidget(m_stepY, 2, 2);
    grid->addWidget(m_showY, 2, 3);

    connect(m_snapX, &QCheckBox::clicked, this, [this](bool checked) {
        m_dlg.OnSnapX(checked);
        EnableAxes();
    });
    connect(m_snapY, &QCheckBox::clicked, this, [this](bool checked) {
        m_dlg.OnSnapY(checked);
        EnableAxes();
    });
    EnableAxes();

    FinishForm(this, grid);
}

void RegGridDlgForm::EnableAxes()
{
    const bool x = m_dlg.XControlsEnabled();
    const bool y = m_dlg.YControlsEnabled();
    for (QWidget* w : {static_cast<QWidget*>(m_originX), static_cast<QWidget*>(m_stepX),
                       static_cast<QWidget*>(m_showX)})
        w->setEnabled(x);
    for (QWidget* w : {static_cast<QWidget*>(m_originY), static_cast<QWidget*>(m_stepY),
                       static_cast<QWidget*>(m_showY)})
        w->setEnabled(y);
}

void RegGridDlgForm::accept()
{
    if (!DoubleText::Exchange(m_originX, m_dlg.m_originX) ||
        !DoubleText::Exchange(m_stepX, m_dlg.m_stepX) ||
        !DoubleText::Exchange(m_originY, m_dlg.m_originY) ||
        !DoubleText::Exchange(m_stepY, m_dlg.m_stepY))
        return;
    m_dlg.m_snapX = m_snapX->isChecked() ? 1 : 0;
    m_dlg.m_snapY = m_snapY->isChecked() ? 1 : 0;
    m_dlg.m_showX = m_showX->isChecked() ? 1 : 0;
    m_dlg.m_showY = m_showY->isChecked() ? 1 : 0;
    if (m_dlg.OnOK())
        QDialog::accept();
}

bool RegGridDlgForm::RunModal(RegGridDlg& dlg, QWidget* parent)
{
    RegGridDlgForm form(dlg, parent);
    return form.exec() == QDialog::Accepted;
}
