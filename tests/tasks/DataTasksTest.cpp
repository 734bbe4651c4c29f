#include "mapping/TransformData.h"
#include "mapping/TransformMan.h"
#include "model/DbPoint.h"
#include "model/DbSetMgr.h"
#include "model/PlotData.h"
#include "platform/Document.h"
#include "tasks/AddAttTask.h"
#include "tasks/DeleteAttTask.h"
#include "tasks/NewSetTask.h"
#include "tasks/PointClearTask.h"
#include "tasks/PrimTask.h"
#include "tasks/SetClearTask.h"
#include "tasks/SetDeleteTask.h"
#include "tasks/TaskSet.h"
#include "tasks/UpdateAttTask.h"

#include <gtest/gtest.h>

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

TEST_F(DataTasks, TenClicksAreTenUndoablePoints)
{
    for (int i = 0; i < 10; ++i)
        Collect(i, i);
    EXPECT_EQ(Sets().GetCurrentCount(), 10);
    EXPECT_TRUE(doc.IsModified());
    for (int i = 0; i < 10; ++i)
        EXPECT_TRUE(data->Undo());
    EXPECT_EQ(Sets().GetCurrentCount(), 0);
    EXPECT_EQ(CountedPoint::live, 10); // held by their undone tasks
    EXPECT_TRUE(data->Redo());
    EXPECT_EQ(Sets().GetCurrentCount(), 1);
}

TEST_F(DataTasks, UndonePointDiesWithItsDiscardedTask)
{
    Collect(1, 1);
    data->Undo();
    EXPECT_EQ(CountedPoint::live, 1);
    Collect(2, 2);
    EXPECT_EQ(CountedPoint::live, 1);
    EXPECT_EQ(Sets().GetCurrentCount(), 1);
}

TEST_F(DataTasks, PointGoesBackToItsOwnSet)
{
    DbPoint* p = Collect(1, 1);
    data->Undo();
    data->NewSet();
    data->Redo();
    EXPECT_TRUE(Sets().GetSet(0)->Contains(p));
    EXPECT_EQ(Sets().GetCurrentCount(), 0);
}

TEST_F(DataTasks, PointTaskNamesAndRecomputesAtOnce)
{
    // Region (0,0)..(20,20) in pixels mapped onto X 0..10 and Y 10..0: graph = pixel / 2.
    std::unique_ptr<AttributeRep> rep = data->FindRep("AttTransform", "ViewManipTransformData");
    auto* man = dynamic_cast<TransformMan*>(rep.get());
    ASSERT_NE(man, nullptr);
    man->DefineOrResize(0, {0, 0}, {20, 20});
    man->Notify(DataHint());
    data->GetTransform()->SetLimits({0, 10}, {10, 0});

    auto p = std::make_unique<DbPoint>(DPoint{4.5, 7.25});
    DbPoint* raw = p.get();
    PrimTask task(data.get(), std::move(p));
    EXPECT_EQ(task.GetName(), "Add");
    EXPECT_NEAR(raw->m_graph.x, 2.25, 1e-12);
    EXPECT_NEAR(raw->m_graph.y, 3.625, 1e-12);
}

TEST_F(DataTasks, NewSetUndoRedoBringsBackTheSameSet)
{
    ASSERT_TRUE(data->Execute(std::make_unique<NewSetTask>(data.get())));
    EXPECT_EQ(data->UndoName(), "Add");
    EXPECT_EQ(Names(), "Line 1;Line 2;");
    Collect(5, 5);
    data->Undo(); // the point
    data->Undo(); // the set
    EXPECT_EQ(Names(), "Line 1;-;");
    EXPECT_EQ(Sets().GetCurrent(), 0);
    data->Redo();
    data->Redo();
    EXPECT_EQ(Names(), "Line 1;Line 2;");
    EXPECT_EQ(Sets().GetCurrent(), 1);
    EXPECT_EQ(Sets().GetCurrentCount(), 1);
}

TEST_F(DataTasks, DeleteAllDataAndUndo)
{
    Collect(1, 1);
    data->NewSet();
    Collect(2, 2);
    data->NewSet();
    Collect(3, 3);
    Sets().SetCurrent(1);
    ASSERT_TRUE(data->Execute(std::make_unique<PointClearTask>(data.get())));
    EXPECT_EQ(data->UndoName(), "Clear Data");
    EXPECT_EQ(Names(), "Line 1;");
    EXPECT_EQ(Sets().GetTotalCount(), 0);
    data->Undo();
    EXPECT_EQ(Names(), "Line 1;Line 2;Line 3;");
    EXPECT_EQ(Sets().GetTotalCount(), 3);
    EXPECT_EQ(Sets().GetCurrent(), 1);
    data->Redo();
    EXPECT_EQ(Sets().GetTotalCount(), 0);
    EXPECT_EQ(CountedPoint::live, 3); // held by the memento
}

TEST_F(DataTasks, DeleteTheOnlySetIsDeleteAllData)
{
    Collect(1, 1);
    ASSERT_TRUE(data->Execute(std::make_unique<SetDeleteTask>(data.get())));
    EXPECT_EQ(data->UndoName(), "Delete Set");
    EXPECT_EQ(Names(), "Line 1;");
    EXPECT_EQ(Sets().GetTotalCount(), 0);
    data->Undo();
    EXPECT_EQ(Sets().GetTotalCount(), 1);
}

TEST_F(DataTasks, DeleteSetUndoRestoresSlotAndCurrent)
{
    data->NewSet();
    Collect(1, 1);
    data->NewSet();
    Sets().SetCurrent(1);
    data->Execute(std::make_unique<SetDeleteTask>(data.get()));
    EXPECT_EQ(Names(), "Line 1;-;Line 3;");
    EXPECT_EQ(Sets().GetCurrent(), 2);
    data->Undo();
    EXPECT_EQ(Names(), "Line 1;Line 2;Line 3;");
    EXPECT_EQ(Sets().GetCurrent(), 1);
    EXPECT_EQ(Sets().GetCurrentCount(), 1);
}

TEST_F(DataTasks, ClearSetUndoAndRedo)
{
    Collect(1, 1);
    Collect(2, 2);
    doc.SetModifiedFlag(false);
    data->ClearChangeFlags();
    data->Execute(std::make_unique<SetClearTask>(data.get()));
    EXPECT_EQ(data->UndoName(), "Clear Set");
    EXPECT_EQ(Sets().GetCurrentCount(), 0);
    EXPECT_TRUE(doc.IsModified());
    data->Undo();
    EXPECT_EQ(Sets().GetCurrentCount(), 2);
    data->Redo();
    EXPECT_EQ(Sets().GetCurrentCount(), 0);
}

TEST_F(DataTasks, AttributeTasksUndoAndRedo)
{
    data->Execute(std::make_unique<AddAttTask>(data.get(), "Curve", "upper"));
    EXPECT_EQ(data->UndoName(), "Add Attribute");
    DbPoint* p = Collect(1, 1);
    ASSERT_EQ(p->GetAttributes()->GetSize(), 1);

    data->Execute(std::make_unique<UpdateAttTask>(data.get(), "Curve", "lower", 1));
    EXPECT_EQ(data->UndoName(), "Update Attribute");
    EXPECT_EQ(Sets().GetAttMgr().GetMaster()[0]->m_value, "lower");
    EXPECT_EQ((*p->GetAttributes())[0]->m_value, "upper");
    data->Undo();
    EXPECT_EQ(Sets().GetAttMgr().GetMaster()[0]->m_value, "upper");
    data->Redo();
    EXPECT_EQ(Sets().GetAttMgr().GetMaster()[0]->m_value, "lower");

    data->Execute(std::make_unique<DeleteAttTask>(data.get(), "Curve"));
    EXPECT_EQ(data->UndoName(), "Delete Attribute");
    EXPECT_EQ(Sets().GetAttMgr().GetMaster().GetSize(), 0);
    data->Undo();
    ASSERT_EQ(Sets().GetAttMgr().GetMaster().GetSize(), 1);
    EXPECT_EQ(Sets().GetAttMgr().GetMaster()[0]->m_value, "lower");

    // Undo all the way: the attribute is gone again.
    while (data->CanUndo())
        data->Undo();
    EXPECT_EQ(Sets().GetAttMgr().GetMaster().GetSize(), 0);
}

TEST_F(DataTasks, RenameIsOneStepOfDeleteAndAdd)
{
    data->Execute(std::make_unique<AddAttTask>(data.get(), "Run", "1"));
    auto rename = std::make_unique<TaskSet>(data.get(), "Update Attribute");
    rename->Add(std::make_unique<DeleteAttTask>(data.get(), "Run"));
    rename->Add(std::make_unique<AddAttTask>(data.get(), "Series", "1"));
    ASSERT_TRUE(data->Execute(std::move(rename)));
    EXPECT_EQ(Sets().GetAttMgr().FindAttribute("Run"), -1);
    EXPECT_EQ(Sets().GetAttMgr().FindAttribute("Series"), 0);
    data->Undo();
    EXPECT_EQ(Sets().GetAttMgr().FindAttribute("Run"), 0);
    EXPECT_EQ(Sets().GetAttMgr().FindAttribute("Series"), -1);
}

TEST_F(DataTasks, SelectSetAsksForAnOverlayRepaint)
{
    data->NewSet();
    data->SelectSet(0);
    EXPECT_EQ(Sets().GetCurrent(), 0);
    EXPECT_EQ(data->GetViewHint(), PlotData::kHintOverlay);
    data->ResetViewHint();
    EXPECT_EQ(data->GetViewHint(), PlotData::kHintData);
}

TEST_F(DataTasks, PreferencesNotifyOnlyWhenTheSortFlagChanges)
{
    struct Counter : Observer {
        int n = 0;
        void Update(Observer*, std::intptr_t) override { ++n; }
    } counter;
    Sets().Attach(&counter);
    EXPECT_TRUE(data->GetSortFlag());
    data->ApplyPreferences(true, true);
    EXPECT_EQ(counter.n, 0);
    EXPECT_TRUE(data->GetSaveReference());
    data->ApplyPreferences(false, false);
    EXPECT_EQ(counter.n, 1);
    EXPECT_FALSE(data->GetSortFlag());
    Sets().Detach(&counter);
}

} // namespace
