#pragma once

#include "ViewTestDoc.h"
#include "platform/RecordingUiServices.h"
#include "view/CKurvoView.h"
#include "view/HeadlessViewHost.h"

#include <initializer_list>
#include <map>
#include <memory>

// A document with an image, shown by a real view on a headless host, with the process's
// services recorded. The view has had its first showing.
class ViewHarness {
public:
    ViewHarness(int imageW, int imageH, int clientW, int clientH,
                const ViewSettings& settings = ViewSettings{}, int bitCount = 24);
    ~ViewHarness();

    // Mouse and keys as the window reports them; Press/Release hold the button.
    void Press(int x, int y) { view->OnLButtonDown({x, y}); }
    void Move(int x, int y) { view->OnMouseMove({x, y}); }
    void Release(int x, int y) { view->OnLButtonUp({x, y}); }
    void Click(int x, int y) { Press(x, y), Release(x, y); }
    // Presses at the first point, moves through the others and releases at the last.
    void Drag(std::initializer_list<IPoint> path);
    void KeyDown(ViewKey key) { view->OnKeyDown(key, 1); }
    // Holds a key for the key-state queries.
    void Hold(KeyCode key) { ui.keysDown.insert(key); }
    void Let(KeyCode key) { ui.keysDown.erase(key); }
    // Fires each running timer n times, as n of its periods passing would.
    void Tick(int n)
    {
        for (int i = 0; i < n; ++i)
            for (const auto& [id, timer] : std::map(ui.timers))
                ui.FireTimer(id);
    }
    // Paints what is pending, as the message loop would; Repaint erases and paints it all.
    void Flush() { host.Flush(); }
    void Repaint() { view->Invalidate(true), host.Flush(); }
    // Zoom 1 at the given scroll position, painted.
    void ActualPixelsAt(IPoint scroll = {0, 0})
    {
        view->ActualPixels(), view->ScrollToPosition(scroll), Flush();
    }

    CommandState State(CommandId id);
    ToolEvent EventAt(int x, int y);
    std::uint32_t Pixel(int x, int y) const { return view->GetCanvas().DevicePixel(x, y); }
    std::vector<std::uint32_t> Snapshot() const;
    std::string Status(int pane = 0) { return ui.panes[pane]; }

    RecordingUiServices ui;
    ViewTestDoc doc;
    HeadlessViewHost host;
    std::unique_ptr<CKurvoView> view;
};

// The screen colour (0xFFRRGGBB) the pattern image shows at image pixel (x, y).
inline std::uint32_t PatternPixel(int x, int y)
{
    return ColourToPixel(PatternColour(x, y));
}
