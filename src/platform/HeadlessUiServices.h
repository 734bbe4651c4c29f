#pragma once

#include "platform/UiServices.h"

#include <cstdio>
#include <map>

// Services of a program without a desktop: message boxes become lines on a stream
// (standard error by default) and answer with their default button; the clipboard lives
// in memory; prompts are cancelled; timers never fire on their own.
class HeadlessUiServices : public UiServices {
public:
    explicit HeadlessUiServices(std::FILE* out = stderr) : m_out(out) {}

    MsgResult MessageBox(const std::string& text, const std::string& caption, MsgButtons buttons,
                         MsgIcon icon) override;
    void BeginWaitCursor() override { ++m_waitDepth; }
    void EndWaitCursor() override
    {
        if (m_waitDepth > 0)
            --m_waitDepth;
    }
    bool SetClipboard(const ClipboardContent& content) override;
    ClipboardContent GetClipboard() override { return m_clipboard; }
    bool ClipboardHasBitmap() override { return m_clipboard.dib.has_value(); }
    bool PromptFileName(FilePrompt&) override { return false; }
    void SetStatusPane(int pane, const std::string& text) override { m_panes[pane] = text; }
    void SetCursor(CursorShape shape) override { m_cursor = shape; }
    bool IsKeyDown(KeyCode) override { return false; }
    int StartTimer(int periodMs, std::function<void()> callback) override;
    void KillTimer(int id) override;

protected:
    std::FILE* m_out;
    int m_waitDepth = 0;
    ClipboardContent m_clipboard;
    std::map<int, std::string> m_panes;
    CursorShape m_cursor = CursorShape::Arrow;
    int m_nextTimer = 1;
};
