#include "model/DbSetMgr.h"
#include "model/DbPoint.h"
#include "model/DbSetX1.h"
#include "model/DbSetX2.h"
#include "model/DbSetX3.h"

#include <gtest/gtest.h>

namespace {

void AddPoint(DbSetMgr& mgr, int slot = -1)
{
    std::unique_ptr<DbPrim> p = std::make_unique<DbPoint>();
    ASSERT_GE(mgr.AddPrim(p, slot), 0);
}

class ThreeSets : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (int i = 0; i < 3; ++i)
            mgr.NewSet();
    }
    DbSetMgr mgr;
};

TEST_F(ThreeSets, DeletingCurrentMovesToNextThenDownwardsAndNewSetsFillFreedSlots)
{
    mgr.SetCurrent(1);
    auto m1 = mgr.DeleteSet(1);
    EXPECT_EQ(mgr.GetCurrent(), 2);
    auto m2 = mgr.DeleteSet(2);
    EXPECT_EQ(mgr.GetCurrent(), 0);
    EXPECT_EQ(mgr.GetSetCount(), 1);
    EXPECT_EQ(mgr.GetSlotCount(), 3);

    // Put back in reverse order: slots and current set return.
    mgr.Restore(std::move(m2));
    EXPECT_EQ(mgr.GetCurrent(), 2);
    mgr.Restore(std::move(m1));
    EXPECT_EQ(mgr.GetCurrent(), 1);
    EXPECT_EQ(mgr.GetSet(1)->GetName(), "Line 2");
    EXPECT_EQ(mgr.GetSetCount(), 3);

    // A new set takes a freed slot; a set named by hand like the next generated name is
    // skipped over.
    auto m = mgr.DeleteSet(1);
    EXPECT_EQ(mgr.NewSet(), 1);
    EXPECT_EQ(mgr.GetSet(1)->GetName(), "Line 4");
    mgr.AddSet("Line 5");
    mgr.NewSet();
    EXPECT_EQ(mgr.GetSet(mgr.GetCurrent())->GetName(), "Line 6");
}

// Clearing the current set, or deleting the only one, keeps its name and slot; undo brings the
// points back and makes the set current again.
TEST(DbSetMgr, ClearingOrDeletingTheOnlySetKeepsItAndUndoBringsThePointsBack)
{
    DbSetMgr mgr;
    mgr.NewSet();
    AddPoint(mgr);
    AddPoint(mgr);
    auto memento = mgr.DeleteSet(0);
    ASSERT_NE(dynamic_cast<DbSetX3*>(memento.get()), nullptr);
    EXPECT_EQ(mgr.GetCurrentSet()->GetName(), "Line 1");
    EXPECT_EQ(mgr.GetTotalCount(), 0);
    EXPECT_EQ(mgr.GetNameCounter(), 1);
    mgr.Restore(std::move(memento));
    EXPECT_EQ(mgr.GetTotalCount(), 2);

    mgr.NewSet();
    AddPoint(mgr);
    auto m = mgr.ClearCurrentSet();
    EXPECT_EQ(mgr.GetCurrentCount(), 0);
    EXPECT_EQ(mgr.GetCurrentSet()->GetName(), "Line 2");
    mgr.SetCurrent(0);
    mgr.Restore(std::move(m));
    EXPECT_EQ(mgr.GetCurrent(), 1);
    EXPECT_EQ(mgr.GetCurrentCount(), 1);
}

TEST(DbSetMgr, AddPrimToMissingSetLeavesItWithTheCaller)
{
    DbSetMgr mgr;
    std::unique_ptr<DbPrim> p = std::make_unique<DbPoint>();
    EXPECT_EQ(mgr.AddPrim(p, -1), -1);
    EXPECT_NE(p, nullptr);
    mgr.NewSet();
    EXPECT_EQ(mgr.AddPrim(p, 5), -1);
    EXPECT_EQ(mgr.AddPrim(p, 0), 0);
    EXPECT_EQ(p, nullptr);
}

// An emptied slot counts as an empty set, is skipped in the list of sets, and the one set
// left among empty slots is the last: deleting it clears it instead.
TEST_F(ThreeSets, EmptySlots)
{
    AddPoint(mgr, 0);
    AddPoint(mgr, 1);
    AddPoint(mgr, 1);
    EXPECT_EQ(mgr.GetTotalCount(), 3);
    auto gone = mgr.DeleteSet(1);
    ASSERT_NE(dynamic_cast<DbSetX2*>(gone.get()), nullptr);
    EXPECT_EQ(mgr.GetCurrent(), 2); // deleting another set keeps the current one
    EXPECT_EQ(mgr.GetTotalCount(), 1);
    std::vector<std::pair<int, std::string>> sets;
    EXPECT_EQ(mgr.ListSets(sets), 2);
    ASSERT_EQ(sets.size(), 2u);
    EXPECT_EQ(sets[1], (std::pair<int, std::string>{2, "Line 3"}));
    mgr.SetCurrent(1);
    EXPECT_EQ(mgr.GetCurrentCount(), 0);

    auto second = mgr.DeleteSet(2);
    auto cleared = mgr.DeleteSet(0);
    EXPECT_NE(dynamic_cast<DbSetX3*>(cleared.get()), nullptr);
    EXPECT_EQ(mgr.GetSlotCount(), 1);
}

} // namespace
