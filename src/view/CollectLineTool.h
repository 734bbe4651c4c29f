#pragma once

#include "model/util/SimpleArray.h"
#include "view/Tool.h"

// Measures a segment on the image in graph units: a start and an end placed by dragging or
// by two clicks, shown as a rubber band with markers, its length and angle in the status.
// It stores nothing in the document.
class CollectLineTool : public Tool {
public:
    void BeginTracking(ToolEvent& e) override;
    void KeepTracking(ToolEvent& e) override;
    void EndTracking(ToolEvent& e) override;
    void Move(ToolEvent& e) override;
    void MoveRaw(ToolEvent& e) override;
    void Cancel(ToolEvent& e) override;
    void Draw(ToolEvent& e) override;
    void Activate(ToolEvent& e) override;
    void Deactivate(ToolEvent& e) override;

    virtual void ShowSegment(ToolEvent& e);
    virtual void DrawLine(ToolEvent& e);
    virtual void DrawMarker(ToolEvent& e, int index);

    int GetPointCount() const { return m_pt; }
    int GetClickCount() const { return m_click; }
    bool IsLineShown() const { return m_lineShown != 0; }
    const ToolEvent& GetPoint(int i) const { return m_events[i]; }

private:
    // Room for n records.
    void Reserve(int n);
    // Selects the black XOR feedback pen on e; EndFeedback undoes it.
    static void BeginFeedback(ToolEvent& e);
    static void EndFeedback(ToolEvent& e);
    // The rubber band as drawn: shown between the recorded ends, so that it is always taken
    // off where it was put, even when the end followed the cursor in between.
    void XorShownLine(ToolEvent& e);
    void ShowLine(ToolEvent& e);
    void HideLine(ToolEvent& e);

    SimpleArray<ToolEvent> m_events;
    int m_pt = 0;
    int m_click = 0;
    int m_lineShown = 0;
    DPoint m_shown[2];
};
