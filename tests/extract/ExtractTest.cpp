#include "extract/Extract.h"
#include "extract/ColourMask.h"
#include "image/CDib.h"
#include "image/DibUtil.h"
#include "mapping/MappingTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

namespace {

constexpr std::uint32_t kRed = 0xD02020, kBlue = 0x2040C0, kBlack = 0x000000, kGrey = 0xB0B0B0;
constexpr double kPi = 3.14159265358979323846;

// A white 24-bit picture the tests paint anti-aliased shapes on, by 8x8 supersampling of an
// inside test (x, y in image coordinates, pixel centres at + 0.5).
class Canvas {
public:
    Canvas(int w, int h) : m_w(w), m_h(h), m_rgb(static_cast<std::size_t>(w) * h, 0xFFFFFF) {}
    void Paint(std::uint32_t colour, IRect box, const std::function<bool(double, double)>& in)
    {
        box = box.Intersected({0, 0, m_w, m_h});
        for (int y = box.top; y < box.bottom; ++y)
            for (int x = box.left; x < box.right; ++x) {
                int n = 0;
                for (int i = 0; i < 64; ++i)
                    n += in(x + (i % 8 + 0.5) / 8, y + (i / 8 + 0.5) / 8);
                std::uint32_t& p = m_rgb[static_cast<std::size_t>(y) * m_w + x];
                auto mix = [&](int shift) {
                    const int a = (p >> shift) & 0xFF, c = (colour >> shift) & 0xFF;
                    return static_cast<std::uint32_t>(std::lround(a + (c - a) * n / 64.0)) << shift;
                };
                p = mix(16) | mix(8) | mix(0);
            }
    }
    // A band of the given width along the segment a-b.
    void Segment(std::uint32_t colour, DPoint a, DPoint b, double width)
    {
        const double len = std::hypot(b.x - a.x, b.y - a.y);
        const double ux = (b.x - a.x) / len, uy = (b.y - a.y) / len;
        Paint(colour, Hull(a, b, width), [&](double x, double y) {
            const double along = (x - a.x) * ux + (y - a.y) * uy;
            return along >= 0 && along <= len &&
                   std::fabs((y - a.y) * ux - (x - a.x) * uy) <= width / 2;
        });
    }
    CDib Dib() const
    {
        BitmapInfoHeader header;
        header.bitCount = 24;
        DibBlock block = *MakeDib(header, m_w, m_h, nullptr);
        std::uint8_t* bits = FindDibBits(block.data());
        const auto row = DibRowBytes(block.data());
        for (int y = 0; y < m_h; ++y)
            for (int x = 0; x < m_w; ++x) {
                std::uint8_t* p = bits + (m_h - 1 - y) * row + 3 * x;
                const std::uint32_t c = m_rgb[static_cast<std::size_t>(y) * m_w + x];
                p[0] = c & 0xFF;
                p[1] = (c >> 8) & 0xFF;
                p[2] = (c >> 16) & 0xFF;
            }
        CDib dib;
        EXPECT_TRUE(dib.Assign(block.data(), block.size()));
        return dib;
    }
    static IRect Hull(DPoint a, DPoint b, double margin)
    {
        return {int(std::min(a.x, b.x) - margin - 2), int(std::min(a.y, b.y) - margin - 2),
                int(std::max(a.x, b.x) + margin + 3), int(std::max(a.y, b.y) + margin + 3)};
    }

private:
    int m_w, m_h;
    std::vector<std::uint32_t> m_rgb;
};

// Axes and a grid in other colours, which no extraction of red or blue may pick up.
void Furniture(Canvas& c)
{
    for (int i = 0; i <= 8; ++i) {
        c.Segment(kGrey, {40.0 + 40 * i, 30}, {40.0 + 40 * i, 270}, 1);
        c.Segment(kGrey, {40, 30.0 + 30 * i}, {360, 30.0 + 30 * i}, 1);
    }
    c.Segment(kBlack, {40, 270}, {360, 270}, 2);
    c.Segment(kBlack, {40, 30}, {40, 270}, 2);
    c.Paint(kBlack, {300, 40, 350, 50}, [](double x, double) { return int(x) % 4 < 2; });
}

// Lines of 1-3 px at 0, 30 and 60 degrees, on a straight plot and on one turned by 3
// degrees: the traced points lie within 0.25 px RMS and 0.6 px at worst of the true line, at
// exact steps of X, and each point's value is the mapping of its pixel.
class TraceAccuracy : public ::testing::TestWithParam<std::tuple<double, double, double>> {};

TEST_P(TraceAccuracy, PerpendicularError)
{
    const auto [width, slope, turn] = GetParam();
    Canvas canvas(400, 300);
    Furniture(canvas);
    TransformData data;
    DefineRect(data, {40, 30}, {360, 270}, turn);
    AxisMapping(data, {0, 0}, {100, 100});
    const DPoint mid = data.GetRegion().PixelAt(0, 0);
    const double a = -(slope + turn) * kPi / 180, half = 100;
    const DPoint d{std::cos(a), std::sin(a)};
    const DPoint p0{mid.x - d.x * half, mid.y - d.y * half},
        p1{mid.x + d.x * half, mid.y + d.y * half};
    canvas.Segment(kRed, p0, p1, width);
    const CDib dib = canvas.Dib();

    ExtractOptions o;
    o.colour = kRed;
    o.step = 0.5;
    const ExtractResult r = Extract(dib, data, o);
    ASSERT_TRUE(r.error.empty()) << r.error;
    double sum = 0, worst = 0;
    int n = 0;
    for (std::size_t i = 0; i < r.pixels.size(); ++i) {
        const DPoint p = r.pixels[i];
        DPoint g;
        ASSERT_TRUE(data.PixelToGraph(p, g));
        EXPECT_DOUBLE_EQ(r.graph[i].x, std::round(r.graph[i].x / 0.5) * 0.5);
        EXPECT_LT(Dist(r.graph[i], g), 1e-6) << "the point's value is its pixel's";
        const double along = (p.x - p0.x) * d.x + (p.y - p0.y) * d.y;
        if (along < width + 2 || along > 2 * half - width - 2)
            continue; // the square ends of the band
        const double e = (p.y - p0.y) * d.x - (p.x - p0.x) * d.y;
        sum += e * e;
        worst = std::max(worst, std::fabs(e));
        ++n;
    }
    // A step of 0.5 is 1.6 px.
    EXPECT_GT(n, 0.9 * 200 * std::cos((slope + turn) * kPi / 180) / 1.6 - 5);
    EXPECT_LT(std::sqrt(sum / n), 0.25);
    EXPECT_LT(worst, 0.6);
}

INSTANTIATE_TEST_SUITE_P(Lines, TraceAccuracy,
                         ::testing::Combine(::testing::Values(1.0, 2.0, 3.0),
                                            ::testing::Values(0.0, 30.0, 60.0),
                                            ::testing::Values(0.0, 3.0)));

// Dashes are not bridged unless asked; a second, heavier curve of the same colour does not
// pull the trace away from the one it follows.
TEST(TraceGaps, DashesAndContinuity)
{
    Canvas canvas(400, 300);
    for (int x = 40; x < 360; x += 20)
        canvas.Segment(kRed, {double(x), 100}, {x + 12.0, 100}, 2);
    canvas.Segment(kRed, {200, 180}, {360, 180}, 3);
    TransformData data;
    DefineRect(data, {40, 30}, {360, 270});
    AxisMapping(data, {0, 0}, {320, 240});
    const CDib dib = canvas.Dib();
    ExtractOptions o;
    o.colour = kRed;
    o.step = 1;
    for (const double join : {0.0, 10.0}) {
        o.joinGaps = join;
        const ExtractResult r = Extract(dib, data, o);
        int inGaps = 0;
        for (const DPoint& p : r.pixels) {
            EXPECT_NEAR(p.y, 100, 0.3);
            const double phase = std::fmod(p.x - 40, 20);
            inGaps += phase > 13.5 && phase < 18.5;
        }
        if (join == 0)
            EXPECT_EQ(inGaps, 0);
        else
            EXPECT_GT(inGaps, 50);
    }
}

// Circles and squares of 5-11 px, not touching: each found once within 0.2 px; a touching
// pair is counted as merged and not reported; the axes, grid and text are ignored.
TEST(Markers, CentroidsAndMergedBlobs)
{
    Canvas canvas(400, 300);
    Furniture(canvas);
    std::vector<DPoint> truth;
    for (int i = 0; i < 28; ++i) {
        const double size = 5 + i % 7, cx = 60 + (i % 7) * 42 + 0.37 * i,
                     cy = 60 + (i / 7) * 50 + 0.23 * i;
        truth.push_back({cx, cy});
        const bool square = i % 2 != 0;
        canvas.Paint(kRed, Canvas::Hull({cx, cy}, {cx, cy}, size), [&](double x, double y) {
            return square ? std::fabs(x - cx) <= size / 2 && std::fabs(y - cy) <= size / 2
                          : std::hypot(x - cx, y - cy) <= size / 2;
        });
    }
    // One on the region's left edge, whole nonetheless.
    truth.push_back({40, 150.3});
    canvas.Paint(kRed, {30, 140, 50, 160},
                 [](double x, double y) { return std::hypot(x - 40, y - 150.3) <= 4; });
    for (const double cx : {150.0, 160.0})
        canvas.Paint(kRed, {140, 244, 170, 264},
                     [&](double x, double y) { return std::hypot(x - cx, y - 254) <= 5.5; });
    TransformData data;
    DefineRect(data, {40, 30}, {360, 270});
    AxisMapping(data, {0, 0}, {320, 240});
    ExtractOptions o;
    o.colour = kRed;
    o.method = ExtractOptions::kMarkers;
    o.minArea = 10;
    o.maxArea = 150;
    const ExtractResult r = Extract(canvas.Dib(), data, o);
    EXPECT_EQ(r.mergedBlobs, 1);
    ASSERT_EQ(r.pixels.size(), truth.size());
    for (const DPoint& t : truth) {
        int found = 0;
        for (const DPoint& p : r.pixels)
            found += Dist(p, t) < 0.2;
        EXPECT_EQ(found, 1) << t.x << "," << t.y;
    }
}

// Window centroids follow a closed curve that is no function of X; a box limits the area.
TEST(Window, CentroidsOnACircleWithinTheBox)
{
    Canvas canvas(400, 300);
    canvas.Paint(kBlue, {90, 40, 310, 260}, [](double x, double y) {
        return std::fabs(std::hypot(x - 200, y - 150) - 100) <= 1.5;
    });
    TransformData data;
    DefineRect(data, {40, 30}, {360, 270});
    AxisMapping(data, {0, 0}, {320, 240});
    ExtractOptions o;
    o.colour = kBlue;
    o.method = ExtractOptions::kWindow;
    o.windowWidth = o.windowHeight = 6;
    o.box = {40, 30, 200, 270};
    const ExtractResult r = Extract(canvas.Dib(), data, o);
    EXPECT_GT(r.pixels.size(), 40u);
    for (const DPoint& p : r.pixels) {
        EXPECT_NEAR(std::hypot(p.x - 200, p.y - 150), 100, 1.5);
        EXPECT_LE(p.x, 200);
    }
}

TEST(ExtractColour, ParseFormatAndPick)
{
    Canvas canvas(40, 20);
    canvas.Segment(kBlue, {0, 10}, {40, 10}, 2.5);
    const CDib dib = canvas.Dib();
    // Beside the line, on its edge or on it: the eyedropper takes the line's colour.
    for (const int y : {7, 9, 10})
        EXPECT_EQ(FormatColour(PickColour(dib, 20, y)), FormatColour(kBlue)) << y;
    EXPECT_EQ(PickColour(dib, 20, 2), 0xFFFFFFu);
    EXPECT_EQ(PickColour(dib, 40, 2), 0u);
    std::uint32_t c = 0;
    EXPECT_TRUE(ParseColour("#1a2B3c", c));
    EXPECT_EQ(FormatColour(c), "#1A2B3C");
    for (const char* bad : {"", "#12345", "#1234567", "12345g", "##12345"})
        EXPECT_FALSE(ParseColour(bad, c)) << bad;
}

} // namespace
