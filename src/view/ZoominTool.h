#pragma once

#include "view/Tool.h"

// Zooms the view in by one step at each click, keeping the clicked image point under the
// mouse.
class ZoominTool : public Tool {
public:
    void BeginTracking(ToolEvent& e) override;
    void KeepTracking(ToolEvent& e) override;
    void EndTracking(ToolEvent& e) override;
    void Move(ToolEvent& e) override;
    void MoveRaw(ToolEvent& e) override;
    void Activate(ToolEvent& e) override;
};
