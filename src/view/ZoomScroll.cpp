#include "view/ZoomScroll.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

int Clamp(long long v, long long lo, long long hi)
{
    return static_cast<int>(std::clamp(v, lo, std::max(lo, hi)));
}

} // namespace

ZoomScroll::ZoomScroll(std::function<ISize()> imageSize, std::function<ISize()> clientSize)
    : m_imageSize(std::move(imageSize)), m_clientSize(std::move(clientSize))
{
}

double ZoomScroll::RateOfType(int type)
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

void ZoomScroll::SetZoomType(int type)
{
    m_zoomType = type;
    m_rate = RateOfType(type);
}

ISize ZoomScroll::ClientSize() const
{
    return m_clientSize();
}

ISize ZoomScroll::ScaledSizeAt(double zoom) const
{
    ISize image = m_imageSize();
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

bool ZoomScroll::ZoomAllowed(double zoom) const
{
    if (!std::isfinite(zoom) || zoom <= 0.0)
        return false;
    const ISize image = m_imageSize();
    const double limit = static_cast<double>(kMaxScaledExtent);
    return std::trunc(image.cx * zoom + 0.5) <= limit && std::trunc(image.cy * zoom + 0.5) <= limit;
}

std::optional<double> ZoomScroll::FitZoom() const
{
    ISize image = m_imageSize();
    if (image.cx < 1 || image.cy < 1)
        image = {1, 1};
    const ISize c = ClientSize();
    if (c.cx <= 0 || c.cy <= 0)
        return std::nullopt;
    const double w = image.cx;
    const double h = image.cy;
    const double fit = (w / h < static_cast<double>(c.cx) / c.cy) ? c.cy / h : c.cx / w;
    const double n = std::trunc(std::log(fit) / std::log(m_rate) - 1.0);
    const double zoom = std::pow(m_rate, n);
    if (!ZoomAllowed(zoom))
        return std::nullopt;
    return zoom;
}

IPoint ZoomScroll::MaxScrollPos() const
{
    const ISize c = ClientSize();
    return {std::max(0, m_scaledSize.cx - c.cx), std::max(0, m_scaledSize.cy - c.cy)};
}

bool ZoomScroll::ScrollTo(IPoint pos)
{
    const IPoint max = MaxScrollPos();
    const IPoint clamped{std::clamp(pos.x, 0, max.x), std::clamp(pos.y, 0, max.y)};
    if (clamped == m_scrollPos)
        return false;
    m_scrollPos = clamped;
    return true;
}

bool ZoomScroll::ScrollBy(int dx, int dy)
{
    const IPoint max = MaxScrollPos();
    const IPoint target{Clamp(static_cast<long long>(m_scrollPos.x) + dx, 0, max.x),
                        Clamp(static_cast<long long>(m_scrollPos.y) + dy, 0, max.y)};
    if (target == m_scrollPos)
        return false;
    m_scrollPos = target;
    return true;
}

void ZoomScroll::ScrollToShow(Position target, Position at)
{
    const IPoint max = MaxScrollPos();
    m_scrollPos = {Clamp(target.x - at.x, 0, max.x), Clamp(target.y - at.y, 0, max.y)};
}

void ZoomScroll::SetClientSteps(int width, int height)
{
    m_pageStep = {width, height};
    m_lineStep = {width / 10, height / 10};
}

std::optional<IPoint> ZoomScroll::KeyScrollTarget(ViewKey key, bool control) const
{
    const IPoint pos = m_scrollPos;
    const ISize page = m_pageStep;
    const ISize line = m_lineStep;
    switch (key) {
    case ViewKey::PageUp:
        if (control)
            return IPoint{pos.x + page.cx, pos.y};
        return IPoint{pos.x, pos.y - page.cy};
    case ViewKey::PageDown:
        if (control)
            return IPoint{pos.x - page.cx, pos.y};
        return IPoint{pos.x, pos.y + page.cy};
    case ViewKey::Left:
        return IPoint{pos.x - line.cx, pos.y};
    case ViewKey::Right:
        return IPoint{pos.x + line.cx, pos.y};
    case ViewKey::Up:
        return IPoint{pos.x, pos.y - line.cy};
    case ViewKey::Down:
        return IPoint{pos.x, pos.y + line.cy};
    case ViewKey::Home:
        return IPoint{0, 0};
    case ViewKey::End:
        return MaxScrollPos();
    default:
        return std::nullopt;
    }
}

IPoint ZoomScroll::CentringOffset() const
{
    const ISize c = ClientSize();
    return {m_scaledSize.cx < c.cx ? (c.cx - m_scaledSize.cx) / 2 : 0,
            m_scaledSize.cy < c.cy ? (c.cy - m_scaledSize.cy) / 2 : 0};
}

IPoint ZoomScroll::ViewportOrigin() const
{
    const IPoint off = CentringOffset();
    return {off.x - m_scrollPos.x, off.y - m_scrollPos.y};
}

ZoomScroll::Position ZoomScroll::LogicalAt(IPoint window) const
{
    const IPoint off = CentringOffset();
    return {static_cast<long long>(window.x) - off.x + m_scrollPos.x,
            static_cast<long long>(window.y) - off.y + m_scrollPos.y};
}
