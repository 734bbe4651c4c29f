#include "model/DbAttPrim.h"
#include "model/DbPoint.h"
#include "model/DbRefTable.h"
#include "model/DbSetMgr.h"
#include "platform/Archive.h"

#include <gtest/gtest.h>

namespace {

// A point at pixel (px, py) and graph (2 px, 3 py).
void Collect(DbSetMgr& mgr, double px, double py)
{
    auto p = std::make_unique<DbPoint>(DPoint{px, py});
    p->m_graph = {px * 2, py * 3};
    std::unique_ptr<DbPrim> prim = std::move(p);
    EXPECT_GE(mgr.AddPrim(prim, -1), 0);
}

std::vector<std::uint8_t> Store(DbSetMgr& mgr)
{
    Archive ar;
    DbRefTable refs;
    mgr.Serialize(ar, refs);
    return ar.Bytes();
}

void Load(DbSetMgr& mgr, const std::vector<std::uint8_t>& bytes)
{
    Archive ar(bytes);
    DbRefTable refs;
    mgr.Serialize(ar, refs);
    EXPECT_TRUE(ar.AtEnd());
}

// The byte layout of a set of points sharing one attribute list: the list is stored once, then
// by its index; a set without attribute entries keeps version 1.
TEST(SetSerialize, SharedListIsStoredOnceThenByIndex)
{
    DbSetMgr mgr;
    mgr.NewSet();
    Collect(mgr, 1, 1);
    Collect(mgr, 2, 2);
    Archive ar(Store(mgr));
    // Version, sets, slots, current, slot index, set version.
    for (std::uint32_t v : {1u, 1u, 1u, 0u, 0u, 1u})
        EXPECT_EQ(ar.ReadU32(), v);
    EXPECT_EQ(ar.ReadString(), "Line 1");
    // Reserved, points; the first point: version, its list's body (tag 2, version, count 0),
    // the point's own version, then graph and pixel positions.
    for (std::uint32_t v : {0u, 2u, 1u, 2u, 1u, 0u, 1u})
        EXPECT_EQ(ar.ReadU32(), v);
    for (double v : {2.0, 3.0, 1.0, 1.0})
        EXPECT_EQ(ar.ReadF64(), v);
    // Second point: version, then the same list by its index 1, then its own version.
    for (std::uint32_t v : {1u, 1u, 1u})
        EXPECT_EQ(ar.ReadU32(), v);
    // A set with an attribute entry among its points is stored at version 2.
    std::unique_ptr<DbPrim> entry = std::make_unique<DbAttPrim>(DbAttPtr(new DbAttRep("n", "v")));
    mgr.AddPrim(entry, -1);
    EXPECT_EQ(Store(mgr)[20], 2);
}

TEST(SetSerialize, RoundTripKeepsSlotsSharingAndAttributes)
{
    DbSetMgr mgr;
    mgr.NewSet();
    mgr.AddAttribute(DbAttPtr(new DbAttRep("Curve", "upper")));
    Collect(mgr, 1, 2);
    Collect(mgr, 3, 4);
    mgr.NewSet();
    mgr.NewSet();
    mgr.AddAttribute(DbAttPtr(new DbAttRep("Run", "7", 0)));
    Collect(mgr, 5, 6);
    std::unique_ptr<DbPrim> entry =
        std::make_unique<DbAttPrim>(DbAttPtr(new DbAttRep("Note", "scan 2")));
    mgr.AddPrim(entry, -1);
    auto gone = mgr.DeleteSet(1);
    mgr.SetCurrent(0);

    DbSetMgr copy;
    copy.NewSet();
    Load(copy, Store(mgr));
    EXPECT_EQ(copy.GetSlotCount(), 3);
    EXPECT_EQ(copy.GetSet(1), nullptr);
    EXPECT_EQ(copy.GetCurrent(), 0);
    ASSERT_EQ(copy.GetSet(0)->GetCount(), 2);
    EXPECT_TRUE(copy.GetSet(0)->GetAt(0)->GetAttributes() ==
                copy.GetSet(0)->GetAt(1)->GetAttributes());
    auto* p = static_cast<DbPoint*>(copy.GetSet(2)->GetAt(0));
    EXPECT_EQ(p->m_pixel, (DPoint{5, 6}));
    EXPECT_EQ(p->m_graph, (DPoint{10, 18}));
    // The attribute shared by the first list and the third point is one object again.
    EXPECT_TRUE((*copy.GetSet(0)->GetAt(0)->GetAttributes())[0] == (*p->GetAttributes())[0]);
    auto* note = dynamic_cast<DbAttPrim*>(copy.GetSet(2)->GetAt(1));
    ASSERT_NE(note, nullptr);
    EXPECT_EQ(note->m_attribute->m_value, "scan 2");
    const DbAttList& master = copy.GetAttMgr().GetMaster();
    ASSERT_EQ(master.GetSize(), 2);
    EXPECT_EQ(master[1]->m_name, "Run");
    EXPECT_EQ(master[1]->m_active, 0);

    // And stored again, byte for byte the same.
    EXPECT_EQ(Store(copy), Store(mgr));
}

TEST(SetSerialize, BrokenCountsOrReferencesFailCleanly)
{
    DbSetMgr mgr;
    mgr.NewSet();
    Collect(mgr, 1, 1);
    Collect(mgr, 2, 2);
    const auto valid = Store(mgr);
    const struct {
        const char* what;
        std::size_t offset;
        std::uint32_t value;
    } cases[] = {{"version", 0, 9},
                 {"more sets than slots", 4, 2},
                 {"huge slot count", 8, 0xFFFFFFFF},
                 {"slot out of range", 16, 1},
                 {"set version", 20, 3},
                 {"huge point count", 35, 0x10000000},
                 {"unknown reference tag", 43, 7},
                 {"reference to nothing", 99, 9}};
    for (const auto& c : cases) {
        auto bytes = valid;
        for (int i = 0; i < 4; ++i)
            bytes[c.offset + i] = static_cast<std::uint8_t>(c.value >> (8 * i));
        DbSetMgr target;
        target.NewSet();
        Archive ar(bytes);
        DbRefTable refs;
        EXPECT_THROW(target.Serialize(ar, refs), ArchiveError) << c.what;
        // The target keeps its own sets after a failed read.
        EXPECT_EQ(target.GetSetCount(), 1) << c.what;
    }
}

TEST(SetSerialize, TruncatedDataFailsAtEveryLength)
{
    DbSetMgr mgr;
    mgr.NewSet();
    mgr.AddAttribute(DbAttPtr(new DbAttRep("a", "b")));
    Collect(mgr, 1, 1);
    const auto bytes = Store(mgr);
    for (std::size_t n = 0; n < bytes.size(); ++n) {
        DbSetMgr target;
        Archive ar(bytes.data(), n);
        DbRefTable refs;
        EXPECT_THROW(target.Serialize(ar, refs), ArchiveError) << n;
    }
}

TEST(SetSerialize, ImpossibleCurrentSlotFallsBackToAnExistingSet)
{
    DbSetMgr mgr;
    mgr.NewSet();
    mgr.NewSet();
    auto gone = mgr.DeleteSet(0);
    auto bytes = Store(mgr);
    bytes[12] = 0; // current slot 0, which is empty
    DbSetMgr target;
    Load(target, bytes);
    EXPECT_EQ(target.GetCurrent(), 1);
}

} // namespace
