#include "extract/ColourMask.h"

#include "image/CDib.h"
#include "image/DibUtil.h"

#include <algorithm>
#include <cmath>

namespace {

// A row of the picture as 0x..RRGGBB values.
class RowReader {
public:
    explicit RowReader(const CDib& image) : m_image(image)
    {
        const std::uint8_t* dib = image.GetDib();
        m_bitCount = image.BitCount();
        if (m_bitCount == 24 || m_bitCount == 32) {
            m_bits = FindDibBits(dib);
            m_rowBytes = DibRowBytes(dib);
        }
    }
    // Bytes of pixel x of row y in B, G, R order; null when the depth needs converting.
    const std::uint8_t* Raw(int y) const
    {
        if (!m_bits)
            return nullptr;
        return m_bits + static_cast<std::uint64_t>(m_image.Height() - 1 - y) * m_rowBytes;
    }
    int Step() const { return m_bitCount / 8; }
    std::uint32_t Pixel(int x, int y) const { return m_image.PixelAt(x, y) & 0xFFFFFFu; }

private:
    const CDib& m_image;
    const std::uint8_t* m_bits = nullptr;
    std::uint64_t m_rowBytes = 0;
    int m_bitCount = 0;
};

int Channel(std::uint32_t c, int shift)
{
    return static_cast<int>((c >> shift) & 0xFFu);
}

// The commonest colour of a sparse sample of the spans, in 4096 bins of 4 bits a channel;
// the bin's mean colour.
std::uint32_t CommonColour(const RowReader& reader, const IRect& box,
                           const std::vector<DPoint>& area)
{
    std::vector<std::uint32_t> counts(4096), sums(4096 * 3);
    std::vector<int> spans;
    const int rowStep = std::max(1, box.Height() / 256);
    for (int y = box.top; y < box.bottom; y += rowStep) {
        spans.assign({box.left, box.right});
        if (!area.empty())
            PolygonRowSpans(area, y, box.left, box.right, spans);
        for (std::size_t i = 0; i + 1 < spans.size(); i += 2)
            for (int x = spans[i]; x < spans[i + 1]; x += 3) {
                const std::uint32_t c = reader.Pixel(x, y);
                const std::uint32_t bin =
                    ((c >> 12) & 0xF00u) | ((c >> 8) & 0xF0u) | ((c >> 4) & 0xFu);
                ++counts[bin];
                sums[bin * 3] += Channel(c, 16);
                sums[bin * 3 + 1] += Channel(c, 8);
                sums[bin * 3 + 2] += Channel(c, 0);
            }
    }
    const auto best =
        static_cast<std::size_t>(std::max_element(counts.begin(), counts.end()) - counts.begin());
    if (counts[best] == 0)
        return 0xFFFFFF;
    const std::uint32_t n = counts[best];
    return ((sums[best * 3] / n) << 16) | ((sums[best * 3 + 1] / n) << 8) |
           (sums[best * 3 + 2] / n);
}

} // namespace

void PolygonRowSpans(const std::vector<DPoint>& polygon, int y, int left, int right,
                     std::vector<int>& spans)
{
    spans.clear();
    const double cy = y + 0.5;
    std::vector<double> xs;
    const std::size_t n = polygon.size();
    for (std::size_t i = 0; i < n; ++i) {
        const DPoint& a = polygon[i];
        const DPoint& b = polygon[(i + 1) % n];
        if ((a.y <= cy) == (b.y <= cy))
            continue;
        xs.push_back(a.x + (cy - a.y) * (b.x - a.x) / (b.y - a.y));
    }
    std::sort(xs.begin(), xs.end());
    for (std::size_t i = 0; i + 1 < xs.size(); i += 2) {
        // Pixels whose centre x + 0.5 lies in [xs[i], xs[i + 1]).
        const double lo = std::clamp(std::ceil(xs[i] - 0.5), double(left), double(right));
        const double hi = std::clamp(std::ceil(xs[i + 1] - 0.5), double(left), double(right));
        if (hi > lo) {
            spans.push_back(static_cast<int>(lo));
            spans.push_back(static_cast<int>(hi));
        }
    }
}

bool ColourMask::Build(const CDib& image, std::uint32_t colour, double tolerance,
                       const std::vector<DPoint>& area, std::int64_t paper,
                       const std::atomic<bool>* cancel)
{
    m_bounds = IRect{};
    m_bits.clear();
    m_count = 0;
    if (image.IsEmpty())
        return false;
    IRect box{0, 0, image.Width(), image.Height()};
    if (!area.empty()) {
        double x0 = 1e300, y0 = 1e300, x1 = -1e300, y1 = -1e300;
        for (const DPoint& p : area) {
            if (!std::isfinite(p.x) || !std::isfinite(p.y))
                return false;
            x0 = std::min(x0, p.x);
            y0 = std::min(y0, p.y);
            x1 = std::max(x1, p.x);
            y1 = std::max(y1, p.y);
        }
        const IRect hull{static_cast<int>(std::clamp(std::floor(x0), -1.0, 2e9)),
                         static_cast<int>(std::clamp(std::floor(y0), -1.0, 2e9)),
                         static_cast<int>(std::clamp(std::ceil(x1) + 1, -1.0, 2e9)),
                         static_cast<int>(std::clamp(std::ceil(y1) + 1, -1.0, 2e9))};
        box = box.Intersected(hull);
        if (box.IsEmpty())
            return false;
    }
    const RowReader reader(image);
    colour &= 0xFFFFFFu;
    m_paper = paper >= 0 ? static_cast<std::uint32_t>(paper) & 0xFFFFFFu
                         : CommonColour(reader, box, area);
    tolerance = std::clamp(tolerance, 0.0, 442.0);
    // A pixel matches when it lies within the tolerance of the colour, or when it is a blend
    // of the colour with the paper (an anti-aliased edge) whose distance from that blend is
    // within the tolerance scaled by the blend's share of colour. Its weight is that share.
    const int pr = Channel(m_paper, 16), pg = Channel(m_paper, 8), pb = Channel(m_paper, 0);
    const double lr = Channel(colour, 16) - pr, lg = Channel(colour, 8) - pg,
                 lb = Channel(colour, 0) - pb;
    const double l2 = lr * lr + lg * lg + lb * lb;
    const double tol2 = tolerance * tolerance;
    // Blends with less than this share of colour are paper.
    constexpr double kMinShare = 0.08;
    const int minDot = static_cast<int>(std::ceil(kMinShare * l2));
    const int ilr = static_cast<int>(lr), ilg = static_cast<int>(lg), ilb = static_cast<int>(lb);

    m_bits.assign(static_cast<std::size_t>(box.Width()) * box.Height(), 0);
    m_bounds = box;
    const int cr = Channel(colour, 16), cg = Channel(colour, 8), cb = Channel(colour, 0);
    std::vector<int> spans;
    std::int64_t count = 0;
    for (int y = box.top; y < box.bottom; ++y) {
        if (cancel && (y & 63) == 0 && cancel->load(std::memory_order_relaxed)) {
            m_bounds = IRect{};
            m_bits = {};
            return false;
        }
        spans.assign({box.left, box.right});
        if (!area.empty())
            PolygonRowSpans(area, y, box.left, box.right, spans);
        std::uint8_t* out = m_bits.data() + static_cast<std::size_t>(y - box.top) * box.Width();
        const std::uint8_t* raw = reader.Raw(y);
        const int step = reader.Step();
        for (std::size_t i = 0; i + 1 < spans.size(); i += 2) {
            for (int x = spans[i]; x < spans[i + 1]; ++x) {
                int b, g, r;
                if (raw) {
                    const std::uint8_t* p = raw + static_cast<std::ptrdiff_t>(x) * step;
                    b = p[0];
                    g = p[1];
                    r = p[2];
                } else {
                    const std::uint32_t c = reader.Pixel(x, y);
                    r = Channel(c, 16);
                    g = Channel(c, 8);
                    b = Channel(c, 0);
                }
                // Most pixels are paper: a share of colour below the least is the test
                // that turns them away, in integers.
                const int vr = r - pr, vg = g - pg, vb = b - pb;
                const int dot = vr * ilr + vg * ilg + vb * ilb;
                double share = 1.0;
                if (l2 >= 1.0) {
                    if (dot < minDot)
                        continue;
                    share = dot / l2;
                    const int d2 = (r - cr) * (r - cr) + (g - cg) * (g - cg) + (b - cb) * (b - cb);
                    if (d2 > tol2) {
                        // The squared distance from the blend against (tolerance x share)^2.
                        const double v2 = vr * vr + vg * vg + vb * vb;
                        if (v2 - dot * share > tol2 * share * share)
                            continue;
                    }
                } else {
                    const int d2 = (r - cr) * (r - cr) + (g - cg) * (g - cg) + (b - cb) * (b - cb);
                    if (d2 > tol2)
                        continue;
                }
                out[x - box.left] =
                    static_cast<std::uint8_t>(std::clamp(255.0 * share + 0.5, 1.0, 255.0));
                ++count;
            }
        }
    }
    m_count = count;
    return true;
}
