#pragma once

#include "view/Tool.h"

// Adds one data point to the current set at every release on the image, as an undoable
// task, and shows the graph position under the mouse.
class CollectTool : public Tool {
public:
    void BeginTracking(ToolEvent& e) override;
    void KeepTracking(ToolEvent& e) override;
    void EndTracking(ToolEvent& e) override;
    void Move(ToolEvent& e) override;
    void MoveRaw(ToolEvent& e) override;
    void Activate(ToolEvent& e) override;
    void Deactivate(ToolEvent& e) override;

private:
    Colour m_ptsColour = 255;
};
