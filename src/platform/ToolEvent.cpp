#include "platform/ToolEvent.h"

#include <algorithm>
#include <cmath>

ToolEvent::ToolEvent() : markerA(PlusMarker), markerB(PlusMarker), markerC(DottedPlusMarker)
{
}

ToolEvent::ToolEvent(DeviceContext* deviceContext, double zoom) : ToolEvent()
{
    dc = deviceContext;
    scale = zoom;
    drawMode = dc ? kNormal : kNoDc;
}

int ToolEvent::WindowOf(double v, double zoom)
{
    // Image pixel i covers window pixels [i * zoom, (i + 1) * zoom): coordinate v, the pixel
    // centres being whole numbers, lies in the window pixel floor((v + 0.5) * zoom). Values out
    // of the 32-bit range (a hostile region, an extreme zoom) are held well inside it.
    const double w = std::floor((v + 0.5) * zoom);
    if (std::isnan(w))
        return 0;
    return static_cast<int>(std::clamp(w, -1.0e9, 1.0e9));
}

double ToolEvent::ImageOf(double windowPixel, double zoom)
{
    return (windowPixel + 0.5) / zoom - 0.5;
}

IPoint ToolEvent::ToWindow(double x, double y) const
{
    return {WindowOf(x, scale), WindowOf(y, scale)};
}

void ToolEvent::AttachPen(const Pen& p)
{
    if (!dc)
        return;
    if (pen)
        dc->SelectPen(savedPen);
    pen = p;
    savedPen = dc->SelectPen(p);
}

void ToolEvent::ReleasePen()
{
    if (!dc || !pen)
        return;
    dc->SelectPen(savedPen);
    pen.reset();
}

void ToolEvent::BeginXor()
{
    if (!dc)
        return;
    savedRop = dc->SetRop2(RasterOp::NotXorPen);
    drawMode = kXor;
}

void ToolEvent::EndXor()
{
    if (!dc)
        return;
    dc->SetRop2(savedRop);
    drawMode = kNormal;
}

void PlusMarker(ToolEvent& e, double x, double y)
{
    if (!e.dc)
        return;
    const IPoint p = e.ToWindow(x, y);
    e.dc->MoveTo(p.x - 5, p.y);
    e.dc->LineTo(p.x + 6, p.y);
    e.dc->MoveTo(p.x, p.y - 5);
    e.dc->LineTo(p.x, p.y + 6);
}

void DottedPlusMarker(ToolEvent& e, double x, double y)
{
    if (!e.dc)
        return;
    const IPoint p = e.ToWindow(x, y);
    e.dc->SetPixel(p.x, p.y, e.colour);
    for (int d = 1; d <= 5; ++d) {
        const Colour c = (d % 2) ? e.colour : kWhite;
        e.dc->SetPixel(p.x + d, p.y, c);
        e.dc->SetPixel(p.x - d, p.y, c);
        e.dc->SetPixel(p.x, p.y + d, c);
        e.dc->SetPixel(p.x, p.y - d, c);
    }
}
