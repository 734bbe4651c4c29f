#pragma once

#include "view/MapTool.h"

// Turns the mapping region about its bottom-left corner by the angle the mouse sweeps around
// it; a press on the outline drags that edge or corner instead, as the mapping tool does.
class RotateTool : public MapTool {
public:
    void BeginTracking(ToolEvent& e) override;
    void Move(ToolEvent& e) override;
    void Draw(ToolEvent& e) override;
    void Activate(ToolEvent& e) override;
    void Deactivate(ToolEvent& e) override;

    virtual void ApplyDrag(ToolEvent& e);
    DPoint GetPivot() const { return m_pivot; }

protected:
    void ApplyDragStep(ToolEvent& e) override;

private:
    DPoint m_current;
    DPoint m_pivot;
};
