#include "document/CPreferences.h"
#include "platform/Profile.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

// The stored values, in the order they are written, and their keys.
const std::vector<std::string> kKeys = {
    "ZoomType",  "SortData", "SaveReference", "ReuseMappingData", "AllowCaching",
    "CacheSize", "BoxColor", "CropColor",     "GridColor",        "PtsColor"};

std::vector<std::int64_t> Values(const CPreferences& p)
{
    return {p.m_zoomType,  p.m_sortData, p.m_saveReference, p.m_reuseMappingData, p.m_allowCaching,
            p.m_cacheSize, p.m_boxColor, p.m_cropColor,     p.m_gridColor,        p.m_ptsColor};
}

void Fill(CPreferences& p, const std::vector<std::int64_t>& v)
{
    p.m_zoomType = static_cast<int>(v[0]);
    p.m_sortData = static_cast<int>(v[1]);
    p.m_saveReference = static_cast<int>(v[2]);
    p.m_reuseMappingData = static_cast<int>(v[3]);
    p.m_allowCaching = static_cast<int>(v[4]);
    p.m_cacheSize = static_cast<int>(v[5]);
    p.m_boxColor = static_cast<Colour>(v[6]);
    p.m_cropColor = static_cast<Colour>(v[7]);
    p.m_gridColor = static_cast<Colour>(v[8]);
    p.m_ptsColor = static_cast<Colour>(v[9]);
}

TEST(Preferences, EmptyProfileOverwritesWhatTheObjectHeldWithTheDefaults)
{
    MemoryProfile profile;
    profile.WriteInt("Other", "ZoomType", 3); // another section is not read
    CPreferences p;
    Fill(p, std::vector<std::int64_t>(kKeys.size(), 9));
    p.m_pickTol = 9;
    p.LoadSettings(profile);
    EXPECT_EQ(p.m_section, "Settings");
    EXPECT_EQ(Values(p),
              (std::vector<std::int64_t>{2, 1, 0, 0, 1, 3, 0x0000FF, 0, 0xC8C8C8, 0x0000FF}));
    EXPECT_EQ(p.m_pickTol, 3);
}

// Every value but PickTol (kept as found) is written, in a fixed order, and comes back: colours
// with the top bit of a full 32-bit word too, and a zoom type outside 1..3 (the view treats it as
// medium).
TEST(Preferences, SaveWritesEverythingButPickTolInOrderAndReadsItBack)
{
    const std::vector<std::int64_t> stored = {7,  0,          1,          1,          0,
                                              12, 0x00123456, 0x00FFFFFF, 0x80000001, 0x0000FF00};
    MemoryProfile profile;
    CPreferences a;
    Fill(a, stored);
    a.SaveSettings(profile);
    ASSERT_EQ(profile.WriteOrder().size(), kKeys.size());
    for (std::size_t i = 0; i < kKeys.size(); ++i) {
        EXPECT_EQ(profile.WriteOrder()[i].first, "Settings");
        EXPECT_EQ(profile.WriteOrder()[i].second, kKeys[i]) << "position " << i;
    }
    EXPECT_FALSE(profile.HasKey("Settings", "PickTol"));
    CPreferences b;
    b.LoadSettings(profile);
    EXPECT_EQ(Values(b), stored);

    // A stored PickTol is read and survives a run untouched.
    profile.WriteInt("Settings", "PickTol", 7);
    b.LoadSettings(profile);
    EXPECT_EQ(b.m_pickTol, 7);
    b.m_pickTol = 11;
    b.SaveSettings(profile);
    EXPECT_EQ(profile.GetInt("Settings", "PickTol", -1), 7);
}

} // namespace
