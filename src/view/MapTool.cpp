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
    m_man->Load();
    m_handle = m_man->HitTest(e);
    m_firstMove = true;
    m_anchor = e.scaled;
    m_tracking = true;
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
    m_man->Load();
    m_man->DefineOrResize(m_handle, m_anchor, e.scaled);
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
