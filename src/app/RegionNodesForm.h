#pragma once

#include <QDialog>

#include <array>

class QLineEdit;
class RegionNodesDlg;

// The "Region Nodes" form: a row of X and Y edits per node of the mapping region and the
// angle, exchanged with a RegionNodesDlg.
class RegionNodesForm : public QDialog {
    Q_OBJECT
public:
    explicit RegionNodesForm(RegionNodesDlg& dlg, QWidget* parent = nullptr);

    void accept() override;

    // Shows the form modally; true when confirmed.
    static bool RunModal(RegionNodesDlg& dlg, QWidget* parent);

private:
    RegionNodesDlg& m_dlg;
    std::array<QLineEdit*, 8> m_x{};
    std::array<QLineEdit*, 8> m_y{};
    QLineEdit* m_angle;
};
