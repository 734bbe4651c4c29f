#include "extract/ColourMask.h"
#include "extract/Extract.h"
#include "mapping/Box.h"
#include "mapping/TransformData.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

// A run of matching samples along one line of constant X, in samples from the line's start.
struct Run {
    double k0 = 0, k1 = 0; // first and last sample
    double centre = 0;     // intensity-weighted centre
    double weight = 0;
};

// One line of constant graph X across the region.
struct Line {
    double x = 0;  // graph X (exact)
    double xn = 0; // the region's node space (log10 on a log axis)
    int samples = 0;
    double tPerSample = 0;
    std::vector<Run> runs;
};

constexpr std::size_t kBatch = 1024;

// The natural s where graph node-space X equals xn at natural t; Newton from the guess.
double SolveS(const Box& region, double xn, double t, double guess)
{
    double s = guess;
    for (int i = 0; i < 20; ++i) {
        const double h = 1e-6;
        const double f = region.GraphAt(s, t).x - xn;
        const double d = (region.GraphAt(s + h, t).x - region.GraphAt(s - h, t).x) / (2 * h);
        if (!(std::fabs(d) > 1e-300))
            break;
        const double ds = f / d;
        s -= ds;
        if (!std::isfinite(s))
            return guess;
        if (std::fabs(ds) < 1e-13)
            break;
    }
    return s;
}

bool Near(DPoint a, DPoint b, double tolerance)
{
    return std::fabs(a.x - b.x) <= tolerance && std::fabs(a.y - b.y) <= tolerance;
}

// Whether both node sets are parallelograms with their edge nodes at the midpoints: the
// lines of constant X are then straight.
bool IsStraight(const Box& region)
{
    for (const DPoint* nodes : {region.PixelNodes(), region.GraphNodes()}) {
        double scale = 0;
        for (int i = 0; i < Box::kNodes; ++i)
            scale = std::max({scale, std::fabs(nodes[i].x), std::fabs(nodes[i].y)});
        const double tol = 1e-9 * std::max(scale, 1.0);
        for (int i = 1; i < Box::kNodes; i += 2) {
            const DPoint a = nodes[i - 1], b = nodes[(i + 1) % Box::kNodes];
            if (!Near(nodes[i], {(a.x + b.x) / 2, (a.y + b.y) / 2}, tol))
                return false;
        }
        const DPoint c0 = nodes[0], c2 = nodes[2], c4 = nodes[4], c6 = nodes[6];
        if (!Near({c0.x + c4.x, c0.y + c4.y}, {c2.x + c6.x, c2.y + c6.y}, tol))
            return false;
    }
    return true;
}

double Bilinear(const ColourMask& mask, double x, double y)
{
    const IRect& b = mask.Bounds();
    const double fx = x - 0.5 - b.left, fy = y - 0.5 - b.top;
    const double ffx = std::floor(fx), ffy = std::floor(fy);
    if (!(ffx >= -1 && ffy >= -1 && ffx < b.Width() && ffy < b.Height()))
        return 0;
    const int ix = static_cast<int>(ffx), iy = static_cast<int>(ffy);
    const double ax = fx - ffx, ay = fy - ffy;
    int v00, v10, v01, v11;
    if (ix >= 0 && iy >= 0 && ix + 1 < b.Width() && iy + 1 < b.Height()) {
        const std::uint8_t* r0 = mask.Row(b.top + iy) + ix;
        const std::uint8_t* r1 = r0 + b.Width();
        v00 = r0[0];
        v10 = r0[1];
        v01 = r1[0];
        v11 = r1[1];
    } else {
        v00 = mask.At(b.left + ix, b.top + iy);
        v10 = mask.At(b.left + ix + 1, b.top + iy);
        v01 = mask.At(b.left + ix, b.top + iy + 1);
        v11 = mask.At(b.left + ix + 1, b.top + iy + 1);
    }
    if ((v00 | v10 | v01 | v11) == 0)
        return 0;
    return (1 - ay) * ((1 - ax) * v00 + ax * v10) + ay * ((1 - ax) * v01 + ax * v11);
}

// The X values of the steps: exact multiples of the step (or of the step in decades).
bool StepValues(const TransformData& transform, const ExtractOptions& options,
                std::vector<Line>& lines)
{
    const Box& region = transform.GetRegion();
    const bool xLog = transform.GetXLog() != 0;
    double lo = 1e300, hi = -1e300;
    for (int i = 0; i < Box::kNodes; ++i) {
        lo = std::min(lo, region.GraphNodes()[i].x);
        hi = std::max(hi, region.GraphNodes()[i].x);
    }
    if (!(hi > lo) || !std::isfinite(lo) || !std::isfinite(hi))
        return false;
    auto toNode = [&](double x) { return xLog ? std::log10(x) : x; };
    auto fromNode = [&](double xn) { return xLog ? std::pow(10.0, xn) : xn; };
    constexpr double kMaxSteps = 1e6;
    if (options.step > 0 && std::isfinite(options.step)) {
        const double gLo = fromNode(lo), gHi = fromNode(hi);
        double k0, k1;
        if (options.logStep) {
            if (!(gHi > 0))
                return false;
            k0 = std::ceil(std::log10(std::max(gLo, 1e-300)) / options.step - 1e-9);
            k1 = std::floor(std::log10(gHi) / options.step + 1e-9);
        } else {
            k0 = std::ceil(gLo / options.step - 1e-9);
            k1 = std::floor(gHi / options.step + 1e-9);
        }
        if (!(k1 - k0 < kMaxSteps))
            return false;
        for (double k = k0; k <= k1; ++k) {
            Line line;
            // (+ 0.0 turns the step at -0 into 0)
            line.x = (options.logStep ? std::pow(10.0, k * options.step) : k * options.step) + 0.0;
            line.xn = std::clamp(toNode(line.x), lo, hi);
            lines.push_back(std::move(line));
        }
    } else {
        double width = 0, height = 0;
        region.GetSize(width, height);
        const double n = std::clamp(std::round(width), 1.0, kMaxSteps);
        for (double k = 0; k < n; ++k) {
            Line line;
            line.xn = lo + (k + 0.5) * (hi - lo) / n;
            line.x = fromNode(line.xn);
            lines.push_back(std::move(line));
        }
    }
    return true;
}

} // namespace

std::vector<TracePoint> TraceCurve(const ColourMask& mask, const TransformData& transform,
                                   const ExtractOptions& options, const std::atomic<bool>* cancel)
{
    std::vector<TracePoint> out;
    const Box& region = transform.GetRegion();
    if (mask.IsEmpty() || !region.IsDefined() || region.GetGraphNodeCount() == 0)
        return out;
    std::vector<Line> lines;
    if (!StepValues(transform, options, lines) || lines.empty())
        return out;
    const bool straight = IsStraight(region);
    double lo = 1e300, hi = -1e300;
    for (int i = 0; i < Box::kNodes; ++i) {
        lo = std::min(lo, region.GraphNodes()[i].x);
        hi = std::max(hi, region.GraphNodes()[i].x);
    }
    auto guessS = [&](double xn) { return 2 * (xn - lo) / (hi - lo) - 1; };

    const IRect& bounds = mask.Bounds();
    const double originX = bounds.left + 0.5, originY = bounds.top + 0.5;
    constexpr int kShift = 24;
    constexpr double kOne = 1 << kShift;
    constexpr std::int64_t kFraction = (std::int64_t{1} << kShift) - 1;
    const std::uint64_t limitX = static_cast<std::uint64_t>(bounds.Width() - 1) << kShift;
    const std::uint64_t limitY = static_cast<std::uint64_t>(bounds.Height() - 1) << kShift;
    const std::ptrdiff_t stride = bounds.Width();
    const std::uint8_t* bits = mask.Row(bounds.top);

    // Walk the lines a batch at a time, all of a batch advancing together along t, so that
    // neighbouring lines read neighbouring bytes of the mask.
    std::vector<std::vector<DPoint>> vertices(kBatch);
    std::vector<std::int64_t> qx(kBatch), qy(kBatch), dqx(kBatch), dqy(kBatch);
    std::vector<Run> open(kBatch);
    for (std::size_t first = 0; first < lines.size(); first += kBatch) {
        if (cancel && cancel->load(std::memory_order_relaxed))
            return {};
        const std::size_t count = std::min(kBatch, lines.size() - first);
        // Vertices along each line, straight pieces between them.
        double length = 0;
        int segments = 1;
        if (!straight) {
            double w = 0, h = 0;
            region.GetSize(w, h);
            segments = std::clamp(static_cast<int>(std::ceil(std::max(w, h) / 24.0)), 2, 4096);
        }
        for (std::size_t i = 0; i < count; ++i) {
            Line& line = lines[first + i];
            auto& v = vertices[i];
            v.resize(static_cast<std::size_t>(segments) + 1);
            double s = guessS(line.xn);
            double len = 0;
            for (int j = 0; j <= segments; ++j) {
                const double t = -1.0 + 2.0 * j / segments;
                s = SolveS(region, line.xn, t, s);
                v[static_cast<std::size_t>(j)] = region.PixelAt(s, t);
                if (j > 0) {
                    const DPoint a = v[static_cast<std::size_t>(j) - 1],
                                 b = v[static_cast<std::size_t>(j)];
                    len = std::max(len, std::hypot(b.x - a.x, b.y - a.y));
                }
            }
            length = std::max(length, len);
        }
        // Samples a piece: spaced at most one pixel apart.
        const int perSegment = std::clamp(static_cast<int>(std::ceil(length)), 1, 1 << 20);
        const int samples = perSegment * segments;
        for (std::size_t i = 0; i < count; ++i) {
            lines[first + i].samples = samples;
            lines[first + i].tPerSample = 2.0 / samples;
            open[i] = Run{};
            open[i].k0 = -1;
        }
        for (int j = 0; j < segments; ++j) {
            for (std::size_t i = 0; i < count; ++i) {
                const DPoint a = vertices[i][static_cast<std::size_t>(j)];
                const DPoint b = vertices[i][static_cast<std::size_t>(j) + 1];
                qx[i] = std::llround((a.x - originX) * kOne);
                qy[i] = std::llround((a.y - originY) * kOne);
                dqx[i] = std::llround((b.x - a.x) / perSegment * kOne);
                dqy[i] = std::llround((b.y - a.y) / perSegment * kOne);
            }
            const int kEnd = (j + 1 == segments) ? perSegment + 1 : perSegment;
            for (int kk = 0; kk < kEnd; ++kk) {
                const double k = static_cast<double>(j) * perSegment + kk;
                for (std::size_t i = 0; i < count; ++i) {
                    // Positions in fixed point from the first pixel centre. Inside the mask
                    // with a pixel to spare an empty neighbourhood (most of a plot) costs two
                    // loads; the edges take the careful way.
                    const std::int64_t x = qx[i], y = qy[i];
                    qx[i] += dqx[i];
                    qy[i] += dqy[i];
                    double w = 0;
                    if (static_cast<std::uint64_t>(x) < limitX &&
                        static_cast<std::uint64_t>(y) < limitY) {
                        const std::uint8_t* r0 = bits + (y >> kShift) * stride +
                                                 static_cast<std::ptrdiff_t>(x >> kShift);
                        std::uint16_t top, bottom;
                        std::memcpy(&top, r0, 2);
                        std::memcpy(&bottom, r0 + stride, 2);
                        if ((top | bottom) != 0) {
                            const double ax = static_cast<double>(x & kFraction) / kOne;
                            const double ay = static_cast<double>(y & kFraction) / kOne;
                            w = (1 - ay) * ((1 - ax) * r0[0] + ax * r0[1]) +
                                ay * ((1 - ax) * r0[stride] + ax * r0[stride + 1]);
                        }
                    } else {
                        w = Bilinear(mask, originX + static_cast<double>(x) / kOne,
                                     originY + static_cast<double>(y) / kOne);
                    }
                    Run& r = open[i];
                    if (w > 0) {
                        if (r.k0 < 0)
                            r.k0 = k;
                        r.k1 = k;
                        r.weight += w;
                        r.centre += w * k;
                    } else if (r.k0 >= 0) {
                        r.centre /= r.weight;
                        lines[first + i].runs.push_back(r);
                        r = Run{};
                        r.k0 = -1;
                    }
                }
            }
        }
        for (std::size_t i = 0; i < count; ++i)
            if (open[i].k0 >= 0) {
                open[i].centre /= open[i].weight;
                lines[first + i].runs.push_back(open[i]);
            }
    }

    // The pixel at natural t along a line.
    auto pixelAt = [&](const Line& line, double t) {
        t = std::clamp(t, -1.0, 1.0);
        return region.PixelAt(SolveS(region, line.xn, t, guessS(line.xn)), t);
    };
    // Positions along the lines in t scaled to about a pixel, the same on every line.
    double regionWidth = 0, regionHeight = 0;
    region.GetSize(regionWidth, regionHeight);
    const double unit = std::max(regionHeight, 1.0) / 2;
    auto along = [&](const Line& line, double k) { return (-1.0 + k * line.tPerSample) * unit; };
    // Pixels between neighbouring lines, at the middle of the region.
    double stepPx = 1.0;
    if (lines.size() > 1) {
        const DPoint a = pixelAt(lines[0], 0), b = pixelAt(lines[1], 0);
        stepPx = std::max(std::hypot(b.x - a.x, b.y - a.y), 1e-6);
    }

    // Follow the curve: on each line the run that continues the previous points.
    long last = -1, before = -1; // lines of the last two points
    double lastU = 0, beforeU = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const Line& line = lines[i];
        if (line.runs.empty())
            continue;
        const Run* pick = nullptr;
        const long gap = last < 0 ? 0 : static_cast<long>(i) - last;
        const double gapPx = static_cast<double>(gap) * stepPx;
        if (last < 0 || gapPx > std::max(100.0, options.joinGaps)) {
            // A fresh start: the strongest run.
            pick =
                &*std::max_element(line.runs.begin(), line.runs.end(),
                                   [](const Run& a, const Run& b) { return a.weight < b.weight; });
            before = -1;
        } else {
            double predicted = lastU;
            if (before >= 0)
                predicted += (lastU - beforeU) / static_cast<double>(last - before) *
                             static_cast<double>(gap);
            double best = 1e300;
            for (const Run& r : line.runs) {
                const double u0 = along(line, r.k0), u1 = along(line, r.k1);
                const double d = predicted < u0   ? u0 - predicted
                                 : predicted > u1 ? predicted - u1
                                                  : 0.0;
                if (d < best) {
                    best = d;
                    pick = &r;
                }
            }
            // The curve may have moved as far as it would at a slope of three (72 degrees)
            // since the last point; a run farther off belongs to something else.
            if (best > 2.0 + 3.0 * gapPx)
                pick = nullptr;
        }
        if (!pick)
            continue;
        const double u = along(line, pick->centre);
        if (last >= 0 && gap > 1 && gapPx <= options.joinGaps) {
            for (long m = last + 1; m < static_cast<long>(i); ++m) {
                const double f = static_cast<double>(m - last) / static_cast<double>(gap);
                const Line& l = lines[static_cast<std::size_t>(m)];
                out.push_back({pixelAt(l, (lastU + f * (u - lastU)) / unit), l.x});
            }
        }
        out.push_back({pixelAt(line, u / unit), line.x});
        before = (last >= 0 && gap <= 1) ? last : -1;
        beforeU = lastU;
        last = static_cast<long>(i);
        lastU = u;
    }
    return out;
}
