#include "MappingTestSupport.h"

#include "mapping/RegGridSnap.h"
#include "mapping/SnapCheckGroup.h"
#include "mapping/SnapTolerance.h"
#include "platform/Archive.h"
#include "platform/PixelCanvas.h"
#include "platform/ToolEvent.h"

#include <chrono>
#include <set>

namespace {

RegGridSettings SnapX(double origin, double step)
{
    return {.snapX = 1, .originX = origin, .stepX = step, .stepY = 1};
}

// A document's transform and grid: region (0,0)..(w,h) in pixels with the given limits.
class GridFixture : public ::testing::Test {
protected:
    void Map(double w, double h, DPoint min, DPoint max, int xLog = 0, double angle = 0)
    {
        NewRep<TransformAxisVw>(m_transform)->Reset();
        DefineRect(m_transform, {0, 0}, {w, h}, angle);
        AxisMapping(m_transform, min, max, xLog, 0);
    }
    // The black columns of row y of the grid drawn on a white canvas of w x h window pixels.
    std::set<int> Columns(int y, int w = 120, int h = 120, double zoom = 1.0)
    {
        m_canvas = PixelCanvas(w, h);
        ToolEvent e(&m_canvas, zoom);
        m_grid.Draw(e);
        std::set<int> xs;
        for (int x = 0; x < w; ++x)
            if (m_canvas.DevicePixel(x, y) == ColourToPixel(kBlack))
                xs.insert(x);
        return xs;
    }

    TransformData m_transform;
    RegGridData m_grid{&m_transform};
    PixelCanvas m_canvas;
};

// X is 0..10 over 100 pixels (at 10 pixels a unit a tolerance of 1 pixel is 0.2 units) or,
// logarithmic, 0.1..1000 over 400 (100 pixels a decade); Y is 0..10. The view's snap check
// snaps through the grid as it is at the moment.
TEST_F(GridFixture, SnapsToTheNearestLineWithinTolerance)
{
    struct {
        const char* what;
        bool logX;
        RegGridSettings grid;
        double tolerance; // pixels
        DPoint at;        // graph
        DPoint expected;  // graph, or `at` when the point must not move
    } const cases[] = {
        {"up", false, SnapX(0, 1), 1, {2.9, 4.321}, {3, 4.321}},
        {"too far", false, SnapX(0, 1), 1, {2.5, 4.321}, {2.5, 4.321}},
        {"below zero", false, SnapX(0, 1), 1, {-0.12, 4.321}, {0, 4.321}},
        {"lower neighbour wins", false, SnapX(0, 0.3), 1, {0.15, 5}, {0, 5}},
        {"no snapping", false, {}, 20, {2.9, 5}, {2.9, 5}},
        // The pattern 1..9 repeats in every decade.
        {"log decade", true, SnapX(1, 1), 2, {43, 5}, {40, 5}},
        // The decade exponent of 0.93 is 0 (truncated toward zero): neighbours 0 and 1.
        {"log truncated", true, SnapX(1, 1), 3.5, {0.93, 5}, {1, 5}},
        // 0 has no pixel on a log axis and 1 is too far.
        {"log zero", true, SnapX(1, 1), 3.5, {0.27, 5}, {0.27, 5}},
        {"log origin 0", true, SnapX(0, 1), 20, {43, 5}, {43, 5}},
        // Only a snapping axis needs a working grid: X (origin 0 on a log axis) does not snap.
        {"log x, linear y", true, {.snapY = 1, .stepX = 1, .stepY = 1}, 1, {43, 5.05}, {43, 5}},
    };
    std::unique_ptr<RegGridSnap> snap = NewRep<RegGridSnap>(m_grid);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.logX)
            Map(400, 100, {0.1, 0}, {1000, 10}, 1);
        else
            Map(100, 100, {0, 0}, {10, 10});
        Apply(m_grid, c.grid);
        SnapTolerance::Scope tol(c.tolerance);
        DPoint p, g;
        ASSERT_TRUE(m_transform.GraphToPixel(c.at, p));
        const DPoint before = p;
        EXPECT_EQ(snap->Check(p), c.at != c.expected);
        if (c.at == c.expected) {
            EXPECT_EQ(p, before);
        }
        ASSERT_TRUE(m_transform.PixelToGraph(p, g));
        EXPECT_LT(Dist(g, c.expected), 1e-7);
    }
    // An undefined region never snaps.
    NewRep<TransformAxisVw>(m_transform)->Reset();
    Apply(m_grid, SnapX(0, 1));
    DPoint undefined{10, 10};
    EXPECT_FALSE(m_grid.Snap(undefined));
    EXPECT_EQ(undefined, (DPoint{10, 10}));
}

// The checks run newest first and the first that moves the point decides.
TEST(SnapCheckGroupTest, LastAddedDecides)
{
    struct FixedSnap : SnapCheck {
        explicit FixedSnap(double x) : m_x(x) {}
        bool Check(DPoint& p) override { return m_x != 0 && (p.x = m_x, true); }
        double m_x;
    };
    SnapCheckGroup group;
    group.Add(std::make_unique<FixedSnap>(1.0));
    group.Add(std::make_unique<FixedSnap>(2.0));
    auto third = std::make_unique<FixedSnap>(0.0);
    SnapCheck* thirdPtr = third.get();
    group.Add(std::move(third));
    DPoint p{0, 0};
    EXPECT_TRUE(group.Check(p));
    EXPECT_EQ(p.x, 2.0);
    EXPECT_NE(group.Remove(thirdPtr), nullptr);
    EXPECT_EQ(group.Remove(thirdPtr), nullptr);
    EXPECT_EQ(group.GetSize(), 2);
    EXPECT_FALSE(SnapCheckGroup().Check(p));
}

TEST(RegGridDataTest, StorageVersions)
{
    RegGridData grid;
    const RegGridSettings s{1, 0, 1.5, -4, 2.5, 0.25, 0, 1};
    Apply(grid, s);
    Archive out;
    grid.Serialize(out);
    // Version 2, the snap flags, origin and step per axis, the show flags.
    const std::vector<std::uint8_t> pinned =
        LeBytes().U32(2).U32(1).U32(0).F64(1.5).F64(-4).F64(2.5).F64(0.25).U32(0).U32(1).bytes;
    EXPECT_EQ(out.Bytes(), pinned);
    RegGridData back;
    Archive in(pinned);
    back.Serialize(in);
    EXPECT_EQ(back.GetSettings(), s);

    // Version 1: 40 bytes read and discarded; the settings stay, with both show flags on.
    LeBytes v1 = LeBytes().U32(1);
    v1.bytes.resize(48, 0x77);
    Archive v1in(v1.bytes);
    RegGridData old;
    const RegGridSettings before{0, 1, 7, 8, 0.5, 3, 0, 0};
    Apply(old, before);
    old.Serialize(v1in);
    RegGridSettings after = before;
    after.showX = after.showY = 1;
    EXPECT_EQ(old.GetSettings(), after);
    EXPECT_EQ(v1in.ReadU32(), 0x77777777u);

    // A version that does not exist is no grid block: the project fails to load. A short
    // version 2 block throws and leaves the grid as it was.
    std::vector<std::uint8_t> shortBlock = pinned;
    shortBlock.resize(40);
    for (const auto& bytes : {std::vector<std::uint8_t>{9, 0, 0, 0}, shortBlock}) {
        Archive bad(bytes);
        RegGridData untouched;
        EXPECT_THROW(untouched.Serialize(bad), ArchiveError);
        EXPECT_EQ(untouched.GetSettings(), RegGridSettings{});
    }
}

// Lines at x = 0.5, 2.5, ... 8.5 and y = 0, 5, 10; snapping on an axis is what draws its
// lines, and a zero step (only a file can hold one) draws none. Lines are drawn while they
// stay at least a window pixel apart: at 2.5 pixels every line of the region shows, at 0.5
// pixels a direction ends after the line it started from.
TEST_F(GridFixture, LinearGridLinesAtEveryStepInsideTheRegion)
{
    Map(100, 100, {0, 0}, {10, 10});
    Apply(m_grid, {.snapX = 1, .snapY = 1, .originX = 0.5, .stepX = 2, .stepY = 5});
    EXPECT_EQ(Columns(33), (std::set<int>{5, 25, 45, 65, 85}));
    for (int y : {0, 50, 100})
        EXPECT_EQ(m_canvas.DevicePixel(33, y), ColourToPixel(kBlack)) << y;
    EXPECT_EQ(m_canvas.DevicePixel(33, 25), ColourToPixel(kWhite));

    const RegGridSettings showOnly{.originX = 0, .stepX = 1, .stepY = 1};
    for (const RegGridSettings& s : {showOnly, RegGridSettings{.snapX = 1, .snapY = 1}}) {
        Apply(m_grid, s);
        EXPECT_TRUE(Columns(33).empty());
        EXPECT_EQ(m_canvas.DevicePixel(33, 50), ColourToPixel(kWhite));
    }

    Apply(m_grid, SnapX(0, 0.25)); // 2.5 pixels
    EXPECT_EQ(Columns(33).size(), 41u);
    Apply(m_grid, SnapX(0, 0.05)); // 0.5 pixels
    EXPECT_EQ(Columns(33), (std::set<int>{50}));
    // The same step is 2 window pixels at zoom 4.
    EXPECT_GT(Columns(33, 120, 120, 4.0).size(), 50u);
}

// 0.1..100 over 300 pixels: 100 pixels per decade. A log grid repeats its lines in every
// decade, walking up from the origin or down for a negative step.
TEST_F(GridFixture, LogGridRepeatsPerDecade)
{
    Map(300, 50, {0.1, 0}, {100, 10}, 1);
    for (auto [origin, step, last] : {std::tuple{1.0, 1.0, 9}, {5.0, -1.0, 5}}) {
        Apply(m_grid, SnapX(origin, step));
        std::set<int> expected;
        for (double decade : {0.1, 1.0, 10.0})
            for (int k = 1; k <= last; ++k)
                expected.insert(static_cast<int>((std::log10(decade * k) + 1) * 100 + 0.5));
        if (step > 0)
            expected.insert(300); // the line at the top of the region
        EXPECT_EQ(Columns(25, 320, 60), expected) << step;
    }
}

// A step that is tiny against the region, or negative on a log axis, must neither hang
// nor draw lines closer together than a window pixel.
TEST_F(GridFixture, DenseGridEndsQuicklyWithLinesAPixelApart)
{
    for (auto [xLog, origin, step] :
         {std::tuple{0, 0.3, -1e-9}, {1, 1.0, 1e-12}, {1, 1.0, -0.5}, {1, 2.0, 1e-3}}) {
        Map(1000, 100, {xLog ? 1.0 : 0.0, 0}, {xLog ? 1e6 : 10.0, 10}, xLog, 7);
        Apply(m_grid, SnapX(origin, step));
        const auto start = std::chrono::steady_clock::now();
        // The line through the centre's grid value is always there.
        EXPECT_FALSE(Columns(150, 1200, 400).empty()) << step;
        EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(),
                  1.0);
    }
}

} // namespace
