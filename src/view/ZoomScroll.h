#pragma once

#include "platform/Geometry.h"
#include "view/ViewKey.h"

#include <cstdint>
#include <functional>
#include <optional>

// The zoom and scroll state of the image view: the zoom factor and its step rate, the scaled
// size of the image, the scroll position within the range the window leaves, the page and
// line steps of the scroll keys, and the mapping between window and logical positions (the
// image's top-left pixel is logical (0, 0)). It reads the image and client sizes through the
// functions it is given and changes nothing outside itself.
class ZoomScroll {
public:
    // The largest scaled size on an axis a zoom step may reach.
    static constexpr std::int64_t kMaxScaledExtent = std::int64_t{1} << 30;

    // A logical position held in 64 bits while a zoom moves it.
    struct Position {
        long long x = 0;
        long long y = 0;
    };

    ZoomScroll(std::function<ISize()> imageSize, std::function<ISize()> clientSize);

    // The zoom rate of a zoom-speed setting: 1 fast, 2 medium, 3 slow (any other: medium).
    static double RateOfType(int type);

    double Zoom() const { return m_zoom; }
    void SetZoom(double zoom) { m_zoom = zoom; }
    double Rate() const { return m_rate; }
    int ZoomType() const { return m_zoomType; }
    void SetZoomType(int type);
    bool IsFitted() const { return m_fitted; }
    void SetFitted(bool fitted) { m_fitted = fitted; }

    // The image size at `zoom`, each axis rounded and kept within 1 .. kMaxScaledExtent.
    ISize ScaledSizeAt(double zoom) const;
    // Whether `zoom` is a usable factor whose scaled size stays within the scroll range.
    bool ZoomAllowed(double zoom) const;
    ISize ScaledSize() const { return m_scaledSize; }
    // The scaled size follows the zoom.
    void UpdateScaledSize() { m_scaledSize = ScaledSizeAt(m_zoom); }
    // Whether the image shows as a single pixel (nothing is left to zoom out of).
    bool IsSmallest() const { return m_scaledSize.cx <= 1 && m_scaledSize.cy <= 1; }
    // The largest power of the rate one step below the exact fit of the image in the window;
    // none for an empty window or a factor out of range.
    std::optional<double> FitZoom() const;

    IPoint ScrollPos() const { return m_scrollPos; }
    IPoint MaxScrollPos() const;
    // Moves the scroll position to `pos` kept within range; false when it does not move.
    bool ScrollTo(IPoint pos);
    // Moves the scroll position by (dx, dy) kept within range; false when it does not move.
    bool ScrollBy(int dx, int dy);
    // Keeps the scroll position within the range after a change of size.
    void ClampScroll() { ScrollTo(m_scrollPos); }
    // Scrolls so that logical position `target` shows `at` from the window's image origin.
    void ScrollToShow(Position target, Position at);

    // The page and line steps of the scroll keys follow the client size.
    void SetClientSteps(int width, int height);
    // Where a scroll key moves the scroll position to (before it is kept within range); none
    // for the other keys. Page Up and Page Down with Control page right and left.
    std::optional<IPoint> KeyScrollTarget(ViewKey key, bool control) const;

    // Where the image's top-left sits in a window larger than the scaled image.
    IPoint CentringOffset() const;
    // The window position of logical (0, 0).
    IPoint ViewportOrigin() const;
    // The logical position under window position `window`.
    Position LogicalAt(IPoint window) const;

private:
    ISize ClientSize() const;

    std::function<ISize()> m_imageSize;
    std::function<ISize()> m_clientSize;
    double m_zoom = 1.0;
    double m_rate = 1.2;
    int m_zoomType = 2;
    bool m_fitted = false;
    ISize m_scaledSize{1, 1};
    IPoint m_scrollPos;
    ISize m_pageStep{10, 10};
    ISize m_lineStep{1, 1};
};
