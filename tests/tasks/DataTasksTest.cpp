#include "model/DbPoint.h"
#include "model/DbSetMgr.h"
#include "platform/Document.h"
#include "tasks/AddAttTask.h"
#include "tasks/DeleteAttTask.h"
#include "tasks/NewSetTask.h"
#include "tasks/PlotData.h"
#include "tasks/PointClearTask.h"
#include "tasks/PrimTask.h"
#include "tasks/SetClearTask.h"
#include "tasks/SetDeleteTask.h"
#include "tasks/UpdateAttTask.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

namespace {

// A point that counts the live instances, so that a leak or a second delete shows.
struct CountedPoint : DbPoint {
    static int live;
    explicit CountedPoint(DPoint p) : DbPoint(p) { ++live; }
    ~CountedPoint() override { --live; }
};
int CountedPoint::live = 0;

class DataTasks : public ::testing::Test {
protected:
    void SetUp() override
    {
        CountedPoint::live = 0;
        data = std::make_unique<PlotData>(&doc);
        data->NewSet();
    }
    void TearDown() override
    {
        data.reset();
        EXPECT_EQ(CountedPoint::live, 0);
    }
    DbPoint* Collect(double x, double y)
    {
        auto p = std::make_unique<CountedPoint>(DPoint{x, y});
        DbPoint* raw = p.get();
        EXPECT_TRUE(data->Execute(std::make_unique<PrimTask>(data.get(), std::move(p))));
        return raw;
    }
    DbSetMgr& Sets() { return *data->GetSetMgr(); }
    std::string Names()
    {
        std::string out;
        for (int s = 0; s < Sets().GetSlotCount(); ++s)
            out += Sets().GetSet(s) ? Sets().GetSet(s)->GetName() + ";" : std::string("-;");
        return out;
    }

    Document doc;
    std::unique_ptr<PlotData> data;
};

TEST_F(DataTasks, PointGoesBackToItsOwnSet)
{
    DbPoint* p = Collect(1, 1);
    data->Undo();
    data->NewSet();
    data->Redo();
    EXPECT_TRUE(Sets().GetSet(0)->Contains(p));
    EXPECT_EQ(Sets().GetCurrentCount(), 0);
}

// Each task on three sets of one point each, the last one current, with an attribute "a":
// what it leaves done, undone and redone. Sets and attributes are part of what a project file
// saves, so every change, done, undone or redone, must leave the document marked as changed.
struct TaskCase {
    const char* name;
    std::function<std::unique_ptr<Task>(PlotData*)> make;
    const char* doneSets;
    int doneCurrent;
    int donePoints;
    const char* undoneSets;
};

class EachTask : public DataTasks, public ::testing::WithParamInterface<TaskCase> {
protected:
    // What a successful save leaves behind.
    void Saved()
    {
        data->ClearChangeFlags();
        doc.SetModifiedFlag(false);
    }
};

TEST_P(EachTask, UndoRestoresSetsAndCurrentRedoRepeatsAndEachStepMarksTheDocument)
{
    const TaskCase& c = GetParam();
    ASSERT_TRUE(data->Execute(std::make_unique<AddAttTask>(data.get(), "a", "1")));
    Collect(1, 1);
    data->NewSet();
    Collect(2, 2);
    data->NewSet();
    Collect(3, 3);
    for (int pass = 0; pass < 2; ++pass) {
        Saved();
        ASSERT_TRUE(pass == 0 ? data->Execute(c.make(data.get())) : data->Redo());
        EXPECT_EQ(data->UndoName(), c.name);
        EXPECT_EQ(Names(), c.doneSets);
        EXPECT_EQ(Sets().GetCurrent(), c.doneCurrent);
        EXPECT_EQ(Sets().GetTotalCount(), c.donePoints);
        EXPECT_TRUE(doc.IsModified());
        Saved();
        ASSERT_TRUE(data->Undo());
        EXPECT_EQ(Names(), c.undoneSets);
        EXPECT_EQ(Sets().GetCurrent(), 2);
        EXPECT_EQ(Sets().GetTotalCount(), 3);
        EXPECT_EQ(Sets().GetCurrentCount(), 1);
        EXPECT_TRUE(doc.IsModified());
    }
}

const char* const kThreeSets = "Line 1;Line 2;Line 3;";

INSTANTIATE_TEST_SUITE_P(
    Tasks, EachTask,
    ::testing::Values(
        TaskCase{"Add", [](PlotData* d) { return std::make_unique<NewSetTask>(d); },
                 "Line 1;Line 2;Line 3;Line 4;", 3, 3, "Line 1;Line 2;Line 3;-;"},
        TaskCase{"Clear Data", [](PlotData* d) { return std::make_unique<PointClearTask>(d); },
                 "Line 1;", 0, 0, kThreeSets},
        TaskCase{"Delete Set", [](PlotData* d) { return std::make_unique<SetDeleteTask>(d); },
                 "Line 1;Line 2;-;", 1, 2, kThreeSets},
        TaskCase{"Clear Set", [](PlotData* d) { return std::make_unique<SetClearTask>(d); },
                 kThreeSets, 2, 2, kThreeSets},
        TaskCase{"Add Attribute",
                 [](PlotData* d) { return std::make_unique<AddAttTask>(d, "b", "2"); }, kThreeSets,
                 2, 3, kThreeSets},
        TaskCase{"Delete Attribute",
                 [](PlotData* d) { return std::make_unique<DeleteAttTask>(d, "a"); }, kThreeSets, 2,
                 3, kThreeSets},
        TaskCase{"Update Attribute",
                 [](PlotData* d) { return std::make_unique<UpdateAttTask>(d, "a", "9", 0); },
                 kThreeSets, 2, 3, kThreeSets}),
    [](const ::testing::TestParamInfo<TaskCase>& info) {
        std::string name = info.param.name;
        name.erase(std::remove(name.begin(), name.end(), ' '), name.end());
        return name;
    });

// Undoing Add while an earlier set was current before it goes back to that set, not to the
// neighbour the removal would pick; a set chosen after the Add is left alone.
TEST_F(DataTasks, UndoingAddReturnsToTheSetCurrentBefore)
{
    data->NewSet();
    data->NewSet();
    Sets().SetCurrent(0);
    ASSERT_TRUE(data->Execute(std::make_unique<NewSetTask>(data.get())));
    EXPECT_EQ(Sets().GetCurrent(), 3);
    ASSERT_TRUE(data->Undo());
    EXPECT_EQ(Sets().GetCurrent(), 0);
    ASSERT_TRUE(data->Redo());
    EXPECT_EQ(Sets().GetCurrent(), 3);
    Sets().SetCurrent(1);
    ASSERT_TRUE(data->Undo());
    EXPECT_EQ(Sets().GetCurrent(), 1);
    EXPECT_EQ(Names(), "Line 1;Line 2;Line 3;-;");
}

} // namespace
