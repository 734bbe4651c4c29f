#include "model/DbPoint.h"
#include "model/DbSetMgr.h"
#include "platform/Document.h"
#include "tasks/AddAttTask.h"
#include "tasks/AddPointsTask.h"
#include "tasks/DeleteAttTask.h"
#include "tasks/NewSetTask.h"
#include "tasks/PlotData.h"
#include "tasks/PointClearTask.h"
#include "tasks/PrimTask.h"
#include "tasks/SetClearTask.h"
#include "tasks/SetDeleteTask.h"
#include "tasks/UpdateAttTask.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

class DataTasks : public ::testing::Test {
protected:
    void SetUp() override { data->NewSet(); }
    void Collect(double x, double y)
    {
        ASSERT_TRUE(data->Execute(
            std::make_unique<PrimTask>(data.get(), std::make_unique<DbPoint>(DPoint{x, y}))));
    }
    DbSetMgr& Sets() { return *data->GetSetMgr(); }
    const DbPoint& At(int i) { return *static_cast<DbPoint*>(Sets().GetCurrentSet()->GetAt(i)); }
    std::string Names()
    {
        std::string out;
        for (int s = 0; s < Sets().GetSlotCount(); ++s)
            out += Sets().GetSet(s) ? Sets().GetSet(s)->GetName() + ";" : std::string("-;");
        return out;
    }

    Document doc;
    std::unique_ptr<PlotData> data = std::make_unique<PlotData>(&doc);
};

TEST_F(DataTasks, PointGoesBackToItsOwnSet)
{
    Collect(1, 1);
    data->Undo();
    data->NewSet();
    data->Redo();
    EXPECT_EQ(Sets().GetSet(0)->GetCount(), 1) << "not in the new current set";
    EXPECT_EQ(Sets().GetCurrentCount(), 0);
}

// Many points go in as one entry of the history, after the points the set already held; without
// a set nothing changes.
TEST_F(DataTasks, AddPointsIsOneUndoableStep)
{
    Collect(1, 1);
    const std::vector<DPoint> pixels{{10, 1}, {11, 2}, {12, 3}}, graph{{0.5, 7}, {1, 8}, {2, 9}};
    ASSERT_TRUE(data->Execute(std::make_unique<AddPointsTask>(data.get(), pixels, graph)));
    EXPECT_EQ(data->UndoName(), "Extract");
    for (int round = 0; round < 2; ++round) {
        ASSERT_EQ(Sets().GetCurrentCount(), 4);
        for (std::size_t i = 0; i < 3; ++i) {
            EXPECT_EQ(At(int(i) + 1).m_pixel, pixels[i]);
            EXPECT_EQ(At(int(i) + 1).m_graph, graph[i]);
        }
        ASSERT_TRUE(data->Undo());
        EXPECT_EQ(Sets().GetCurrentCount(), 1);
        EXPECT_EQ(At(0).m_pixel.x, 1);
        ASSERT_TRUE(data->Redo());
    }
    PlotData empty(&doc);
    std::unique_ptr<Task> orphan = std::make_unique<AddPointsTask>(&empty, pixels);
    EXPECT_FALSE(empty.Execute(orphan));
    EXPECT_NE(orphan, nullptr);
}

// Each task on three sets of one point each, the last one current, with an attribute "a":
// what it leaves done, undone and redone. Sets and attributes are saved in a project file, so
// every step must mark the document as changed.
struct TaskCase {
    const char* name;
    std::function<std::unique_ptr<Task>(PlotData*)> make;
    const char* doneSets;
    int doneCurrent, donePoints;
    const char* undoneSets;
};

TEST_F(DataTasks, UndoRestoresSetsAndCurrentRedoRepeatsAndEachStepMarksTheDocument)
{
    const char* const three = "Line 1;Line 2;Line 3;";
    const TaskCase cases[] = {
        {"Add", [](PlotData* d) { return std::make_unique<NewSetTask>(d); },
         "Line 1;Line 2;Line 3;Line 4;", 3, 3, "Line 1;Line 2;Line 3;-;"},
        {"Clear Data", [](PlotData* d) { return std::make_unique<PointClearTask>(d); }, "Line 1;",
         0, 0, three},
        {"Delete Set", [](PlotData* d) { return std::make_unique<SetDeleteTask>(d); },
         "Line 1;Line 2;-;", 1, 2, three},
        {"Clear Set", [](PlotData* d) { return std::make_unique<SetClearTask>(d); }, three, 2, 2,
         three},
        {"Add Attribute", [](PlotData* d) { return std::make_unique<AddAttTask>(d, "b", "2"); },
         three, 2, 3, three},
        {"Delete Attribute", [](PlotData* d) { return std::make_unique<DeleteAttTask>(d, "a"); },
         three, 2, 3, three},
        {"Update Attribute",
         [](PlotData* d) { return std::make_unique<UpdateAttTask>(d, "a", "9", 0); }, three, 2, 3,
         three},
    };
    for (const TaskCase& c : cases) {
        SCOPED_TRACE(c.name);
        data = std::make_unique<PlotData>(&doc);
        data->NewSet();
        ASSERT_TRUE(data->Execute(std::make_unique<AddAttTask>(data.get(), "a", "1")));
        Collect(1, 1);
        data->NewSet();
        Collect(2, 2);
        data->NewSet();
        Collect(3, 3);
        for (int pass = 0; pass < 2; ++pass) {
            doc.SetModifiedFlag(false);
            data->ClearChangeFlags();
            ASSERT_TRUE(pass == 0 ? data->Execute(c.make(data.get())) : data->Redo());
            EXPECT_EQ(data->UndoName(), c.name);
            EXPECT_EQ(Names(), c.doneSets);
            EXPECT_EQ(Sets().GetCurrent(), c.doneCurrent);
            EXPECT_EQ(Sets().GetTotalCount(), c.donePoints);
            EXPECT_TRUE(doc.IsModified());
            doc.SetModifiedFlag(false);
            data->ClearChangeFlags();
            ASSERT_TRUE(data->Undo());
            EXPECT_EQ(Names(), c.undoneSets);
            EXPECT_EQ(Sets().GetCurrent(), 2);
            EXPECT_EQ(Sets().GetCurrentCount(), 1);
            EXPECT_EQ(Sets().GetTotalCount(), 3);
            EXPECT_TRUE(doc.IsModified());
        }
    }
}

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
    Sets().SetCurrent(1);
    ASSERT_TRUE(data->Undo());
    EXPECT_EQ(Sets().GetCurrent(), 1);
    EXPECT_EQ(Names(), "Line 1;Line 2;Line 3;-;");
}

} // namespace
