#pragma once

#include "platform/Geometry.h"

// The document's pixel-to-graph map as the points see it: a point keeps its image position
// and recomputes its graph position through this when the mapping changes.
class GraphMapping {
public:
    virtual ~GraphMapping() = default;
    // False (graph untouched) when the position cannot be mapped.
    virtual bool PixelToGraph(const DPoint& pixel, DPoint& graph) const = 0;
    // The derivatives of the graph position by the pixel position at pixel:
    // {dX/dx, dX/dy, dY/dx, dY/dy}; false when the position cannot be mapped.
    virtual bool PixelJacobian(const DPoint&, double[4]) const { return false; }
};
