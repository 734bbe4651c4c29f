#include "view/TrackMgr.h"

#include "mapping/SnapCheckGroup.h"
#include "mapping/SnapTolerance.h"

TrackMgr::TrackMgr() : m_snapGroup(std::make_unique<SnapCheckGroup>())
{
}

TrackMgr::~TrackMgr() = default;

void TrackMgr::BeginTracking(ToolEvent& e)
{
    if (!m_tool)
        return;
    Snap(e);
    m_state = kBegan;
    if (e.control && !m_tool->TakesControlDrag()) {
        SnapTolerance::Scope smallest(SnapTolerance::MachineEpsilon());
        m_state = kModifierClick;
        m_tool->ModifierClick(e, 1);
    } else {
        m_tool->BeginTracking(e);
    }
}

void TrackMgr::KeepTracking(ToolEvent& e)
{
    if (!m_tool || m_state == kModifierClick)
        return;
    Snap(e);
    m_tool->KeepTracking(e);
    m_state = kTracking;
}

void TrackMgr::EndTracking(ToolEvent& e)
{
    if (!m_tool || m_state == kModifierClick)
        return;
    Snap(e);
    m_state = kEnding;
    if (e.control && !m_tool->TakesControlDrag()) {
        SnapTolerance::Scope smallest(SnapTolerance::MachineEpsilon());
        m_state = kModifierClick;
        m_tool->ModifierClick(e, 3);
    } else {
        m_tool->EndTracking(e);
    }
    m_state = kIdle;
}

void TrackMgr::Move(ToolEvent& e)
{
    if (!m_tool)
        return;
    m_tool->MoveRaw(e);
    Snap(e);
    m_tool->Move(e);
    m_state = kIdle;
}

void TrackMgr::MoveRaw(ToolEvent&)
{
}

void TrackMgr::Accept(ToolEvent& e)
{
    if (m_tool)
        m_tool->Accept(e);
}

void TrackMgr::Cancel(ToolEvent& e)
{
    if (m_tool)
        m_tool->Cancel(e);
}

void TrackMgr::Draw(ToolEvent& e)
{
    if (m_tool)
        m_tool->Draw(e);
}

void TrackMgr::GetScrollDirection(IPoint& direction)
{
    if (m_tool)
        m_tool->GetScrollDirection(direction);
    else
        direction = {1, 1};
}

void TrackMgr::Activate(ToolEvent& e)
{
    if (!m_tool)
        return;
    m_tool->SetData(m_data);
    m_tool->Activate(e);
}

void TrackMgr::Deactivate(ToolEvent& e)
{
    if (m_tool)
        m_tool->Deactivate(e);
    EnableSnap(false);
}

void TrackMgr::SetTool(Tool* tool)
{
    m_savedTool = nullptr;
    AttachTool(tool);
}

void TrackMgr::SetTemporaryTool(Tool* tool)
{
    if (tool) {
        if (!m_savedTool)
            m_savedTool = m_tool;
        AttachTool(tool);
        return;
    }
    Tool* saved = m_savedTool;
    m_savedTool = nullptr;
    AttachTool(saved);
}

void TrackMgr::AddSnapCheck(std::unique_ptr<SnapCheck> check)
{
    if (check)
        m_snapGroup->Add(std::move(check));
}

void TrackMgr::Snap(ToolEvent& e)
{
    if (!m_snapGroup || e.shift || !m_snapEnabled)
        return;
    // Only the x component of the tolerance counts; Scope holds it at the epsilon or above.
    SnapTolerance::Scope tolerance(e.tolerance.x);
    m_snapGroup->Check(e.scaled);
}

void TrackMgr::AttachTool(Tool* tool)
{
    m_tool = tool;
    m_state = kIdle;
    if (tool) {
        tool->SetView(m_view);
        tool->SetManager(this);
    }
}
