#include "document/CPreferences.h"
#include "platform/Profile.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

struct CountingObserver : Observer {
    std::vector<std::pair<Observer*, std::intptr_t>> updates;
    void Update(Observer* subject, std::intptr_t hint) override
    {
        updates.emplace_back(subject, hint);
    }
};

TEST(Preferences, EmptyProfileGivesTheDefaults)
{
    MemoryProfile profile;
    CPreferences p;
    p.m_zoomType = 9; // loading must overwrite what the object held
    p.m_pickTol = 9;
    p.LoadSettings(profile);
    EXPECT_EQ(p.m_section, "Settings");
    EXPECT_EQ(p.m_zoomType, 2);
    EXPECT_EQ(p.m_pickTol, 3);
    EXPECT_EQ(p.m_sortData, 1);
    EXPECT_EQ(p.m_saveReference, 0);
    EXPECT_EQ(p.m_reuseMappingData, 0);
    EXPECT_EQ(p.m_allowCaching, 1);
    EXPECT_EQ(p.m_cacheSize, 3);
    EXPECT_EQ(p.m_boxColor, 0x0000FFu);
    EXPECT_EQ(p.m_cropColor, 0u);
    EXPECT_EQ(p.m_gridColor, 0xC8C8C8u);
    EXPECT_EQ(p.m_ptsColor, 0x0000FFu);
}

TEST(Preferences, SaveWritesEverythingButPickTolInOrder)
{
    MemoryProfile profile;
    CPreferences p;
    p.LoadSettings(profile);
    p.SaveSettings(profile);

    const std::vector<std::string> expected = {
        "ZoomType",  "SortData", "SaveReference", "ReuseMappingData", "AllowCaching",
        "CacheSize", "BoxColor", "CropColor",     "GridColor",        "PtsColor"};
    ASSERT_EQ(profile.WriteOrder().size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(profile.WriteOrder()[i].first, "Settings");
        EXPECT_EQ(profile.WriteOrder()[i].second, expected[i]) << "position " << i;
    }
    EXPECT_FALSE(profile.HasKey("Settings", "PickTol"));
    EXPECT_EQ(profile.GetInt("Settings", "GridColor", -1), 0xC8C8C8);
    EXPECT_EQ(profile.GetInt("Settings", "SortData", -1), 1);
}

TEST(Preferences, StoredPickTolSurvivesARunAndIsNeverRewritten)
{
    MemoryProfile profile;
    profile.WriteInt("Settings", "PickTol", 7);
    CPreferences p;
    p.LoadSettings(profile);
    EXPECT_EQ(p.m_pickTol, 7);
    p.m_pickTol = 11;
    p.SaveSettings(profile);
    EXPECT_EQ(profile.GetInt("Settings", "PickTol", -1), 7);
}

// Every stored value comes back, including colours with the top bit pattern of a full
// 32-bit word and a zoom type outside 1..3 (kept as stored; the view treats it as medium).
TEST(Preferences, ValuesRoundTripThroughTheProfile)
{
    MemoryProfile profile;
    CPreferences a;
    a.m_zoomType = 7;
    a.m_sortData = 0;
    a.m_saveReference = 1;
    a.m_reuseMappingData = 1;
    a.m_allowCaching = 0;
    a.m_cacheSize = 12;
    a.m_boxColor = 0x00123456;
    a.m_cropColor = 0x00FFFFFF;
    a.m_gridColor = 0x80000001u;
    a.m_ptsColor = 0x0000FF00;
    a.SaveSettings(profile);

    CPreferences b;
    b.LoadSettings(profile);
    EXPECT_EQ(b.m_zoomType, 7);
    EXPECT_EQ(b.m_sortData, 0);
    EXPECT_EQ(b.m_saveReference, 1);
    EXPECT_EQ(b.m_reuseMappingData, 1);
    EXPECT_EQ(b.m_allowCaching, 0);
    EXPECT_EQ(b.m_cacheSize, 12);
    EXPECT_EQ(b.m_boxColor, 0x00123456u);
    EXPECT_EQ(b.m_cropColor, 0x00FFFFFFu);
    EXPECT_EQ(b.m_gridColor, 0x80000001u);
    EXPECT_EQ(b.m_ptsColor, 0x0000FF00u);
}

TEST(Preferences, ValuesOfAnotherSectionAreNotRead)
{
    MemoryProfile profile;
    profile.WriteInt("Other", "ZoomType", 3);
    CPreferences p;
    p.LoadSettings(profile);
    EXPECT_EQ(p.m_zoomType, 2);
}

TEST(Preferences, ObserversAreNotifiedWithTheHint)
{
    CPreferences p;
    CountingObserver o;
    o.Observe(&p);
    p.Notify(0);
    ASSERT_EQ(o.updates.size(), 1u);
    EXPECT_EQ(o.updates[0].first, &p);
    EXPECT_EQ(o.updates[0].second, 0);
    p.Detach(&o);
    p.Notify(0);
    EXPECT_EQ(o.updates.size(), 1u);
}

TEST(Preferences, GlobalAccessorFollowsTheInstalledObject)
{
    CPreferences mine;
    mine.m_cacheSize = 42;
    SetPreferences(&mine);
    EXPECT_EQ(&GetPreferences(), &mine);
    SetPreferences(nullptr);
    EXPECT_NE(&GetPreferences(), &mine);
    EXPECT_EQ(GetPreferences().m_cacheSize, 3);
}

} // namespace
