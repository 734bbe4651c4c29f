#include "extract/ColourMask.h"
#include "extract/Extract.h"

#include <algorithm>
#include <cstring>
#include <numeric>

namespace {

// The sums a group of pixels gives its centroid from.
struct Moments {
    std::int64_t count = 0;
    double w = 0.0, wx = 0.0, wy = 0.0;

    void Add(const Moments& o)
    {
        count += o.count;
        w += o.w;
        wx += o.wx;
        wy += o.wy;
    }
    DPoint Centroid() const { return {wx / w, wy / w}; }
};

// The first index >= x in [x, end) whose byte is not zero, eight bytes at a time.
int SkipZeros(const std::uint8_t* row, int x, int end)
{
    while (x + 8 <= end) {
        std::uint64_t word;
        std::memcpy(&word, row + x, 8);
        if (word)
            break;
        x += 8;
    }
    while (x < end && !row[x])
        ++x;
    return x;
}

struct Run {
    int x0, x1; // image columns [x0, x1)
    int label;
};

int Find(std::vector<int>& parent, int a)
{
    while (parent[static_cast<std::size_t>(a)] != a) {
        int& p = parent[static_cast<std::size_t>(a)];
        p = parent[static_cast<std::size_t>(p)];
        a = p;
    }
    return a;
}

} // namespace

std::vector<DPoint> FindMarkers(const ColourMask& mask, int minArea, int maxArea, int& merged)
{
    merged = 0;
    std::vector<DPoint> out;
    if (mask.IsEmpty())
        return out;
    const IRect& b = mask.Bounds();
    std::vector<int> parent;
    std::vector<Moments> sums;
    std::vector<Run> previous, current;
    for (int y = b.top; y < b.bottom; ++y) {
        const std::uint8_t* row = mask.Row(y) - b.left; // indexed by image column
        current.clear();
        const double cy = y + 0.5;
        std::size_t p = 0; // first run of the previous row that may touch
        for (int x = SkipZeros(row, b.left, b.right); x < b.right; x = SkipZeros(row, x, b.right)) {
            Moments m;
            const int x0 = x;
            for (; x < b.right && row[x]; ++x) {
                const double w = row[x];
                m.w += w;
                m.wx += w * (x + 0.5);
            }
            m.count = x - x0;
            m.wy = m.w * cy;
            int label = static_cast<int>(parent.size());
            parent.push_back(label);
            sums.push_back(m);
            // Eight-connected: previous runs [a0, a1) touching [x0 - 1, x + 1).
            while (p < previous.size() && previous[p].x1 < x0)
                ++p;
            for (std::size_t q = p; q < previous.size() && previous[q].x0 <= x; ++q) {
                const int ra = Find(parent, previous[q].label);
                const int rb = Find(parent, label);
                if (ra == rb)
                    continue;
                const int root = std::min(ra, rb), other = std::max(ra, rb);
                parent[static_cast<std::size_t>(other)] = root;
                sums[static_cast<std::size_t>(root)].Add(sums[static_cast<std::size_t>(other)]);
            }
            current.push_back({x0, x, label});
        }
        std::swap(previous, current);
    }
    for (std::size_t i = 0; i < parent.size(); ++i) {
        if (parent[i] != static_cast<int>(i))
            continue;
        const Moments& m = sums[i];
        if (m.count > maxArea)
            ++merged;
        else if (m.count >= minArea && m.w > 0)
            out.push_back(m.Centroid());
    }
    return out;
}

std::vector<DPoint> WindowCentroids(const ColourMask& mask, int width, int height)
{
    std::vector<DPoint> out;
    if (mask.IsEmpty() || width < 1 || height < 1)
        return out;
    const IRect& b = mask.Bounds();
    const int columns = (b.Width() + width - 1) / width;
    std::vector<Moments> cells(static_cast<std::size_t>(columns));
    for (int top = b.top; top < b.bottom; top += height) {
        std::fill(cells.begin(), cells.end(), Moments{});
        const int bottom = std::min(b.bottom, top + height);
        for (int y = top; y < bottom; ++y) {
            const std::uint8_t* row = mask.Row(y);
            for (int x = SkipZeros(row, 0, b.Width()); x < b.Width();
                 x = SkipZeros(row, x + 1, b.Width())) {
                Moments& m = cells[static_cast<std::size_t>(x / width)];
                const double w = row[x];
                ++m.count;
                m.w += w;
                m.wx += w * (b.left + x + 0.5);
                m.wy += w * (y + 0.5);
            }
        }
        // A cell needs half a pixel's worth of colour to count.
        for (const Moments& m : cells)
            if (m.w >= 128.0)
                out.push_back(m.Centroid());
    }
    return out;
}
