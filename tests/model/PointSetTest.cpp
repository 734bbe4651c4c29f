#include "model/DbAttPrim.h"
#include "model/DbPoint.h"
#include "model/DbSetMgr.h"
#include "model/DbSetX1.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> Names(const DbPrim& p)
{
    std::vector<std::string> out;
    for (const DbAttPtr& a : *p.GetAttributes())
        out.push_back(a->m_name);
    return out;
}

// One set of points and its attributes, and the text they export to.
class PointSet : public ::testing::Test {
protected:
    void SetUp() override { mgr.NewSet(); }
    DbPrim* Add(double gx, double gy)
    {
        std::unique_ptr<DbPrim> p = std::make_unique<DbPoint>();
        static_cast<DbPoint*>(p.get())->m_graph = {gx, gy};
        DbPrim* raw = p.get();
        EXPECT_GE(mgr.AddPrim(p, -1), 0);
        return raw;
    }
    std::string All(const std::string& sep, int sort)
    {
        std::string text;
        mgr.WriteAllSets(text, sep, sort);
        return text;
    }
    DbSetMgr mgr;
};

// Unsorted keeps the collection order, sorted is on x (two equal x keep their order);
// numbers take their shortest general form.
TEST_F(PointSet, PointsInCollectionOrderOrSortedOnX)
{
    const struct {
        std::vector<DPoint> points;
        const char* sep;
        int sort;
        const char* expected;
    } cases[] = {
        {{{3, 4}, {0.5, 1234567}, {-0.0001, 1e-5}},
         " ",
         0,
         "Line 1\nX Y\n3 4\n0.5 1.23457e+06\n-0.0001 1e-05\n\n"},
        {{{5, 1}, {5, 2}}, "\t", 1, "Line 1\nX\tY\n5\t1\n5\t2\n\n"},
        {{{9, 0}, {-3, 1}, {7.5, 2}, {0, 3}, {7.5, 4}, {1e6, 5}, {-8, 6}},
         " ",
         1,
         "Line 1\nX Y\n-8 6\n-3 1\n0 3\n7.5 2\n7.5 4\n9 0\n1e+06 5\n\n"},
    };
    for (const auto& c : cases) {
        auto cleared = mgr.ClearCurrentSet();
        for (DPoint p : c.points)
            Add(p.x, p.y);
        EXPECT_EQ(All(c.sep, c.sort), c.expected);
    }
}

TEST_F(PointSet, AttributeColumnsSortWithoutCaseAndLeaveGapsEmpty)
{
    mgr.AddAttribute(DbAttPtr(new DbAttRep("b", "B1")));
    Add(1, 1);
    mgr.DeleteAttribute("b");
    mgr.AddAttribute(DbAttPtr(new DbAttRep("A", "A1")));
    Add(2, 2);
    EXPECT_EQ(All(", ", 1), "Line 1\nX, Y, A, b\n1, 1, , B1\n2, 2, A1\n\n");
}

// Attribute entries come after the points, sorted on their first character taken as signed.
TEST_F(PointSet, AttributeEntriesFormTheirOwnBlockAfterThePoints)
{
    for (const char* name : {"a", "\xE9t\xE9", ""}) {
        std::unique_ptr<DbPrim> entry =
            std::make_unique<DbAttPrim>(DbAttPtr(new DbAttRep(name, "v")));
        mgr.AddPrim(entry, -1);
    }
    Add(1, 2);
    EXPECT_EQ(All(", ", 1), "Line 1\nX, Y\n1, 2\n\n\n\xE9t\xE9, v\n, v\na, v\n\n");
}

TEST_F(PointSet, AllSetsInSlotOrderAndEmptySetsGiveTheirNameOnly)
{
    Add(1, 1);
    mgr.NewSet();
    mgr.NewSet();
    Add(2, 2);
    auto gone = mgr.DeleteSet(1);
    EXPECT_EQ(All(" ", 1), "Line 1\nX Y\n1 1\n\nLine 3\nX Y\n2 2\n\n");
    mgr.NewSet();
    std::string current;
    mgr.WriteCurrentSet(current, " ", 1);
    EXPECT_EQ(current, "Line 4\n");
}

// Points share the attribute list they were collected with, so a later change (a new, a
// deactivated or a deleted attribute) reaches only later points. Names differing in case
// coexist, and missing names change nothing.
TEST_F(PointSet, AttributeChangesReachOnlyLaterPoints)
{
    mgr.AddAttribute(DbAttPtr(new DbAttRep("A", "1")));
    mgr.AddAttribute(DbAttPtr(new DbAttRep("B", "2")));
    DbPrim* p1 = Add(0, 0);
    DbPrim* p2 = Add(0, 0);
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

    EXPECT_EQ(Names(*Add(0, 0)), std::vector<std::string>{"a"});
    EXPECT_EQ(Names(*p1), (std::vector<std::string>{"A", "B"}));
    EXPECT_EQ((*p1->GetAttributes())[0]->m_active, 1);
}

} // namespace
