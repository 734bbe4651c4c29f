#include "view/CKurvoView.h"

#include "image/CDib.h"
#include "image/DibUtil.h"
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
#include "view/MapTool.h"
#include "view/PanTool.h"
#include "view/RotateTool.h"
#include "view/TrackMgr.h"
#include "view/ViewDocument.h"
#include "view/ViewHost.h"
#include "view/ZoominTool.h"
#include "view/ZoomoutTool.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

double RateOfType(int type)
{
    switch (type) {
    case 1:
        return 1.4;
    case 3:
        return 1.05;
    default:
        return 1.2;
    }
}

int Clamp(long long v, long long lo, long long hi)
{
    return static_cast<int>(std::clamp(v, lo, std::max(lo, hi)));
}

} // namespace

CKurvoView::CKurvoView(ViewHost* host, ViewDocument* doc)
    : m_host(host), m_doc(doc), m_mapTool(std::make_unique<MapTool>()),
      m_collectTool(std::make_unique<CollectTool>()),
      m_collectLineTool(std::make_unique<CollectLineTool>()),
      m_rotateTool(std::make_unique<RotateTool>()), m_panTool(std::make_unique<PanTool>()),
      m_zoominTool(std::make_unique<ZoominTool>()), m_zoomoutTool(std::make_unique<ZoomoutTool>()),
      m_cropTool(std::make_unique<CropTool>()), m_trackMgr(std::make_unique<TrackMgr>())
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
    m_screenDepth = 32;
    m_gridColour = settings.gridColour;
    m_boxColour = settings.boxColour;
    m_ptsColour = settings.ptsColour;
    m_pickTol = settings.pickTol;
    m_zoomType = settings.zoomType;
    m_zoomRate = RateOfType(m_zoomType);

    PlotData* data = m_doc ? m_doc->GetPlotData() : nullptr;
    Tool* tools[] = {m_mapTool.get(),     m_collectTool.get(), m_collectLineTool.get(),
                     m_rotateTool.get(),  m_panTool.get(),     m_zoominTool.get(),
                     m_zoomoutTool.get(), m_cropTool.get()};
    for (Tool* t : tools) {
        t->SetView(this);
        t->SetData(data);
    }
    m_trackMgr->SetData(data);
    m_autoScroll = std::make_unique<AutoScrollProc>(this);
    m_defaultTool = nullptr;
    m_initialized = true;
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
    m_pageSize = {width, height};
    m_lineSize = {width / 10, height / 10};
    SetScrollSizes();
    if (m_fitted)
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

IPoint CKurvoView::GetCentringOffset() const
{
    const ISize c = GetClientSize();
    return {m_scaledSize.cx < c.cx ? (c.cx - m_scaledSize.cx) / 2 : 0,
            m_scaledSize.cy < c.cy ? (c.cy - m_scaledSize.cy) / 2 : 0};
}

bool CKurvoView::HasDisplay() const
{
    return m_displayImage != nullptr || m_directDraw;
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

void CKurvoView::DrawOverlays(DeviceContext& dc, ToolEvent& e, bool imageLayer)
{
    if (!m_doc)
        return;
    if (imageLayer) {
        TransformData* transform = m_doc->GetTransform();
        RegGridData* grid = m_doc->GetGrid();
        if (grid) {
            e.AttachPen(Pen{PenStyle::Solid, 0, m_gridColour});
            grid->Draw(e);
            e.ReleasePen();
        }
        if (transform) {
            e.AttachPen(Pen{PenStyle::Solid, 0, m_boxColour});
            transform->DrawRegion(e);
            e.ReleasePen();
        }
    }
    if (PlotData* data = m_doc->GetPlotData()) {
        e.AttachPen(Pen{PenStyle::Solid, 0, m_ptsColour});
        if (DbSetMgr* sets = data->GetSetMgr())
            sets->Draw(e);
        e.ReleasePen();
    }
    (void)dc;
}

void CKurvoView::OnDraw(DeviceContext& dc)
{
    if (!HasDisplay()) {
        m_overlayOnly = 0;
        return;
    }
    const bool overlayOnly = m_overlayOnly != 0;
    const ISize c = GetClientSize();
    const IPoint off = GetCentringOffset();
    if (!overlayOnly && !m_printing) {
        // The strips around an image smaller than the window.
        const IPoint org = dc.SetViewportOrg(0, 0);
        const Colour bg = m_settings.windowColour;
        if (m_scaledSize.cx < c.cx) {
            dc.FillRect({0, 0, off.x, c.cy}, bg);
            dc.FillRect({off.x + m_scaledSize.cx, 0, c.cx, c.cy}, bg);
        }
        if (m_scaledSize.cy < c.cy) {
            dc.FillRect({0, 0, c.cx, off.y}, bg);
            dc.FillRect({0, off.y + m_scaledSize.cy, c.cx, c.cy}, bg);
        }
        dc.SetViewportOrg(org.x, org.y);
    }
    ToolEvent e;
    BuildToolEvent({0, 0}, &dc, e);
    if (overlayOnly) {
        // The feedback comes off first, so that drawing it again below leaves it shown once.
        if (!m_printing)
            m_trackMgr->Draw(e);
    } else {
        DrawImage(dc);
    }
    DrawOverlays(dc, e, !overlayOnly);
    if (!m_printing)
        m_trackMgr->Draw(e);
    m_overlayOnly = 0;
}

void CKurvoView::DrawImage(DeviceContext& dc)
{
    if (m_displayImage) {
        m_displayImage->Draw(dc, m_dithered != 0, false);
        return;
    }
    if (m_directDraw)
        DrawSampled(dc);
}

// Draws the visible part of the image scaled to the scaled size, sampling each display pixel
// with the rule the display copies are made by: display pixel (X, Y) shows image pixel
// (X * w / W, Y * h / H). No copy of the whole scaled size is made.
void CKurvoView::DrawSampled(DeviceContext& dc)
{
    CDib* image = m_doc ? m_doc->GetImage() : nullptr;
    if (!image || image->IsEmpty())
        return;
    const int srcW = image->Width();
    const int srcH = image->Height();
    const int dstW = m_scaledSize.cx;
    const int dstH = m_scaledSize.cy;
    const IRect clip = dc.GetClipRect();
    const IPoint org = dc.GetViewportOrg();
    IRect visible{clip.left - org.x, clip.top - org.y, clip.right - org.x, clip.bottom - org.y};
    visible = visible.Intersected(IRect{0, 0, dstW, dstH});
    if (visible.IsEmpty() || srcW < 1 || srcH < 1)
        return;
    const int w = visible.Width();
    const int h = visible.Height();
    m_sampleBuffer.resize(static_cast<std::size_t>(w) * static_cast<std::size_t>(h));
    std::vector<int> columns(static_cast<std::size_t>(w));
    for (int i = 0; i < w; ++i)
        columns[static_cast<std::size_t>(i)] =
            static_cast<int>(static_cast<std::int64_t>(srcW) * (visible.left + i) / dstW);

    const std::uint8_t* dib = image->GetDib();
    const int bitCount = image->BitCount();
    const std::uint8_t* bits = FindDibBits(dib);
    const std::uint64_t rowBytes = DibRowBytes(dib);
    const bool direct = bitCount == 24 || bitCount == 32;
    const int bytes = bitCount / 8;
    int lastSource = -1;
    for (int j = 0; j < h; ++j) {
        std::uint32_t* out = m_sampleBuffer.data() + static_cast<std::size_t>(j) * w;
        const int sy = static_cast<int>(static_cast<std::int64_t>(srcH) * (visible.top + j) / dstH);
        if (sy == lastSource) {
            std::copy(out - w, out, out);
            continue;
        }
        lastSource = sy;
        if (direct) {
            const std::uint8_t* row = bits + static_cast<std::uint64_t>(srcH - 1 - sy) * rowBytes;
            for (int i = 0; i < w; ++i) {
                const std::uint8_t* p =
                    row + static_cast<std::size_t>(columns[static_cast<std::size_t>(i)]) * bytes;
                out[i] = 0xFF000000u | (static_cast<std::uint32_t>(p[2]) << 16) |
                         (static_cast<std::uint32_t>(p[1]) << 8) | p[0];
            }
        } else {
            int lastColumn = -1;
            std::uint32_t value = 0;
            for (int i = 0; i < w; ++i) {
                const int sx = columns[static_cast<std::size_t>(i)];
                if (sx != lastColumn) {
                    value = image->PixelAt(sx, sy);
                    lastColumn = sx;
                }
                out[i] = value;
            }
        }
    }
    dc.SetPixels(visible.left, visible.top, w, h, m_sampleBuffer.data(), w);
}

void CKurvoView::OnActivateView(bool activate, bool otherViewActive)
{
    if (activate) {
        if (m_doc)
            m_doc->OnViewActivated();
    } else if (!otherViewActive && m_host) {
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

bool CKurvoView::IsImageLoaded() const
{
    return m_doc && m_doc->IsImageLoaded();
}

bool CKurvoView::IsRegionDefined() const
{
    return m_doc && m_doc->IsMappingDefined();
}

ISize CKurvoView::ComputeScaledSize(double zoom) const
{
    ISize image = m_doc ? m_doc->GetImageSize() : ISize{1, 1};
    if (image.cx < 1 || image.cy < 1)
        image = {1, 1};
    auto extent = [zoom](int v) {
        const double s = std::trunc(v * zoom + 0.5);
        if (!(s >= 1.0))
            return 1;
        return static_cast<int>(std::min<double>(s, static_cast<double>(kMaxScaledExtent)));
    };
    return {extent(image.cx), extent(image.cy)};
}

bool CKurvoView::ZoomAllowed(double zoom) const
{
    if (!std::isfinite(zoom) || zoom <= 0.0)
        return false;
    ISize image = m_doc ? m_doc->GetImageSize() : ISize{1, 1};
    const double limit = static_cast<double>(kMaxScaledExtent);
    return std::trunc(image.cx * zoom + 0.5) <= limit && std::trunc(image.cy * zoom + 0.5) <= limit;
}

void CKurvoView::RebuildDisplay()
{
    WaitCursor wait;
    m_scaledSize = ComputeScaledSize(m_zoom);
    if (HasDisplay())
        CDib::SetCacheSize(m_settings.allowCaching ? m_settings.cacheSize : 0);
    m_displayImage = nullptr;
    m_directDraw = false;
    CDib* image = m_doc ? m_doc->GetImage() : nullptr;
    if (image && !image->IsEmpty()) {
        const std::uint64_t bytes = DibRowBytes(m_scaledSize.cx, image->BitCount()) *
                                    static_cast<std::uint64_t>(m_scaledSize.cy);
        if (bytes <= m_settings.maxDisplayCopyBytes)
            m_displayImage = image->GetBitmap(&m_canvas, m_scaledSize.cx, m_scaledSize.cy);
        m_directDraw = m_displayImage == nullptr;
    }
    if (HasDisplay() && !m_defaultTool) {
        m_defaultTool = m_mapTool.get();
        SelectTool(m_defaultTool);
    }
}

int CKurvoView::DoRealizePalette(bool)
{
    // True-colour drawing: realising the palette changes no entries.
    return 0;
}

IPoint CKurvoView::MaxScrollPos() const
{
    const ISize c = GetClientSize();
    return {std::max(0, m_scaledSize.cx - c.cx), std::max(0, m_scaledSize.cy - c.cy)};
}

void CKurvoView::SetScrollSizes()
{
    const IPoint max = MaxScrollPos();
    m_scrollPos = {std::clamp(m_scrollPos.x, 0, max.x), std::clamp(m_scrollPos.y, 0, max.y)};
    if (m_host)
        m_host->ScrollBarsChanged();
}

void CKurvoView::ScrollToPosition(IPoint pos)
{
    const IPoint max = MaxScrollPos();
    const IPoint clamped{std::clamp(pos.x, 0, max.x), std::clamp(pos.y, 0, max.y)};
    if (clamped == m_scrollPos)
        return;
    m_scrollPos = clamped;
    if (m_host)
        m_host->ScrollBarsChanged();
    Invalidate(false);
}

// ---------------------------------------------------------------- zooming

void CKurvoView::ZoomKeeping(double zoom, IPoint anchor)
{
    const double old = m_zoom;
    const IPoint offOld = GetCentringOffset();
    const long long lx = static_cast<long long>(anchor.x) - offOld.x + m_scrollPos.x;
    const long long ly = static_cast<long long>(anchor.y) - offOld.y + m_scrollPos.y;
    m_fitted = 0;
    m_zoom = zoom;
    RebuildDisplay();
    SetScrollSizes();
    Invalidate(true);
    const double f = zoom / old;
    const IPoint offNew = GetCentringOffset();
    const IPoint max = MaxScrollPos();
    const long long tx = static_cast<long long>(std::trunc(static_cast<double>(lx) * f));
    const long long ty = static_cast<long long>(std::trunc(static_cast<double>(ly) * f));
    m_scrollPos = {Clamp(tx - (anchor.x - offNew.x), 0, max.x),
                   Clamp(ty - (anchor.y - offNew.y), 0, max.y)};
    if (m_host)
        m_host->ScrollBarsChanged();
}

bool CKurvoView::ZoomIn()
{
    const double zoom = m_zoom * m_zoomRate;
    if (!ZoomAllowed(zoom))
        return false;
    const ISize c = GetClientSize();
    ZoomKeeping(zoom, {c.cx / 2, c.cy / 2});
    return true;
}

bool CKurvoView::ZoomOut()
{
    const double zoom = (1.0 / m_zoomRate) * m_zoom;
    // Nothing is left to shrink once the image shows as a single pixel.
    if (!ZoomAllowed(zoom) || (m_scaledSize.cx <= 1 && m_scaledSize.cy <= 1))
        return false;
    const ISize c = GetClientSize();
    ZoomKeeping(zoom, {c.cx / 2, c.cy / 2});
    return true;
}

bool CKurvoView::ZoomTo(double zoom)
{
    if (!ZoomAllowed(zoom))
        return false;
    const ISize c = GetClientSize();
    ZoomKeeping(zoom, {c.cx / 2, c.cy / 2});
    return true;
}

void CKurvoView::ActualPixels()
{
    const ISize c = GetClientSize();
    ZoomKeeping(1.0, {c.cx / 2, c.cy / 2});
}

void CKurvoView::FitToWindow()
{
    m_fitted = 1;
    ISize image = m_doc ? m_doc->GetImageSize() : ISize{1, 1};
    if (image.cx < 1 || image.cy < 1)
        image = {1, 1};
    const ISize c = GetClientSize();
    if (c.cx > 0 && c.cy > 0) {
        const double w = image.cx;
        const double h = image.cy;
        const double fit = (w / h < static_cast<double>(c.cx) / c.cy) ? c.cy / h : c.cx / w;
        const double n = std::trunc(std::log(fit) / std::log(m_zoomRate) - 1.0);
        double zoom = std::pow(m_zoomRate, n);
        if (ZoomAllowed(zoom))
            m_zoom = zoom;
    }
    RebuildDisplay();
    SetScrollSizes();
    Invalidate(true);
}

void CKurvoView::ZoomAtEvent(const ToolEvent& e, bool zoomIn)
{
    const double f = m_zoomRate;
    const double zoom = zoomIn ? m_zoom * f : m_zoom / f;
    if (!ZoomAllowed(zoom) || (!zoomIn && m_scaledSize.cx <= 1 && m_scaledSize.cy <= 1))
        return;
    const long long offX = static_cast<long long>(e.logical.x) - m_scrollPos.x;
    const long long offY = static_cast<long long>(e.logical.y) - m_scrollPos.y;
    const double tx = zoomIn ? e.logical.x * f : e.logical.x / f;
    const double ty = zoomIn ? e.logical.y * f : e.logical.y / f;
    m_fitted = 0;
    m_zoom = zoom;
    m_scaledSize = ComputeScaledSize(m_zoom);
    RebuildDisplay();
    SetScrollSizes();
    const IPoint max = MaxScrollPos();
    m_scrollPos = {Clamp(static_cast<long long>(std::trunc(tx)) - offX, 0, max.x),
                   Clamp(static_cast<long long>(std::trunc(ty)) - offY, 0, max.y)};
    if (m_host)
        m_host->ScrollBarsChanged();
    Invalidate(true);
}

// ---------------------------------------------------------------- saved views

SavedView CKurvoView::CurrentSavedView() const
{
    return SavedView{m_zoom, m_scrollPos.x, m_scrollPos.y, 0};
}

bool CKurvoView::ViewDiffers(const SavedView& v) const
{
    return v.zoom != m_zoom || v.scrollX != m_scrollPos.x || v.scrollY != m_scrollPos.y;
}

void CKurvoView::PushView(int automatic)
{
    SavedView v = CurrentSavedView();
    v.automatic = automatic;
    while (m_views.GetSize() > m_viewIndex + 1)
        m_views.Pop();
    ++m_viewIndex;
    m_views.Push(v);
}

void CKurvoView::SaveView()
{
    PushView(0);
}

void CKurvoView::ApplyView(const SavedView& v)
{
    m_zoom = v.zoom;
    RebuildDisplay();
    m_fitted = 0;
    SetScrollSizes();
    const IPoint max = MaxScrollPos();
    m_scrollPos = {std::clamp(v.scrollX, 0, max.x), std::clamp(v.scrollY, 0, max.y)};
    if (m_host)
        m_host->ScrollBarsChanged();
    Invalidate(true);
}

void CKurvoView::NextSavedView()
{
    if (m_viewIndex + 1 >= m_views.GetSize())
        return;
    ++m_viewIndex;
    const SavedView v = m_views[m_viewIndex];
    if (v.automatic) {
        // The automatic entry is the top one: Previous pushed it.
        if (m_viewIndex == m_views.GetSize() - 1)
            m_views.Pop();
        --m_viewIndex;
    }
    ApplyView(v);
}

void CKurvoView::PreviousSavedView()
{
    const int count = m_views.GetSize();
    if (m_viewIndex < 0)
        return;
    if (m_viewIndex == count - 1 && ViewDiffers(m_views[m_viewIndex]))
        PushView(1);
    if (m_viewIndex < 1)
        return;
    --m_viewIndex;
    ApplyView(m_views[m_viewIndex]);
}

// ---------------------------------------------------------------- events

void CKurvoView::BuildToolEvent(IPoint p, DeviceContext* dc, ToolEvent& e)
{
    e = ToolEvent(dc, m_zoom);
    IPoint origin;
    if (m_printing) {
        e.viewportOffset = m_printOffset;
        origin = m_printOffset;
    } else {
        e.viewportOffset = GetCentringOffset();
        origin = {e.viewportOffset.x - m_scrollPos.x, e.viewportOffset.y - m_scrollPos.y};
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
    e.scaled = {e.logical.x / m_zoom, e.logical.y / m_zoom};
    const double qx = (static_cast<double>(p.x) - m_pickTol - origin.x) / m_zoom;
    const double qy = (static_cast<double>(p.y) - m_pickTol - origin.y) / m_zoom;
    e.tolerance = {std::fabs(qx - e.scaled.x), std::fabs(qy - e.scaled.y)};
}

ToolEvent CKurvoView::PrepareEvent()
{
    m_canvas.ClearClip();
    ToolEvent e;
    BuildToolEvent({0, 0}, &m_canvas, e);
    return e;
}

void CKurvoView::OnLButtonDown(IPoint p)
{
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
}

void CKurvoView::OnLButtonUp(IPoint p)
{
    if (!m_host || !m_host->HasCapture())
        return;
    ToolEvent e = PrepareEvent();
    BuildToolEvent(p, &m_canvas, e);
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
    case ViewKey::PageUp:
        if (control)
            ScrollToPosition({m_scrollPos.x + m_pageSize.cx, m_scrollPos.y});
        else
            ScrollToPosition({m_scrollPos.x, m_scrollPos.y - m_pageSize.cy});
        return;
    case ViewKey::PageDown:
        if (control)
            ScrollToPosition({m_scrollPos.x - m_pageSize.cx, m_scrollPos.y});
        else
            ScrollToPosition({m_scrollPos.x, m_scrollPos.y + m_pageSize.cy});
        return;
    case ViewKey::Left:
        ScrollToPosition({m_scrollPos.x - m_lineSize.cx, m_scrollPos.y});
        return;
    case ViewKey::Right:
        ScrollToPosition({m_scrollPos.x + m_lineSize.cx, m_scrollPos.y});
        return;
    case ViewKey::Up:
        ScrollToPosition({m_scrollPos.x, m_scrollPos.y - m_lineSize.cy});
        return;
    case ViewKey::Down:
        ScrollToPosition({m_scrollPos.x, m_scrollPos.y + m_lineSize.cy});
        return;
    case ViewKey::Home:
        ScrollToPosition({0, 0});
        return;
    case ViewKey::End:
        ScrollToPosition(MaxScrollPos());
        return;
    case ViewKey::Other:
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
    const IPoint max = MaxScrollPos();
    const IPoint target{Clamp(static_cast<long long>(m_scrollPos.x) + dx, 0, max.x),
                        Clamp(static_cast<long long>(m_scrollPos.y) + dy, 0, max.y)};
    if (!(target == m_scrollPos)) {
        m_scrollPos = target;
        if (m_host)
            m_host->ScrollBarsChanged();
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
    if (previous && cursor && m_host)
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
    m_savedPrintZoom = m_zoom;
    const double pw = pageWidth - dpiX;
    const double ph = pageHeight - dpiY;
    ISize image = m_doc ? m_doc->GetImageSize() : ISize{1, 1};
    if (pw > 0 && ph > 0 && image.cx > 0 && image.cy > 0) {
        const double zoom =
            (pw / ph <= static_cast<double>(image.cx) / image.cy) ? pw / image.cx : ph / image.cy;
        if (ZoomAllowed(zoom))
            m_zoom = zoom;
    }
    m_printing = true;
    m_printOffset = {static_cast<int>((pageWidth - image.cx * m_zoom) / 2),
                     static_cast<int>((pageHeight - image.cy * m_zoom) / 2)};
    RebuildDisplay();
}

void CKurvoView::OnPrint(DeviceContext& dc)
{
    if (!m_printing)
        return;
    OnDraw(dc);
}

void CKurvoView::OnEndPrinting()
{
    m_printing = false;
    m_zoom = m_savedPrintZoom;
    RebuildDisplay();
    SetScrollSizes();
    Invalidate(true);
}

// ---------------------------------------------------------------- commands

Tool* CKurvoView::ToolOfCommand(CommandId id) const
{
    switch (id) {
    case kDefineRegion:
        return m_mapTool.get();
    case kRotateRegion:
        return m_rotateTool.get();
    case kCollectPoints:
        return m_collectTool.get();
    case kCollectLines:
        return m_collectLineTool.get();
    case kPan:
        return m_panTool.get();
    case kZoomInRecenter:
        return m_zoominTool.get();
    case kZoomOutRecenter:
        return m_zoomoutTool.get();
    case kCrop:
        return m_cropTool.get();
    default:
        return nullptr;
    }
}

bool CKurvoView::OnCommand(CommandId id)
{
    switch (id) {
    case kZoomIn:
        ZoomIn();
        return true;
    case kZoomOut:
        ZoomOut();
        return true;
    case kFitToWindow:
        FitToWindow();
        return true;
    case kActualPixels:
        ActualPixels();
        return true;
    case kRefreshView:
        Invalidate(true);
        return true;
    case kZoomFast:
    case kZoomMedium:
    case kZoomSlow:
        m_zoomType = id - kZoomFast + 1;
        m_zoomRate = RateOfType(m_zoomType);
        m_settings.zoomType = m_zoomType;
        return true;
    case kDrawDithered:
        m_dithered = !m_dithered;
        Invalidate(false);
        return true;
    case kSaveView:
        SaveView();
        return true;
    case kNextSavedView:
        NextSavedView();
        return true;
    case kPreviousSavedView:
        PreviousSavedView();
        return true;
    case kCollectPoints:
    case kCollectLines:
        if (m_doc && !m_doc->IsMappingValid())
            m_doc->OnAxisMapping();
        if (m_doc && m_doc->IsMappingValid())
            SelectTool(ToolOfCommand(id));
        return true;
    case kDefineRegion:
    case kRotateRegion:
    case kPan:
    case kZoomInRecenter:
    case kZoomOutRecenter:
    case kCrop:
        SelectTool(ToolOfCommand(id));
        return true;
    default:
        return false;
    }
}

bool CKurvoView::OnUpdateCommand(CommandId id, CommandState& state)
{
    const bool loaded = IsImageLoaded();
    switch (id) {
    case kZoomIn:
    case kZoomOut:
    case kFitToWindow:
    case kRefreshView:
        state.Enable(loaded);
        return true;
    case kActualPixels:
        state.Enable(loaded);
        state.SetCheck(std::fabs(m_zoom - 1.0) < 1e-5);
        return true;
    case kZoomFast:
    case kZoomMedium:
    case kZoomSlow:
        state.Enable(loaded);
        state.SetRadio(m_zoomType == id - kZoomFast + 1);
        return true;
    case kDrawDithered:
        state.Enable(loaded);
        state.SetCheck(m_dithered != 0);
        return true;
    case kSaveView:
        state.Enable(HasDisplay());
        return true;
    case kNextSavedView:
        state.Enable(m_viewIndex < m_views.GetSize() - 1);
        return true;
    case kPreviousSavedView: {
        // Offered whenever the command can act: an entry below the index, or the current
        // view differing from the top entry (it is then pushed and the top one shown).
        const int count = m_views.GetSize();
        const bool atTopChanged =
            m_viewIndex >= 0 && m_viewIndex == count - 1 && ViewDiffers(m_views[m_viewIndex]);
        state.Enable(m_viewIndex >= 1 || atTopChanged);
        return true;
    }
    case kRotateRegion:
    case kCollectPoints:
    case kCollectLines: {
        Tool* tool = ToolOfCommand(id);
        const bool enabled = IsRegionDefined();
        state.Enable(enabled);
        state.SetRadio(GetCurrentTool() == tool);
        if (!enabled && GetCurrentTool() == tool && m_defaultTool)
            SelectTool(m_defaultTool);
        return true;
    }
    case kDefineRegion:
    case kPan:
    case kZoomInRecenter:
    case kZoomOutRecenter:
    case kCrop:
        state.Enable(loaded);
        state.SetRadio(GetCurrentTool() == ToolOfCommand(id));
        return true;
    default:
        return false;
    }
}
