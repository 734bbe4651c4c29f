#pragma once

#include "platform/Geometry.h"
#include "platform/UiServices.h"

#include <functional>
#include <string>

// What the image view needs of the window that hosts it. The desktop widget implements it
// with its toolkit; HeadlessViewHost implements it for tests and batch use.
class ViewHost {
public:
    virtual ~ViewHost() = default;

    // Size of the client area in window pixels.
    virtual ISize GetClientSize() const = 0;
    // The view's scroll position or scroll sizes changed: the scroll bars follow.
    virtual void ScrollBarsChanged() {}
    // Marks the whole client area for repainting, with or without erasing the background.
    virtual void Invalidate(bool erase) = 0;
    // Repaints what is marked at once (the view's OnPaint runs before this returns).
    virtual void UpdateNow() = 0;
    // The view drew straight on its canvas (tool feedback): show the canvas as it is.
    virtual void CanvasChanged() {}

    virtual void SetCapture() = 0;
    virtual void ReleaseCapture() = 0;
    virtual bool HasCapture() const = 0;
    // Whether the view window has the keyboard focus.
    virtual bool HasFocus() const { return true; }

    virtual void SetCursor(CursorShape shape) = 0;
    // Pane 0 is the free-text message pane of the frame's status bar.
    virtual void SetStatusText(int pane, const std::string& text) = 0;
    virtual bool IsKeyDown(KeyCode key) const = 0;

    // Window timers: the callback runs every period until the timer is killed.
    virtual int StartTimer(int periodMs, std::function<void()> callback) = 0;
    virtual void KillTimer(int id) = 0;
};
