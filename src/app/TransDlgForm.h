#pragma once

#include <QDialog>

class QCheckBox;
class QLineEdit;
class TransDlg;

// The "Axis Mapping" form: the four limits and the two logarithmic flags of a TransDlg.
// OK reads the boxes into the dialog's fields and lets the dialog check and apply them.
class TransDlgForm : public QDialog {
    Q_OBJECT
public:
    explicit TransDlgForm(TransDlg& dlg, QWidget* parent = nullptr);

    void accept() override;

    static bool RunModal(TransDlg& dlg, QWidget* parent);

private:
    TransDlg& m_dlg;
    QLineEdit* m_xMin;
    QLineEdit* m_xMax;
    QLineEdit* m_yMin;
    QLineEdit* m_yMax;
    QCheckBox* m_xLog;
    QCheckBox* m_yLog;
};
