#include "platform/ToolEvent.h"

ToolEvent::ToolEvent() : markerA(PlusMarker), markerB(PlusMarker), markerC(DottedPlusMarker)
{
}

ToolEvent::ToolEvent(DeviceContext* deviceContext, double zoom) : ToolEvent()
{
    dc = deviceContext;
    scale = zoom;
    drawMode = dc ? kNormal : kNoDc;
}

IPoint ToolEvent::ToWindow(double x, double y) const
{
    return {static_cast<int>(x * scale + 0.5), static_cast<int>(y * scale + 0.5)};
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
