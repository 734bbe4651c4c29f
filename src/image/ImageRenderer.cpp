#include "image/ImageRenderer.h"

#include "image/CDib.h"
#include "image/DibUtil.h"
#include "platform/DeviceContext.h"

#include <algorithm>

void ImageRenderer::Rebuild(CDib* image, ISize scaled, std::uint64_t maxCopyBytes,
                            DeviceContext* compatible)
{
    m_displayImage = nullptr;
    m_directDraw = false;
    if (!image || image->IsEmpty())
        return;
    const std::uint64_t bytes =
        DibRowBytes(scaled.cx, image->BitCount()) * static_cast<std::uint64_t>(scaled.cy);
    if (bytes <= maxCopyBytes)
        m_displayImage = image->GetBitmap(compatible, scaled.cx, scaled.cy);
    m_directDraw = m_displayImage == nullptr;
}

void ImageRenderer::Draw(DeviceContext& dc, const CDib* image, ISize scaled, bool dithered)
{
    if (m_displayImage) {
        m_displayImage->Draw(dc, dithered, false);
        return;
    }
    if (m_directDraw && image && !image->IsEmpty())
        DrawSampled(dc, *image, scaled);
}

void ImageRenderer::FillMargins(DeviceContext& dc, ISize client, IPoint offset, ISize scaled,
                                Colour colour)
{
    const IPoint org = dc.SetViewportOrg(0, 0);
    if (scaled.cx < client.cx) {
        dc.FillRect({0, 0, offset.x, client.cy}, colour);
        dc.FillRect({offset.x + scaled.cx, 0, client.cx, client.cy}, colour);
    }
    if (scaled.cy < client.cy) {
        dc.FillRect({0, 0, client.cx, offset.y}, colour);
        dc.FillRect({0, offset.y + scaled.cy, client.cx, client.cy}, colour);
    }
    dc.SetViewportOrg(org.x, org.y);
}

// Samples each display pixel with the rule the display copies are made by: display pixel
// (X, Y) shows image pixel (X * w / W, Y * h / H). No copy of the whole scaled size is made.
void ImageRenderer::DrawSampled(DeviceContext& dc, const CDib& image, ISize scaled)
{
    const int srcW = image.Width();
    const int srcH = image.Height();
    const int dstW = scaled.cx;
    const int dstH = scaled.cy;
    const IRect clip = dc.GetClipRect();
    const IPoint org = dc.GetViewportOrg();
    IRect visible{clip.left - org.x, clip.top - org.y, clip.right - org.x, clip.bottom - org.y};
    visible = visible.Intersected(IRect{0, 0, dstW, dstH});
    if (visible.IsEmpty() || srcW < 1 || srcH < 1)
        return;
    const int w = visible.Width();
    const int h = visible.Height();
    m_sampleBuffer.resize(static_cast<std::size_t>(w) * static_cast<std::size_t>(h));
    std::vector<int> columns(static_cast<std::size_t>(w));
    for (int i = 0; i < w; ++i)
        columns[static_cast<std::size_t>(i)] =
            static_cast<int>(static_cast<std::int64_t>(srcW) * (visible.left + i) / dstW);

    const std::uint8_t* dib = image.GetDib();
    const int bitCount = image.BitCount();
    const std::uint8_t* bits = FindDibBits(dib);
    const std::uint64_t rowBytes = DibRowBytes(dib);
    const bool direct = bitCount == 24 || bitCount == 32;
    const int bytes = bitCount / 8;
    int lastSource = -1;
    for (int j = 0; j < h; ++j) {
        std::uint32_t* out = m_sampleBuffer.data() + static_cast<std::size_t>(j) * w;
        const int sy = static_cast<int>(static_cast<std::int64_t>(srcH) * (visible.top + j) / dstH);
        if (sy == lastSource) {
            std::copy(out - w, out, out);
            continue;
        }
        lastSource = sy;
        if (direct) {
            const std::uint8_t* row = bits + static_cast<std::uint64_t>(srcH - 1 - sy) * rowBytes;
            for (int i = 0; i < w; ++i) {
                const std::uint8_t* p =
                    row + static_cast<std::size_t>(columns[static_cast<std::size_t>(i)]) * bytes;
                out[i] = 0xFF000000u | (static_cast<std::uint32_t>(p[2]) << 16) |
                         (static_cast<std::uint32_t>(p[1]) << 8) | p[0];
            }
        } else {
            int lastColumn = -1;
            std::uint32_t value = 0;
            for (int i = 0; i < w; ++i) {
                const int sx = columns[static_cast<std::size_t>(i)];
                if (sx != lastColumn) {
                    value = image.PixelAt(sx, sy);
                    lastColumn = sx;
                }
                out[i] = value;
            }
        }
    }
    dc.SetPixels(visible.left, visible.top, w, h, m_sampleBuffer.data(), w);
}
