#include "MappingTestSupport.h"

#include "mapping/RegGridData.h"
#include "mapping/RegGridSnap.h"
#include "mapping/RegGridVw.h"
#include "mapping/SnapCheckGroup.h"
#include "mapping/SnapTolerance.h"
#include "platform/Archive.h"
#include "platform/PixelCanvas.h"
#include "platform/ToolEvent.h"

#include <chrono>
#include <set>

namespace {

// Settings reach the grid through its dialog view, as the Regular Grid dialog sends them.
void Apply(RegGridData& grid, const RegGridSettings& s)
{
    std::unique_ptr<RegGridVw> vw = NewRep<RegGridVw>(grid);
    vw->m_settings = s;
    vw->Notify(0);
}

// A document's transform and grid: region (0,0)..(w,h) in pixels with the given limits.
class GridFixture : public ::testing::Test {
protected:
    void Map(double w, double h, DPoint min, DPoint max, int xLog = 0, int yLog = 0,
             double angle = 0)
    {
        DefineRect(m_transform, {0, 0}, {w, h}, angle);
        AxisMapping(m_transform, min, max, xLog, yLog);
    }

    void SetGrid(const RegGridSettings& s) { Apply(m_grid, s); }

    DPoint Pixel(DPoint graph)
    {
        DPoint p;
        EXPECT_TRUE(m_transform.GraphToPixel(graph, p));
        return p;
    }
    DPoint Graph(DPoint pixel)
    {
        DPoint g;
        EXPECT_TRUE(m_transform.PixelToGraph(pixel, g));
        return g;
    }
    // The grid drawn on a white canvas of w x h window pixels.
    const PixelCanvas& Drawn(int w, int h, double zoom = 1.0)
    {
        m_canvas = PixelCanvas(w, h);
        ToolEvent e(&m_canvas, zoom);
        m_grid.Draw(e);
        return m_canvas;
    }

    TransformData m_transform;
    RegGridData m_grid{&m_transform};
    PixelCanvas m_canvas;
};

RegGridSettings SnapX(double origin, double step)
{
    RegGridSettings s;
    s.snapX = 1;
    s.originX = origin;
    s.stepX = step;
    s.stepY = 1;
    return s;
}

RegGridSettings SnapY(double origin, double step)
{
    RegGridSettings s;
    s.snapY = 1;
    s.originY = origin;
    s.stepY = step;
    s.stepX = 1;
    return s;
}
RegGridSettings SnapXY(double originX, double stepX, double originY, double stepY)
{
    RegGridSettings s = SnapY(originY, stepY);
    s.snapX = 1;
    s.originX = originX;
    s.stepX = stepX;
    return s;
}

// ------------------------------------------------------------- snapping

struct SnapCase {
    const char* what;
    bool logX; // X 0.1..1000 over 400 pixels (100 a decade), else 0..10 over 100; Y 0..10
    RegGridSettings grid;
    double tolerance; // pixels
    DPoint at;        // graph
    DPoint expected;  // graph, or `at` when the point must not move
    bool moved;
};

void PrintTo(const SnapCase& c, std::ostream* os)
{
    *os << c.what;
}

class Snapping : public GridFixture, public ::testing::WithParamInterface<SnapCase> {};

TEST_P(Snapping, NearestLineWithinTolerance)
{
    const SnapCase& c = GetParam();
    if (c.logX)
        Map(400, 100, {0.1, 0}, {1000, 10}, 1, 0);
    else
        Map(100, 100, {0, 0}, {10, 10});
    SetGrid(c.grid);
    SnapTolerance::Scope tol(c.tolerance);
    DPoint p = Pixel(c.at);
    const DPoint before = p;
    EXPECT_EQ(m_grid.Snap(p), c.moved);
    if (!c.moved) {
        EXPECT_EQ(p, before);
    }
    const DPoint g = Graph(p);
    EXPECT_NEAR(g.x, c.expected.x, 1e-7);
    EXPECT_NEAR(g.y, c.expected.y, 1e-7);
}

// At 10 pixels a unit a tolerance of 1 pixel is 0.2 graph units.
INSTANTIATE_TEST_SUITE_P(
    Cases, Snapping,
    ::testing::Values(
        SnapCase{"up", false, SnapX(0, 1), 1, {2.9, 4.321}, {3, 4.321}, true},
        SnapCase{"down", false, SnapX(0, 1), 1, {2.15, 4.321}, {2, 4.321}, true},
        SnapCase{"too far", false, SnapX(0, 1), 1, {2.5, 4.321}, {2.5, 4.321}, false},
        SnapCase{"on a line", false, SnapX(0, 1), 1, {7, 4.321}, {7, 4.321}, true},
        SnapCase{"below zero", false, SnapX(0, 1), 1, {-0.12, 4.321}, {0, 4.321}, true},
        SnapCase{"lower neighbour wins", false, SnapX(0, 0.3), 1, {0.15, 5}, {0, 5}, true},
        SnapCase{"both axes", false, SnapXY(0.5, 2, 0, 5), 1, {2.4, 5.1}, {2.5, 5}, true},
        // The pattern 1..9 repeats in every decade.
        SnapCase{"log decade", true, SnapX(1, 1), 2, {43, 5}, {40, 5}, true},
        // The decade exponent of 0.93 is 0 (truncated toward zero): neighbours 0 and 1.
        SnapCase{"log truncated", true, SnapX(1, 1), 3.5, {0.93, 5}, {1, 5}, true},
        // 0 has no pixel on a log axis and 1 is too far.
        SnapCase{"log zero", true, SnapX(1, 1), 3.5, {0.27, 5}, {0.27, 5}, false},
        SnapCase{"log origin 0", true, SnapX(0, 1), 20, {43, 5}, {43, 5}, false},
        // Only a snapping axis needs a working grid: X (origin 0 on a log axis) does not snap.
        SnapCase{"log x, linear y", true, SnapY(0, 1), 1, {43, 5.05}, {43, 5}, true}));

TEST_F(GridFixture, UndefinedRegionDoesNotSnap)
{
    SetGrid(SnapX(0, 1));
    SnapTolerance::Scope tol(5.0);
    DPoint p{10, 10};
    EXPECT_FALSE(m_grid.Snap(p));
    EXPECT_EQ(p, (DPoint{10, 10}));
}

TEST_F(GridFixture, SnapRepresentationFollowsTheCurrentSettings)
{
    Map(100, 100, {0, 0}, {10, 10});
    std::unique_ptr<RegGridSnap> snap = NewRep<RegGridSnap>(m_grid);
    ASSERT_NE(snap, nullptr);
    SnapTolerance::Scope tol(1.0);
    DPoint p = Pixel({2.9, 5});
    EXPECT_FALSE(snap->Check(p));
    SetGrid(SnapX(0, 1));
    EXPECT_TRUE(snap->Check(p));
    EXPECT_NEAR(Graph(p).x, 3.0, 1e-9);
}

// ------------------------------------------------------------- tolerance and groups

// Scopes nest; a zero or NaN tolerance falls back to the machine epsilon.
TEST(SnapToleranceTest, MachineEpsilonFloor)
{
    const double eps = SnapTolerance::MachineEpsilon();
    EXPECT_GT(eps, 0);
    EXPECT_EQ(SnapTolerance::Current(), eps);
    {
        SnapTolerance::Scope outer(3.0);
        EXPECT_EQ(SnapTolerance::Current(), 3.0);
        {
            SnapTolerance::Scope inner(0.0);
            EXPECT_EQ(SnapTolerance::Current(), eps);
            SnapTolerance::Scope bad(std::nan(""));
            EXPECT_EQ(SnapTolerance::Current(), eps);
        }
        EXPECT_EQ(SnapTolerance::Current(), 3.0);
    }
    EXPECT_EQ(SnapTolerance::Current(), eps);
}

class FixedSnap : public SnapCheck {
public:
    FixedSnap(bool moves, double x, int& calls) : m_moves(moves), m_x(x), m_calls(calls) {}
    bool Check(DPoint& p) override
    {
        ++m_calls;
        if (m_moves)
            p.x = m_x;
        return m_moves;
    }

private:
    bool m_moves;
    double m_x;
    int& m_calls;
};

TEST(SnapCheckGroupTest, LastAddedDecides)
{
    int firstCalls = 0, secondCalls = 0, thirdCalls = 0;
    SnapCheckGroup group;
    group.Add(std::make_unique<FixedSnap>(true, 1.0, firstCalls));
    group.Add(std::make_unique<FixedSnap>(true, 2.0, secondCalls));
    auto third = std::make_unique<FixedSnap>(false, 3.0, thirdCalls);
    SnapCheck* thirdPtr = third.get();
    group.Add(std::move(third));
    DPoint p{0, 0};
    EXPECT_TRUE(group.Check(p));
    EXPECT_EQ(p.x, 2.0);
    EXPECT_EQ(thirdCalls, 1);
    EXPECT_EQ(secondCalls, 1);
    EXPECT_EQ(firstCalls, 0);

    EXPECT_NE(group.Remove(thirdPtr), nullptr);
    EXPECT_EQ(group.Remove(thirdPtr), nullptr);
    EXPECT_EQ(group.GetSize(), 2);
    SnapCheckGroup empty;
    EXPECT_FALSE(empty.Check(p));
}

// ------------------------------------------------------------- representations and storage

TEST(RegGridDataTest, RepresentationsAndUpdate)
{
    RegGridData grid;
    EXPECT_EQ(grid.GetRep("AttRegGrid"), nullptr);
    EXPECT_EQ(grid.GetRep("viewdialogreggrid"), nullptr);
    std::unique_ptr<RegGridVw> vw = NewRep<RegGridVw>(grid);
    ASSERT_NE(vw, nullptr);
    vw->m_settings = SnapX(2, 3);
    EXPECT_EQ(grid.GetSettings(), RegGridSettings{}); // nothing until notified
    vw->Notify(0);
    EXPECT_EQ(grid.GetSettings(), SnapX(2, 3));

    std::unique_ptr<RegGridSnap> snap = NewRep<RegGridSnap>(grid);
    snap->Notify(0); // not a settings view: ignored
    EXPECT_EQ(grid.GetSettings(), SnapX(2, 3));
    std::unique_ptr<RegGridVw> other = NewRep<RegGridVw>(grid);
    EXPECT_EQ(other->m_settings, SnapX(2, 3));
    other->m_settings.stepX = 9;
    other->Reset();
    EXPECT_EQ(other->m_settings.stepX, 3);
}

TEST(RegGridDataTest, StorageVersions)
{
    RegGridData grid;
    RegGridSettings s = SnapXY(1.5, 2.5, -4, 0.25);
    s.showX = 0;
    Apply(grid, s);
    Archive out;
    grid.Serialize(out);
    ASSERT_EQ(out.Bytes().size(), 52u);
    RegGridData back;
    Archive in(out.Bytes());
    back.Serialize(in);
    EXPECT_EQ(back.GetSettings(), s);

    // Version 1: 40 bytes read and discarded, both show flags on.
    Archive v1;
    v1.WriteU32(1);
    for (int i = 0; i < 40; ++i)
        v1.WriteU8(0x77);
    v1.WriteU32(0xDEADBEEF);
    Archive v1in(v1.Bytes());
    RegGridData old;
    old.Serialize(v1in);
    EXPECT_EQ(old.GetSettings(), RegGridSettings{});
    EXPECT_EQ(v1in.ReadU32(), 0xDEADBEEFu);

    // A version that does not exist is no grid block: the project fails to load.
    Archive v9;
    v9.WriteU32(9);
    v9.WriteU32(0x12345678);
    Archive v9in(v9.Bytes());
    EXPECT_THROW(old.Serialize(v9in), ArchiveError);

    // A short version 2 block throws and leaves the grid as it was.
    std::vector<std::uint8_t> bytes = out.Bytes();
    bytes.resize(40);
    Archive shortIn(bytes);
    RegGridData untouched;
    EXPECT_THROW(untouched.Serialize(shortIn), ArchiveError);
    EXPECT_EQ(untouched.GetSettings(), RegGridSettings{});
}

// ------------------------------------------------------------- drawing

// Columns of a canvas row that are black.
std::set<int> BlackColumns(const PixelCanvas& c, int y)
{
    std::set<int> xs;
    for (int x = 0; x < c.DeviceWidth(); ++x)
        if (c.DevicePixel(x, y) == ColourToPixel(kBlack))
            xs.insert(x);
    return xs;
}
std::set<int> BlackRows(const PixelCanvas& c, int x)
{
    std::set<int> ys;
    for (int y = 0; y < c.DeviceHeight(); ++y)
        if (c.DevicePixel(x, y) == ColourToPixel(kBlack))
            ys.insert(y);
    return ys;
}

TEST_F(GridFixture, LinearGridLinesAtEveryStepInsideTheRegion)
{
    Map(100, 100, {0, 0}, {10, 10});
    SetGrid(SnapXY(0.5, 2, 0, 5)); // lines at x = 0.5, 2.5, 4.5, 6.5, 8.5 and y = 0, 5, 10
    Drawn(120, 120);
    EXPECT_EQ(BlackColumns(m_canvas, 33), (std::set<int>{5, 25, 45, 65, 85}));
    EXPECT_EQ(BlackRows(m_canvas, 33), (std::set<int>{0, 50, 100}));
}

// Snapping on an axis is what draws its lines; a zero step (only a file can hold one) draws
// none.
TEST_F(GridFixture, NoLinesWithoutSnapOrStep)
{
    Map(100, 100, {0, 0}, {10, 10});
    RegGridSettings showOnly = SnapX(0, 1);
    showOnly.snapX = 0; // showX stays on
    for (const RegGridSettings& s : {showOnly, SnapXY(0, 0, 0, 0)}) {
        SetGrid(s);
        Drawn(120, 120);
        EXPECT_TRUE(BlackColumns(m_canvas, 33).empty());
        EXPECT_TRUE(BlackRows(m_canvas, 33).empty());
    }
}

// 0.1..100 over 300 pixels: 100 pixels per decade. A log grid repeats its lines in every
// decade, walking up from the origin or down for a negative step.
struct LogGridCase {
    double origin, step;
    std::vector<int> perDecade; // multiples of the decade that get a line
    bool endLine;               // the line at the top of the region
};

class LogGrid : public GridFixture, public ::testing::WithParamInterface<LogGridCase> {};

TEST_P(LogGrid, RepeatsPerDecade)
{
    Map(300, 50, {0.1, 0}, {100, 10}, 1, 0);
    SetGrid(SnapX(GetParam().origin, GetParam().step));
    std::set<int> expected;
    for (double decade : {0.1, 1.0, 10.0})
        for (int k : GetParam().perDecade)
            expected.insert(static_cast<int>((std::log10(decade * k) + 1) * 100 + 0.5));
    if (GetParam().endLine)
        expected.insert(300);
    EXPECT_EQ(BlackColumns(Drawn(320, 60), 25), expected);
}

INSTANTIATE_TEST_SUITE_P(Steps, LogGrid,
                         ::testing::Values(LogGridCase{1, 1, {1, 2, 3, 4, 5, 6, 7, 8, 9}, true},
                                           LogGridCase{5, -1, {1, 2, 3, 4, 5}, false}));

// A step that is tiny against the region, or negative on a log axis, must neither hang
// nor draw lines closer together than a window pixel.
struct DenseCase {
    int xLog;
    double origin;
    double step;
};

class DenseGrid : public GridFixture, public ::testing::WithParamInterface<DenseCase> {};

TEST_P(DenseGrid, EndsQuicklyWithLinesAPixelApart)
{
    const DenseCase c = GetParam();
    if (c.xLog)
        Map(1000, 100, {1, 0}, {1e6, 10}, 1, 0, 7);
    else
        Map(1000, 100, {0, 0}, {10, 10}, 0, 0, 7);
    SetGrid(SnapX(c.origin, c.step));
    const auto start = std::chrono::steady_clock::now();
    Drawn(1200, 400);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_LT(seconds, 1.0);
    // The line through the centre's grid value is always there.
    EXPECT_FALSE(BlackColumns(m_canvas, 150).empty());
}

INSTANTIATE_TEST_SUITE_P(Steps, DenseGrid,
                         ::testing::Values(DenseCase{0, 0, 1e-12}, DenseCase{0, 0.3, -1e-9},
                                           DenseCase{1, 1, 1e-12}, DenseCase{1, 1, -0.5},
                                           DenseCase{1, 1, -1e-12}, DenseCase{1, 2, 1e-3}));

// Lines are drawn while they stay at least a window pixel apart: at 2.5 pixels every line
// of the region shows, at 0.5 pixels a direction ends after the line it started from.
TEST_F(GridFixture, LinesCloserThanAPixelEndTheWalk)
{
    Map(100, 100, {0, 0}, {10, 10});
    SetGrid(SnapX(0, 0.25)); // 2.5 pixels
    EXPECT_EQ(BlackColumns(Drawn(120, 120), 33).size(), 41u);
    SetGrid(SnapX(0, 0.05)); // 0.5 pixels
    EXPECT_EQ(BlackColumns(Drawn(120, 120), 33), (std::set<int>{50}));
    // The same step is 2 window pixels at zoom 4.
    EXPECT_GT(BlackColumns(Drawn(120, 120, 4.0), 33).size(), 50u);
}

} // namespace
