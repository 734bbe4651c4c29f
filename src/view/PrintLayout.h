#pragma once

#include "platform/Geometry.h"

#include <functional>

// The layout of a printed view: one page, the image fitted into the printable area (the page
// less an inch on each axis) and centred on the page. The view's zoom is set aside while the
// page prints and comes back at the end.
class PrintLayout {
public:
    // Starts a print of an image of `image` pixels on a page of `page` device pixels at `dpi`
    // dots per inch: returns the zoom to print at, the fitting one when `allowed` takes it,
    // else `viewZoom`.
    double Begin(ISize page, ISize dpi, ISize image, double viewZoom,
                 const std::function<bool(double)>& allowed);
    // Ends the print: the view's zoom from before.
    double End();

    bool IsPrinting() const { return m_printing; }
    // Where the image's top-left pixel lands on the page.
    IPoint Offset() const { return m_offset; }

private:
    bool m_printing = false;
    double m_savedZoom = 1.0;
    IPoint m_offset;
};
