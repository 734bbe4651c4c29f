#pragma once

#include "platform/DeviceContext.h"

#include <vector>

// The software device context every view draws into: a 32-bit pixel buffer the size of
// the client area. The Qt widget shows the buffer as a QImage without copying it.
class PixelCanvas : public DeviceContext {
public:
    PixelCanvas() = default;
    PixelCanvas(int width, int height, Colour fill = kWhite);

    // Resizes the buffer; pixels are filled with the colour, the state is kept.
    void Resize(int width, int height, Colour fill = kWhite);
    void Fill(Colour c);

    int DeviceWidth() const override { return m_width; }
    int DeviceHeight() const override { return m_height; }
    std::uint32_t* Bits() { return m_pixels.data(); }
    const std::uint32_t* Bits() const { return m_pixels.data(); }
    // Pixels per row.
    std::ptrdiff_t Stride() const { return m_width; }
    // Device pixel as 0xFFRRGGBB; 0 outside the buffer.
    std::uint32_t DevicePixel(int x, int y) const;

    Pen SelectPen(const Pen& pen) override;
    Pen GetPen() const override { return m_pen; }
    RasterOp SetRop2(RasterOp rop) override;
    RasterOp GetRop2() const override { return m_rop; }

    void MoveTo(int x, int y) override;
    void LineTo(int x, int y) override;
    IPoint GetCurrentPosition() const override { return m_current; }

    void SetPixel(int x, int y, Colour c) override;
    void SetPixelRop(int x, int y, Colour c) override;
    Colour GetPixel(int x, int y) const override;
    void FillRect(const IRect& r, Colour c) override;

    IPoint SetViewportOrg(int x, int y) override;
    IPoint GetViewportOrg() const override { return m_origin; }

    void SetClipRect(const IRect& deviceRect) override;
    void ClearClip() override;
    IRect GetClipRect() const override;

    void SetPixels(int x, int y, int width, int height, const std::uint32_t* src,
                   std::ptrdiff_t srcStride) override;
    void StretchPixels(const IRect& dest, const std::uint32_t* src, std::ptrdiff_t srcStride,
                       const IRect& srcRect) override;

private:
    // Puts one device pixel through the raster operation, when inside the clip.
    void PlotDevice(int x, int y, std::uint32_t penPixel);

    int m_width = 0;
    int m_height = 0;
    std::vector<std::uint32_t> m_pixels;
    Pen m_pen;
    RasterOp m_rop = RasterOp::CopyPen;
    IPoint m_current;
    IPoint m_origin;
    bool m_clipped = false;
    IRect m_clip;
};
