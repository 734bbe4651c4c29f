#include "document/CPreferences.h"
#include "platform/Profile.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

// The stored values, in the order they are written, and their keys.
const std::vector<std::string> kKeys = {
    "ZoomType",     "SortData",  "SaveReference",      "ReuseMappingData",
    "AllowCaching", "CacheSize", "BoxColor",           "CropColor",
    "GridColor",    "PtsColor",  "UncertaintyColumns", "MagnifierFactor"};

std::vector<std::int64_t> Values(const CPreferences& p)
{
    return {p.m_zoomType,     p.m_sortData,  p.m_saveReference,      p.m_reuseMappingData,
            p.m_allowCaching, p.m_cacheSize, p.m_boxColor,           p.m_cropColor,
            p.m_gridColor,    p.m_ptsColor,  p.m_uncertaintyColumns, p.m_magnifierFactor};
}

// Every value but PickTol (kept as found) is read and written back in a fixed order: colours
// with the top bit of a full 32-bit word too, and a zoom type outside 1..3 (the view treats it as
// medium). An empty profile, or another section, gives the defaults over what was held.
TEST(Preferences, ReadAndWrittenInAFixedOrderWithDefaultsForMissingKeys)
{
    const std::vector<std::int64_t> stored = {7,          0,          1,          1,          0, 12,
                                              0x00123456, 0x00FFFFFF, 0x80000001, 0x0000FF00, 1, 9};
    MemoryProfile in;
    for (std::size_t i = 0; i < kKeys.size(); ++i)
        in.WriteInt("Settings", kKeys[i], static_cast<int>(stored[i]));
    in.WriteInt("Settings", "PickTol", 7);
    CPreferences p;
    p.LoadSettings(in);
    EXPECT_EQ(p.m_section, "Settings");
    EXPECT_EQ(Values(p), stored);
    EXPECT_EQ(p.m_pickTol, 7);
    p.m_pickTol = 11;
    MemoryProfile out;
    p.SaveSettings(out);
    ASSERT_EQ(out.WriteOrder().size(), kKeys.size());
    for (std::size_t i = 0; i < kKeys.size(); ++i) {
        EXPECT_EQ(out.WriteOrder()[i].first, "Settings");
        EXPECT_EQ(out.WriteOrder()[i].second, kKeys[i]) << "position " << i;
        EXPECT_EQ(out.GetInt("Settings", kKeys[i], -1), static_cast<int>(stored[i]));
    }
    EXPECT_FALSE(out.HasKey("Settings", "PickTol"));

    MemoryProfile empty;
    empty.WriteInt("Other", "ZoomType", 3);
    p.LoadSettings(empty);
    EXPECT_EQ(Values(p),
              (std::vector<std::int64_t>{2, 1, 0, 0, 1, 3, 0x0000FF, 0, 0xC8C8C8, 0x0000FF, 0, 6}));
    EXPECT_EQ(p.m_pickTol, 3);
}

} // namespace
