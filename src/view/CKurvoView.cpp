#include "view/CKurvoView.h"

#include "image/CDib.h"
#include "mapping/RegGridData.h"
#include "mapping/RegGridSnap.h"
#include "mapping/TransformData.h"
#include "model/AttributeRep.h"
#include "model/DbSetMgr.h"
#include "tasks/PlotData.h"
#include "view/AutoScrollProc.h"
#include "view/CollectLineTool.h"
#include "view/CollectTool.h"
#include "view/CropTool.h"
#include "view/Cursor.h"
#include "view/EditTool.h"
#include "view/FormatC.h"
#include "view/Magnifier.h"
#include "view/MapTool.h"
#include "view/PanTool.h"
#include "view/RotateTool.h"
#include "view/TrackMgr.h"
#include "view/ViewCommand.h"
#include "view/ViewDocument.h"
#include "view/ViewHost.h"
#include "view/ZoomTool.h"

#include <algorithm>
#include <cmath>

CKurvoView::CKurvoView(ViewHost* host, ViewDocument* doc)
    : m_host(host), m_doc(doc),
      m_zoomScroll([this] { return ImageSize(); }, [this] { return GetClientSize(); }),
      m_mapTool(std::make_unique<MapTool>()), m_collectTool(std::make_unique<CollectTool>()),
      m_collectLineTool(std::make_unique<CollectLineTool>()),
      m_rotateTool(std::make_unique<RotateTool>()), m_panTool(std::make_unique<PanTool>()),
      m_zoominTool(std::make_unique<ZoomTool>(true)),
      m_zoomoutTool(std::make_unique<ZoomTool>(false)), m_cropTool(std::make_unique<CropTool>()),
      m_editTool(std::make_unique<EditTool>()), m_trackMgr(std::make_unique<TrackMgr>()),
      m_magnifier(std::make_unique<Magnifier>())
{
    m_trackMgr->SetView(this);
    if (m_host) {
        const ISize c = m_host->GetClientSize();
        m_canvas.Resize(std::max(c.cx, 0), std::max(c.cy, 0), m_settings.windowColour);
    }
}

CKurvoView::~CKurvoView()
{
    if (m_autoScroll)
        m_autoScroll->Stop();
}

// ---------------------------------------------------------------- framework side

void CKurvoView::OnInitialUpdate(const ViewSettings& settings)
{
    m_settings = settings;
    m_zoomScroll.SetZoomType(settings.zoomType);

    PlotData* data = m_doc ? m_doc->GetPlotData() : nullptr;
    Tool* tools[] = {m_mapTool.get(),     m_collectTool.get(), m_collectLineTool.get(),
                     m_rotateTool.get(),  m_panTool.get(),     m_zoominTool.get(),
                     m_zoomoutTool.get(), m_cropTool.get()};
    for (Tool* t : tools) {
        t->SetView(this);
        t->SetData(data);
    }
    m_editTool->SetView(this);
    m_editTool->SetData(data);
    m_trackMgr->SetData(data);
    m_autoScroll = std::make_unique<AutoScrollProc>(this);
    m_defaultTool = nullptr;
    OnSize(GetClientSize().cx, GetClientSize().cy);
    FitToWindow();

    if (m_doc && m_doc->GetGrid()) {
        m_trackMgr->AddSnapCheck(NewRep<RegGridSnap>(*m_doc->GetGrid()));
    }
    m_trackMgr->EnableSnap(false);
}

void CKurvoView::OnUpdate(View*, std::intptr_t hint)
{
    switch (hint) {
    case PlotData::kHintImage:
        RebuildDisplay();
        SetScrollSizes();
        Invalidate(true);
        break;
    case PlotData::kHintImageReplaced:
        FitToWindow();
        break;
    case PlotData::kHintOverlay:
        m_overlayOnly = 3;
        Invalidate(false);
        if (m_host)
            m_host->UpdateNow();
        break;
    default:
        Invalidate(false);
        break;
    }
}

void CKurvoView::OnSize(int width, int height)
{
    width = std::max(width, 0);
    height = std::max(height, 0);
    if (m_canvas.DeviceWidth() != width || m_canvas.DeviceHeight() != height)
        m_canvas.Resize(width, height, m_settings.windowColour);
    m_zoomScroll.SetClientSteps(width, height);
    SetScrollSizes();
    if (m_zoomScroll.IsFitted())
        FitToWindow();
    Invalidate(true);
}

ISize CKurvoView::GetClientSize() const
{
    if (!m_host)
        return {m_canvas.DeviceWidth(), m_canvas.DeviceHeight()};
    const ISize c = m_host->GetClientSize();
    return {std::max(c.cx, 0), std::max(c.cy, 0)};
}

void CKurvoView::Invalidate(bool erase)
{
    if (erase)
        m_eraseNext = true;
    if (m_host)
        m_host->Invalidate(erase);
}

void CKurvoView::CanvasChanged()
{
    if (m_host)
        m_host->CanvasChanged();
}

void CKurvoView::OnPaint()
{
    const ISize c = GetClientSize();
    if (m_canvas.DeviceWidth() != c.cx || m_canvas.DeviceHeight() != c.cy)
        m_canvas.Resize(c.cx, c.cy, m_settings.windowColour);
    m_canvas.ClearClip();
    m_canvas.SetRop2(RasterOp::CopyPen);
    m_canvas.SetViewportOrg(0, 0);
    // Erasing matters only where nothing is drawn: the whole window without an image (the
    // strips around a small image are filled by OnDraw, the image covers the rest).
    if (m_eraseNext && !m_overlayOnly && !HasDisplay())
        m_canvas.Fill(m_settings.windowColour);
    m_eraseNext = false;
    OnDraw(m_canvas);
    m_canvas.SetViewportOrg(0, 0);
    CanvasChanged();
}

void CKurvoView::DrawOverlays(ToolEvent& e, bool imageLayer)
{
    if (!m_doc)
        return;
    if (imageLayer) {
        TransformData* transform = m_doc->GetTransform();
        RegGridData* grid = m_doc->GetGrid();
        if (grid) {
            e.AttachPen(Pen{PenStyle::Solid, 0, m_settings.gridColour});
            grid->Draw(e);
            e.ReleasePen();
        }
        if (transform) {
            e.AttachPen(Pen{PenStyle::Solid, 0, m_settings.boxColour});
            transform->DrawRegion(e);
            e.ReleasePen();
        }
    }
    if (PlotData* data = m_doc->GetPlotData()) {
        e.AttachPen(Pen{PenStyle::Solid, 0, m_settings.ptsColour});
        if (DbSetMgr* sets = data->GetSetMgr()) {
            sets->Draw(e);
            EditTool::DrawSelection(e, *sets);
        }
        e.ReleasePen();
    }
}

void CKurvoView::OnDraw(DeviceContext& dc)
{
    if (!HasDisplay()) {
        m_overlayOnly = 0;
        return;
    }
    const bool overlayOnly = m_overlayOnly != 0;
    const ISize scaled = m_zoomScroll.ScaledSize();
    const bool printing = m_printLayout.IsPrinting();
    if (!overlayOnly && !printing)
        ImageRenderer::FillMargins(dc, GetClientSize(), m_zoomScroll.CentringOffset(), scaled,
                                   m_settings.windowColour);
    ToolEvent e;
    BuildToolEvent({0, 0}, &dc, e);
    if (overlayOnly) {
        // The feedback comes off first, so that drawing it again below leaves it shown once.
        if (!printing)
            m_trackMgr->Draw(e);
    } else {
        m_renderer.Draw(dc, m_doc ? m_doc->GetImage() : nullptr, scaled, m_dithered);
    }
    DrawOverlays(e, !overlayOnly);
    if (m_extraLayer && !printing)
        m_extraLayer(e);
    if (!printing)
        m_trackMgr->Draw(e);
    m_overlayOnly = 0;
}

void CKurvoView::SetExtraLayer(std::function<void(ToolEvent&)> layer)
{
    m_extraLayer = std::move(layer);
    Invalidate(false);
}

void CKurvoView::OnActivateView(bool activate, bool otherViewActive)
{
    if (activate) {
        if (m_doc)
            m_doc->OnViewActivated();
        ShowZoom();
    } else if (!otherViewActive && m_host) {
        m_host->SetStatusText(kPanePosition, "");
        m_host->SetStatusText(kPaneZoom, "");
        m_host->SetStatusText(2, "");
        m_host->SetStatusText(4, "");
        m_host->SetStatusText(5, "");
    }
}

void CKurvoView::OnDestroy()
{
    if (m_autoScroll)
        m_autoScroll->Stop();
    if (m_defaultTool)
        SelectTool(m_defaultTool);
}

// ---------------------------------------------------------------- display

ISize CKurvoView::ImageSize() const
{
    return m_doc ? m_doc->GetImageSize() : ISize{1, 1};
}

bool CKurvoView::IsImageLoaded() const
{
    return m_doc && m_doc->IsImageLoaded();
}

bool CKurvoView::IsRegionDefined() const
{
    return m_doc && m_doc->IsMappingDefined();
}

void CKurvoView::ApplySettings(const ViewSettings& settings)
{
    m_settings = settings;
    m_zoomScroll.SetZoomType(settings.zoomType);
    RebuildDisplay();
    Invalidate(true);
}

void CKurvoView::RebuildDisplay()
{
    WaitCursor wait;
    m_zoomScroll.UpdateScaledSize();
    if (HasDisplay())
        CDib::SetCacheSize(m_settings.allowCaching ? m_settings.cacheSize : 0);
    m_renderer.Rebuild(m_doc ? m_doc->GetImage() : nullptr, m_zoomScroll.ScaledSize(),
                       m_settings.maxDisplayCopyBytes, &m_canvas);
    if (HasDisplay() && !m_defaultTool) {
        m_defaultTool = m_mapTool.get();
        SelectTool(m_defaultTool);
    }
    ShowZoom();
}

void CKurvoView::ScrollBarsChanged()
{
    if (m_host)
        m_host->ScrollBarsChanged();
}

void CKurvoView::SetScrollSizes()
{
    m_zoomScroll.ClampScroll();
    ScrollBarsChanged();
}

void CKurvoView::ScrollToPosition(IPoint pos)
{
    if (!m_zoomScroll.ScrollTo(pos))
        return;
    ScrollBarsChanged();
    Invalidate(false);
}

// ---------------------------------------------------------------- saved views

SavedView CKurvoView::CurrentSavedView() const
{
    const IPoint scroll = m_zoomScroll.ScrollPos();
    return SavedView{m_zoomScroll.Zoom(), scroll.x, scroll.y, 0};
}

void CKurvoView::SaveView()
{
    m_savedViews.Save(CurrentSavedView());
}

void CKurvoView::NextSavedView()
{
    if (const std::optional<SavedView> v = m_savedViews.Next())
        ApplyView(*v);
}

void CKurvoView::PreviousSavedView()
{
    if (const std::optional<SavedView> v = m_savedViews.Previous(CurrentSavedView()))
        ApplyView(*v);
}

void CKurvoView::ApplyView(const SavedView& v)
{
    m_zoomScroll.SetZoom(v.zoom);
    RebuildDisplay();
    m_zoomScroll.SetFitted(false);
    SetScrollSizes();
    m_zoomScroll.ScrollTo({v.scrollX, v.scrollY});
    ScrollBarsChanged();
    Invalidate(true);
}

// ---------------------------------------------------------------- events

void CKurvoView::BuildToolEvent(IPoint p, DeviceContext* dc, ToolEvent& e)
{
    const double zoom = m_zoomScroll.Zoom();
    e = ToolEvent(dc, zoom);
    IPoint origin;
    if (m_printLayout.IsPrinting()) {
        e.viewportOffset = m_printLayout.Offset();
        origin = e.viewportOffset;
    } else {
        e.viewportOffset = m_zoomScroll.CentringOffset();
        origin = m_zoomScroll.ViewportOrigin();
    }
    if (dc)
        dc->SetViewportOrg(origin.x, origin.y);
    if (m_host) {
        e.shift = m_host->IsKeyDown(KeyCode::Shift);
        e.control = m_host->IsKeyDown(KeyCode::Control);
        e.alt = m_host->IsKeyDown(KeyCode::Alt);
        e.space = m_host->IsKeyDown(KeyCode::Space);
    }
    e.buttonDown = 0;
    const ISize c = GetClientSize();
    e.pixel = {std::clamp(p.x, 0, std::max(0, c.cx - 1)),
               std::clamp(p.y, 0, std::max(0, c.cy - 1))};
    e.logical = {e.pixel.x - origin.x, e.pixel.y - origin.y};
    e.scaled = {ToolEvent::ImageOf(e.logical.x, zoom), ToolEvent::ImageOf(e.logical.y, zoom)};
    const double tol = m_settings.pickTol / zoom;
    e.tolerance = {tol, tol};
}

ToolEvent CKurvoView::PrepareEvent()
{
    m_canvas.ClearClip();
    ToolEvent e;
    BuildToolEvent({0, 0}, &m_canvas, e);
    return e;
}

void CKurvoView::SetDragPick(DragPick pick)
{
    m_dragPick = std::move(pick);
    m_picking = false;
}

void CKurvoView::OnLButtonDown(IPoint p)
{
    if (m_dragPick) {
        ToolEvent e = PrepareEvent();
        BuildToolEvent(p, &m_canvas, e);
        m_pickFrom = e.scaled;
        m_picking = true;
        if (m_host)
            m_host->SetCapture();
        m_dragPick(m_pickFrom, m_pickFrom, false);
        return;
    }
    if (m_clickPick) {
        ToolEvent e = PrepareEvent();
        BuildToolEvent(p, &m_canvas, e);
        if (m_clickPick(e.scaled))
            return; // no capture: the release is not the tool's either
    }
    if (m_host)
        m_host->SetCapture();
    ToolEvent e = PrepareEvent();
    BuildToolEvent(p, &m_canvas, e);
    e.buttonDown = 1;
    m_trackMgr->BeginTracking(e);
}

void CKurvoView::OnMouseMove(IPoint p)
{
    m_lastMouse = p;
    ToolEvent e = PrepareEvent();
    BuildToolEvent(p, &m_canvas, e);
    if (m_picking && m_dragPick) {
        m_dragPick(m_pickFrom, e.scaled, false);
        return;
    }
    if (m_host && m_host->HasCapture()) {
        e.buttonDown = 1;
        m_trackMgr->KeepTracking(e);
        const ISize c = GetClientSize();
        const bool outside = p.x < 0 || p.y < 0 || p.x >= c.cx || p.y >= c.cy;
        if (outside) {
            if (m_autoScroll && !m_autoScroll->IsRunning()) {
                IPoint direction{1, 1};
                m_trackMgr->GetScrollDirection(direction);
                m_autoScroll->StartScroll(this, direction);
                m_autoScroll->Tick();
            }
        } else if (m_autoScroll) {
            m_autoScroll->Stop();
        }
    } else {
        m_trackMgr->Move(e);
    }
    ShowPointerPosition(e);
    UpdateLoupe(e, p);
}

void CKurvoView::OnLButtonUp(IPoint p)
{
    if (!m_host || !m_host->HasCapture())
        return;
    ToolEvent e = PrepareEvent();
    BuildToolEvent(p, &m_canvas, e);
    if (m_picking) {
        m_picking = false;
        m_host->ReleaseCapture();
        if (DragPick pick = m_dragPick) // the pick may clear itself
            pick(m_pickFrom, e.scaled, true);
        return;
    }
    m_trackMgr->EndTracking(e);
    m_host->ReleaseCapture();
    if (m_autoScroll)
        m_autoScroll->Stop();
}

bool CKurvoView::OnSetCursor()
{
    if (!m_currentCursor || !m_host)
        return false;
    m_currentCursor->Set(*m_host);
    return true;
}

void CKurvoView::SelectTemporaryFromKeys()
{
    if (!m_host)
        return;
    const bool space = m_host->IsKeyDown(KeyCode::Space);
    const bool z = m_host->IsKeyDown(KeyCode::Z);
    const bool x = m_host->IsKeyDown(KeyCode::X);
    Tool* want = nullptr;
    if (space && z)
        want = m_zoominTool.get();
    else if (space && x)
        want = m_zoomoutTool.get();
    else if (space)
        want = m_panTool.get();
    if (want) {
        if (GetCurrentTool() != want)
            SelectTemporaryTool(want);
    }
}

void CKurvoView::OnKeyDown(ViewKey key, int repeatCount)
{
    const bool control = m_host && m_host->IsKeyDown(KeyCode::Control);
    switch (key) {
    case ViewKey::Enter:
    case ViewKey::Escape: {
        if (repeatCount != 1)
            return;
        ToolEvent e = PrepareEvent();
        if (key == ViewKey::Enter) {
            m_trackMgr->Accept(e);
            PlotData* data = m_doc ? m_doc->GetPlotData() : nullptr;
            if (data) {
                const int hint = data->GetViewHint();
                data->ResetViewHint();
                if (Document* doc = GetDocument())
                    doc->UpdateAllViews(nullptr, hint);
                else
                    OnUpdate(nullptr, hint);
            }
        } else {
            m_trackMgr->Cancel(e);
        }
        return;
    }
    case ViewKey::Space:
    case ViewKey::Z:
    case ViewKey::X:
        if (m_trackMgr->GetState() == TrackMgr::kIdle)
            SelectTemporaryFromKeys();
        return;
    default:
        if (Tool* tool = GetCurrentTool(); tool && m_trackMgr->GetState() == TrackMgr::kIdle) {
            ToolEvent e = PrepareEvent();
            if (tool->KeyDown(key, e))
                return;
        }
        if (const std::optional<IPoint> target = m_zoomScroll.KeyScrollTarget(key, control))
            ScrollToPosition(*target);
        return;
    }
}

void CKurvoView::OnKeyUp(ViewKey key)
{
    if (key != ViewKey::Space && key != ViewKey::Z && key != ViewKey::X)
        return;
    if (!m_host || m_host->IsKeyDown(KeyCode::Control) || m_host->IsKeyDown(KeyCode::Shift) ||
        m_host->IsKeyDown(KeyCode::Alt) || m_trackMgr->GetState() != TrackMgr::kIdle)
        return;
    const bool space = m_host->IsKeyDown(KeyCode::Space);
    if (space) {
        SelectTemporaryFromKeys();
        return;
    }
    if (!m_host->IsKeyDown(KeyCode::Z) && !m_host->IsKeyDown(KeyCode::X) &&
        m_trackMgr->GetSavedTool())
        SelectTemporaryTool(nullptr);
}

// ---------------------------------------------------------------- tools

Tool* CKurvoView::GetCurrentTool() const
{
    return m_trackMgr->GetTool();
}

void CKurvoView::SelectTool(Tool* tool)
{
    ToolEvent e = PrepareEvent();
    m_trackMgr->Deactivate(e);
    m_trackMgr->SetTool(tool);
    m_trackMgr->Activate(e);
}

void CKurvoView::SelectTemporaryTool(Tool* tool)
{
    ToolEvent e = PrepareEvent();
    m_trackMgr->Deactivate(e);
    m_trackMgr->SetTemporaryTool(tool);
    m_trackMgr->Activate(e);
}

void CKurvoView::ScrollBy(int dx, int dy)
{
    Tool* tool = GetCurrentTool();
    ToolEvent before = PrepareEvent();
    BuildToolEvent(m_lastMouse, &m_canvas, before);
    if (tool)
        tool->HideFeedback(before);
    if (m_zoomScroll.ScrollBy(dx, dy)) {
        ScrollBarsChanged();
        Invalidate(false);
    }
    if (m_host)
        m_host->UpdateNow();
    ToolEvent after = PrepareEvent();
    BuildToolEvent(m_lastMouse, &m_canvas, after);
    if (m_host && m_host->HasCapture())
        after.buttonDown = 1;
    if (tool) {
        tool->Scrolled(after);
        tool->ShowFeedback(after);
    }
    CanvasChanged();
}

const Cursor* CKurvoView::SetViewCursor(const Cursor* cursor)
{
    const Cursor* previous = m_currentCursor;
    m_currentCursor = cursor;
    // The window shows the new cursor at once, not only when the pointer comes back in.
    if (cursor && m_host)
        cursor->Set(*m_host);
    return previous;
}

void CKurvoView::SetStatusText(const std::string& text, int pane)
{
    if (m_host)
        m_host->SetStatusText(pane, text);
}

void CKurvoView::UpdateOtherViews(std::intptr_t hint)
{
    if (Document* doc = GetDocument())
        doc->UpdateAllViews(this, hint);
}

bool CKurvoView::PixelToGraph(DPoint pixel, DPoint& graph) const
{
    TransformData* transform = m_doc ? m_doc->GetTransform() : nullptr;
    if (!transform)
        return false;
    return transform->PixelToGraph(pixel, graph);
}

// ---------------------------------------------------------------- printing

void CKurvoView::OnBeginPrinting(int pageWidth, int pageHeight, int dpiX, int dpiY)
{
    m_zoomScroll.SetZoom(
        m_printLayout.Begin({pageWidth, pageHeight}, {dpiX, dpiY}, ImageSize(), m_zoomScroll.Zoom(),
                            [this](double zoom) { return m_zoomScroll.ZoomAllowed(zoom); }));
    RebuildDisplay();
}

void CKurvoView::OnPrint(DeviceContext& dc)
{
    if (!m_printLayout.IsPrinting())
        return;
    OnDraw(dc);
}

void CKurvoView::OnEndPrinting()
{
    m_zoomScroll.SetZoom(m_printLayout.End());
    RebuildDisplay();
    SetScrollSizes();
    Invalidate(true);
}

// ---------------------------------------------------------------- commands

void CKurvoView::SetZoomType(int type)
{
    m_zoomScroll.SetZoomType(type);
    m_settings.zoomType = type;
}

void CKurvoView::SetDithered(bool dithered)
{
    m_dithered = dithered;
    Invalidate(false);
}

bool CKurvoView::OnCommand(CommandId id)
{
    const ViewCommand* command = ViewCommand::Find(id);
    if (!command)
        return false;
    command->run(*this);
    return true;
}

bool CKurvoView::OnUpdateCommand(CommandId id, CommandState& state)
{
    const ViewCommand* command = ViewCommand::Find(id);
    if (!command)
        return false;
    command->update(*this, state);
    return true;
}
