#pragma once

#include "platform/Colour.h"
#include "platform/Geometry.h"

#include <cstdint>
#include <vector>

class CDib;
class DeviceContext;

// Shows an image scaled to a given size. A display copy from the image's cache is drawn when
// it fits the byte budget; otherwise each draw samples the visible part of the image itself,
// so that memory stays bounded at any zoom. Both ways show the same pixels.
class ImageRenderer {
public:
    // Chooses how `image` shows at `scaled` size (nothing for a null or empty image). The
    // display copy, when made, is made for `compatible`.
    void Rebuild(CDib* image, ISize scaled, std::uint64_t maxCopyBytes, DeviceContext* compatible);
    // Draws `image` at `scaled` size with its top-left at the device's viewport origin,
    // within the device's clip rectangle.
    void Draw(DeviceContext& dc, const CDib* image, ISize scaled, bool dithered);

    // Fills the strips of a `client`-sized window around an image of `scaled` size whose
    // top-left sits at `offset`, in device coordinates.
    static void FillMargins(DeviceContext& dc, ISize client, IPoint offset, ISize scaled,
                            Colour colour);

    bool HasDisplay() const { return m_displayImage != nullptr || m_directDraw; }
    // Whether the visible part is sampled on each draw (no display copy).
    bool IsDrawingDirect() const { return m_directDraw; }

private:
    void DrawSampled(DeviceContext& dc, const CDib& image, ISize scaled);

    CDib* m_displayImage = nullptr;
    bool m_directDraw = false;
    std::vector<std::uint32_t> m_sampleBuffer;
};
