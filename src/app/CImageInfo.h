#pragma once

#include <QDialog>

#include <string>

class QPlainTextEdit;

// "Image Information": the description of a document's image in a read-only box with
// scroll bars, and a "Close" button.
class CImageInfo : public QDialog {
    Q_OBJECT
public:
    explicit CImageInfo(const std::string& text = std::string(), QWidget* parent = nullptr);

    std::string m_text;

    static void Show(const std::string& text, QWidget* parent);

private:
    QPlainTextEdit* m_box;
};
