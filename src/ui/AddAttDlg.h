#pragma once

#include <QDialog>

class AttDlgFields;
class QCheckBox;
class QLineEdit;

// "Define Attribute": name, value and "Add only to current set" over the dialog fields.
// OK trims and checks the name through the fields and stays open on a duplicate.
class AddAttDlg : public QDialog {
    Q_OBJECT
public:
    explicit AddAttDlg(AttDlgFields& fields, QWidget* parent = nullptr);

    void accept() override;

private:
    AttDlgFields& m_fields;
    QLineEdit* m_name;
    QLineEdit* m_value;
    QCheckBox* m_currentSetOnly;
};
