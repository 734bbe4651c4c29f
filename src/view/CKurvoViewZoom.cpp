// The view's zoom: the zoom commands and tools, zooming about the pointer with the wheel, and
// the pointer's plot position and the loupe that follow it.
#include "view/CKurvoView.h"

#include "mapping/TransformData.h"
#include "tasks/PlotData.h"
#include "view/CropTool.h"
#include "view/FormatC.h"
#include "view/Magnifier.h"
#include "view/PanTool.h"
#include "view/Tool.h"
#include "view/ViewDocument.h"
#include "view/ViewHost.h"
#include "view/ZoomTool.h"

#include <algorithm>
#include <cmath>

// ---------------------------------------------------------------- zooming

void CKurvoView::ZoomKeeping(double zoom, IPoint anchor)
{
    const double old = m_zoomScroll.Zoom();
    const ZoomScroll::Position logical = m_zoomScroll.LogicalAt(anchor);
    m_zoomScroll.SetFitted(false);
    m_zoomScroll.SetZoom(zoom);
    RebuildDisplay();
    SetScrollSizes();
    Invalidate(true);
    const double f = zoom / old;
    const IPoint off = m_zoomScroll.CentringOffset();
    m_zoomScroll.ScrollToShow(
        {static_cast<long long>(std::trunc(static_cast<double>(logical.x) * f)),
         static_cast<long long>(std::trunc(static_cast<double>(logical.y) * f))},
        {anchor.x - off.x, anchor.y - off.y});
    ScrollBarsChanged();
}

bool CKurvoView::ZoomIn()
{
    const double zoom = m_zoomScroll.Zoom() * m_zoomScroll.Rate();
    if (!m_zoomScroll.ZoomAllowed(zoom))
        return false;
    const ISize c = GetClientSize();
    ZoomKeeping(zoom, {c.cx / 2, c.cy / 2});
    return true;
}

bool CKurvoView::ZoomOut()
{
    const double zoom = (1.0 / m_zoomScroll.Rate()) * m_zoomScroll.Zoom();
    // Nothing is left to shrink once the image shows as a single pixel.
    if (!m_zoomScroll.ZoomAllowed(zoom) || m_zoomScroll.IsSmallest())
        return false;
    const ISize c = GetClientSize();
    ZoomKeeping(zoom, {c.cx / 2, c.cy / 2});
    return true;
}

bool CKurvoView::ZoomTo(double zoom)
{
    if (!m_zoomScroll.ZoomAllowed(zoom))
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
    m_zoomScroll.SetFitted(true);
    if (const std::optional<double> zoom = m_zoomScroll.FitZoom())
        m_zoomScroll.SetZoom(*zoom);
    RebuildDisplay();
    SetScrollSizes();
    Invalidate(true);
}

void CKurvoView::ZoomAtEvent(const ToolEvent& e, bool zoomIn)
{
    const double f = m_zoomScroll.Rate();
    const double old = m_zoomScroll.Zoom();
    const double zoom = zoomIn ? old * f : old / f;
    if (!m_zoomScroll.ZoomAllowed(zoom) || (!zoomIn && m_zoomScroll.IsSmallest()))
        return;
    const IPoint scroll = m_zoomScroll.ScrollPos();
    const ZoomScroll::Position at{static_cast<long long>(e.logical.x) - scroll.x,
                                  static_cast<long long>(e.logical.y) - scroll.y};
    const double tx = zoomIn ? e.logical.x * f : e.logical.x / f;
    const double ty = zoomIn ? e.logical.y * f : e.logical.y / f;
    m_zoomScroll.SetFitted(false);
    m_zoomScroll.SetZoom(zoom);
    RebuildDisplay();
    SetScrollSizes();
    m_zoomScroll.ScrollToShow(
        {static_cast<long long>(std::trunc(tx)), static_cast<long long>(std::trunc(ty))}, at);
    ScrollBarsChanged();
    Invalidate(true);
}

// ---------------------------------------------------------------- zoom about a point, wheel, loupe

DPoint CKurvoView::ImagePointAt(IPoint p) const
{
    const ZoomScroll::Position logical = m_zoomScroll.LogicalAt(p);
    const double zoom = m_zoomScroll.Zoom();
    return {ToolEvent::ImageOf(static_cast<double>(logical.x), zoom),
            ToolEvent::ImageOf(static_cast<double>(logical.y), zoom)};
}

bool CKurvoView::ZoomAbout(double zoom, IPoint window)
{
    if (!m_zoomScroll.ZoomAllowed(zoom))
        return false;
    const DPoint v = ImagePointAt(window);
    HideLoupe();
    m_zoomScroll.SetFitted(false);
    m_zoomScroll.SetZoom(zoom);
    RebuildDisplay();
    SetScrollSizes();
    // The logical pixel whose centre lies nearest the point goes under the same window pixel.
    const IPoint off = m_zoomScroll.CentringOffset();
    const ZoomScroll::Position target{std::llround((v.x + 0.5) * zoom - 0.5),
                                      std::llround((v.y + 0.5) * zoom - 0.5)};
    m_zoomScroll.ScrollToShow(target, {static_cast<long long>(window.x) - off.x,
                                       static_cast<long long>(window.y) - off.y});
    ScrollBarsChanged();
    Invalidate(true);
    return true;
}

void CKurvoView::OnMouseWheel(IPoint p, int notches, bool control, bool shift)
{
    if (notches == 0 || !HasDisplay())
        return;
    if (control) {
        const double zoom = m_zoomScroll.Zoom() * std::pow(m_zoomScroll.Rate(), notches);
        if (notches < 0 && m_zoomScroll.IsSmallest())
            return;
        ZoomAbout(zoom, p);
    } else {
        const ISize c = GetClientSize();
        const int line = std::max(1, (shift ? c.cx : c.cy) / 10);
        const long long amount = -static_cast<long long>(notches) * line;
        const int step = static_cast<int>(std::clamp(amount, -(1LL << 30), 1LL << 30));
        if (shift)
            ScrollBy(step, 0);
        else
            ScrollBy(0, step);
    }
    // Another image point is under the pointer now.
    m_lastMouse = p;
    ToolEvent e;
    BuildToolEvent(p, nullptr, e);
    ShowPointerPosition(e);
    UpdateLoupe(e, p);
}

void CKurvoView::ShowZoom()
{
    if (m_host && HasDisplay())
        m_host->SetStatusText(kPaneZoom, FormatC("%.4g%%", m_zoomScroll.Zoom() * 100.0));
}

std::string CKurvoView::GraphText(const ToolEvent& e, DPoint pixel) const
{
    DPoint graph;
    if (!m_doc || !m_doc->IsMappingDefined() || !PixelToGraph(pixel, graph))
        return {};
    DPoint extent{1.0, 1.0};
    ToolEvent at = e;
    at.scaled = pixel;
    m_doc->GetPixelResolution(at, extent);
    return Tool::PositionText(graph, extent);
}

void CKurvoView::ShowPointerPosition(const ToolEvent& e)
{
    if (m_host)
        m_host->SetStatusText(kPanePosition, GraphText(e, e.scaled));
}

void CKurvoView::ShowMagnifier(bool on)
{
    m_magnifierOn = on;
    if (!on)
        HideLoupe();
}

void CKurvoView::SetMagnifierFactor(int factor)
{
    m_magnifier->SetFactor(factor);
}

void CKurvoView::HideLoupe()
{
    if (!m_loupeShown)
        return;
    m_loupeShown = false;
    CanvasChanged();
}

void CKurvoView::OnMouseLeave()
{
    HideLoupe();
}

void CKurvoView::UpdateLoupe(const ToolEvent& e, IPoint p)
{
    const Tool* tool = GetCurrentTool();
    const bool navigating = tool == m_panTool.get() || tool == m_zoominTool.get() ||
                            tool == m_zoomoutTool.get() || tool == m_cropTool.get();
    const ISize c = GetClientSize();
    const bool inside = p.x >= 0 && p.y >= 0 && p.x < c.cx && p.y < c.cy;
    if (!m_magnifierOn || !tool || navigating || !inside || !HasDisplay()) {
        HideLoupe();
        return;
    }
    m_magnifier->Render(m_doc ? m_doc->GetImage() : nullptr, e.scaled, m_settings.windowColour);
    m_loupePos =
        Magnifier::Place(p, {Magnifier::kSize, Magnifier::kSize + Magnifier::kLabelHeight}, c);
    m_loupeLabel = GraphText(e, e.scaled);
    if (m_loupeLabel.empty())
        m_loupeLabel = FormatC("Pixel (%.2f, %.2f)", e.scaled.x, e.scaled.y);
    m_loupeShown = true;
    CanvasChanged();
}
