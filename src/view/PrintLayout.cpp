#include "view/PrintLayout.h"

double PrintLayout::Begin(ISize page, ISize dpi, ISize image, double viewZoom,
                          const std::function<bool(double)>& allowed)
{
    m_savedZoom = viewZoom;
    double zoom = viewZoom;
    const double pw = page.cx - dpi.cx;
    const double ph = page.cy - dpi.cy;
    if (pw > 0 && ph > 0 && image.cx > 0 && image.cy > 0) {
        const double fit =
            (pw / ph <= static_cast<double>(image.cx) / image.cy) ? pw / image.cx : ph / image.cy;
        if (allowed(fit))
            zoom = fit;
    }
    m_printing = true;
    m_offset = {static_cast<int>((page.cx - image.cx * zoom) / 2),
                static_cast<int>((page.cy - image.cy * zoom) / 2)};
    return zoom;
}

double PrintLayout::End()
{
    m_printing = false;
    return m_savedZoom;
}
