#include "support/ViewHarness.h"

#include "mapping/Box.h"
#include "model/DbPoint.h"
#include "platform/CommandIds.h"
#include "view/AutoScrollProc.h"
#include "view/CollectTool.h"
#include "view/Cursor.h"
#include "view/Magnifier.h"
#include "view/PanTool.h"
#include "view/ZoomTool.h"

#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

namespace {

// The fitted zoom is the largest power of the rate at or below the exact fit; a resize refits
// while fitted, a zoom command stops that.
TEST(ViewFit, ZoomIsAPowerOfTheRateAtOrBelowTheExactFitUntilAZoomCommand)
{
    const struct {
        int imageW, imageH, clientW, clientH;
        double zoom;
    } cases[] = {{1000, 500, 600, 600, std::pow(1.2, -3)},
                 {100, 100, 200, 200, 1.44},
                 {100, 400, 400, 200, std::pow(1.2, -4)}}; // tall: the height decides
    for (const auto& c : cases) {
        ViewHarness h(c.imageW, c.imageH, c.clientW, c.clientH);
        EXPECT_NEAR(h.view->GetZoom(), c.zoom, 1e-4) << c.imageW;
        EXPECT_TRUE(h.view->IsFitted());
    }
    ViewHarness h(1000, 500, 600, 600);
    h.host.Resize(1200, 1200);
    // Exact fit 1.2 is one step of the rate: n = trunc(1 - 1) = 0.
    EXPECT_NEAR(h.view->GetZoom(), 1.0, 1e-12);
    h.host.Resize(3000, 3000);
    EXPECT_NEAR(h.view->GetZoom(), std::pow(1.2, 5), 1e-9);
    h.view->OnCommand(ID_VIEW_ZOOM_FAST);
    h.view->OnCommand(ID_VIEW_ZOOMIN);
    EXPECT_FALSE(h.view->IsFitted());
    h.host.Resize(300, 300);
    EXPECT_NEAR(h.view->GetZoom(), std::pow(1.2, 5) * 1.4, 1e-9);
}

TEST(ViewZoom, ZoomStopsBeforeTheScaledSizeLeavesTheScrollRange)
{
    ViewHarness h(3000, 20, 200, 200);
    int steps = 0;
    while (h.view->ZoomIn() && steps < 1000)
        ++steps;
    EXPECT_LT(steps, 1000);
    const ISize s = h.view->GetScaledSize();
    EXPECT_LE(s.cx, ZoomScroll::kMaxScaledExtent);
    EXPECT_GT(s.cx * 1.2, static_cast<double>(ZoomScroll::kMaxScaledExtent) * 0.99);
    // Still paints (the visible part only) and events map to image pixels.
    h.Repaint();
    const ToolEvent e = h.EventAt(10, 10);
    EXPECT_TRUE(e.scaled.x >= 0.0 && e.scaled.x <= 3000.0) << e.scaled.x;
    steps = 0;
    while (h.view->ZoomOut() && steps < 5000)
        ++steps;
    EXPECT_LT(steps, 5000);
    EXPECT_EQ(h.view->GetScaledSize(), (ISize{1, 1}));
    h.Repaint();
    EXPECT_EQ(h.Pixel(99, 99), PatternPixel(0, 0));
    EXPECT_EQ(h.Pixel(100, 99), ColourToPixel(kWhite));
}

// Without a display copy the view samples the visible part itself; the pixels on screen
// must be those a display copy of the scaled size would show.
TEST(ViewPaint, SampledPixelsEqualTheDisplayCopy)
{
    const struct {
        double zoom;
        IPoint scroll;
        int bitCount;
    } cases[] = {{1.0 / 1.2 / 1.2, {0, 0}, 24},
                 {std::pow(1.2, 9), {1234, 777}, 24},
                 {std::pow(1.2, 4), {40, 30}, 8}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.zoom);
        ViewSettings direct;
        direct.maxDisplayCopyBytes = 0;
        ViewHarness a(301, 207, 160, 120, ViewSettings{}, c.bitCount);
        ViewHarness b(301, 207, 160, 120, direct, c.bitCount);
        for (ViewHarness* h : {&a, &b}) {
            ASSERT_TRUE(h->view->ZoomTo(c.zoom));
            h->view->ScrollToPosition(c.scroll);
            h->Repaint();
        }
        ASSERT_FALSE(a.view->IsDrawingDirect());
        ASSERT_TRUE(b.view->IsDrawingDirect());
        EXPECT_EQ(a.Snapshot(), b.Snapshot());
    }
}

TEST(ViewPaint, UpdateHintsRepaintTheOverlayOrRefit)
{
    ViewHarness h(300, 300, 200, 200);
    h.ActualPixelsAt();
    // An overlay-only repaint draws the data but not the image (painted over here).
    h.view->GetCanvas().SetViewportOrg(0, 0);
    h.view->GetCanvas().Fill(kWhite);
    h.doc.data.NewSet();
    std::unique_ptr<DbPrim> p = std::make_unique<DbPoint>(DPoint{50, 60});
    h.doc.data.AddPrim(p, -1);
    h.view->OnUpdate(nullptr, PlotData::kHintOverlay);
    EXPECT_EQ(h.Pixel(10, 10), ColourToPixel(kWhite));
    EXPECT_NE(h.Pixel(53, 60), ColourToPixel(kWhite)); // the current set's plus marker
    // A replaced image is fitted.
    h.doc.SetImage(800, 800);
    h.view->OnUpdate(nullptr, PlotData::kHintImageReplaced);
    EXPECT_TRUE(h.view->IsFitted());
    EXPECT_LT(h.view->GetZoom(), 0.25);
}

TEST(ViewPaint, NoImageDrawsNothingAndDisablesImageCommands)
{
    ViewHarness h(0, 0, 100, 100);
    EXPECT_FALSE(h.view->HasDisplay());
    for (CommandId id : {ID_VIEW_ZOOMIN, ID_VIEW_ZOOMOUT, ID_VIEW_FIT, ID_VIEW_ACTUAL, ID_TOOL_PAN,
                         ID_TOOL_CROP, ID_TOOL_MAP, ID_VIEW_SAVE, ID_TOOL_COLLECT})
        EXPECT_FALSE(h.State(id).enabled) << id;
    h.Click(10, 10);
    EXPECT_EQ(h.view->GetCurrentTool(), nullptr);
}

TEST(ViewSaved, PreviousFromAChangedViewPushesAnAutomaticEntryThatNextRemoves)
{
    ViewHarness h(2000, 2000, 200, 200);
    h.ActualPixelsAt({40, 60});
    h.view->OnCommand(ID_VIEW_SAVE);
    EXPECT_FALSE(h.State(ID_VIEW_PREV_SAVED).enabled);
    h.view->ZoomIn();
    h.view->ZoomIn();
    const SavedView zoomed = h.view->CurrentSavedView();
    EXPECT_TRUE(h.State(ID_VIEW_PREV_SAVED).enabled);
    h.view->OnCommand(ID_VIEW_PREV_SAVED);
    EXPECT_EQ(h.view->GetSavedViews().Count(), 2);
    EXPECT_EQ(h.view->GetZoom(), 1.0);
    EXPECT_EQ(h.view->GetScrollPos(), (IPoint{40, 60}));
    h.view->OnCommand(ID_VIEW_NEXT_SAVED);
    EXPECT_EQ(h.view->GetZoom(), zoomed.zoom);
    EXPECT_EQ(h.view->GetScrollPos(), (IPoint{zoomed.scrollX, zoomed.scrollY}));
    EXPECT_EQ(h.view->GetSavedViews().Count(), 1);
    EXPECT_FALSE(h.State(ID_VIEW_NEXT_SAVED).enabled);
}

TEST(ViewKeys, ScrollKeys)
{
    ViewHarness h(3000, 3000, 200, 100);
    h.ActualPixelsAt({1000, 1000});
    const struct {
        ViewKey key;
        bool control;
        IPoint scroll;
    } steps[] = {{ViewKey::PageUp, true, {1200, 1000}}, // right, not left
                 {ViewKey::PageDown, true, {1000, 1000}}, {ViewKey::PageUp, false, {1000, 900}},
                 {ViewKey::Right, false, {1020, 900}},    {ViewKey::Down, false, {1020, 910}},
                 {ViewKey::End, false, {2800, 2900}},     {ViewKey::Down, false, {2800, 2900}},
                 {ViewKey::Home, false, {0, 0}}};
    for (const auto& step : steps) {
        step.control ? h.Hold(KeyCode::Control) : h.Let(KeyCode::Control);
        h.KeyDown(step.key);
        EXPECT_EQ(h.view->GetScrollPos(), step.scroll) << static_cast<int>(step.key);
    }
}

// Space, Z and X give the pan and zoom tools while held, once no gesture is under way; the
// tool from before (and its cursor) comes back when the last is released without modifiers.
TEST(ViewKeys, HeldKeysGiveTemporaryToolsAndTheToolFromBeforeReturns)
{
    ViewHarness h(400, 400, 200, 200);
    Tool* before = h.view->GetCurrentTool();
    const auto down = [&](KeyCode code, ViewKey key) { h.Hold(code), h.KeyDown(key); };
    const auto up = [&](KeyCode code, ViewKey key) { h.Let(code), h.view->OnKeyUp(key); };
    h.Press(50, 50);
    down(KeyCode::Space, ViewKey::Space);
    EXPECT_EQ(h.view->GetCurrentTool(), before);
    h.Release(60, 60);
    h.KeyDown(ViewKey::Space);
    EXPECT_EQ(h.view->GetCurrentTool(), h.view->GetPanTool());
    down(KeyCode::Z, ViewKey::Z);
    EXPECT_EQ(h.view->GetCurrentTool(), h.view->GetZoominTool());
    up(KeyCode::Z, ViewKey::Z); // Z up while space is held: back to pan
    EXPECT_EQ(h.view->GetCurrentTool(), h.view->GetPanTool());
    down(KeyCode::X, ViewKey::X);
    EXPECT_EQ(h.view->GetCurrentTool(), h.view->GetZoomoutTool());
    up(KeyCode::Space, ViewKey::Space); // X still held: nothing changes
    EXPECT_EQ(h.view->GetCurrentTool(), h.view->GetZoomoutTool());
    h.Let(KeyCode::X);
    h.Hold(KeyCode::Shift);
    h.view->OnKeyUp(ViewKey::X);
    EXPECT_EQ(h.view->GetCurrentTool(), h.view->GetZoomoutTool());
    up(KeyCode::Shift, ViewKey::X);
    EXPECT_EQ(h.view->GetCurrentTool(), before);
    EXPECT_EQ(h.view->GetCurrentCursor(), before->GetCursor());
}

TEST(ViewCommands, CollectNeedsARegionAndAsksForTheMappingFirst)
{
    ViewHarness h(400, 400, 200, 200);
    EXPECT_FALSE(h.State(ID_TOOL_COLLECT).enabled);
    h.doc.DefineRegion({10, 10}, {300, 300}, {0, 0}, {100, 100});
    h.doc.mappingValid = false;
    h.doc.onAxisMapping = [&h] { h.doc.mappingValid = true; };
    h.view->OnCommand(ID_TOOL_COLLECT);
    EXPECT_EQ(h.view->GetCurrentTool(), static_cast<Tool*>(h.view->GetCollectTool()));
    EXPECT_TRUE(h.State(ID_TOOL_COLLECT).checked);
    // The dialog cancelled: the tool is not selected.
    h.doc.mappingValid = false;
    h.doc.onAxisMapping = [] {};
    h.view->OnCommand(ID_TOOL_COLLECT_LINES);
    EXPECT_EQ(h.view->GetCurrentTool(), static_cast<Tool*>(h.view->GetCollectTool()));
}

// A drag out of the window scrolls a step at once and a step every period; both grow with
// the distance outside. The pan tool scrolls the other way, to the limit, and stops inside.
TEST(ViewAutoScroll, StepAndPeriodFollowTheDistanceOutside)
{
    const struct {
        int outside, step, period;
    } cases[] = {{0, 10, 55}, {50, 20, 30}, {200, 95, 5}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.outside);
        ViewHarness h(4000, 4000, 200, 200);
        h.ActualPixelsAt({1000, 1000});
        h.Press(100, 100);
        h.Move(100, 200 + c.outside);
        EXPECT_EQ(h.view->GetScrollPos(), (IPoint{1000, 1000 + c.step}));
        AutoScrollProc* proc = h.view->GetAutoScroll();
        ASSERT_TRUE(proc->IsRunning());
        EXPECT_EQ(proc->GetPeriod(), c.period);
        h.Tick(3);
        EXPECT_EQ(h.view->GetScrollPos(), (IPoint{1000, 1000 + 4 * c.step}));
        h.Release(100, 199 + c.outside);
        EXPECT_FALSE(proc->IsRunning());
    }
    ViewHarness h(1000, 1000, 200, 200);
    h.ActualPixelsAt({500, 500});
    h.view->OnCommand(ID_TOOL_PAN);
    // The tool's cursor (the program's open hand) shows whenever the host asks.
    EXPECT_TRUE(h.view->OnSetCursor());
    EXPECT_EQ(h.ui.cursors.back(), CursorShape::Pan);
    h.Press(100, 100);
    h.Move(80, 250);
    AutoScrollProc* proc = h.view->GetAutoScroll();
    ASSERT_TRUE(proc->IsRunning());
    // The pan's own step moved by the clamped distance (20 left: right 20; 99 pixels down:
    // up 99), then one tick of 20 up.
    EXPECT_EQ(h.view->GetScrollPos(), (IPoint{520, 500 - 99 - 20}));
    h.Tick(30);
    EXPECT_EQ(h.view->GetScrollPos().y, 0);
    h.Move(100, 150);
    EXPECT_FALSE(proc->IsRunning());
    h.Release(100, 150);
}

TEST(ViewPrint, PageFitCentresTheImageWithoutFeedbackAndRestoresTheZoom)
{
    ViewHarness h(400, 200, 300, 300);
    h.view->OnCommand(ID_TOOL_COLLECT_LINES);
    const double zoom = h.view->GetZoom();
    // A 1000 x 800 page at 100 dpi: 900 x 700 printable; wider than tall but less so than
    // the image, so the width decides.
    h.view->OnBeginPrinting(1000, 800, 100, 100);
    EXPECT_NEAR(h.view->GetZoom(), 900.0 / 400.0, 1e-12);
    PixelCanvas page(1000, 800, kWhite);
    h.view->OnPrint(page);
    // 900 x 450 centred on the full page.
    EXPECT_EQ(page.DevicePixel(50, 175), PatternPixel(0, 0));
    EXPECT_EQ(page.DevicePixel(49, 175), ColourToPixel(kWhite));
    EXPECT_EQ(page.DevicePixel(949, 624), PatternPixel(399, 199));
    EXPECT_EQ(page.DevicePixel(950, 624), ColourToPixel(kWhite));
    h.view->OnEndPrinting();
    EXPECT_EQ(h.view->GetZoom(), zoom);
}

TEST(ViewActivation, LosingActivationEmptiesPanesAndClosingDeactivatesTheTool)
{
    ViewHarness h(300, 300, 200, 200);
    h.view->OnActivateView(true, false);
    EXPECT_EQ(h.doc.activations, 1);
    h.ui.panes = {{2, "12"}, {4, "scan.bmp"}, {5, "0.5, 0.5"}};
    h.view->OnActivateView(false, true);
    EXPECT_EQ(h.Status(2), "12");
    h.view->OnActivateView(false, false);
    for (int pane : {2, 4, 5})
        EXPECT_EQ(h.Status(pane), "") << pane;
    h.view->OnCommand(ID_TOOL_CROP);
    h.Drag({{10, 10}, {80, 80}});
    ASSERT_FALSE(h.ui.timers.empty());
    h.view->OnDestroy();
    EXPECT_TRUE(h.ui.timers.empty());
    EXPECT_EQ(h.view->GetCurrentTool(), h.view->GetDefaultTool());
}

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
