#include "view/CollectTool.h"

#include "model/DbPoint.h"
#include "model/DbSetMgr.h"
#include "tasks/PlotData.h"
#include "tasks/PrimTask.h"
#include "view/CKurvoView.h"
#include "view/Cursor.h"
#include "view/TrackMgr.h"

void CollectTool::BeginTracking(ToolEvent&)
{
}

void CollectTool::KeepTracking(ToolEvent&)
{
}

void CollectTool::EndTracking(ToolEvent& e)
{
    if (!m_data)
        return;
    auto point = std::make_unique<DbPoint>(e.scaled);
    Execute(std::make_unique<PrimTask>(m_data, std::move(point)));
    // The new point is drawn at once over what the window shows.
    e.AttachPen(Pen{PenStyle::Solid, 0, m_ptsColour});
    e.drawMode = ToolEvent::kNewPrim;
    e.colour = m_ptsColour;
    if (DbSetMgr* sets = m_data->GetSetMgr())
        sets->Draw(e);
    e.ReleasePen();
    e.drawMode = ToolEvent::kNormal;
    if (m_view)
        m_view->CanvasChanged();
    UpdateOtherViews();
}

void CollectTool::Move(ToolEvent& e)
{
    ShowPlotPosition(e);
}

void CollectTool::MoveRaw(ToolEvent& e)
{
    ShowPixelSize(e);
}

void CollectTool::Activate(ToolEvent&)
{
    SetToolCursor(&ViewCursor::CrossHair);
    if (m_mgr)
        m_mgr->EnableSnap(true);
    if (m_view)
        m_ptsColour = m_view->GetSettings().ptsColour;
}

void CollectTool::Deactivate(ToolEvent&)
{
    SetStatusPane(5, "%s", "");
    RestoreCursor();
}
