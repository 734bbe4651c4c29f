#include "view/CropTool.h"

#include "model/Task.h"
#include "view/AntsProc.h"
#include "view/CKurvoView.h"
#include "view/CropBox.h"
#include "view/Cursor.h"
#include "view/ViewDocument.h"

CropTool::CropTool()
    : m_box(std::make_unique<CropBox>()), m_ants(std::make_unique<AntsProc>(this, m_box.get()))
{
    m_ants->SetPeriod(kAntsPeriod);
}

CropTool::~CropTool() = default;

void CropTool::StartAnts()
{
    if (m_view && m_box->IsDefined())
        m_ants->Start(m_view->GetHost());
}

void CropTool::Activate(ToolEvent&)
{
    if (m_view)
        m_cropColour = m_view->GetSettings().cropColour;
    SetToolCursor(&ViewCursor::CrossHair);
    m_handle = 0;
    m_tracking = false;
    StartAnts();
}

void CropTool::Deactivate(ToolEvent&)
{
    m_ants->Stop();
    RestoreCursor();
    m_tracking = false;
    if (m_view)
        m_view->Invalidate(false);
}

void CropTool::Move(ToolEvent& e)
{
    const Cursor* c = RegionHandleCursor(m_box->GetCursorIndex(e), &ViewCursor::CrossHair);
    m_cursor = c;
    if (m_view)
        m_view->SetViewCursor(c);
    SetStatus("X: %d  Y: %d", e.logical.x, e.logical.y);
}

void CropTool::MoveRaw(ToolEvent&)
{
}

void CropTool::XorBox(ToolEvent& e)
{
    e.AttachPen(Pen{PenStyle::Dot, 0, m_cropColour});
    e.BeginXor();
    e.colour = m_cropColour;
    m_box->Draw(e);
    e.EndXor();
    e.ReleasePen();
}

void CropTool::BeginTracking(ToolEvent& e)
{
    m_ants->Stop();
    m_hadBox = m_box->IsDefined();
    m_box->SaveCorners();
    if (m_hadBox) {
        // A still outline in place of the moving ants.
        e.AttachPen(Pen{PenStyle::Dot, 0, m_cropColour});
        e.drawMode = ToolEvent::kNewPrim;
        e.colour = m_cropColour;
        m_box->Draw(e);
        e.ReleasePen();
        e.drawMode = ToolEvent::kNormal;
        if (m_view)
            m_view->CanvasChanged();
    }
    m_handle = m_box->HitTest(e);
    m_anchor = e.scaled;
    m_tracking = true;
}

void CropTool::ApplyDrag(ToolEvent& e)
{
    if (m_hadBox)
        m_box->RestoreCorners();
    else
        m_box->SetPixelNodeCount(0);
    m_box->ResizeByDrag(m_handle, m_anchor, e.scaled);
}

void CropTool::KeepTracking(ToolEvent& e)
{
    if (!m_tracking || m_handle < 0)
        return;
    if (m_box->IsDefined())
        XorBox(e);
    ApplyDrag(e);
    XorBox(e);
    if (m_view)
        m_view->CanvasChanged();
}

void CropTool::EndTracking(ToolEvent&)
{
    if (!m_tracking || m_handle < 0)
        return;
    m_tracking = false;
    if (m_view)
        m_view->Invalidate(false);
    UpdateOtherViews();
    m_handle = 0;
    StartAnts();
}

void CropTool::Accept(ToolEvent&)
{
    m_ants->Stop();
    if (!m_box->IsDefined() || !m_view)
        return;
    if (ViewDocument* doc = m_view->GetViewDocument()) {
        if (std::unique_ptr<Task> task = doc->MakeCropTask(*m_box))
            Execute(std::move(task));
    }
    m_box->SetPixelNodeCount(0);
    m_view->Invalidate(false);
}

void CropTool::Cancel(ToolEvent&)
{
    m_handle = -1;
    m_tracking = false;
    m_ants->Stop();
    m_box->SetPixelNodeCount(0);
    if (m_view)
        m_view->Invalidate(false);
}

void CropTool::HideFeedback(ToolEvent& e)
{
    if (m_tracking && m_handle >= 0 && m_box->IsDefined())
        XorBox(e);
}

void CropTool::ShowFeedback(ToolEvent& e)
{
    if (m_tracking && m_handle >= 0 && m_box->IsDefined())
        XorBox(e);
}

void CropTool::Scrolled(ToolEvent& e)
{
    if (m_tracking && m_handle >= 0)
        ApplyDrag(e);
}
