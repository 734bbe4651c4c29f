#include "support/ViewHarness.h"

#include "mapping/Box.h"
#include "platform/CommandIds.h"
#include "view/Magnifier.h"

#include <gtest/gtest.h>

#include <cmath>
#include <tuple>
#include <vector>

namespace {

// A region on (0, 0)-(200, 200) mapped to 0..100, dragged at zoom 1 with presses a pixel
// off the handles: each drag is one task, names the node in the status and gives the mapping
// of a region built from the expected nodes directly (four corners: straight edges).
TEST(RegionShaping, DraggedNodesMapAsTheRegionBuiltFromThem)
{
    const struct {
        const char* name;
        bool control;
        std::vector<std::pair<IPoint, IPoint>> drags;
        std::vector<DPoint> nodes;
    } cases[] = {
        // The top axis 15 pixels right of the bottom one: a skewed region.
        {"skew",
         true,
         {{{1, 1}, {15, 5}}, {{199, 1}, {215, 3}}},
         {{15, 5}, {215, 3}, {200, 200}, {0, 200}}},
        // Keystone; a midpoint dragged after its corners bends the edge.
        {"bend",
         true,
         {{{201, 199}, {190, 205}}, {{99, 1}, {100, 8}}},
         {{0, 0}, {100, 8}, {200, 0}, {195, 102.5}, {190, 205}, {95, 202.5}, {0, 200}, {0, 100}}},
        // Without Control a corner keeps the rectangle and lands on the pointer.
        {"rectangle", false, {{{201, 1}, {230, 20}}}, {{0, 20}, {230, 20}, {230, 200}, {0, 200}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ViewHarness h(400, 400, 300, 300);
        h.doc.DefineRegion({0, 0}, {200, 200}, {0, 0}, {100, 100});
        h.ActualPixelsAt();
        h.view->OnCommand(ID_TOOL_MAP);
        if (c.control)
            h.Hold(KeyCode::Control);
        for (const auto& [from, to] : c.drags) {
            h.Press(from.x, from.y);
            h.Move((from.x + to.x) / 2, (from.y + to.y) / 2);
            EXPECT_NE(h.Status().find("Node"), std::string::npos) << h.Status();
            h.Move(to.x, to.y);
            h.Release(to.x, to.y);
        }
        EXPECT_EQ(h.doc.data.GetTaskCount(), static_cast<int>(c.drags.size()));
        Box direct;
        direct.SetPixelNodes(static_cast<int>(c.nodes.size()), c.nodes.data());
        direct.SetGraphNodes(Box::kNodes, h.doc.transform().GetRegion().GraphNodes());
        for (double x = 10; x < 200; x += 47)
            for (double y = 12; y < 200; y += 53) {
                DPoint a, b;
                ASSERT_TRUE(h.doc.transform().PixelToGraph({x, y}, a));
                ASSERT_TRUE(direct.PixelToGraph({x, y}, b));
                EXPECT_NEAR(a.x, b.x, 1e-9);
                EXPECT_NEAR(a.y, b.y, 1e-9);
            }
    }
}

// The same image point clicked at zooms 1/4 to 16 gives the same coordinate within 0.5/z,
// exactly the pixel's own at 1:1, and draws back onto the clicked window pixel.
TEST(PixelConvention, OneCoordinatePerImagePointAtEveryZoom)
{
    ViewHarness h(400, 400, 300, 300);
    const std::vector<DPoint> points = {{123.3, 77.8}, {10.0, 10.0}, {150.49, 149.51}};
    for (double z : {0.25, 0.5, 1.0, 2.0, 3.0, 4.0, 8.0, 16.0}) {
        ASSERT_TRUE(h.view->ZoomTo(z));
        for (const DPoint v : points) {
            h.view->ScrollToPosition(
                {ToolEvent::WindowOf(v.x, z) - 150, ToolEvent::WindowOf(v.y, z) - 150});
            const IPoint origin = h.view->GetZoomScroll().ViewportOrigin();
            const ToolEvent e = h.EventAt(ToolEvent::WindowOf(v.x, z) + origin.x,
                                          ToolEvent::WindowOf(v.y, z) + origin.y);
            EXPECT_LE(std::fabs(e.scaled.x - v.x), 0.5 / z) << z;
            EXPECT_LE(std::fabs(e.scaled.y - v.y), 0.5 / z) << z;
            EXPECT_EQ(e.ToWindow(e.scaled), e.logical) << z;
            if (z == 1.0) {
                EXPECT_EQ(e.scaled, (DPoint{std::round(v.x), std::round(v.y)}));
            }
        }
    }
}

// Control+wheel keeps the image point under the pointer; the wheel alone scrolls up and
// down, with Shift sideways; the zoom shows in percent.
TEST(Wheel, ZoomsAboutThePointerAndScrolls)
{
    ViewHarness h(1000, 1000, 300, 300);
    h.view->ZoomTo(2.0);
    EXPECT_EQ(h.Status(CKurvoView::kPaneZoom), "200%");
    h.view->ScrollToPosition({600, 600});
    const IPoint p{70, 220};
    for (int notches : {2, -3, 1, -1}) {
        const DPoint before = h.view->ImagePointAt(p);
        const double zoom = h.view->GetZoom() * std::pow(h.view->GetZoomRate(), notches);
        h.view->OnMouseWheel(p, notches, true, false);
        ASSERT_NEAR(h.view->GetZoom(), zoom, 1e-12);
        const DPoint after = h.view->ImagePointAt(p);
        EXPECT_LE(std::fabs(after.x - before.x), 0.5 / zoom) << notches;
        EXPECT_LE(std::fabs(after.y - before.y), 0.5 / zoom) << notches;
    }
    // Notches, Shift, and the scroll they make: a tenth of the window per notch.
    using Scroll = std::tuple<int, bool, IPoint>;
    for (const auto& [notches, shift, delta] : std::initializer_list<Scroll>{
             {1, false, {0, -30}}, {-2, false, {0, 60}}, {-1, true, {30, 0}}}) {
        const IPoint before = h.view->GetScrollPos();
        const double zoom = h.view->GetZoom();
        h.view->OnMouseWheel(p, notches, false, shift);
        EXPECT_EQ(h.view->GetScrollPos(), (IPoint{before.x + delta.x, before.y + delta.y}));
        EXPECT_EQ(h.view->GetZoom(), zoom);
    }
}

// The loupe's middle pixel shows the image pixel the spot lies in, at every factor; the
// crosshair leaves it open; the loupe never covers the pointer, near any edge.
TEST(MagnifierLoupe, ShowsTheSpotAndKeepsOffThePointer)
{
    ViewHarness h(64, 48, 300, 300);
    Magnifier m;
    const int c = Magnifier::kSize / 2;
    for (int factor : {4, 6, 12}) {
        m.SetFactor(factor);
        for (const DPoint spot : {DPoint{20.3, 7.6}, DPoint{0.49, 47.2}, DPoint{63.0, 0.0}}) {
            m.Render(h.doc.GetImage(), spot, kWhite);
            const int x = static_cast<int>(std::floor(spot.x + 0.5));
            const int y = static_cast<int>(std::floor(spot.y + 0.5));
            EXPECT_EQ(m.GetCanvas().DevicePixel(c, c), PatternPixel(x, y)) << factor;
            // Two image pixels further on is 2 * factor loupe pixels on.
            const int d = 2 * factor;
            EXPECT_EQ(m.GetCanvas().DevicePixel(c - d, c + d),
                      y + 2 < 48 && x >= 2 ? PatternPixel(x - 2, y + 2) : ColourToPixel(kWhite))
                << factor;
        }
    }
    // Beside the pointer, inside the window, on the roomier side near its edges.
    const ISize box{181, 201}, client{800, 600};
    for (const IPoint p : {IPoint{10, 10}, IPoint{790, 10}, IPoint{790, 590}, IPoint{400, 300}}) {
        const IPoint q = Magnifier::Place(p, box, client);
        const IRect at{q.x, q.y, q.x + box.cx, q.y + box.cy};
        EXPECT_FALSE(at.Contains(p)) << p.x << "," << p.y;
        EXPECT_EQ(at.Intersected({0, 0, client.cx, client.cy}), at);
    }
}

} // namespace
