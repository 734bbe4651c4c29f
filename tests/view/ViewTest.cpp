#include "support/ViewHarness.h"

#include "image/CDib.h"
#include "model/DbPoint.h"
#include "platform/CommandIds.h"
#include "view/AutoScrollProc.h"
#include "view/CollectTool.h"
#include "view/Cursor.h"
#include "view/MapTool.h"
#include "view/PanTool.h"
#include "view/TrackMgr.h"
#include "view/ZoomTool.h"

#include <gtest/gtest.h>

#include <cmath>

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
    EXPECT_EQ(h.view->GetZoomRate(), 1.4);
    EXPECT_TRUE(h.State(ID_VIEW_ZOOM_FAST).checked);
    h.view->OnCommand(ID_VIEW_ZOOMIN);
    EXPECT_FALSE(h.view->IsFitted());
    const double zoom = h.view->GetZoom();
    h.host.Resize(300, 300);
    EXPECT_EQ(h.view->GetZoom(), zoom);
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
        ASSERT_EQ(a.view->GetScrollPos(), b.view->GetScrollPos());
        EXPECT_EQ(a.Snapshot(), b.Snapshot());
    }
}

TEST(ViewPaint, UpdateHintsRepaintTheOverlayOrRebuildOrRefit)
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
    // The image changes: shown anew at the same zoom.
    h.doc.image().FlipHorizontal();
    h.view->OnUpdate(nullptr, PlotData::kHintImage);
    h.Flush();
    EXPECT_EQ(h.Pixel(0, 0), PatternPixel(299, 0));
    EXPECT_EQ(h.view->GetZoom(), 1.0);
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
    ASSERT_EQ(before, h.view->GetMapTool());
    const auto down = [&](KeyCode code, ViewKey key) { h.Hold(code), h.KeyDown(key); };
    const auto up = [&](KeyCode code, ViewKey key) { h.Let(code), h.KeyUp(key); };
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
    h.KeyUp(ViewKey::X);
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

} // namespace
