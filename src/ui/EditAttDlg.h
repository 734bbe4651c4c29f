#pragma once

#include <QDialog>

class AttDlgFields;
class QLineEdit;

// "Edit Attribute": the name and value of a listed attribute. OK trims and, when the name
// was changed, checks it through the fields; a duplicate keeps the dialog open.
class EditAttDlg : public QDialog {
    Q_OBJECT
public:
    explicit EditAttDlg(AttDlgFields& fields, QWidget* parent = nullptr);

    void accept() override;

private:
    AttDlgFields& m_fields;
    QLineEdit* m_name;
    QLineEdit* m_value;
};
