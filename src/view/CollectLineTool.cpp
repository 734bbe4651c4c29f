#include "view/CollectLineTool.h"

#include "view/CKurvoView.h"
#include "view/Cursor.h"
#include "view/TrackMgr.h"

#include <cmath>
#include <cstdlib>

void CollectLineTool::Reserve(int n)
{
    if (m_events.GetSize() < n)
        m_events.SetSize(n);
}

void CollectLineTool::BeginFeedback(ToolEvent& e)
{
    e.AttachPen(Pen{PenStyle::Solid, 0, kBlack});
    e.BeginXor();
    e.colour = 0;
}

void CollectLineTool::EndFeedback(ToolEvent& e)
{
    e.EndXor();
    e.ReleasePen();
    e.drawMode = e.dc ? ToolEvent::kNormal : ToolEvent::kNoDc;
}

void CollectLineTool::BeginTracking(ToolEvent& e)
{
    if (m_click == 0) {
        HideLine(e);
        if (m_pt > 0)
            DrawMarker(e, 0);
        if (m_pt > 1)
            DrawMarker(e, 1);
        m_pt = 0;
    }
    ++m_click;
    Reserve(m_pt + 2);
    if (m_pt == 0) {
        m_events[0] = e;
        m_pt = 1;
        DrawMarker(e, 0);
    }
    if (m_view)
        m_view->CanvasChanged();
}

void CollectLineTool::KeepTracking(ToolEvent& e)
{
    ShowSegment(e);
}

void CollectLineTool::EndTracking(ToolEvent& e)
{
    if (m_click <= 0 || m_pt <= 0)
        return;
    const IPoint last = m_events[m_pt - 1].logical;
    const bool far = std::abs(static_cast<long long>(e.logical.x) - last.x) > 4 ||
                     std::abs(static_cast<long long>(e.logical.y) - last.y) > 4;
    if (m_click != 2 && !far)
        return;
    Reserve(m_pt + 1);
    // The end may already follow the cursor (element 1): the release takes its place.
    const int index = m_pt < 2 ? m_pt : 1;
    m_events[index] = e;
    m_pt = index + 1;
    ShowLine(e);
    DrawMarker(e, 1);
    m_click = 0;
    if (m_view)
        m_view->CanvasChanged();
}

void CollectLineTool::Move(ToolEvent& e)
{
    ShowSegment(e);
}

void CollectLineTool::MoveRaw(ToolEvent&)
{
}

void CollectLineTool::ShowSegment(ToolEvent& e)
{
    if (!m_view)
        return;
    DPoint g;
    if (!m_view->PixelToGraph(e.scaled, g)) {
        SetStatus("%s", "");
        return;
    }
    if (m_pt == 0) {
        ShowPlotPosition(e);
    } else {
        if (m_pt == 1) {
            Reserve(2);
            m_events[1] = e;
        }
        DPoint p0;
        DPoint p1;
        if (m_view->PixelToGraph(m_events[0].scaled, p0) &&
            m_view->PixelToGraph(m_events[1].scaled, p1)) {
            const double dx = p1.x - p0.x;
            const double dy = p1.y - p0.y;
            const double length = std::sqrt(dx * dx + dy * dy);
            const double angle = std::atan2(dy, dx) * 180.0 / 3.1415926;
            SetStatus("Position (%g, %g)   Len,Angle (%g, %.1f)", g.x, g.y, length, angle);
        }
        if (e.buttonDown)
            ShowLine(e);
        m_view->CanvasChanged();
    }
    ShowPixelSize(e);
}

void CollectLineTool::DrawLine(ToolEvent& e)
{
    if (!e.dc || m_events.GetSize() < 2)
        return;
    BeginFeedback(e);
    const IPoint a = e.ToWindow(m_events[0].scaled);
    const IPoint b = e.ToWindow(m_events[1].scaled);
    e.dc->MoveTo(a.x, a.y);
    e.dc->LineTo(b.x, b.y);
    EndFeedback(e);
}

void CollectLineTool::XorShownLine(ToolEvent& e)
{
    if (!e.dc)
        return;
    BeginFeedback(e);
    const IPoint a = e.ToWindow(m_shown[0]);
    const IPoint b = e.ToWindow(m_shown[1]);
    e.dc->MoveTo(a.x, a.y);
    e.dc->LineTo(b.x, b.y);
    EndFeedback(e);
}

void CollectLineTool::ShowLine(ToolEvent& e)
{
    if (m_events.GetSize() < 2)
        return;
    HideLine(e);
    m_shown[0] = m_events[0].scaled;
    m_shown[1] = m_events[1].scaled;
    XorShownLine(e);
    m_lineShown = 1;
}

void CollectLineTool::HideLine(ToolEvent& e)
{
    if (m_lineShown)
        XorShownLine(e);
    m_lineShown = 0;
}

void CollectLineTool::DrawMarker(ToolEvent& e, int index)
{
    if (!e.dc || index < 0 || index >= m_events.GetSize())
        return;
    BeginFeedback(e);
    const IPoint p = e.ToWindow(m_events[index].scaled);
    e.dc->MoveTo(p.x + 5, p.y);
    e.dc->LineTo(p.x - 6, p.y);
    e.dc->MoveTo(p.x, p.y + 5);
    e.dc->LineTo(p.x, p.y - 6);
    EndFeedback(e);
}

void CollectLineTool::Draw(ToolEvent& e)
{
    if (m_lineShown)
        XorShownLine(e);
    if (m_pt > 0)
        DrawMarker(e, 0);
    if (m_pt > 1)
        DrawMarker(e, 1);
}

void CollectLineTool::Cancel(ToolEvent& e)
{
    Draw(e);
    m_pt = 0;
    m_click = 0;
    m_lineShown = 0;
    if (m_view)
        m_view->CanvasChanged();
}

void CollectLineTool::Activate(ToolEvent&)
{
    SetToolCursor(&ViewCursor::CrossHair);
    m_pt = 0;
    m_click = 0;
    m_lineShown = 0;
    if (m_mgr)
        m_mgr->EnableSnap(true);
}

void CollectLineTool::Deactivate(ToolEvent& e)
{
    SetStatusPane(5, "%s", "");
    RestoreCursor();
    Draw(e);
    if (m_view)
        m_view->CanvasChanged();
}
