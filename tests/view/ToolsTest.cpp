#include "support/ViewHarness.h"

#include "mapping/CropBox.h"
#include "mapping/TransformMan.h"
#include "model/DbPoint.h"
#include "model/DbPrimList.h"
#include "model/DbSetMgr.h"
#include "tasks/Task.h"
#include "view/AntsProc.h"
#include "view/AutoScrollProc.h"
#include "view/CollectLineTool.h"
#include "view/CollectTool.h"
#include "view/CropTool.h"
#include "view/Cursor.h"
#include "view/MapTool.h"
#include "view/RotateTool.h"
#include "view/TrackMgr.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// A 400 x 400 image at zoom 1 in a 300 x 300 window. The region covers pixels (0, 0) to
// (200, 200) and maps them to graph x 0..100 to the right and y 0..100 upward: one graph
// unit is two pixels.
class ToolFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        h.doc.data.NewSet();
        h.doc.DefineRegion({0, 0}, {200, 200}, {0, 0}, {100, 100});
        h.ActualPixelsAtOrigin();
    }
    // A full repaint of the present state, to compare the canvas with.
    std::vector<std::uint32_t> CleanPaint()
    {
        const std::vector<std::uint32_t> now = h.Snapshot();
        h.Repaint();
        std::vector<std::uint32_t> clean = h.Snapshot();
        return clean;
    }
    int PointCount() { return h.doc.data.GetSetMgr()->GetCurrentSet()->GetCount(); }
    DbPoint* PointAt(int i)
    {
        return static_cast<DbPoint*>(h.doc.data.GetSetMgr()->GetCurrentSet()->GetAt(i));
    }
    static int Differences(const std::vector<std::uint32_t>& a, const std::vector<std::uint32_t>& b)
    {
        int n = 0;
        for (std::size_t i = 0; i < a.size() && i < b.size(); ++i)
            n += a[i] != b[i];
        return n;
    }

    ViewHarness h{400, 400, 300, 300};
};

// ---------------------------------------------------------------- collect points

TEST_F(ToolFixture, TenClicksAreTenPointsEachUndoableByItself)
{
    h.view->OnCommand(CKurvoView::kCollectPoints);
    ASSERT_EQ(h.view->GetCurrentTool(), static_cast<Tool*>(h.view->GetCollectTool()));
    for (int i = 0; i < 10; ++i)
        h.Click(20 + 10 * i, 30 + 7 * i);
    ASSERT_EQ(PointCount(), 10);
    EXPECT_EQ(PointAt(3)->m_pixel, (DPoint{50, 51}));
    EXPECT_EQ(h.doc.data.GetTaskCount(), 10);
    for (int left = 9; left >= 0; --left) {
        ASSERT_TRUE(h.doc.data.Undo());
        EXPECT_EQ(PointCount(), left);
    }
    EXPECT_FALSE(h.doc.data.CanUndo());
}

TEST_F(ToolFixture, CollectedPointIsDrawnAtOnceInThePointsColour)
{
    h.view->OnCommand(CKurvoView::kCollectPoints);
    const int paints = h.host.paints;
    h.Click(120, 80);
    // No repaint: the marker is drawn straight on the canvas.
    EXPECT_EQ(h.host.paints, paints);
    const std::uint32_t pts = ColourToPixel(h.view->GetSettings().ptsColour);
    EXPECT_EQ(h.Pixel(120, 80), pts);
    EXPECT_EQ(h.Pixel(125, 80), pts);
    EXPECT_EQ(h.Pixel(120, 75), pts);
    EXPECT_EQ(h.Pixel(127, 80), PatternPixel(127, 80));
}

TEST_F(ToolFixture, ShiftBypassesGridSnapping)
{
    h.doc.SetGridSnap(10, 10);
    h.view->OnCommand(CKurvoView::kCollectPoints);
    // Graph (20.5, 49.5): one pixel from the grid crossing (20, 50) at pixel (40, 100).
    h.Click(41, 101);
    ASSERT_EQ(PointCount(), 1);
    EXPECT_NEAR(PointAt(0)->m_pixel.x, 40.0, 1e-9);
    EXPECT_NEAR(PointAt(0)->m_pixel.y, 100.0, 1e-9);
    h.Hold(KeyCode::Shift);
    h.Click(41, 101);
    ASSERT_EQ(PointCount(), 2);
    EXPECT_EQ(PointAt(1)->m_pixel, (DPoint{41, 101}));
    h.Let(KeyCode::Shift);
    // Far from the grid lines nothing snaps.
    h.Click(50, 110);
    EXPECT_EQ(PointAt(2)->m_pixel, (DPoint{50, 110}));
}

TEST_F(ToolFixture, SnappingIsOffForOtherTools)
{
    h.doc.SetGridSnap(10, 10);
    h.view->OnCommand(CKurvoView::kCollectPoints);
    EXPECT_TRUE(h.view->GetTrackMgr()->IsSnapEnabled());
    h.view->OnCommand(CKurvoView::kDefineRegion);
    EXPECT_FALSE(h.view->GetTrackMgr()->IsSnapEnabled());
}

TEST_F(ToolFixture, MovingShowsThePlotPositionAndThePixelSize)
{
    h.view->OnCommand(CKurvoView::kCollectPoints);
    h.Move(100, 50);
    EXPECT_EQ(h.Status(0), "Plot Position (50, 75)");
    EXPECT_EQ(h.Status(5), "0.5, 0.5");
    h.view->OnCommand(CKurvoView::kDefineRegion);
    EXPECT_EQ(h.Status(5), "");
}

struct DigitsCase {
    double x;
    DPoint resolution;
    const char* expected;
};

class PlotPositionDigits : public ::testing::TestWithParam<DigitsCase> {};

TEST_P(PlotPositionDigits, DigitsReachTwoBelowOnePixel)
{
    const DigitsCase c = GetParam();
    ViewHarness h(100, 100, 100, 100);
    h.doc.DefineRegion({0, 0}, {1000, 1000}, {0, 0}, {1000, 1000});
    h.doc.fixedResolution = c.resolution;
    ToolEvent e;
    e.scaled = {c.x, 1000.0 - 2.0};
    h.view->GetCollectTool()->ShowPlotPosition(e);
    EXPECT_EQ(h.Status(0).substr(0, std::string(c.expected).size()), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PlotPositionDigits,
    ::testing::Values(DigitsCase{123.4, {0.05, 1.0}, "Plot Position (123.4, "},
                      DigitsCase{123.456789, {0.05, 1.0}, "Plot Position (123.457, "},
                      DigitsCase{123.456789, {1.0, 1.0}, "Plot Position (123.5, "},
                      DigitsCase{123.456789, {10.0, 1.0}, "Plot Position (123, "},
                      // zero and negative: the default precision of 6
                      DigitsCase{0.0, {0.05, 1.0}, "Plot Position (0, "},
                      DigitsCase{-12.3456789, {0.05, 1.0}, "Plot Position (-12.3457, "}));

// ---------------------------------------------------------------- collect lines

TEST_F(ToolFixture, DraggedSegmentShowsLengthAndAngle)
{
    h.view->OnCommand(CKurvoView::kCollectLines);
    const std::vector<std::uint32_t> clean = h.Snapshot();
    h.Press(40, 100);
    h.Drag(65, 100);
    h.Drag(90, 100);
    h.Release(90, 100);
    CollectLineTool* tool = h.view->GetCollectLineTool();
    EXPECT_EQ(tool->GetPointCount(), 2);
    EXPECT_EQ(tool->GetClickCount(), 0);
    EXPECT_EQ(h.Status(0), "Position (45, 50)   Len,Angle (25, 0.0)");
    // Rubber band and markers are on the window.
    EXPECT_GT(Differences(clean, h.Snapshot()), 40);
    // Up on screen is up in graph units.
    h.Press(40, 100);
    h.Drag(40, 60);
    h.Release(40, 60);
    EXPECT_EQ(h.Status(0), "Position (20, 70)   Len,Angle (20, 90.0)");
    // Only the position follows the cursor once the segment is complete.
    h.Move(100, 50);
    EXPECT_EQ(h.Status(0), "Position (50, 75)   Len,Angle (20, 90.0)");
}

TEST_F(ToolFixture, ShortDragThenClickMakesTheSegmentFromTheFirstPress)
{
    h.view->OnCommand(CKurvoView::kCollectLines);
    CollectLineTool* tool = h.view->GetCollectLineTool();
    h.Press(40, 100);
    h.Drag(43, 100);
    h.Release(43, 100);
    EXPECT_EQ(tool->GetPointCount(), 1);
    EXPECT_EQ(tool->GetClickCount(), 1);
    h.Move(100, 140);
    EXPECT_EQ(h.Status(0), "Position (50, 30)   Len,Angle (36.0555, -33.7)");
    h.Click(140, 100);
    ASSERT_EQ(tool->GetPointCount(), 2);
    EXPECT_EQ(tool->GetPoint(0).scaled, (DPoint{40, 100}));
    EXPECT_EQ(tool->GetPoint(1).scaled, (DPoint{140, 100}));
    // The window shows exactly the segment's feedback: a repaint gives the same pixels.
    const std::vector<std::uint32_t> shown = h.Snapshot();
    h.Repaint();
    EXPECT_EQ(h.Snapshot(), shown);
}

TEST_F(ToolFixture, EscapeAndToolSwitchesLeaveNoFeedback)
{
    h.view->OnCommand(CKurvoView::kCollectLines);
    const std::vector<std::uint32_t> clean = h.Snapshot();
    h.Press(40, 100);
    h.Drag(80, 120);
    ASSERT_NE(h.Snapshot(), clean);
    h.KeyDown(ViewKey::Escape);
    EXPECT_EQ(h.Snapshot(), clean);
    h.Release(80, 120);
    EXPECT_EQ(h.view->GetCollectLineTool()->GetPointCount(), 0);

    h.Press(40, 100);
    h.Drag(80, 120);
    h.Release(80, 120);
    ASSERT_NE(h.Snapshot(), clean);
    h.view->OnCommand(CKurvoView::kPan);
    EXPECT_EQ(h.Snapshot(), clean);
    h.view->OnCommand(CKurvoView::kCollectLines);
    EXPECT_EQ(h.Snapshot(), clean);
    h.Repaint();
    EXPECT_EQ(h.Snapshot(), clean);
}

TEST_F(ToolFixture, NewMeasurementErasesTheOldOne)
{
    h.view->OnCommand(CKurvoView::kCollectLines);
    const std::vector<std::uint32_t> clean = h.Snapshot();
    h.Press(40, 100);
    h.Drag(80, 120);
    h.Release(80, 120);
    h.Press(150, 150);
    h.Drag(150, 151);
    h.KeyDown(ViewKey::Escape);
    EXPECT_EQ(h.Snapshot(), clean);
}

// ---------------------------------------------------------------- mapping region

TEST_F(ToolFixture, MapToolDrawsANewRegionAsOneUndoableTask)
{
    h.view->OnCommand(CKurvoView::kDefineRegion);
    const Box before = h.doc.transform.GetRegion();
    const int paints = h.host.paints;
    const std::vector<std::uint32_t> clean = h.Snapshot();
    h.Press(250, 250);
    h.Drag(260, 260);
    h.Drag(280, 290);
    // Drag steps draw feedback only: no repaint, few pixels changed.
    EXPECT_EQ(h.host.paints, paints);
    const int changed = Differences(clean, h.Snapshot());
    EXPECT_GT(changed, 0);
    EXPECT_LT(changed, 4 * 50);
    h.Release(280, 290);
    ASSERT_EQ(h.doc.data.GetTaskCount(), 1);
    EXPECT_EQ(h.doc.data.GetTask(0)->GetName(), "Transformation");
    const Box& now = h.doc.transform.GetRegion();
    EXPECT_EQ(now.PixelNodes()[0], (DPoint{250, 250}));
    EXPECT_EQ(now.PixelNodes()[4], (DPoint{280, 290}));
    h.Flush();
    ASSERT_TRUE(h.doc.data.Undo());
    EXPECT_TRUE(h.doc.transform.GetRegion().SameRegion(before));
}

TEST_F(ToolFixture, MapToolEscapeKeepsTheRegionAndRecordsNothing)
{
    h.view->OnCommand(CKurvoView::kDefineRegion);
    const Box before = h.doc.transform.GetRegion();
    const std::vector<std::uint32_t> clean = h.Snapshot();
    // Drag the right edge.
    h.Press(200, 100);
    h.Drag(220, 100);
    h.Drag(240, 110);
    h.KeyDown(ViewKey::Escape);
    h.Drag(260, 110);
    h.Release(260, 110);
    EXPECT_EQ(h.doc.data.GetTaskCount(), 0);
    EXPECT_TRUE(h.doc.transform.GetRegion().SameRegion(before));
    h.Flush();
    EXPECT_EQ(h.Snapshot(), clean);
}

TEST_F(ToolFixture, MapToolDragsAnEdgeFromTheStoredRegion)
{
    h.view->OnCommand(CKurvoView::kDefineRegion);
    h.Move(200, 100);
    EXPECT_EQ(h.ui.cursors.back(), CursorShape::SizeWE);
    h.Press(200, 100);
    h.Drag(230, 100);
    h.Drag(250, 100);
    h.Release(250, 100);
    ASSERT_EQ(h.doc.data.GetTaskCount(), 1);
    const Box& r = h.doc.transform.GetRegion();
    EXPECT_NEAR(r.PixelNodes()[2].x, 250.0, 1e-9);
    EXPECT_NEAR(r.PixelNodes()[0].x, 0.0, 1e-9);
    // A click without a drag still hands over one (unchanged) region.
    h.Click(120, 260);
    EXPECT_EQ(h.doc.data.GetTaskCount(), 2);
}

TEST_F(ToolFixture, AutoScrollDuringAnEdgeDragKeepsTheEdgeUnderTheMouse)
{
    h.view->OnCommand(CKurvoView::kDefineRegion);
    h.Press(100, 200); // bottom edge
    h.Drag(100, 250);
    h.Drag(100, 320); // 20 below the window
    ASSERT_TRUE(h.view->GetAutoScroll()->IsRunning());
    h.clock.Advance(55 * 3);
    const IPoint scroll = h.view->GetScrollPos();
    EXPECT_GT(scroll.y, 0);
    h.Release(100, 320);
    ASSERT_EQ(h.doc.data.GetTaskCount(), 1);
    // The window position of the mouse, clamped to the client, in image pixels.
    EXPECT_NEAR(h.doc.transform.GetRegion().PixelNodes()[4].y, 299.0 + scroll.y, 1e-9);
    h.Flush();
    EXPECT_EQ(h.Snapshot(), CleanPaint());
}

TEST_F(ToolFixture, RotateToolTurnsAboutTheBottomLeftCorner)
{
    h.doc.DefineRegion({50, 50}, {90, 150}, {0, 0}, {100, 100});
    h.view->OnCommand(CKurvoView::kRotateRegion);
    const DPoint pivot = h.doc.transform.GetRegion().PixelNodes()[6];
    ASSERT_EQ(pivot, (DPoint{50, 150}));
    h.Press(static_cast<int>(pivot.x) + 100, static_cast<int>(pivot.y));
    h.Drag(static_cast<int>(pivot.x) + 70, static_cast<int>(pivot.y) + 70);
    h.Drag(static_cast<int>(pivot.x), static_cast<int>(pivot.y) + 100);
    h.Release(static_cast<int>(pivot.x), static_cast<int>(pivot.y) + 100);
    ASSERT_EQ(h.doc.data.GetTaskCount(), 1);
    EXPECT_EQ(h.doc.data.GetTask(0)->GetName(), "Transformation");
    const Box& r = h.doc.transform.GetRegion();
    EXPECT_NEAR(r.GetAngle(), 90.0, 1e-3);
    EXPECT_NEAR(r.PixelNodes()[6].x, 50.0, 1e-6);
    EXPECT_NEAR(r.PixelNodes()[6].y, 150.0, 1e-6);
    // The bottom-right corner (40 pixels right of the pivot) turned a quarter about it.
    EXPECT_NEAR(r.PixelNodes()[4].x, 50.0, 1e-3);
    EXPECT_NEAR(r.PixelNodes()[4].y, 190.0, 1e-3);
}

TEST_F(ToolFixture, RotateToolDragsAnEdgePressedOn)
{
    h.view->OnCommand(CKurvoView::kRotateRegion);
    h.Press(200, 100);
    h.Drag(220, 100);
    h.Release(220, 100);
    ASSERT_EQ(h.doc.data.GetTaskCount(), 1);
    const Box& r = h.doc.transform.GetRegion();
    EXPECT_NEAR(r.GetAngle(), 0.0, 1e-12);
    EXPECT_NEAR(r.PixelNodes()[2].x, 220.0, 1e-9);
}

TEST_F(ToolFixture, RotateToolGlyphComesAndGoesWithTheTool)
{
    const std::vector<std::uint32_t> clean = h.Snapshot();
    h.view->OnCommand(CKurvoView::kRotateRegion);
    const std::vector<std::uint32_t> withGlyph = h.Snapshot();
    EXPECT_GT(Differences(clean, withGlyph), 10);
    // A repaint draws it afresh, not twice.
    h.Repaint();
    EXPECT_EQ(h.Snapshot(), withGlyph);
    h.view->OnCommand(CKurvoView::kDefineRegion);
    EXPECT_EQ(h.Snapshot(), clean);
}

// ---------------------------------------------------------------- crop

TEST_F(ToolFixture, CropAntsMarchEvery25MillisecondsAndStopWhileDragging)
{
    h.view->OnCommand(CKurvoView::kCrop);
    CropTool* crop = h.view->GetCropTool();
    h.Press(20, 30);
    h.Drag(60, 60);
    EXPECT_FALSE(crop->GetAnts()->IsRunning());
    h.Drag(120, 90);
    h.Release(120, 90);
    ASSERT_TRUE(crop->GetCropBox()->IsDefined());
    ASSERT_TRUE(crop->GetAnts()->IsRunning());
    EXPECT_EQ(crop->GetAnts()->GetPeriod(), 25);
    h.Flush();
    h.clock.Advance(25);
    const unsigned char start = crop->GetAnts()->GetPattern();
    EXPECT_NE(start, 0);
    h.clock.Advance(24);
    EXPECT_EQ(crop->GetAnts()->GetPattern(), start);
    h.clock.Advance(1);
    const auto shifted = static_cast<unsigned char>(start << 1);
    EXPECT_EQ(crop->GetAnts()->GetPattern(), shifted != 0 ? shifted : 1);
    h.clock.Advance(25 * 7);
    EXPECT_EQ(crop->GetAnts()->GetPattern(), start);
    // The border pixels march: the top edge is black and white.
    bool black = false;
    bool white = false;
    for (int x = 20; x <= 120; ++x) {
        black |= h.Pixel(x, 30) == ColourToPixel(kBlack);
        white |= h.Pixel(x, 30) == ColourToPixel(kWhite);
    }
    EXPECT_TRUE(black && white);
    // A press stops them.
    h.Press(200, 200);
    EXPECT_FALSE(crop->GetAnts()->IsRunning());
    const unsigned char held = crop->GetAnts()->GetPattern();
    h.clock.Advance(100);
    EXPECT_EQ(crop->GetAnts()->GetPattern(), held);
    h.Release(200, 200);
}

TEST_F(ToolFixture, EnterCropsOnceAndRemovesTheBox)
{
    h.view->OnCommand(CKurvoView::kCrop);
    h.Press(20, 30);
    h.Drag(120, 90);
    h.Release(120, 90);
    h.KeyDown(ViewKey::Enter);
    ASSERT_EQ(h.doc.data.GetTaskCount(), 1);
    EXPECT_EQ(h.doc.image.Width(), 101);
    EXPECT_EQ(h.doc.image.Height(), 61);
    EXPECT_FALSE(h.view->GetCropTool()->GetCropBox()->IsDefined());
    EXPECT_FALSE(h.view->GetCropTool()->GetAnts()->IsRunning());
    // The view shows the cropped image (the update went out with the data's hint).
    h.Flush();
    EXPECT_EQ(h.view->GetScaledSize(), (ISize{101, 61}));
    EXPECT_EQ(h.Pixel((300 - 101) / 2 + 5, (300 - 61) / 2 + 5), PatternPixel(25, 35));
    h.KeyDown(ViewKey::Enter);
    EXPECT_EQ(h.doc.data.GetTaskCount(), 1);
    ASSERT_TRUE(h.doc.data.Undo());
    EXPECT_EQ(h.doc.image.Width(), 400);
}

TEST_F(ToolFixture, CropEscapeRemovesTheBoxAndIgnoresTheRestOfTheDrag)
{
    h.view->OnCommand(CKurvoView::kCrop);
    h.Press(20, 30);
    h.Drag(120, 90);
    h.KeyDown(ViewKey::Escape);
    h.Drag(130, 100);
    h.Release(130, 100);
    EXPECT_FALSE(h.view->GetCropTool()->GetCropBox()->IsDefined());
    EXPECT_FALSE(h.view->GetCropTool()->GetAnts()->IsRunning());
    h.Flush();
    EXPECT_EQ(h.Snapshot(), CleanPaint());
}

TEST_F(ToolFixture, CropBoxSurvivesToolSwitchesWithItsAnts)
{
    h.view->OnCommand(CKurvoView::kCrop);
    h.Press(20, 30);
    h.Drag(120, 90);
    h.Release(120, 90);
    h.view->OnCommand(CKurvoView::kPan);
    EXPECT_FALSE(h.view->GetCropTool()->GetAnts()->IsRunning());
    EXPECT_TRUE(h.ui.timers.empty());
    h.view->OnCommand(CKurvoView::kCrop);
    EXPECT_TRUE(h.view->GetCropTool()->GetCropBox()->IsDefined());
    EXPECT_TRUE(h.view->GetCropTool()->GetAnts()->IsRunning());
    h.Move(70, 80);
    EXPECT_EQ(h.Status(0), "X: 70  Y: 80");
}

// ---------------------------------------------------------------- navigation

TEST(NavigationTools, PanFollowsTheMouse)
{
    ViewHarness h(1000, 1000, 300, 300);
    h.ActualPixelsAtOrigin();
    h.view->ScrollToPosition({200, 200});
    h.view->OnCommand(CKurvoView::kPan);
    ASSERT_NE(h.view->GetCurrentCursor(), nullptr);
    EXPECT_EQ(h.view->GetCurrentCursor()->GetShape(), CursorShape::Hand);
    // The host asks for the cursor over the client area: the tool's is shown.
    EXPECT_TRUE(h.view->OnSetCursor());
    EXPECT_EQ(h.ui.cursors.back(), CursorShape::Hand);
    h.Press(150, 150);
    h.Drag(135, 150);
    h.Drag(120, 150);
    EXPECT_EQ(h.view->GetScrollPos(), (IPoint{230, 200}));
    h.Drag(120, 190);
    EXPECT_EQ(h.view->GetScrollPos(), (IPoint{230, 160}));
    h.Release(120, 190);
    EXPECT_EQ(h.Pixel(0, 0), PatternPixel(230, 160));
}

TEST(NavigationTools, ZoomInAtTheCentreKeepsTheClickedPoint)
{
    ViewHarness h(1000, 1000, 300, 300);
    h.ActualPixelsAtOrigin();
    h.view->ScrollToPosition({300, 300});
    h.view->OnCommand(CKurvoView::kZoomInRecenter);
    ToolEvent before;
    h.view->BuildToolEvent({150, 150}, nullptr, before);
    h.Click(150, 150);
    EXPECT_NEAR(h.view->GetZoom(), 1.2, 1e-12);
    ToolEvent after;
    h.view->BuildToolEvent({150, 150}, nullptr, after);
    EXPECT_NEAR(after.scaled.x, before.scaled.x, 1.0);
    EXPECT_NEAR(after.scaled.y, before.scaled.y, 1.0);
    EXPECT_FALSE(h.view->IsFitted());
}

TEST(NavigationTools, ZoomOutOfASmallImageClampsTheScrollToZero)
{
    ViewHarness h(200, 200, 300, 300);
    h.ActualPixelsAtOrigin();
    h.view->OnCommand(CKurvoView::kZoomOutRecenter);
    h.Click(250, 250);
    EXPECT_NEAR(h.view->GetZoom(), 1.0 / 1.2, 1e-12);
    EXPECT_EQ(h.view->GetScrollPos(), (IPoint{0, 0}));
    h.Flush();
    const IPoint off = h.view->GetCentringOffset();
    EXPECT_EQ(h.Pixel(off.x, off.y), PatternPixel(0, 0));
}

} // namespace
