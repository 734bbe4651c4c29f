#include "support/ViewHarness.h"

#include "model/DbAttRep.h"
#include "model/DbPoint.h"
#include "model/DbSetMgr.h"
#include "platform/CommandIds.h"
#include "tasks/PrimTask.h"
#include "view/EditTool.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <tuple>

namespace {

using Sets = std::vector<std::vector<DPoint>>;

struct EditCase {
    const char* name;
    std::function<void(ViewHarness&)> act;
    const char* task;
    Sets after;
};

// Zoom 1 on a 400 x 400 image, a grid every 20 pixels. Set 0 (current) holds three points
// carrying an attribute, set 1 two points, one of them a pixel away from a point of set 0.
class EditPoints : public ::testing::TestWithParam<EditCase> {
protected:
    void SetUp() override
    {
        DbSetMgr* sets = h.doc.data.GetSetMgr();
        h.doc.data.NewSet();
        sets->AddAttribute(DbAttPtr(new DbAttRep("colour", "red")));
        Add({20, 20}), Add({60, 60}), Add({100, 100});
        h.doc.data.NewSet();
        Add({61, 61}), Add({150, 150});
        sets->SetCurrent(0);
        h.doc.DefineRegion({0, 0}, {200, 200}, {0, 0}, {100, 100});
        h.doc.SetGridSnap(10, 10);
        h.ActualPixelsAt();
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

    ViewHarness h{400, 400, 300, 300};
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

TEST_F(EditPoints, ClicksOnNothingClearTheSelectionAndLeaveTheArrowsToScrolling)
{
    DbSetMgr* sets = h.doc.data.GetSetMgr();
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

TEST_F(EditPoints, TheStatusNamesThePointUnderThePointerUntilItIsDeleted)
{
    h.Move(60, 60);
    ASSERT_NE(h.Status(0).find("point 2"), std::string::npos) << h.Status(0);
    h.Click(60, 60);
    h.view->OnCommand(ID_EDIT_DELETE_POINTS);
    EXPECT_EQ(h.Status(0).find("point"), std::string::npos) << h.Status(0);
}

} // namespace
