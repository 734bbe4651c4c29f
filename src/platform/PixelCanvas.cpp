#include "platform/PixelCanvas.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {
// Wide enough for products of two 33-bit line extents.
__extension__ typedef __int128 Wide;
} // namespace

PixelCanvas::PixelCanvas(int width, int height, Colour fill)
{
    Resize(width, height, fill);
}

void PixelCanvas::Resize(int width, int height, Colour fill)
{
    m_width = std::max(0, width);
    m_height = std::max(0, height);
    m_pixels.assign(static_cast<std::size_t>(m_width) * static_cast<std::size_t>(m_height),
                    ColourToPixel(fill));
}

void PixelCanvas::Fill(Colour c)
{
    std::fill(m_pixels.begin(), m_pixels.end(), ColourToPixel(c));
}

std::uint32_t PixelCanvas::DevicePixel(int x, int y) const
{
    if (x < 0 || y < 0 || x >= m_width || y >= m_height)
        return 0;
    return m_pixels[static_cast<std::size_t>(y) * m_width + x];
}

Pen PixelCanvas::SelectPen(const Pen& pen)
{
    Pen old = m_pen;
    m_pen = pen;
    return old;
}

RasterOp PixelCanvas::SetRop2(RasterOp rop)
{
    RasterOp old = m_rop;
    m_rop = rop;
    return old;
}

IRect PixelCanvas::GetClipRect() const
{
    IRect all{0, 0, m_width, m_height};
    return m_clipped ? m_clip.Intersected(all) : all;
}

void PixelCanvas::SetClipRect(const IRect& deviceRect)
{
    m_clipped = true;
    m_clip = deviceRect;
}

void PixelCanvas::ClearClip()
{
    m_clipped = false;
}

void PixelCanvas::PlotDevice(int x, int y, std::uint32_t penPixel)
{
    if (x < 0 || y < 0 || x >= m_width || y >= m_height)
        return;
    if (m_clipped && !m_clip.Contains({x, y}))
        return;
    std::uint32_t& d = m_pixels[static_cast<std::size_t>(y) * m_width + x];
    switch (m_rop) {
    case RasterOp::CopyPen:
        d = penPixel;
        break;
    case RasterOp::NotXorPen:
        d = 0xFF000000u | (~(penPixel ^ d) & 0x00FFFFFFu);
        break;
    case RasterOp::XorPen:
        d = 0xFF000000u | ((penPixel ^ d) & 0x00FFFFFFu);
        break;
    case RasterOp::Not:
        d = 0xFF000000u | (~d & 0x00FFFFFFu);
        break;
    }
}

void PixelCanvas::MoveTo(int x, int y)
{
    m_current = {x, y};
}

void PixelCanvas::LineTo(int x, int y)
{
    const IPoint from = LPtoDP(m_current);
    const IPoint to = LPtoDP({x, y});
    m_current = {x, y};
    if (m_pen.style == PenStyle::Null)
        return;
    const std::uint32_t pix = ColourToPixel(m_pen.colour);
    const IRect clip = GetClipRect();
    if (clip.IsEmpty())
        return;

    // Walk the major axis; the minor coordinate at step i is the rounded exact value, which
    // is what Bresenham's error term gives. Only the steps whose major coordinate lies in
    // the clip are visited, so a line reaching far outside costs no more than a visible one.
    const long long ddx = static_cast<long long>(to.x) - from.x;
    const long long ddy = static_cast<long long>(to.y) - from.y;
    const long long adx = std::llabs(ddx), ady = std::llabs(ddy);
    const bool xMajor = adx >= ady;
    const long long steps = xMajor ? adx : ady;
    if (steps == 0)
        return;
    const long long major0 = xMajor ? from.x : from.y;
    const int majorStep = (xMajor ? ddx : ddy) < 0 ? -1 : 1;
    const long long minor0 = xMajor ? from.y : from.x;
    const int minorStep = (xMajor ? ddy : ddx) < 0 ? -1 : 1;
    const long long minorDelta = xMajor ? ady : adx;
    const long long lo = xMajor ? clip.left : clip.top;
    const long long hi = (xMajor ? clip.right : clip.bottom) - 1;

    // Steps i in [0, steps) with major0 + majorStep * i in [lo, hi].
    long long iFirst, iLast;
    if (majorStep > 0) {
        iFirst = lo - major0;
        iLast = hi - major0;
    } else {
        iFirst = major0 - hi;
        iLast = major0 - lo;
    }
    iFirst = std::max(iFirst, 0LL);
    iLast = std::min(iLast, steps - 1);
    for (long long i = iFirst; i <= iLast; ++i) {
        if (m_pen.style == PenStyle::Dot && (i % 2) != 0)
            continue;
        const long long major = major0 + majorStep * i;
        const long long minor =
            minor0 + minorStep * static_cast<long long>((Wide(2) * i * minorDelta + steps) /
                                                        (Wide(2) * steps));
        const long long px = xMajor ? major : minor;
        const long long py = xMajor ? minor : major;
        if (px < clip.left || px >= clip.right || py < clip.top || py >= clip.bottom)
            continue;
        PlotDevice(static_cast<int>(px), static_cast<int>(py), pix);
    }
}

void PixelCanvas::SetPixel(int x, int y, Colour c)
{
    const IPoint d = LPtoDP({x, y});
    RasterOp saved = m_rop;
    m_rop = RasterOp::CopyPen;
    PlotDevice(d.x, d.y, ColourToPixel(c));
    m_rop = saved;
}

void PixelCanvas::SetPixelRop(int x, int y, Colour c)
{
    const IPoint d = LPtoDP({x, y});
    PlotDevice(d.x, d.y, ColourToPixel(c));
}

Colour PixelCanvas::GetPixel(int x, int y) const
{
    const IPoint d = LPtoDP({x, y});
    return PixelToColour(DevicePixel(d.x, d.y));
}

void PixelCanvas::FillRect(const IRect& r, Colour c)
{
    IRect n = r;
    n.Normalize();
    const IPoint a = LPtoDP({n.left, n.top});
    IRect dev{a.x, a.y, a.x + n.Width(), a.y + n.Height()};
    dev = dev.Intersected(GetClipRect());
    const std::uint32_t pix = ColourToPixel(c);
    for (int y = dev.top; y < dev.bottom; ++y)
        std::fill_n(m_pixels.begin() + static_cast<std::ptrdiff_t>(y) * m_width + dev.left,
                    dev.Width(), pix);
}

IPoint PixelCanvas::SetViewportOrg(int x, int y)
{
    IPoint old = m_origin;
    m_origin = {x, y};
    return old;
}

void PixelCanvas::SetPixels(int x, int y, int width, int height, const std::uint32_t* src,
                            std::ptrdiff_t srcStride)
{
    if (!src || width <= 0 || height <= 0)
        return;
    const IPoint a = LPtoDP({x, y});
    IRect dev{a.x, a.y, a.x + width, a.y + height};
    IRect vis = dev.Intersected(GetClipRect());
    for (int row = vis.top; row < vis.bottom; ++row) {
        const std::uint32_t* s =
            src + static_cast<std::ptrdiff_t>(row - a.y) * srcStride + (vis.left - a.x);
        std::memcpy(&m_pixels[static_cast<std::size_t>(row) * m_width + vis.left], s,
                    static_cast<std::size_t>(vis.Width()) * sizeof(std::uint32_t));
    }
}

void PixelCanvas::StretchPixels(const IRect& dest, const std::uint32_t* src,
                                std::ptrdiff_t srcStride, const IRect& srcRect)
{
    if (!src || dest.IsEmpty() || srcRect.IsEmpty())
        return;
    const IPoint a = LPtoDP({dest.left, dest.top});
    IRect dev{a.x, a.y, a.x + dest.Width(), a.y + dest.Height()};
    IRect vis = dev.Intersected(GetClipRect());
    if (vis.IsEmpty())
        return;
    const long long dw = dest.Width(), dh = dest.Height();
    const long long sw = srcRect.Width(), sh = srcRect.Height();
    std::vector<int> columns(static_cast<std::size_t>(vis.Width()));
    for (int x = vis.left; x < vis.right; ++x)
        columns[static_cast<std::size_t>(x - vis.left)] =
            srcRect.left + static_cast<int>(((x - a.x) * sw) / dw);
    for (int y = vis.top; y < vis.bottom; ++y) {
        const int sy = srcRect.top + static_cast<int>(((y - a.y) * sh) / dh);
        const std::uint32_t* srow = src + static_cast<std::ptrdiff_t>(sy) * srcStride;
        std::uint32_t* drow = &m_pixels[static_cast<std::size_t>(y) * m_width];
        for (int x = vis.left; x < vis.right; ++x)
            drow[x] = srow[columns[static_cast<std::size_t>(x - vis.left)]];
    }
}
