#include "mapping/RegGridData.h"
#include "mapping/RegGridSnap.h"
#include "mapping/RegGridVw.h"
#include "mapping/SnapCheckGroup.h"
#include "mapping/SnapTolerance.h"
#include "mapping/TransformAxisVw.h"
#include "mapping/TransformData.h"
#include "mapping/TransformMan.h"
#include "platform/Archive.h"
#include "platform/PixelCanvas.h"
#include "platform/ToolEvent.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <limits>
#include <memory>
#include <set>

namespace {

// A document's transform and grid: region (0,0)..(w,h) in pixels with the given limits.
class GridFixture : public ::testing::Test {
protected:
    void Map(double w, double h, DPoint min, DPoint max, int xLog = 0, int yLog = 0,
             double angle = 0)
    {
        std::unique_ptr<TransformMan> man(
            static_cast<TransformMan*>(m_transform.GetRep("ViewManipTransformData")));
        man->DefineOrResize(0, {0, 0}, {w, h});
        if (angle != 0)
            man->Rotate(angle);
        man->Notify(0);
        std::unique_ptr<TransformAxisVw> axis(
            static_cast<TransformAxisVw*>(m_transform.GetRep("ViewAxisTransformData")));
        axis->m_min = min;
        axis->m_max = max;
        axis->m_xLog = xLog;
        axis->m_yLog = yLog;
        axis->Notify(0);
    }

    void SetGrid(const RegGridSettings& s)
    {
        std::unique_ptr<RegGridVw> vw(static_cast<RegGridVw*>(m_grid.GetRep("ViewDialogRegGrid")));
        vw->m_settings = s;
        vw->Notify(0);
    }

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

    TransformData m_transform;
    RegGridData m_grid{&m_transform};
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

// ------------------------------------------------------------- snapping

struct SnapCase {
    double x;
    double expected;
    bool moved;
};

class LinearSnap : public GridFixture, public ::testing::WithParamInterface<SnapCase> {};

// 10 pixels per graph unit and a tolerance of 1 pixel: a graph tolerance of 0.2.
TEST_P(LinearSnap, NearestLineWithinTolerance)
{
    Map(100, 100, {0, 0}, {10, 10});
    SetGrid(SnapX(0, 1));
    SnapTolerance::Scope tol(1.0);
    DPoint p = Pixel({GetParam().x, 4.321});
    const DPoint before = p;
    EXPECT_EQ(m_grid.Snap(p), GetParam().moved);
    const DPoint g = Graph(p);
    EXPECT_NEAR(g.x, GetParam().expected, 1e-9);
    EXPECT_NEAR(g.y, 4.321, 1e-9); // Y does not snap
    if (!GetParam().moved) {
        EXPECT_EQ(p, before);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, LinearSnap,
                         ::testing::Values(SnapCase{2.9, 3.0, true}, SnapCase{2.15, 2.0, true},
                                           SnapCase{2.5, 2.5, false}, SnapCase{7.0, 7.0, true},
                                           SnapCase{-0.12, 0.0, true}));

TEST_F(GridFixture, LowerNeighbourWinsWhenBothAreClose)
{
    Map(100, 100, {0, 0}, {10, 10});
    SetGrid(SnapX(0, 0.3));
    SnapTolerance::Scope tol(1.0); // 0.2 graph units
    DPoint p = Pixel({0.15, 5});
    ASSERT_TRUE(m_grid.Snap(p));
    EXPECT_NEAR(Graph(p).x, 0.0, 1e-9);
}

TEST_F(GridFixture, BothAxesSnapIndependently)
{
    Map(100, 100, {0, 0}, {10, 10});
    RegGridSettings s = SnapX(0.5, 2);
    s.snapY = 1;
    s.originY = 0;
    s.stepY = 5;
    SetGrid(s);
    SnapTolerance::Scope tol(1.0);
    DPoint p = Pixel({2.4, 5.1});
    ASSERT_TRUE(m_grid.Snap(p));
    EXPECT_NEAR(Graph(p).x, 2.5, 1e-9);
    EXPECT_NEAR(Graph(p).y, 5.0, 1e-9);
}

// Log X over 0.1..1000 on 400 pixels (100 pixels a decade).
TEST_F(GridFixture, LogAxisRepeatsThePatternInEveryDecade)
{
    Map(400, 100, {0.1, 0}, {1000, 10}, 1, 0);
    SetGrid(SnapX(1, 1));
    {
        SnapTolerance::Scope tol(2.0);
        DPoint p = Pixel({43, 5});
        ASSERT_TRUE(m_grid.Snap(p));
        EXPECT_NEAR(Graph(p).x, 40, 1e-7);
    }
    {
        // Decade exponent of 0.93 is 0 (truncated toward zero): neighbours 0 and 1, so 1.
        SnapTolerance::Scope tol(3.5);
        DPoint p = Pixel({0.93, 5});
        ASSERT_TRUE(m_grid.Snap(p));
        EXPECT_NEAR(Graph(p).x, 1.0, 1e-9);
    }
    {
        // 0.27 lies between 0 and 1; 0 has no pixel on a log axis and 1 is too far.
        SnapTolerance::Scope tol(3.5);
        DPoint p = Pixel({0.27, 5});
        const DPoint before = p;
        EXPECT_FALSE(m_grid.Snap(p));
        EXPECT_EQ(p, before);
    }
}

TEST_F(GridFixture, LogAxisWithoutPositiveOriginDoesNotSnap)
{
    Map(400, 100, {0.1, 0}, {1000, 10}, 1, 0);
    SetGrid(SnapX(0, 1));
    SnapTolerance::Scope tol(20.0);
    DPoint p = Pixel({43, 5});
    const DPoint before = p;
    EXPECT_FALSE(m_grid.Snap(p));
    EXPECT_EQ(p, before);
}

TEST_F(GridFixture, LogXDoesNotStopALinearYSnap)
{
    Map(400, 100, {0.1, 0}, {1000, 10}, 1, 0);
    RegGridSettings s;
    s.snapY = 1;
    s.stepX = 1; // originX 0: no logarithm, but X does not snap
    s.stepY = 1;
    SetGrid(s);
    SnapTolerance::Scope tol(1.0);
    DPoint p = Pixel({43, 5.05});
    ASSERT_TRUE(m_grid.Snap(p));
    EXPECT_NEAR(Graph(p).y, 5.0, 1e-9);
    EXPECT_NEAR(Graph(p).x, 43, 1e-9);
}

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
    std::unique_ptr<AttributeRep> rep(m_grid.GetRep("GridSnapRegGrid"));
    auto* snap = dynamic_cast<RegGridSnap*>(rep.get());
    ASSERT_NE(snap, nullptr);
    SnapTolerance::Scope tol(1.0);
    DPoint p = Pixel({2.9, 5});
    EXPECT_FALSE(snap->Check(p));
    SetGrid(SnapX(0, 1));
    EXPECT_TRUE(snap->Check(p));
    EXPECT_NEAR(Graph(p).x, 3.0, 1e-9);
}

// ------------------------------------------------------------- tolerance and groups

TEST(SnapToleranceTest, MachineEpsilonFloor)
{
    const double eps = SnapTolerance::MachineEpsilon();
    EXPECT_EQ(eps, std::numeric_limits<double>::epsilon() / 2);
    EXPECT_EQ(1.0 + eps, 1.0);
    EXPECT_NE(1.0 + 2 * eps, 1.0);
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
    std::unique_ptr<RegGridVw> vw(static_cast<RegGridVw*>(grid.GetRep("ViewDialogRegGrid")));
    ASSERT_NE(vw, nullptr);
    EXPECT_EQ(vw->m_settings, RegGridSettings{});
    EXPECT_EQ(vw->m_settings.showX, 1);
    vw->m_settings = SnapX(2, 3);
    EXPECT_EQ(grid.GetSettings(), RegGridSettings{}); // nothing until notified
    vw->Notify(0);
    EXPECT_EQ(grid.GetSettings(), SnapX(2, 3));

    std::unique_ptr<AttributeRep> snap(grid.GetRep("GridSnapRegGrid"));
    snap->Notify(0); // not a settings view: ignored
    EXPECT_EQ(grid.GetSettings(), SnapX(2, 3));
    std::unique_ptr<RegGridVw> other(static_cast<RegGridVw*>(grid.GetRep("ViewDialogRegGrid")));
    EXPECT_EQ(other->m_settings, SnapX(2, 3));
    other->m_settings.stepX = 9;
    other->Reset();
    EXPECT_EQ(other->m_settings.stepX, 3);
}

TEST(RegGridDataTest, StorageVersions)
{
    RegGridData grid;
    RegGridSettings s = SnapX(1.5, 2.5);
    s.snapY = 1;
    s.originY = -4;
    s.stepY = 0.25;
    s.showX = 0;
    {
        std::unique_ptr<RegGridVw> vw(static_cast<RegGridVw*>(grid.GetRep("ViewDialogRegGrid")));
        vw->m_settings = s;
        vw->Notify(0);
    }
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
    RegGridSettings s = SnapX(0.5, 2); // lines at 0.5, 2.5, 4.5, 6.5, 8.5
    s.snapY = 1;
    s.stepY = 5; // lines at y = 0, 5, 10
    SetGrid(s);
    PixelCanvas canvas(120, 120);
    ToolEvent e(&canvas);
    m_grid.Draw(e);
    EXPECT_EQ(BlackColumns(canvas, 33), (std::set<int>{5, 25, 45, 65, 85}));
    EXPECT_EQ(BlackRows(canvas, 33), (std::set<int>{0, 50, 100}));
}

TEST_F(GridFixture, ShowFlagAloneDrawsNoLines)
{
    Map(100, 100, {0, 0}, {10, 10});
    RegGridSettings s = SnapX(0, 1);
    s.snapX = 0; // showX stays on
    s.snapY = 1;
    s.showY = 0;
    SetGrid(s);
    PixelCanvas canvas(120, 120);
    ToolEvent e(&canvas);
    m_grid.Draw(e);
    EXPECT_TRUE(BlackColumns(canvas, 33).empty());
    EXPECT_TRUE(BlackRows(canvas, 33).empty());
}

TEST_F(GridFixture, LogGridRepeatsPerDecade)
{
    // 0.1..100 over 300 pixels: 100 pixels per decade, the centre in the decade of 1.
    Map(300, 50, {0.1, 0}, {100, 10}, 1, 0);
    SetGrid(SnapX(1, 1));
    PixelCanvas canvas(320, 60);
    ToolEvent e(&canvas);
    m_grid.Draw(e);
    std::set<int> expected;
    for (double decade : {0.1, 1.0, 10.0})
        for (int k = 1; k <= 9; ++k)
            expected.insert(static_cast<int>((std::log10(decade * k) + 1) * 100 + 0.5));
    expected.insert(300);
    EXPECT_EQ(BlackColumns(canvas, 25), expected);
}

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
    PixelCanvas canvas(1200, 400);
    ToolEvent e(&canvas);
    const auto start = std::chrono::steady_clock::now();
    m_grid.Draw(e);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_LT(seconds, 1.0);
    // The line through the centre's grid value is always there.
    EXPECT_FALSE(BlackColumns(canvas, 150).empty());
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
    PixelCanvas canvas(120, 120);
    ToolEvent e(&canvas);
    SetGrid(SnapX(0, 0.25)); // 2.5 pixels
    m_grid.Draw(e);
    EXPECT_EQ(BlackColumns(canvas, 33).size(), 41u);

    canvas.Fill(kWhite);
    SetGrid(SnapX(0, 0.05)); // 0.5 pixels
    m_grid.Draw(e);
    EXPECT_EQ(BlackColumns(canvas, 33), (std::set<int>{50}));

    canvas.Fill(kWhite);
    ToolEvent zoomed(&canvas, 4.0); // the same step is 2 window pixels at zoom 4
    m_grid.Draw(zoomed);
    EXPECT_GT(BlackColumns(canvas, 33).size(), 50u);
}

TEST_F(GridFixture, ZeroStepFromAFileDrawsNothing)
{
    Map(100, 100, {0, 0}, {10, 10});
    RegGridSettings s = SnapX(0, 0);
    s.snapY = 1;
    s.stepY = 0;
    SetGrid(s);
    PixelCanvas canvas(120, 120);
    ToolEvent e(&canvas);
    m_grid.Draw(e);
    EXPECT_TRUE(BlackColumns(canvas, 33).empty());
    EXPECT_TRUE(BlackRows(canvas, 33).empty());
}

TEST_F(GridFixture, NegativeLogStepWalksDownTheDecade)
{
    // 0.1..100 over 300 pixels; origin 5, step -1: lines at 5, 4, 3, 2, 1 in each decade.
    Map(300, 50, {0.1, 0}, {100, 10}, 1, 0);
    SetGrid(SnapX(5, -1));
    PixelCanvas canvas(320, 60);
    ToolEvent e(&canvas);
    m_grid.Draw(e);
    std::set<int> expected;
    for (double decade : {0.1, 1.0, 10.0})
        for (int k = 1; k <= 5; ++k)
            expected.insert(static_cast<int>((std::log10(decade * k) + 1) * 100 + 0.5));
    EXPECT_EQ(BlackColumns(canvas, 25), expected);
}

} // namespace
