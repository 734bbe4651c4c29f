#pragma once

#include "platform/UiServices.h"

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QWidget>

#include <map>
#include <memory>

class QTimer;

// The desktop's services on Qt: message boxes, the wait cursor, the clipboard (text, and
// the image both as "image/bmp" and in Qt's own image format), file dialogs, QTimer timers,
// cursors and the key state.
class QtUiServices : public QObject, public UiServices {
public:
    QtUiServices();
    ~QtUiServices() override;

    MsgResult MessageBox(const std::string& text, const std::string& caption, MsgButtons buttons,
                         MsgIcon icon) override;
    void BeginWaitCursor() override;
    void EndWaitCursor() override;
    bool SetClipboard(const ClipboardContent& content) override;
    ClipboardContent GetClipboard() override;
    bool ClipboardHasBitmap() override;
    bool PromptFileName(FilePrompt& prompt) override;
    void SetStatusPane(int pane, const std::string& text) override;
    void SetCursor(CursorShape shape) override;
    bool IsKeyDown(KeyCode key) override;
    int StartTimer(int periodMs, std::function<void()> callback) override;
    void KillTimer(int id) override;

    // Where status texts go (the main frame's status bar).
    void SetStatusSink(std::function<void(int, const std::string&)> sink);
    // The widget whose cursor SetCursor changes; null leaves cursors alone.
    void SetCursorWidget(QWidget* widget) { m_cursorWidget = widget; }
    CursorShape CurrentCursor() const { return m_cursor; }
    int WaitDepth() const { return m_waitDepth; }
    int RunningTimers() const { return static_cast<int>(m_timers.size()); }

    // A packed bitmap (header, colour table, pixels) as a BMP file: the 14-byte file
    // header put in front. Empty when the header is not a sound bitmap header.
    static QByteArray DibToBmpFile(const std::vector<std::uint8_t>& dib);
    // The packed bitmap inside a BMP file; false when the data is not one.
    static bool BmpFileToDib(const QByteArray& file, std::vector<std::uint8_t>& dib);
    // "Description|*.a;*.b" as a file dialog filter "Description (*.a *.b)".
    static QString QtFilter(const std::string& filter);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    int m_waitDepth = 0;
    bool m_spaceDown = false;
    bool m_zDown = false;
    bool m_xDown = false;
    std::map<int, QTimer*> m_timers;
    int m_nextTimer = 1;
    std::function<void(int, const std::string&)> m_statusSink;
    QPointer<QWidget> m_cursorWidget;
    CursorShape m_cursor = CursorShape::Arrow;
};
