#pragma once

#include <QDialog>

class QCheckBox;
class QLineEdit;
class RegGridDlg;

// The "Regular Grid Snap" form: per axis the snap check box, origin, step and show check
// box of a RegGridDlg. An axis's origin, step and show controls are enabled while it snaps.
class RegGridDlgForm : public QDialog {
    Q_OBJECT
public:
    explicit RegGridDlgForm(RegGridDlg& dlg, QWidget* parent = nullptr);

    void accept() override;

    static bool RunModal(RegGridDlg& dlg, QWidget* parent);

private:
    void EnableAxes();

    RegGridDlg& m_dlg;
    QCheckBox* m_snapX;
    QCheckBox* m_snapY;
    QLineEdit* m_originX;
    QLineEdit* m_stepX;
    QLineEdit* m_originY;
    QLineEdit* m_stepY;
    QCheckBox* m_showX;
    QCheckBox* m_showY;
};
