#include "view/AutoScrollProc.h"

#include "view/CKurvoView.h"

#include <algorithm>

void AutoScrollProc::StartScroll(CKurvoView* view, IPoint direction)
{
    if (IsRunning() || !view)
        return;
    m_view = view;
    m_direction = direction;
    SetPeriod(m_slowPeriod);
    Start(view->GetHost());
}

int AutoScrollProc::Tick()
{
    if (!m_view)
        return 1;
    const IPoint p = m_view->GetLastMousePos();
    const ISize client = m_view->GetClientSize();
    const IRect r{0, 0, client.cx, client.cy};
    // Distances as 64-bit values: a far-away mouse must not overflow them.
    auto axis = [this](int v, int lo, int hi, int& sign, long long& dist) {
        if (v >= hi) {
            sign = m_direction.x;
            dist = static_cast<long long>(v) - hi;
        } else if (v < lo) {
            sign = -m_direction.x;
            dist = static_cast<long long>(lo) - v;
        } else {
            sign = 0;
            dist = 0;
        }
    };
    int sx = 0;
    int sy = 0;
    long long dx = 0;
    long long dy = 0;
    axis(p.x, r.left, r.right, sx, dx);
    axis(p.y, r.top, r.bottom, sy, dy);
    const float d = static_cast<float>(std::max(dx, dy));
    float speed = static_cast<float>(m_baseStep);
    if (d > m_rampDistance)
        speed = static_cast<float>(m_baseStep) * ((d - m_rampDistance) / 20.0f + 1.0f);
    // A step never exceeds what a scroll position can hold.
    speed = std::min(speed, 1.0e9f);
    m_view->ScrollBy(static_cast<int>(static_cast<float>(sx) * speed),
                     static_cast<int>(static_cast<float>(sy) * speed));
    if (p == m_lastPoint)
        return 1;
    int period =
        static_cast<int>(static_cast<float>(m_slowPeriod) -
                         static_cast<float>(m_slowPeriod - m_fastPeriod) / m_rampDistance * speed);
    if (period <= m_fastPeriod)
        period = m_fastPeriod;
    SetPeriod(period);
    m_lastPoint = p;
    return 1;
}
