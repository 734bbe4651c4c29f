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

TEST_F(Attributes, EarlierPointsKeepTheirAttributes)
{
    mgr.AddAttribute(DbAttPtr(new DbAttRep("A", "1")));
    DbPrim* p1 = Collect();
    DbPrim* p2 = Collect();
    mgr.AddAttribute(DbAttPtr(new DbAttRep("B", "2")));
    DbPrim* p3 = Collect();

    EXPECT_EQ(Names(*p1), std::vector<std::string>{"A"});
    EXPECT_TRUE(p1->GetAttributes() == p2->GetAttributes()); // one shared list
    EXPECT_EQ(Names(*p3), (std::vector<std::string>{"A", "B"}));
}

TEST_F(Attributes, DeactivatedOrDeletedAttributesStayOnEarlierPoints)
{
    mgr.AddAttribute(DbAttPtr(new DbAttRep("A", "1")));
    mgr.AddAttribute(DbAttPtr(new DbAttRep("B", "2")));
    DbPrim* before = Collect();
    DbAttPtr old = mgr.UpdateAttribute(DbAttPtr(new DbAttRep("A", "1", 0)));
    ASSERT_TRUE(old.Get());
    EXPECT_EQ(old->m_active, 1);
    ASSERT_TRUE(mgr.DeleteAttribute("B").Get());
    EXPECT_EQ(mgr.GetAttMgr().GetMaster().GetSize(), 1);
    EXPECT_TRUE(Names(*Collect()).empty());
    EXPECT_EQ(Names(*before), (std::vector<std::string>{"A", "B"}));
    EXPECT_EQ((*before->GetAttributes())[0]->m_active, 1);
}

// Names differing in case coexist, missing names change nothing, and every change that
// happens is told to the observers.
TEST_F(Attributes, NamesAreCaseSensitiveAndChangesAreNotified)
{
    struct Counter : Observer {
        int n = 0;
        void Update(Observer*, std::intptr_t) override { ++n; }
    } counter;
    mgr.GetAttMgr().Attach(&counter);
    mgr.AddAttribute(DbAttPtr(new DbAttRep("x", "1")));
    mgr.AddAttribute(DbAttPtr(new DbAttRep("X", "2")));
    EXPECT_EQ(mgr.GetAttMgr().FindAttribute("X"), 1);
    EXPECT_FALSE(mgr.DeleteAttribute("missing").Get());
    EXPECT_FALSE(mgr.UpdateAttribute(DbAttPtr(new DbAttRep("missing", ""))).Get());
    EXPECT_EQ(mgr.GetAttMgr().GetMaster().GetSize(), 2);
    mgr.UpdateAttribute(DbAttPtr(new DbAttRep("x", "3")));
    mgr.DeleteAttribute("X");
    EXPECT_EQ(counter.n, 4);
    mgr.GetAttMgr().Detach(&counter);
}

} // namespace
