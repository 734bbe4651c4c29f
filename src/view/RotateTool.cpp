#include "view/RotateTool.h"

#include "mapping/TransformData.h"
#include "mapping/TransformMan.h"
#include "view/CKurvoView.h"
#include "view/Cursor.h"
#include "view/ViewDocument.h"

#include <cmath>

void RotateTool::Activate(ToolEvent& e)
{
    ObtainManipulator();
    m_handle = 0;
    m_tracking = false;
    m_firstMove = true;
    Draw(e);
    if (m_view)
        m_view->CanvasChanged();
    SetToolCursor(&ViewCursor::Rotate);
}

void RotateTool::Deactivate(ToolEvent& e)
{
    // The glyph is on the window unless a gesture on the outline took it off.
    if (!(m_tracking && m_handle != 0))
        Draw(e);
    if (m_view)
        m_view->CanvasChanged();
    RestoreCursor();
    m_man.reset();
    m_tracking = false;
}

void RotateTool::Move(ToolEvent& e)
{
    if (!m_man)
        return;
    m_man->Load();
    CursorFromIndex(m_man->GetCursorIndex(e), &ViewCursor::Rotate);
}

void RotateTool::BeginTracking(ToolEvent& e)
{
    if (!m_man && !ObtainManipulator())
        return;
    PickHandle(e);
    m_pivot = m_man->IsDefined() ? m_man->GetPivot() : DPoint{};
    m_current = e.scaled;
    if (m_handle == 0)
        m_anchor = e.scaled;
    m_firstMove = true;
    m_tracking = true;
    if (m_handle != 0) {
        Draw(e);
        if (m_view)
            m_view->CanvasChanged();
    }
}

void RotateTool::ApplyDrag(ToolEvent& e)
{
    if (!m_man)
        return;
    if (m_handle != 0) {
        ApplyShape(e);
        return;
    }
    m_current = e.scaled;
    const double k = 180.0 / 3.1415926;
    const double a1 = std::atan2(m_anchor.y - m_pivot.y, m_anchor.x - m_pivot.x) * k;
    const double a2 = std::atan2(m_current.y - m_pivot.y, m_current.x - m_pivot.x) * k;
    m_man->Load();
    if (m_man->IsDefined()) {
        m_man->Rotate(a2 - a1);
        SetStatus("Angle %.2f degrees", m_man->GetBox().GetAngle());
    }
}

void RotateTool::ApplyDragStep(ToolEvent& e)
{
    ApplyDrag(e);
}

void RotateTool::Draw(ToolEvent& e)
{
    if (!e.dc)
        return;
    // The glyph marks the pivot of the document's region; the working copy is left alone,
    // as a repaint may come in the middle of a drag.
    ViewDocument* doc = m_view ? m_view->GetViewDocument() : nullptr;
    TransformData* transform = doc ? doc->GetTransform() : nullptr;
    if (!transform || !transform->GetRegion().IsDefined())
        return;
    const DPoint c = transform->GetRegion().PixelNodes()[6];
    const double s = 1.0 / e.scale;
    e.AttachPen(Pen{PenStyle::Solid, 0, kBlack});
    e.BeginXor();
    e.colour = 0;
    auto line = [&e](DPoint a, DPoint b) {
        const IPoint wa = e.ToWindow(a);
        const IPoint wb = e.ToWindow(b);
        e.dc->MoveTo(wa.x, wa.y);
        e.dc->LineTo(wb.x, wb.y);
    };
    const DPoint t1{c.x + 7 * s, c.y + 9 * s};
    const DPoint t2{c.x - 7 * s, c.y + 9 * s};
    line(c, t1);
    line(t1, t2);
    line(t2, c);
    line({c.x + 5 * s, c.y + 10 * s}, {c.x + s, c.y + 14 * s});
    line({c.x - 5 * s, c.y + 10 * s}, {c.x - 9 * s, c.y + 14 * s});
    line({c.x, c.y + 10 * s}, {c.x - 4 * s, c.y + 14 * s});
    e.EndXor();
    e.ReleasePen();
}
