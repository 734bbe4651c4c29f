#pragma once

#include "view/Tool.h"

// Scrolls the view so that the image follows the mouse while the button is held.
class PanTool : public Tool {
public:
    void BeginTracking(ToolEvent& e) override;
    void KeepTracking(ToolEvent& e) override;
    void EndTracking(ToolEvent& e) override;
    void Move(ToolEvent& e) override;
    void MoveRaw(ToolEvent& e) override;
    void GetScrollDirection(IPoint& direction) override;
    void Activate(ToolEvent& e) override;

private:
    ToolEvent m_reference;
};
