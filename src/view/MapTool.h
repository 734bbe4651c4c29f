#pragma once

#include "platform/Geometry.h"
#include "view/Tool.h"

#include <memory>

class TransformMan;

// Draws a new mapping region or drags an edge or corner of it. It works on a private copy
// of the transform and hands that to one undoable task per gesture.
class MapTool : public Tool {
public:
    MapTool();
    ~MapTool() override;

    void BeginTracking(ToolEvent& e) override;
    void KeepTracking(ToolEvent& e) override;
    void EndTracking(ToolEvent& e) override;
    void Move(ToolEvent& e) override;
    void MoveRaw(ToolEvent& e) override;
    void Cancel(ToolEvent& e) override;
    void HideFeedback(ToolEvent& e) override;
    void ShowFeedback(ToolEvent& e) override;
    void Scrolled(ToolEvent& e) override;
    void Activate(ToolEvent& e) override;
    void Deactivate(ToolEvent& e) override;

    bool TakesControlDrag() const override { return true; }

    int GetHandle() const { return m_handle; }
    // The node a Control drag moves alone, -1 for none.
    int GetNode() const { return m_node; }
    TransformMan* GetManipulator() const { return m_man.get(); }

protected:
    // A fresh working copy of the document's transform; false without a document transform.
    bool ObtainManipulator();
    // Loads the working copy and applies the whole drag since the press to it.
    virtual void ApplyDragStep(ToolEvent& e);
    // What a press picks: the edges or corner (m_handle), with Control a single node
    // (m_node), and the point the drag takes along (m_anchor).
    void PickHandle(ToolEvent& e);
    // The working copy reshaped by the drag: one node, or the picked edges or corner.
    void ApplyShape(ToolEvent& e);
    // The status text of a shaping drag: the grabbed node's position.
    void ShowShapeStatus();
    // Whether the drag outline is on the window now.
    bool IsFeedbackShown() const { return m_tracking && m_handle >= 0 && !m_firstMove; }
    // The dotted XOR outline of the working region.
    void XorOutline(ToolEvent& e);
    void DragStep(ToolEvent& e);
    void Release(ToolEvent& e);
    void CancelGesture(ToolEvent& e);
    void CursorFromIndex(int index, const Cursor* none);

    DPoint m_anchor;
    std::unique_ptr<TransformMan> m_man;
    int m_handle = 0;
    int m_node = -1;
    bool m_firstMove = true;
    bool m_tracking = false;
};
