#pragma once

#include <QDialog>

class PdfPageDlg;
class QLabel;
class QSpinBox;

// The "PDF Page" form: the page (only when the PDF has several) and the resolution of a
// PdfPageDlg, with the size of the picture they give.
class PdfPageForm : public QDialog {
    Q_OBJECT
public:
    explicit PdfPageForm(PdfPageDlg& dlg, QWidget* parent = nullptr);

    void accept() override;

    static bool RunModal(PdfPageDlg& dlg, QWidget* parent);

private:
    void Exchange();

    PdfPageDlg& m_dlg;
    QSpinBox* m_page = nullptr;
    QSpinBox* m_dpi;
    QLabel* m_size;
};
