#include "app/RegionNodesForm.h"

#include "app/DoubleText.h"
#include "app/FormControls.h"
#include "document/RegionNodesDlg.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

#include <string>

RegionNodesForm::RegionNodesForm(RegionNodesDlg& dlg, QWidget* parent)
    : QDialog(parent), m_dlg(dlg), m_angle(NumberEdit("Angle", dlg.m_angle, this, 110))
{
    setWindowTitle(QStringLiteral("Region Nodes"));
    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("Node"), this), 0, 0);
    grid->addWidget(new QLabel(QStringLiteral("X (pixels)"), this), 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Y (pixels)"), this), 0, 2);
    for (int i = 0; i < RegionNodesDlg::kNodes; ++i) {
        const std::string n = std::to_string(i + 1);
        m_x[i] = NumberEdit(("X" + n).c_str(), dlg.m_nodes[i].x, this, 110);
        m_y[i] = NumberEdit(("Y" + n).c_str(), dlg.m_nodes[i].y, this, 110);
        grid->addWidget(new QLabel(QStringLiteral("%1  %2").arg(i + 1).arg(
                                       QString::fromLatin1(RegionNodesDlg::kNodeNames[i])),
                                   this),
                        i + 1, 0);
        grid->addWidget(m_x[i], i + 1, 1);
        grid->addWidget(m_y[i], i + 1, 2);
    }
    grid->addWidget(new QLabel(QStringLiteral("Angle (degrees)"), this), 9, 0);
    grid->addWidget(m_angle, 9, 1);

    FinishForm(this, grid);
}

void RegionNodesForm::accept()
{
    for (int i = 0; i < RegionNodesDlg::kNodes; ++i) {
        if (!DoubleText::Exchange(m_x[i], m_dlg.m_nodes[i].x) ||
            !DoubleText::Exchange(m_y[i], m_dlg.m_nodes[i].y))
            return;
    }
    if (!DoubleText::Exchange(m_angle, m_dlg.m_angle))
        return;
    if (m_dlg.OnOK())
        QDialog::accept();
}

bool RegionNodesForm::RunModal(RegionNodesDlg& dlg, QWidget* parent)
{
    RegionNodesForm form(dlg, parent);
    return form.exec() == QDialog::Accepted;
}
