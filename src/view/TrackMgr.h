#pragma once

#include "view/Tool.h"

#include <memory>

class SnapCheck;
class SnapCheckGroup;

// The tracking manager of the image view: a tool that hands every event to the current tool,
// runs the press-drag-release state machine, snaps positions before the tool sees them
// (unless Shift is held) and keeps the tool from before a temporary tool.
class TrackMgr : public Tool {
public:
    enum State { kIdle = 0, kBegan = 1, kTracking = 2, kEnding = 3, kModifierClick = 4 };

    TrackMgr();
    ~TrackMgr() override;

    void BeginTracking(ToolEvent& e) override;
    void KeepTracking(ToolEvent& e) override;
    void EndTracking(ToolEvent& e) override;
    void Move(ToolEvent& e) override;
    void MoveRaw(ToolEvent& e) override;
    void Accept(ToolEvent& e) override;
    void Cancel(ToolEvent& e) override;
    void Draw(ToolEvent& e) override;
    void GetScrollDirection(IPoint& direction) override;
    void Activate(ToolEvent& e) override;
    void Deactivate(ToolEvent& e) override;

    int GetState() const { return m_state; }
    // Makes the tool current and forgets any tool saved by a temporary switch.
    void SetTool(Tool* tool);
    // With a tool: remembers the current one (unless one is saved already) and makes the
    // tool current. With null: the saved tool comes back.
    void SetTemporaryTool(Tool* tool);
    void AddSnapCheck(std::unique_ptr<SnapCheck> check);
    // Moves e.scaled onto a snap feature when snapping is on and Shift is up.
    void Snap(ToolEvent& e);
    void EnableSnap(bool on) { m_snapEnabled = on; }
    bool IsSnapEnabled() const { return m_snapEnabled != 0; }
    void AttachTool(Tool* tool);

    Tool* GetTool() const { return m_tool; }
    Tool* GetSavedTool() const { return m_savedTool; }
    SnapCheckGroup* GetSnapGroup() const { return m_snapGroup.get(); }

private:
    Tool* m_tool = nullptr;
    Tool* m_savedTool = nullptr;
    int m_state = kIdle;
    std::unique_ptr<SnapCheckGroup> m_snapGroup;
    int m_snapEnabled = 0;
};
