#include "model/DbAttMgrRep.h"
#include "model/DbPoint.h"
#include "model/DbSetMgr.h"

#include <gtest/gtest.h>

namespace {

std::vector<std::string> Names(const DbPrim& p)
{
    std::vector<std::string> out;
    for (const DbAttPtr& a : *p.GetAttributes())
        out.push_back(a->m_name);
    return out;
}

class Attributes : public ::testing::Test {
protected:
    void SetUp() override { mgr.NewSet(); }
    DbPrim* Collect()
    {
        std::unique_ptr<DbPrim> p = std::make_unique<DbPoint>();
        DbPrim* raw = p.get();
        EXPECT_GE(mgr.AddPrim(p, -1), 0);
        return raw;
    }
    DbSetMgr mgr;
};

// Points share the attribute list they were collected with, so a later change (a new, a
// deactivated or a deleted attribute) reaches only later points. Names differing in case
// coexist, missing names change nothing, and every change that happens is told to observers.
TEST_F(Attributes, LaterChangesReachOnlyLaterPointsAndAreNotified)
{
    struct Counter : Observer {
        int n = 0;
        void Update(Observer*, std::intptr_t) override { ++n; }
    } counter;
    mgr.GetAttMgr().Attach(&counter);
    mgr.AddAttribute(DbAttPtr(new DbAttRep("A", "1")));
    mgr.AddAttribute(DbAttPtr(new DbAttRep("B", "2")));
    DbPrim* p1 = Collect();
    DbPrim* p2 = Collect();
    EXPECT_TRUE(p1->GetAttributes() == p2->GetAttributes()); // one shared list
    mgr.AddAttribute(DbAttPtr(new DbAttRep("a", "3")));
    EXPECT_EQ(mgr.GetAttMgr().FindAttribute("a"), 2);
    EXPECT_FALSE(mgr.DeleteAttribute("missing").Get());
    EXPECT_FALSE(mgr.UpdateAttribute(DbAttPtr(new DbAttRep("missing", ""))).Get());
    DbAttPtr old = mgr.UpdateAttribute(DbAttPtr(new DbAttRep("A", "1", 0)));
    ASSERT_TRUE(old.Get());
    EXPECT_EQ(old->m_active, 1);
    ASSERT_TRUE(mgr.DeleteAttribute("B").Get());
    EXPECT_EQ(mgr.GetAttMgr().GetMaster().GetSize(), 2);
    EXPECT_EQ(counter.n, 5);
    mgr.GetAttMgr().Detach(&counter);

    EXPECT_EQ(Names(*Collect()), std::vector<std::string>{"a"});
    EXPECT_EQ(Names(*p1), (std::vector<std::string>{"A", "B"}));
    EXPECT_EQ((*p1->GetAttributes())[0]->m_active, 1);
}

} // namespace
