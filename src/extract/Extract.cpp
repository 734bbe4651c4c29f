#include "extract/Extract.h"

#include "extract/ColourMask.h"
#include "image/CDib.h"
#include "mapping/Box.h"
#include "mapping/TransformData.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

std::vector<DPoint> ExtractArea(const ExtractOptions& options, const TransformData& transform)
{
    std::vector<DPoint> area;
    if (!options.box.IsEmpty()) {
        const IRect& b = options.box;
        area = {{double(b.left), double(b.top)},
                {double(b.right), double(b.top)},
                {double(b.right), double(b.bottom)},
                {double(b.left), double(b.bottom)}};
        return area;
    }
    const Box& region = transform.GetRegion();
    if (!region.IsDefined())
        return area;
    // The outline, its edges followed closely enough for a curved region.
    constexpr int kPerEdge = 32;
    const double corners[5][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}, {-1, -1}};
    for (int e = 0; e < 4; ++e)
        for (int i = 0; i < kPerEdge; ++i) {
            const double f = static_cast<double>(i) / kPerEdge;
            area.push_back(region.PixelAt(corners[e][0] + f * (corners[e + 1][0] - corners[e][0]),
                                          corners[e][1] + f * (corners[e + 1][1] - corners[e][1])));
        }
    return area;
}

namespace {

// The polygon moved out from its centre by by pixels at each vertex.
std::vector<DPoint> Grown(const std::vector<DPoint>& polygon, double by)
{
    if (polygon.empty())
        return polygon;
    DPoint c;
    for (const DPoint& p : polygon) {
        c.x += p.x / static_cast<double>(polygon.size());
        c.y += p.y / static_cast<double>(polygon.size());
    }
    std::vector<DPoint> out;
    for (const DPoint& p : polygon) {
        const double d = std::hypot(p.x - c.x, p.y - c.y);
        out.push_back(d > 0 ? DPoint{p.x + (p.x - c.x) / d * by, p.y + (p.y - c.y) / d * by} : p);
    }
    return out;
}

// Even-odd rule.
bool Inside(const std::vector<DPoint>& polygon, DPoint p)
{
    bool in = false;
    for (std::size_t i = 0, j = polygon.size() - 1; i < polygon.size(); j = i++) {
        const DPoint a = polygon[i], b = polygon[j];
        if ((a.y > p.y) != (b.y > p.y) && p.x < a.x + (p.y - a.y) * (b.x - a.x) / (b.y - a.y))
            in = !in;
    }
    return in;
}

} // namespace

ExtractResult Extract(const CDib& image, const TransformData& transform,
                      const ExtractOptions& options, const std::atomic<bool>* cancel,
                      std::atomic<int>* progress, ColourMask* maskOut)
{
    ExtractResult result;
    auto report = [&](int percent) {
        if (progress)
            progress->store(percent);
    };
    auto cancelled = [&] {
        result.cancelled = cancel && cancel->load();
        if (result.cancelled)
            result.error = "Cancelled.";
        return result.cancelled;
    };
    report(0);
    if (image.IsEmpty()) {
        result.error = "There is no image to extract from.";
        return result;
    }
    const bool mapped = transform.GetRegion().IsDefined();
    if (!mapped) {
        result.error = "Define the mapping region first.";
        return result;
    }
    // Markers centred on the region's edge are whole markers: the mask reaches a marker's
    // size beyond the region, and only the centres inside it count.
    const std::vector<DPoint> area = ExtractArea(options, transform);
    const bool grow = options.method == ExtractOptions::kMarkers && options.box.IsEmpty();
    const std::vector<DPoint> maskArea =
        grow ? Grown(area, std::sqrt(std::max(options.maxArea, 1))) : area;
    ColourMask mask;
    if (!mask.Build(image, options.colour, options.tolerance, maskArea, options.paper, cancel)) {
        if (!cancelled())
            result.error = "The area lies outside the image.";
        return result;
    }
    result.maskCount = mask.Count();
    report(50);
    if (cancelled())
        return result;
    switch (options.method) {
    case ExtractOptions::kCurve:
        for (const TracePoint& p : TraceCurve(mask, transform, options, cancel)) {
            DPoint g;
            if (!transform.PixelToGraph(p.pixel, g))
                continue;
            g.x = p.x;
            result.pixels.push_back(p.pixel);
            result.graph.push_back(g);
        }
        break;
    case ExtractOptions::kWindow:
    case ExtractOptions::kMarkers: {
        std::vector<DPoint> found =
            options.method == ExtractOptions::kWindow
                ? WindowCentroids(mask, options.windowWidth, options.windowHeight)
                : FindMarkers(mask, options.minArea, options.maxArea, result.mergedBlobs);
        std::vector<std::pair<DPoint, DPoint>> mapped;
        for (const DPoint& p : found) {
            DPoint g;
            if (grow && !Inside(Grown(area, 0.5), p))
                continue;
            if (transform.PixelToGraph(p, g))
                mapped.push_back({p, g});
        }
        // In order along X, as a curve reads.
        std::stable_sort(mapped.begin(), mapped.end(),
                         [](const auto& a, const auto& b) { return a.second.x < b.second.x; });
        for (const auto& [p, g] : mapped) {
            result.pixels.push_back(p);
            result.graph.push_back(g);
        }
        break;
    }
    }
    if (cancelled()) {
        result.pixels.clear();
        result.graph.clear();
        return result;
    }
    if (maskOut)
        *maskOut = std::move(mask);
    report(100);
    return result;
}

std::uint32_t PickColour(const CDib& image, int x, int y, int radius)
{
    if (image.IsEmpty() || x < 0 || y < 0 || x >= image.Width() || y >= image.Height())
        return 0;
    auto channels = [](std::uint32_t c, int out[3]) {
        out[0] = (c >> 16) & 0xFF;
        out[1] = (c >> 8) & 0xFF;
        out[2] = c & 0xFF;
    };
    std::vector<std::uint32_t> near;
    for (int j = y - radius; j <= y + radius; ++j)
        for (int i = x - radius; i <= x + radius; ++i)
            if (i >= 0 && j >= 0 && i < image.Width() && j < image.Height())
                near.push_back(image.PixelAt(i, j) & 0xFFFFFFu);
    int paper[3] = {0, 0, 0};
    int lightest = -1;
    for (std::uint32_t c : near) {
        int v[3];
        channels(c, v);
        if (v[0] + v[1] + v[2] > lightest) {
            lightest = v[0] + v[1] + v[2];
            channels(c, paper);
        }
    }
    std::uint32_t best = image.PixelAt(x, y) & 0xFFFFFFu;
    int bestDistance = -1;
    for (std::uint32_t c : near) {
        int v[3];
        channels(c, v);
        const int d = (v[0] - paper[0]) * (v[0] - paper[0]) +
                      (v[1] - paper[1]) * (v[1] - paper[1]) + (v[2] - paper[2]) * (v[2] - paper[2]);
        if (d > bestDistance) {
            bestDistance = d;
            best = c;
        }
    }
    return best;
}

bool ParseColour(const std::string& text, std::uint32_t& colour)
{
    std::string hex = text;
    if (!hex.empty() && hex[0] == '#')
        hex.erase(0, 1);
    if (hex.size() != 6)
        return false;
    std::uint32_t value = 0;
    for (char c : hex) {
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else
            return false;
        value = value * 16 + static_cast<std::uint32_t>(digit);
    }
    colour = value;
    return true;
}

std::string FormatColour(std::uint32_t colour)
{
    char text[8];
    std::snprintf(text, sizeof text, "#%06X", colour & 0xFFFFFFu);
    return text;
}
