#pragma once

#include <QDialog>

// "About Kurvo": the program icon, the version line and the credit for the TIFF library.
class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget* parent = nullptr);
};
