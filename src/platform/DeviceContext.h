#pragma once

#include "platform/Colour.h"
#include "platform/Geometry.h"

#include <cstddef>
#include <cstdint>

enum class PenStyle { Solid, Dot, Null };

// A cosmetic pen: lines one pixel wide whatever the width asks (the program draws width 0).
struct Pen {
    PenStyle style = PenStyle::Solid;
    int width = 0;
    Colour colour = kBlack;
    friend bool operator==(const Pen&, const Pen&) = default;
};

// Raster operations of pens: copy, or not-XOR (drawn twice, a figure leaves no trace).
enum class RasterOp { CopyPen, NotXorPen, XorPen, Not };

// Drawing surface of the views. Coordinates given to the drawing calls are logical:
// device = logical + viewport origin. Pixels are 0xFFRRGGBB words (see Colour.h).
class DeviceContext {
public:
    virtual ~DeviceContext() = default;

    virtual int DeviceWidth() const = 0;
    virtual int DeviceHeight() const = 0;

    // Pen and raster operation; each returns what was in force before.
    virtual Pen SelectPen(const Pen& pen) = 0;
    virtual Pen GetPen() const = 0;
    virtual RasterOp SetRop2(RasterOp rop) = 0;
    virtual RasterOp GetRop2() const = 0;

    // Lines with the selected pen and raster operation; the end pixel is not drawn.
    virtual void MoveTo(int x, int y) = 0;
    virtual void LineTo(int x, int y) = 0;
    virtual IPoint GetCurrentPosition() const = 0;

    // A single pixel in the given colour (the raster operation does not apply).
    virtual void SetPixel(int x, int y, Colour c) = 0;
    // A single pixel through the selected raster operation with the given colour.
    virtual void SetPixelRop(int x, int y, Colour c) = 0;
    virtual Colour GetPixel(int x, int y) const = 0;
    // Fills a logical rectangle (right and bottom exclusive) in the colour.
    virtual void FillRect(const IRect& r, Colour c) = 0;

    // Viewport origin: where logical (0,0) lies on the device.
    virtual IPoint SetViewportOrg(int x, int y) = 0;
    virtual IPoint GetViewportOrg() const = 0;
    IPoint LPtoDP(IPoint p) const
    {
        IPoint o = GetViewportOrg();
        return {p.x + o.x, p.y + o.y};
    }
    IPoint DPtoLP(IPoint p) const
    {
        IPoint o = GetViewportOrg();
        return {p.x - o.x, p.y - o.y};
    }

    // Drawing is limited to this device rectangle (the whole device when cleared).
    virtual void SetClipRect(const IRect& deviceRect) = 0;
    virtual void ClearClip() = 0;
    virtual IRect GetClipRect() const = 0;

    // 1:1 transfer of 32-bit pixels (rows top-down, stride in pixels) to a logical position.
    virtual void SetPixels(int x, int y, int width, int height, const std::uint32_t* src,
                           std::ptrdiff_t srcStride) = 0;
    // Nearest-neighbour stretch of a source rectangle onto a logical rectangle.
    virtual void StretchPixels(const IRect& dest, const std::uint32_t* src,
                               std::ptrdiff_t srcStride, const IRect& srcRect) = 0;
};
