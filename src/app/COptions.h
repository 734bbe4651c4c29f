#pragma once

#include <QDialog>

class OptionsDlg;
class QCheckBox;
class QSpinBox;

// The "Options" form: five check boxes over the fields of an OptionsDlg, written back
// only when the user presses OK.
class COptions : public QDialog {
    Q_OBJECT
public:
    COptions(OptionsDlg& fields, QWidget* parent = nullptr);

    void accept() override;

    // Shows the form modally; true when confirmed. The runner the application installs.
    static bool RunModal(OptionsDlg& fields, QWidget* parent);

private:
    OptionsDlg& m_fields;
    QCheckBox* m_sortData;
    QCheckBox* m_saveBitmapCopy;
    QCheckBox* m_reuseMappingData;
    QCheckBox* m_allowCaching;
    QCheckBox* m_uncertaintyColumns;
    QSpinBox* m_magnifierFactor;
};
