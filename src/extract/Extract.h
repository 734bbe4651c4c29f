#pragma once

#include "platform/Geometry.h"

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

class CDib;
class ColourMask;
class TransformData;

// Automatic extraction of points from a picture by colour: a curve traced along the graph's
// X axis, the centroids of an averaging window, or markers as connected blobs.
struct ExtractOptions {
    enum Method { kCurve = 0, kWindow = 1, kMarkers = 2 };

    std::uint32_t colour = 0x000000; // 0x..RRGGBB
    double tolerance = 60.0;         // Euclidean RGB distance
    std::int64_t paper = -1;         // 0x..RRGGBB, or -1: the commonest colour of the area
    Method method = kCurve;

    // Curve: the step along X in graph units, or in decades when logStep is set; 0 takes one
    // pixel's worth of the region's width. Gaps up to joinGaps pixels are bridged.
    double step = 0.0;
    bool logStep = false;
    double joinGaps = 0.0;
    // Window: the cell size in pixels.
    int windowWidth = 8;
    int windowHeight = 8;
    // Markers: the accepted blob area in pixels.
    int minArea = 5;
    int maxArea = 400;

    // A box in image pixels to use instead of the mapping region (when not empty).
    IRect box;
};

struct ExtractResult {
    std::vector<DPoint> pixels; // image pixels, in the order the method gives
    std::vector<DPoint> graph;  // the same points in graph units
    std::int64_t maskCount = 0; // matching pixels
    int mergedBlobs = 0;        // markers: blobs above the area limit, not reported
    bool cancelled = false;
    std::string error; // why nothing could be extracted; empty on success
};

// The area extraction looks at: the options' box, else the mapping region's outline, else
// the whole picture (an empty polygon).
std::vector<DPoint> ExtractArea(const ExtractOptions& options, const TransformData& transform);

// Runs the method of the options over the picture through the mapping. cancel, when given,
// is polled; progress, when given, receives 0..100; mask, when given, receives the mask.
ExtractResult Extract(const CDib& image, const TransformData& transform,
                      const ExtractOptions& options, const std::atomic<bool>* cancel = nullptr,
                      std::atomic<int>* progress = nullptr, ColourMask* mask = nullptr);

// The methods over a built mask, in image pixels.
struct TracePoint {
    DPoint pixel;
    double x = 0.0; // the exact graph X of the step
};
std::vector<TracePoint> TraceCurve(const ColourMask& mask, const TransformData& transform,
                                   const ExtractOptions& options,
                                   const std::atomic<bool>* cancel = nullptr);
std::vector<DPoint> WindowCentroids(const ColourMask& mask, int width, int height);
std::vector<DPoint> FindMarkers(const ColourMask& mask, int minArea, int maxArea, int& merged);

// The colour an eyedropper takes at pixel (x, y): of the pixels within radius, the one
// farthest from the lightest (the paper), so that a click beside a thin line or on its
// anti-aliased edge still takes the line's own colour. 0x..RRGGBB; black outside the picture.
std::uint32_t PickColour(const CDib& image, int x, int y, int radius = 3);

// "#RRGGBB" or "RRGGBB" -> 0x..RRGGBB; false when it is not one.
bool ParseColour(const std::string& text, std::uint32_t& colour);
std::string FormatColour(std::uint32_t colour);
