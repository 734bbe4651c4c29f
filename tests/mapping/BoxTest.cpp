#include "MappingTestSupport.h"

#include "platform/Archive.h"
#include "platform/PixelCanvas.h"
#include "platform/ToolEvent.h"

namespace {

// A box whose pixel nodes are the rectangle (0,0)..(w,h) and whose graph nodes carry the
// corner limits X xmin..xmax, Y ymin..ymax.
Box AxisBox(double w, double h, double xmin, double xmax, double ymin, double ymax)
{
    Box b;
    b.SetPixelRect({0, 0}, {w, h});
    const DPoint g[4] = {{xmin, ymax}, {xmax, ymax}, {xmax, ymin}, {xmin, ymin}};
    b.SetGraphNodes(4, g);
    return b;
}

ToolEvent Pick(double x, double y, double tol)
{
    ToolEvent e;
    e.scaled = {x, y};
    e.tolerance = {tol, tol};
    return e;
}

// A collapsed box or a NaN converts nothing and leaves the output as it was.
TEST(BoxMapping, FailedConversionLeavesOutputUntouched)
{
    Box collapsed;
    const DPoint same[4] = {{5, 5}, {5, 5}, {5, 5}, {5, 5}};
    collapsed.SetPixelNodes(4, same);
    collapsed.SetGraphNodes(4, same);
    DPoint out{42, 43};
    EXPECT_FALSE(collapsed.PixelToGraph({1, 1}, out));
    EXPECT_FALSE(collapsed.GraphToPixel({1, 1}, out));
    EXPECT_FALSE(AxisBox(10, 10, 0, 1, 0, 1).PixelToGraph({std::nan(""), 1}, out));
    EXPECT_EQ(out, (DPoint{42, 43}));
}

// Turning swings the nodes about the bottom-left corner and keeps the size, measured in the
// region's own frame. A corner dragged on a turned box keeps it rectangular, with the
// opposite corner and the angle in place.
TEST(BoxGeometry, TurnAndDragKeepTheRectangle)
{
    Box r = AxisBox(100, 50, 0, 1, 0, 1);
    r.Rotate(90);
    double w, h;
    r.GetSize(w, h);
    EXPECT_LT(Dist({w, h}, {100, 50}), 1e-9);
    EXPECT_LT(Dist(r.PixelNodes()[0], {50, 50}), 1e-5);
    EXPECT_LT(Dist(r.PixelNodes()[6], {0, 50}), 1e-9);

    r.Rotate(-55);
    const DPoint topLeft = r.PixelNodes()[0];
    r.ResizeByDrag(Box::kHitBottomRight, {10, 10}, {25, -4});
    const DPoint* n = r.PixelNodes();
    EXPECT_LT(Dist(n[0], topLeft), 1e-9);
    for (int k = 0; k < 4; ++k) {
        const DPoint c = n[2 * k], prev = n[(2 * k + 6) % 8], next = n[(2 * k + 2) % 8];
        const double dot = (prev.x - c.x) * (next.x - c.x) + (prev.y - c.y) * (next.y - c.y);
        EXPECT_NEAR(dot, 0, 1e-6) << "corner " << 2 * k;
        EXPECT_LT(Dist(n[2 * k + 1], {(c.x + next.x) / 2, (c.y + next.y) / 2}), 1e-9);
    }
    EXPECT_DOUBLE_EQ(r.GetAngle(), 35.0);
}

// Resize codes name the edges to move (1 left, 2 right, 4 top, 8 bottom): a drag of
// (+6, +4) on a 100 x 50 box.
TEST(BoxGeometry, ResizeMovesOnlyTheNamedEdges)
{
    const int cases[][3] = {{0, 100, 50}, {1, 94, 50},  {2, 106, 50}, {4, 100, 46},  {8, 100, 54},
                            {5, 94, 46},  {6, 106, 46}, {9, 94, 54},  {10, 106, 54}, {3, 100, 50}};
    for (auto [code, w, h] : cases) {
        Box b = AxisBox(100, 50, 0, 1, 0, 1);
        b.Resize(code, {6, 4});
        double bw, bh;
        b.GetSize(bw, bh);
        EXPECT_DOUBLE_EQ(bw, w) << code;
        EXPECT_DOUBLE_EQ(bh, h) << code;
    }
}

// A pick names the corner or edge it is near (the resize code) and the cursor for it, which
// turns with the box; an undefined box has nothing to hit.
TEST(BoxHitTest, CodeAndCursorOfAPick)
{
    EXPECT_EQ(Box().HitTest(Pick(0, 0, 100)), 0);
    EXPECT_EQ(Box().GetCursorIndex(Pick(0, 0, 100)), -1);
    Box b = AxisBox(100, 50, 0, 1, 0, 1);
    const int picks[][3] = {{0, 0, 5},   {100, 50, 10}, {50, 52, 8},  {-2, 25, 1},
                            {50, 25, 0}, {50, -5, 0},   {106, -2, 0}, {103, -2, 6}};
    for (auto [x, y, code] : picks)
        EXPECT_EQ(b.HitTest(Pick(x, y, 3)), code) << x << "," << y;
    for (auto [x, y, cursor] :
         {std::tuple{50, 0, 2}, {0, 0, 1}, {100, 0, 3}, {0, 25, 4}, {50, 25, -1}})
        EXPECT_EQ(b.GetCursorIndex(Pick(x, y, 3)), cursor) << x << "," << y;
    for (auto [angle, cursor] : {std::pair{30.0, 3}, {-20.0, 2}, {-30.0, 1}, {200.0, 2}}) {
        Box r = b;
        r.Rotate(angle);
        const DPoint mid = r.PixelNodes()[1];
        EXPECT_EQ(r.GetCursorIndex(Pick(mid.x, mid.y, 1)), cursor) << angle;
    }
}

// From pattern 1 the steps give 2, 4 (white), 8..128 (black), then 1 (white)...; a line
// partly clipped away keeps the phase of the whole line.
TEST(BoxDraw, MarchingAntsFiveBlackThreeWhiteInPhaseWhenClipped)
{
    const std::uint32_t W = ColourToPixel(kWhite), B = ColourToPixel(kBlack);
    const std::uint32_t paper = ColourToPixel(MakeColour(1, 2, 3));
    const std::uint32_t expected[8] = {W, W, B, B, B, B, B, W};
    PixelCanvas full(40, 10, MakeColour(1, 2, 3)), clipped(40, 10, MakeColour(1, 2, 3));
    clipped.SetClipRect({10, 0, 20, 10});
    ToolEvent a(&full), b(&clipped);
    a.drawMode = b.drawMode = ToolEvent::kAnts;
    a.antsPattern = b.antsPattern = 1;
    Box box;
    box.DrawLine(a, {2, 5}, {33, 5});
    box.DrawLine(b, {2, 5}, {33, 5});
    EXPECT_EQ(a.antsLast, (IPoint{2, 5}));
    EXPECT_EQ(a.antsPattern, b.antsPattern);
    for (int x = 2; x <= 33; ++x) {
        EXPECT_EQ(full.DevicePixel(x, 5), expected[(x - 2) % 8]) << x;
        EXPECT_EQ(clipped.DevicePixel(x, 5), x >= 10 && x < 20 ? expected[(x - 2) % 8] : paper);
    }
    EXPECT_EQ(full.DevicePixel(34, 5), paper);
    // From a pattern of several bits the first steps differ; the clip still keeps the phase.
    a.antsPattern = b.antsPattern = 0x5A;
    box.DrawLine(a, {0, 7}, {39, 7});
    box.DrawLine(b, {0, 7}, {39, 7});
    EXPECT_EQ(a.antsPattern, b.antsPattern);
    for (int x = 10; x < 20; ++x)
        EXPECT_EQ(clipped.DevicePixel(x, 7), full.DevicePixel(x, 7)) << x;
}

// A box far outside the window draws nothing and returns at once, in either mode.
TEST(BoxDraw, HugeCoordinatesDoNotHang)
{
    PixelCanvas canvas(30, 30);
    ToolEvent e(&canvas, 1e6);
    Box b;
    b.SetPixelRect({-1e12, -1e12}, {1e12, 1e12});
    for (int mode : {ToolEvent::kAnts, ToolEvent::kNormal}) {
        e.drawMode = mode;
        b.Draw(e);
    }
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 30; ++x)
            ASSERT_EQ(canvas.DevicePixel(x, y), ColourToPixel(kWhite));
}

TEST(BoxDraw, XLineInsideAndOutside)
{
    PixelCanvas canvas(120, 60);
    ToolEvent e(&canvas);
    Box b = AxisBox(100, 50, 0, 10, 0, 5);
    EXPECT_TRUE(b.DrawXLine(e, {5, 2.5}));
    EXPECT_EQ(canvas.DevicePixel(50, 0), ColourToPixel(kBlack));
    EXPECT_EQ(canvas.DevicePixel(50, 49), ColourToPixel(kBlack));
    EXPECT_TRUE(b.DrawYLine(e, {5, 0}));
    EXPECT_EQ(canvas.DevicePixel(10, 50), ColourToPixel(kBlack));
    EXPECT_FALSE(b.DrawXLine(e, {10.2, 2.5})); // s = 1.04: outside
    EXPECT_TRUE(b.DrawXLine(e, {10.04, 2.5})); // s = 1.008: inside the margin
    EXPECT_FALSE(b.DrawYLine(e, {5, -0.1}));
}

TEST(BoxStorage, PinnedLayoutAndRejectedNodeCountOrShortBlock)
{
    const std::vector<std::uint8_t> pinned = LeBytes().Region(12.5).bytes;
    ASSERT_EQ(pinned.size(), 276u);
    Archive in(pinned);
    Box b;
    b.Serialize(in);
    EXPECT_TRUE(in.AtEnd());
    EXPECT_EQ(b.PixelAt(-1, -1), (DPoint{10, 20}));
    EXPECT_EQ(b.PixelAt(1, 1), (DPoint{14, 24}));
    EXPECT_EQ(b.GraphAt(-1, 0), (DPoint{107, 207}));
    EXPECT_EQ(b.GetAngle(), 12.5);
    Archive out;
    b.Serialize(out);
    EXPECT_EQ(out.Bytes(), pinned);

    std::vector<std::uint8_t> badCount = pinned, shortBlock = pinned;
    badCount[4] = 9; // pixel node count 9
    shortBlock.resize(100);
    for (const auto& bytes : {badCount, shortBlock}) {
        Archive bad(bytes);
        Box r;
        EXPECT_THROW(r.Serialize(bad), ArchiveError);
        EXPECT_EQ(r.GetPixelNodeCount(), 0);
    }
}

} // namespace
