#pragma once

#include <QDialog>

class QTextBrowser;

// The user guide bundled with the program: how to open a plot, define the region, map the
// axes, collect points and export them.
class HelpWindow : public QDialog {
    Q_OBJECT
public:
    static const char* const kGuide;

    explicit HelpWindow(QWidget* parent = nullptr);
    QTextBrowser* Browser() const { return m_browser; }

private:
    QTextBrowser* m_browser;
};
