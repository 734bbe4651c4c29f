#pragma once

#include "view/ViewHost.h"

class CKurvoView;

// A window without a screen for the image view: a client size set by its owner, repaints
// run when asked for (UpdateNow) or by Flush, and cursor, status texts, key state and timers
// go to the process's UiServices (a RecordingUiServices in tests).
class HeadlessViewHost : public ViewHost {
public:
    explicit HeadlessViewHost(int width = 640, int height = 480) : m_size{width, height} {}

    void SetView(CKurvoView* view) { m_view = view; }
    // Resizes the client area and tells the view.
    void Resize(int width, int height);

    ISize GetClientSize() const override { return m_size; }
    void ScrollBarsChanged() override { ++scrollBarUpdates; }
    void Invalidate(bool erase) override;
    void UpdateNow() override;
    void CanvasChanged() override { ++canvasChanges; }
    void SetCapture() override { m_capture = true; }
    void ReleaseCapture() override { m_capture = false; }
    bool HasCapture() const override { return m_capture; }
    bool HasFocus() const override { return focus; }
    void SetCursor(CursorShape shape) override;
    void SetStatusText(int pane, const std::string& text) override;
    bool IsKeyDown(KeyCode key) const override;
    int StartTimer(int periodMs, std::function<void()> callback) override;
    void KillTimer(int id) override;

    // Runs a pending repaint, as the window's message loop would.
    void Flush() { UpdateNow(); }
    bool IsInvalid() const { return m_invalid; }

    int paints = 0;
    int invalidations = 0;
    int erasingInvalidations = 0;
    int scrollBarUpdates = 0;
    int canvasChanges = 0;
    bool focus = true;

private:
    CKurvoView* m_view = nullptr;
    ISize m_size;
    bool m_capture = false;
    bool m_invalid = false;
};
