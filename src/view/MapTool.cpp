#include "view/MapTool.h"

#include "mapping/TransformData.h"
#include "mapping/TransformMan.h"
#include "model/Task.h"
#include "view/CKurvoView.h"
#include "view/Cursor.h"
#include "view/ViewDocument.h"

MapTool::MapTool() = default;

MapTool::~MapTool() = default;

bool MapTool::ObtainManipulator()
{
    ViewDocument* doc = m_view ? m_view->GetViewDocument() : nullptr;
    TransformData* transform = doc ? doc->GetTransform() : nullptr;
    if (!transform) {
        m_man.reset();
        return false;
    }
    m_man = std::make_unique<TransformMan>(transform);
    m_man->Load();
    return true;
}

void MapTool::CursorFromIndex(int index, const Cursor* none)
{
    const Cursor* c = RegionHandleCursor(index, none);
    // The view shows the tool's cursor; the one saved at activation stays saved.
    m_cursor = c;
    if (m_view)
        m_view->SetViewCursor(c);
}

void MapTool::Activate(ToolEvent&)
{
    ObtainManipulator();
    m_handle = 0;
    m_tracking = false;
    m_firstMove = true;
    SetToolCursor(&ViewCursor::Arrow);
}

void MapTool::Deactivate(ToolEvent&)
{
    RestoreCursor();
    m_man.reset();
    m_tracking = false;
}

void MapTool::Move(ToolEvent& e)
{
    if (!m_man)
        return;
    m_man->Load();
    CursorFromIndex(m_man->GetCursorIndex(e), &ViewCursor::Arrow);
}

void MapTool::MoveRaw(ToolEvent&)
{
}

void MapTool::BeginTracking(ToolEvent& e)
{
    if (!m_man && !ObtainManipulator())
        return;
    PickHandle(e);
    m_firstMove = true;
    m_tracking = true;
}

void MapTool::PickHandle(ToolEvent& e)
{
    m_man->Load();
    const Box& box = m_man->GetBox();
    m_handle = m_man->HitTest(e);
    m_node = e.control && m_handle != 0 ? box.HitNode(e) : -1;
    m_anchor = m_node >= 0 ? box.PixelNodes()[m_node] : box.GrabPoint(m_handle, e.scaled);
}

void MapTool::ApplyShape(ToolEvent& e)
{
    m_man->Load();
    if (m_node >= 0) {
        m_man->GetBox().MoveNode(m_node, e.scaled);
    } else {
        m_man->DefineOrResize(m_handle, m_anchor, e.scaled);
    }
    ShowShapeStatus();
}

void MapTool::ShowShapeStatus()
{
    const Box& box = m_man->GetBox();
    if (!box.IsDefined())
        return;
    // The node under the pointer: the one dragged alone, or the picked corner.
    int node = m_node;
    if (node < 0) {
        switch (m_handle) {
        case Box::kHitTopLeft:
            node = 0;
            break;
        case Box::kHitTopRight:
            node = 2;
            break;
        case Box::kHitBottomRight:
            node = 4;
            break;
        case Box::kHitBottomLeft:
            node = 6;
            break;
        default:
            break;
        }
    }
    if (node >= 0) {
        const DPoint p = box.PixelNodes()[node];
        SetStatus("Node %d at (%.2f, %.2f)", node + 1, p.x, p.y);
        return;
    }
    double w, h;
    box.GetSize(w, h);
    SetStatus("Region %.2f x %.2f pixels", w, h);
}

void MapTool::XorOutline(ToolEvent& e)
{
    if (!m_man)
        return;
    e.AttachPen(Pen{PenStyle::Dot, 0, kBlack});
    e.BeginXor();
    e.colour = 0;
    m_man->Draw(e);
    e.EndXor();
    e.ReleasePen();
}

void MapTool::ApplyDragStep(ToolEvent& e)
{
    ApplyShape(e);
}

void MapTool::DragStep(ToolEvent& e)
{
    if (!m_tracking || m_handle < 0 || !m_man)
        return;
    if (!m_firstMove)
        XorOutline(e);
    m_firstMove = false;
    ApplyDragStep(e);
    XorOutline(e);
    if (m_view)
        m_view->CanvasChanged();
}

void MapTool::KeepTracking(ToolEvent& e)
{
    DragStep(e);
}

void MapTool::Release(ToolEvent&)
{
    if (!m_tracking || m_handle < 0 || !m_man || !m_view)
        return;
    m_tracking = false;
    // A click without a drag changes nothing and records nothing.
    if (m_firstMove)
        return;
    ViewDocument* doc = m_view->GetViewDocument();
    std::unique_ptr<Task> task = doc->MakeTransTask(std::move(m_man));
    ObtainManipulator();
    Execute(std::move(task));
    m_view->Invalidate(false);
    UpdateOtherViews();
}

void MapTool::EndTracking(ToolEvent& e)
{
    Release(e);
}

void MapTool::CancelGesture(ToolEvent&)
{
    m_handle = -1;
    m_node = -1;
    m_tracking = false;
    if (m_man)
        m_man->Clear();
    if (m_view)
        m_view->Invalidate(false);
}

void MapTool::Cancel(ToolEvent& e)
{
    CancelGesture(e);
}

void MapTool::HideFeedback(ToolEvent& e)
{
    if (IsFeedbackShown())
        XorOutline(e);
}

void MapTool::ShowFeedback(ToolEvent& e)
{
    if (IsFeedbackShown())
        XorOutline(e);
}

void MapTool::Scrolled(ToolEvent& e)
{
    if (m_tracking && m_handle >= 0 && m_man)
        ApplyDragStep(e);
}
