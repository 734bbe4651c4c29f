#pragma once

#include "platform/DeviceContext.h"
#include "platform/Geometry.h"

#include <optional>

struct ToolEvent;

// Draws a point marker for an image-pixel position through the record's device context.
using MarkerFn = void (*)(ToolEvent& e, double x, double y);

// The record the image view builds for every mouse or key event and hands to its tools:
// the position in window, logical and image-pixel coordinates, the pick tolerance, the
// modifier keys, and the drawing context for feedback. A plain value; copies are independent.
struct ToolEvent {
    enum DrawMode { kNormal = 0, kXor = 1, kNewPrim = 2, kAnts = 3, kNoDc = 4 };

    DeviceContext* dc = nullptr;
    double scale = 1.0;
    int drawMode = kNoDc;
    // The working pen attached by the last drawing, if any.
    std::optional<Pen> pen;
    Pen savedPen;
    RasterOp savedRop = RasterOp::CopyPen;
    Colour colour = 0;
    unsigned char antsPattern = 0;
    // Window position of the first point of the last marching-ants line drawn.
    IPoint antsLast;
    MarkerFn markerA = nullptr;
    MarkerFn markerB = nullptr;
    MarkerFn markerC = nullptr;
    IPoint pixel;
    IPoint logical;
    IPoint viewportOffset;
    DPoint scaled;
    DPoint tolerance;
    int buttonDown = 0;
    int shift = 0;
    int control = 0;
    int alt = 0;
    int space = 0;

    ToolEvent();
    // A record drawing into dc (drawMode normal), or one without a device context.
    explicit ToolEvent(DeviceContext* deviceContext, double zoom = 1.0);

    // One pixel convention at every zoom: image pixel i is centred on coordinate i, and the
    // centre of window pixel p (a logical coordinate) shows coordinate (p + 0.5) / zoom - 0.5.
    // WindowOf is the exact inverse: the window pixel that shows coordinate v.
    static int WindowOf(double v, double zoom);
    static double ImageOf(double windowPixel, double zoom);

    // Window position of an image-pixel position, by WindowOf.
    IPoint ToWindow(double x, double y) const;
    IPoint ToWindow(DPoint p) const { return ToWindow(p.x, p.y); }

    // Attaches a fresh pen as the working pen and selects it, keeping the pen it replaced
    // in savedPen; ReleasePen selects savedPen again and drops the working pen.
    void AttachPen(const Pen& p);
    void ReleasePen();
    // Switches to the not-XOR raster operation (drawMode 1), keeping the one in force.
    void BeginXor();
    void EndXor();
};

// A plus of two 11-pixel lines about the point, with the selected pen.
void PlusMarker(ToolEvent& e, double x, double y);
// The centre pixel and, along the four arms, pixels alternately in the record's colour
// (odd distances 1, 3, 5) and white (even distances 2, 4).
void DottedPlusMarker(ToolEvent& e, double x, double y);
