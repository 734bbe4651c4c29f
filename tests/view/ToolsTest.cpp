#include "support/ViewHarness.h"

#include "model/DbAttRep.h"
#include "model/DbPoint.h"
#include "model/DbPrimList.h"
#include "model/DbSetMgr.h"
#include "model/Task.h"
#include "platform/CommandIds.h"
#include "tasks/PrimTask.h"
#include "view/AntsProc.h"
#include "view/AutoScrollProc.h"
#include "view/CollectLineTool.h"
#include "view/CropBox.h"
#include "view/CropTool.h"
#include "view/Cursor.h"
#include "view/EditTool.h"
#include "view/TrackMgr.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <tuple>

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
        h.ActualPixelsAt();
    }
    // Whether the canvas shows what a full repaint of the present state would.
    bool MatchesCleanPaint()
    {
        const std::vector<std::uint32_t> now = h.Snapshot();
        h.Repaint();
        return h.Snapshot() == now;
    }
    int PointCount() { return h.doc.data.GetSetMgr()->GetCurrentSet()->GetCount(); }
    DPoint PointAt(int i)
    {
        return static_cast<DbPoint*>(h.doc.data.GetSetMgr()->GetCurrentSet()->GetAt(i))->m_pixel;
    }
    const Box& Region() { return h.doc.transform().GetRegion(); }
    ViewHarness h{400, 400, 300, 300};
};

TEST_F(ToolFixture, ClickAddsOneUndoablePointDrawnAtOnceInThePointsColour)
{
    h.view->OnCommand(ID_TOOL_COLLECT);
    h.Click(120, 80);
    h.Click(50, 51);
    ASSERT_EQ(PointCount(), 2);
    EXPECT_EQ(PointAt(1), (DPoint{50, 51}));
    const std::uint32_t pts = ColourToPixel(h.view->GetSettings().ptsColour);
    EXPECT_EQ(h.Pixel(125, 80), pts);
    EXPECT_EQ(h.Pixel(127, 80), PatternPixel(127, 80));
    // A click with Control, or a press released with Control, collects nothing.
    h.Hold(KeyCode::Control);
    h.Press(70, 70);
    h.Let(KeyCode::Control);
    h.Release(70, 70);
    h.Press(70, 70);
    h.Hold(KeyCode::Control);
    h.Release(70, 70);
    h.Let(KeyCode::Control);
    ASSERT_TRUE(h.doc.data.Undo());
    EXPECT_EQ(PointCount(), 1);
}

TEST_F(ToolFixture, GridSnapsCollectedPointsUnlessShiftIsHeld)
{
    h.doc.SetGridSnap(10, 10);
    h.view->OnCommand(ID_TOOL_COLLECT);
    // Graph (20.5, 49.5): one pixel from the grid crossing (20, 50) at pixel (40, 100).
    h.Click(41, 101);
    ASSERT_EQ(PointCount(), 1);
    EXPECT_LT(std::hypot(PointAt(0).x - 40, PointAt(0).y - 100), 1e-9);
    h.Hold(KeyCode::Shift);
    h.Click(41, 101);
    ASSERT_EQ(PointCount(), 2);
    EXPECT_EQ(PointAt(1), (DPoint{41, 101}));
    h.Let(KeyCode::Shift);
    // Moving shows the plot position and the pixel size; other tools neither snap nor show it.
    h.Move(100, 50);
    EXPECT_EQ(h.Status(0), "Plot Position (50, 75)");
    EXPECT_EQ(h.Status(5), "0.5, 0.5");
    h.view->OnCommand(ID_TOOL_MAP);
    EXPECT_FALSE(h.view->GetTrackMgr()->IsSnapEnabled());
    EXPECT_EQ(h.Status(5), "");
}

// A drag, or a short drag and a click, makes a segment from the first press; the status shows
// its length and angle (up on screen is up in graph units), then the position alone follows.
TEST_F(ToolFixture, SegmentsShowLengthAndAngle)
{
    h.view->OnCommand(ID_TOOL_COLLECT_LINES);
    CollectLineTool* tool = h.view->GetCollectLineTool();
    const std::vector<std::uint32_t> clean = h.Snapshot();
    h.Drag({{40, 100}, {65, 100}, {90, 100}});
    EXPECT_EQ(tool->GetPointCount(), 2);
    EXPECT_EQ(h.Status(0), "Position (45, 50)   Len,Angle (25, 0.0)");
    h.Drag({{40, 100}, {40, 60}});
    EXPECT_EQ(h.Status(0), "Position (20, 70)   Len,Angle (20, 90.0)");
    h.Move(100, 50);
    EXPECT_EQ(h.Status(0), "Position (50, 75)   Len,Angle (20, 90.0)");
    h.Drag({{40, 100}, {43, 100}});
    EXPECT_EQ(tool->GetPointCount(), 1);
    h.Move(100, 140);
    EXPECT_EQ(h.Status(0), "Position (50, 30)   Len,Angle (36.0555, -33.7)");
    h.Click(140, 100);
    ASSERT_EQ(tool->GetPointCount(), 2);
    EXPECT_EQ(tool->GetPoint(0).scaled, (DPoint{40, 100}));
    EXPECT_EQ(tool->GetPoint(1).scaled, (DPoint{140, 100}));
    // The window shows exactly the last segment's feedback, and none after a tool switch.
    EXPECT_TRUE(MatchesCleanPaint());
    h.view->OnCommand(ID_TOOL_PAN);
    EXPECT_EQ(h.Snapshot(), clean);
    h.view->OnCommand(ID_TOOL_COLLECT_LINES);
    h.Repaint();
    EXPECT_EQ(h.Snapshot(), clean);
}

// Escape during a drag (of the region's right edge, a segment, a crop box) ends it: the rest
// of the drag does nothing, nothing is recorded and the window shows no feedback.
TEST_F(ToolFixture, EscapeDuringADragLeavesNoTrace)
{
    for (CommandId tool : {ID_TOOL_MAP, ID_TOOL_COLLECT_LINES, ID_TOOL_CROP}) {
        SCOPED_TRACE(tool);
        h.view->OnCommand(tool);
        h.Repaint();
        const std::vector<std::uint32_t> clean = h.Snapshot();
        h.Press(200, 100);
        h.Move(220, 100);
        h.Move(240, 110);
        ASSERT_NE(h.Snapshot(), clean);
        h.KeyDown(ViewKey::Escape);
        h.Move(260, 110);
        h.Release(260, 110);
        h.Flush();
        EXPECT_EQ(h.Snapshot(), clean);
        EXPECT_EQ(h.doc.data.GetTaskCount(), 0);
        EXPECT_TRUE(h.ui.timers.empty());
    }
}

TEST_F(ToolFixture, AutoScrollDuringAnEdgeDragKeepsTheEdgeUnderTheMouse)
{
    h.view->OnCommand(ID_TOOL_MAP);
    h.Move(100, 200);
    EXPECT_EQ(h.ui.cursors.back(), CursorShape::SizeNS);
    h.Press(100, 200); // bottom edge
    h.Move(100, 250);
    h.Move(100, 320); // 20 below the window
    ASSERT_TRUE(h.view->GetAutoScroll()->IsRunning());
    h.Tick(3);
    const IPoint scroll = h.view->GetScrollPos();
    EXPECT_GT(scroll.y, 0);
    h.Release(100, 320);
    ASSERT_EQ(h.doc.data.GetTaskCount(), 1);
    // The window position of the mouse, clamped to the client, in image pixels.
    EXPECT_NEAR(Region().PixelNodes()[4].y, 299.0 + scroll.y, 1e-9);
    EXPECT_NEAR(Region().PixelNodes()[0].y, 0.0, 1e-9);
    h.Flush();
    EXPECT_TRUE(MatchesCleanPaint());
    // A click without a drag changes nothing and records nothing.
    h.Click(120, 100);
    EXPECT_EQ(h.doc.data.GetTaskCount(), 1);
}

TEST_F(ToolFixture, RotateToolTurnsAboutTheBottomLeftCorner)
{
    h.doc.DefineRegion({50, 50}, {90, 150}, {0, 0}, {100, 100});
    h.view->OnCommand(ID_TOOL_ROTATE);
    ASSERT_EQ(Region().PixelNodes()[6], (DPoint{50, 150}));
    h.Drag({{150, 150}, {120, 220}, {50, 250}});
    ASSERT_EQ(h.doc.data.GetTaskCount(), 1);
    EXPECT_NEAR(Region().GetAngle(), 90.0, 1e-3);
    // The bottom-right corner (40 pixels right of the pivot) turned a quarter about it.
    EXPECT_NEAR(Region().PixelNodes()[4].x, 50.0, 1e-3);
    EXPECT_NEAR(Region().PixelNodes()[4].y, 190.0, 1e-3);
}

// A dragged crop box gets ants marching every 25 milliseconds: not while a drag is under way
// or another tool is chosen, and back with the crop tool. Its edges resize it; Enter crops
// the picture to it, once and undoably, and the view shows the part kept.
TEST_F(ToolFixture, CropBoxAntsResizeAndEnter)
{
    h.view->OnCommand(ID_TOOL_CROP);
    AntsProc* ants = h.view->GetCropTool()->GetAnts();
    h.Press(20, 30);
    h.Move(60, 60);
    EXPECT_FALSE(ants->IsRunning());
    h.Move(120, 90);
    h.Release(120, 90);
    h.Flush();
    ASSERT_EQ(h.ui.timers.size(), 1u);
    EXPECT_EQ(h.ui.timers.begin()->second.periodMs, 25);
    const unsigned char start = ants->GetPattern();
    h.Tick(1);
    EXPECT_NE(ants->GetPattern(), start);
    // The border pixels march: the top edge is black and white.
    int black = 0, white = 0;
    for (int x = 20; x <= 120; ++x) {
        black += h.Pixel(x, 30) == ColourToPixel(kBlack);
        white += h.Pixel(x, 30) == ColourToPixel(kWhite);
    }
    EXPECT_TRUE(black && white);
    h.view->OnCommand(ID_TOOL_PAN);
    EXPECT_TRUE(h.ui.timers.empty());
    h.view->OnCommand(ID_TOOL_CROP);
    EXPECT_TRUE(ants->IsRunning());
    h.Move(70, 80);
    EXPECT_EQ(h.Status(0), "X: 70  Y: 80");
    h.Press(120, 60);
    h.Move(135, 70);
    EXPECT_FALSE(ants->IsRunning());
    h.Move(150, 70);
    h.Release(150, 70);
    IPoint origin;
    ISize size;
    ASSERT_TRUE(h.view->GetCropTool()->GetCropBox()->GetBoundingRect(origin, size));
    EXPECT_EQ(origin, (IPoint{20, 30}));
    EXPECT_EQ(size, (ISize{131, 61}));
    h.KeyDown(ViewKey::Enter);
    h.KeyDown(ViewKey::Enter);
    ASSERT_EQ(h.doc.data.GetTaskCount(), 1);
    EXPECT_EQ(h.doc.GetImageSize(), (ISize{131, 61}));
    h.Flush();
    const IPoint off = h.view->GetCentringOffset();
    EXPECT_EQ(h.Pixel(off.x + 3, off.y + 4), PatternPixel(23, 34));
    ASSERT_TRUE(h.doc.data.Undo());
    EXPECT_EQ(h.doc.GetImageSize(), (ISize{400, 400}));
}

TEST(NavigationTools, ZoomInAtTheCentreKeepsTheClickedPoint)
{
    ViewHarness h(1000, 1000, 300, 300);
    h.ActualPixelsAt({300, 300});
    h.view->OnCommand(ID_TOOL_ZOOMIN);
    const DPoint before = h.EventAt(150, 150).scaled;
    h.Click(150, 150);
    EXPECT_NEAR(h.view->GetZoom(), 1.2, 1e-12);
    EXPECT_NEAR(h.EventAt(150, 150).scaled.x, before.x, 1.0);
    EXPECT_NEAR(h.EventAt(150, 150).scaled.y, before.y, 1.0);
    EXPECT_FALSE(h.view->IsFitted());
}

TEST(CropBox, BoundingRectRoundsAndABoxOverTheWholePictureMakesNoTask)
{
    CropBox c;
    IPoint o{-1, -1};
    ISize s{-1, -1};
    EXPECT_FALSE(c.GetBoundingRect(o, s));
    c.ResizeByDrag(0, {30.4, 40.6}, {10.4, 20.6});
    ASSERT_TRUE(c.GetBoundingRect(o, s));
    EXPECT_EQ(o, (IPoint{10, 21}));
    EXPECT_EQ(s, (ISize{21, 21}));
    ViewTestDoc doc;
    doc.SetImage(40, 30);
    c.SetPixelRect({-5, -5}, {45, 35});
    EXPECT_EQ(c.CreateCropTask(&doc.data), nullptr);
}

using Sets = std::vector<std::vector<DPoint>>;

struct EditCase {
    const char* name;
    std::function<void(ViewHarness&)> act;
    const char* task;
    Sets after;
};

// The tools' picture and region with a grid every 20 pixels. Set 0 (current) holds three
// points carrying an attribute, set 1 two points, one of them a pixel away from one of set 0.
class EditPoints : public ToolFixture, public ::testing::WithParamInterface<EditCase> {
protected:
    void SetUp() override
    {
        ToolFixture::SetUp();
        DbSetMgr* sets = h.doc.data.GetSetMgr();
        sets->AddAttribute(DbAttPtr(new DbAttRep("colour", "red")));
        Add({20, 20}), Add({60, 60}), Add({100, 100});
        h.doc.data.NewSet();
        Add({61, 61}), Add({150, 150});
        sets->SetCurrent(0);
        h.doc.SetGridSnap(10, 10);
        h.view->OnCommand(ID_TOOL_EDIT_POINTS);
    }
    void Add(DPoint p)
    {
        ASSERT_TRUE(h.doc.data.Execute(
            std::make_unique<PrimTask>(&h.doc.data, std::make_unique<DbPoint>(p))));
    }
    // Every entry of every set: the object, its position and its attribute list.
    using Entry = std::tuple<DbPrim*, DPoint, const DbAttList*>;
    std::vector<std::vector<Entry>> Entries()
    {
        std::vector<std::vector<Entry>> out;
        DbSetMgr* sets = h.doc.data.GetSetMgr();
        for (int s = 0; s < sets->GetSlotCount(); ++s) {
            out.emplace_back();
            for (int i = 0; i < sets->GetSet(s)->GetCount(); ++i) {
                auto* p = static_cast<DbPoint*>(sets->GetSet(s)->GetAt(i));
                out.back().emplace_back(p, p->m_pixel, p->GetAttributes().Get());
            }
        }
        return out;
    }
    // The positions to a millionth of a pixel (the grid snaps through the mapping).
    Sets Pixels()
    {
        Sets out;
        for (const auto& set : Entries()) {
            out.emplace_back();
            for (const Entry& e : set)
                out.back().push_back({std::round(std::get<1>(e).x * 1e6) / 1e6,
                                      std::round(std::get<1>(e).y * 1e6) / 1e6});
        }
        return out;
    }
};

TEST_P(EditPoints, EachEditIsOneTaskThatKeepsSetsOrderAndAttributes)
{
    const EditCase& c = GetParam();
    const auto before = Entries();
    const int tasks = h.doc.data.GetTaskCount();
    c.act(h);
    const auto after = Entries();
    EXPECT_EQ(Pixels(), c.after);
    ASSERT_EQ(h.doc.data.GetTaskCount(), tasks + 1);
    EXPECT_EQ(h.doc.data.UndoName(), c.task);
    ASSERT_TRUE(h.doc.data.Undo());
    EXPECT_EQ(Entries(), before);
    ASSERT_TRUE(h.doc.data.Redo());
    EXPECT_EQ(Entries(), after);
}

const Sets kStart = {{{20, 20}, {60, 60}, {100, 100}}, {{61, 61}, {150, 150}}};

INSTANTIATE_TEST_SUITE_P(
    Cases, EditPoints,
    ::testing::Values(
        // The press lands a pixel off; the current set's point is taken before set 1's.
        EditCase{"DragMovesThePickedPointOfTheCurrentSet",
                 [](ViewHarness& h) {
                     h.Hold(KeyCode::Shift);
                     h.Drag({{61, 61}, {70, 64}, {88, 73}});
                 },
                 "Move Points",
                 {{{20, 20}, {87, 72}, {100, 100}}, {{61, 61}, {150, 150}}}},
        EditCase{"DragSnapsTheGrabbedPointToTheGrid",
                 [](ViewHarness& h) {
                     h.Drag({{60, 60}, {70, 64}, {81, 79}});
                 },
                 "Move Points",
                 {{{20, 20}, {80, 80}, {100, 100}}, {{61, 61}, {150, 150}}}},
        EditCase{"ShiftClickAddsAndTheSelectionMovesTogether",
                 [](ViewHarness& h) {
                     h.Click(20, 20);
                     h.Hold(KeyCode::Shift);
                     h.Click(150, 151);
                     h.Drag({{100, 100}, {103, 95}});
                 },
                 "Move Points",
                 {{{23, 15}, {60, 60}, {103, 95}}, {{61, 61}, {153, 145}}}},
        EditCase{"BandSelectsAcrossSetsAndDeleteRemoves",
                 [](ViewHarness& h) {
                     h.Drag({{10, 10}, {40, 40}, {62, 65}});
                     h.view->OnCommand(ID_EDIT_DELETE_POINTS);
                 },
                 "Delete Points",
                 {{{100, 100}}, {{150, 150}}}},
        // At zoom 4 one screen pixel is a quarter of an image pixel.
        EditCase{"ArrowsNudgeByOneScreenPixelAndShiftByTen",
                 [](ViewHarness& h) {
                     h.Click(20, 20);
                     h.view->ZoomTo(4.0);
                     h.Hold(KeyCode::Shift);
                     h.KeyDown(ViewKey::Down);
                 },
                 "Move Points",
                 {{{20, 22.5}, {60, 60}, {100, 100}}, {{61, 61}, {150, 150}}}}),
    [](const auto& info) { return std::string(info.param.name); });

// The status names the point under the pointer. Clicks on nothing clear the selection, and
// the arrows then scroll.
TEST_F(EditPoints, StatusSelectionAndArrowsWithoutASelection)
{
    DbSetMgr* sets = h.doc.data.GetSetMgr();
    h.Move(60, 60);
    EXPECT_NE(h.Status(0).find("point 2"), std::string::npos) << h.Status(0);
    h.Click(60, 60);
    ASSERT_EQ(sets->GetSelection().size(), 1u);
    EXPECT_TRUE(h.State(ID_EDIT_DELETE_POINTS).enabled);
    // Shift-click on a selected point takes it out again.
    h.Hold(KeyCode::Shift);
    h.Click(60, 60);
    h.Let(KeyCode::Shift);
    EXPECT_TRUE(sets->GetSelection().empty());
    h.Click(60, 60);
    h.Click(300, 30);
    EXPECT_TRUE(sets->GetSelection().empty());
    EXPECT_FALSE(h.State(ID_EDIT_DELETE_POINTS).enabled);
    const int tasks = h.doc.data.GetTaskCount();
    h.KeyDown(ViewKey::Right);
    EXPECT_EQ(h.doc.data.GetTaskCount(), tasks);
    EXPECT_EQ(Pixels(), kStart);
    // A point that leaves its set leaves the selection: undoing its addition drops it.
    h.Click(150, 150);
    ASSERT_TRUE(h.doc.data.Undo());
    EXPECT_TRUE(sets->GetSelection().empty());
}

} // namespace
