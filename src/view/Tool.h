#pragma once

#include "platform/ToolEvent.h"
#include "view/ViewKey.h"

#include <memory>
#include <string>

class CKurvoView;
class Cursor;
class PlotData;
class Task;
class TrackMgr;

// An interactive tool of the image view. The view owns its tools and hands them the events
// of one gesture at a time through the tracking manager: a press, moves with the button
// held, a release; moves without a button in between.
class Tool {
public:
    Tool() = default;
    virtual ~Tool();
    Tool(const Tool&) = delete;
    Tool& operator=(const Tool&) = delete;

    virtual void BeginTracking(ToolEvent& e);
    virtual void KeepTracking(ToolEvent& e);
    virtual void EndTracking(ToolEvent& e);
    // A move without a button, after snapping; MoveRaw sees it before snapping.
    virtual void Move(ToolEvent& e);
    virtual void MoveRaw(ToolEvent& e);
    // Enter and Escape.
    virtual void Accept(ToolEvent& e);
    virtual void Cancel(ToolEvent& e);
    // Redraws the feedback after the view repainted.
    virtual void Draw(ToolEvent& e);
    // Around a scroll of the view: the feedback is taken off and put back.
    virtual void HideFeedback(ToolEvent& e);
    virtual void ShowFeedback(ToolEvent& e);
    // A press (phase 1) or release (phase 3) with Control held.
    virtual void ModifierClick(ToolEvent& e, int phase);
    // A key the view would otherwise use itself; true when the tool took it.
    virtual bool KeyDown(ViewKey key, ToolEvent& e);
    // Whether a drag with Control held comes to the tool as a drag (not a modifier click).
    virtual bool TakesControlDrag() const { return false; }

    // Pane 0 of the status bar, formatted in the C locale.
    void SetStatus(const char* format, ...) __attribute__((format(printf, 2, 3)));
    void SetStatusPane(int pane, const char* format, ...) __attribute__((format(printf, 3, 4)));
    // The graph position of the event in pane 0, with as many digits as one pixel deserves.
    virtual void ShowPlotPosition(ToolEvent& e);
    // "Plot Position (x, y)" with significant digits reaching two below the graph size of one
    // pixel (extent).
    static std::string PositionText(DPoint graph, DPoint extent);
    // The graph size of one logical unit at the event in pane 5.
    virtual void ShowPixelSize(ToolEvent& e);

    virtual void SetManager(TrackMgr* manager) { m_mgr = manager; }
    TrackMgr* GetManager() const { return m_mgr; }
    // Every view of the document but this tool's view updates with hint 0.
    void UpdateOtherViews();
    // Called after the view scrolled, with an event at the mouse in the new position.
    virtual void Scrolled(ToolEvent& e);
    // Signs of the auto-scroll while this tool drags outside the window.
    virtual void GetScrollDirection(IPoint& direction);
    virtual void Activate(ToolEvent& e);
    virtual void Deactivate(ToolEvent& e);
    void SetToolCursor(const Cursor* cursor);
    void RestoreCursor();
    // Performs the task through the data base; false (and the task is dropped) on failure.
    bool Execute(std::unique_ptr<Task> task);

    void SetView(CKurvoView* view) { m_view = view; }
    CKurvoView* GetView() const { return m_view; }
    void SetData(PlotData* data) { m_data = data; }
    PlotData* GetData() const { return m_data; }
    const Cursor* GetCursor() const { return m_cursor; }

protected:
    // The base status text of the tracking operations.
    void ShowTrackStatus(const char* what, const ToolEvent& e);

    CKurvoView* m_view = nullptr;
    const Cursor* m_prevCursor = nullptr;
    const Cursor* m_cursor = nullptr;
    TrackMgr* m_mgr = nullptr;
    PlotData* m_data = nullptr;
};
