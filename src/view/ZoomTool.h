#pragma once

#include "view/Tool.h"

// Zooms the view in or out by one step at each click, keeping the clicked image point under
// the mouse.
class ZoomTool : public Tool {
public:
    explicit ZoomTool(bool zoomIn) : m_zoomIn(zoomIn) {}

    void BeginTracking(ToolEvent& e) override;
    void KeepTracking(ToolEvent& e) override;
    void EndTracking(ToolEvent& e) override;
    void Move(ToolEvent& e) override;
    void MoveRaw(ToolEvent& e) override;
    void Activate(ToolEvent& e) override;

    bool ZoomsIn() const { return m_zoomIn; }

private:
    bool m_zoomIn;
};
