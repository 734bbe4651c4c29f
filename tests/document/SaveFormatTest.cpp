#include "document/SaveFormat.h"

#include <gtest/gtest.h>

namespace {

struct FormatCase {
    const char* path;
    int expected;
};

class FormatByExtension : public ::testing::TestWithParam<FormatCase> {};

TEST_P(FormatByExtension, FindsTheFormatAtTheLastDot)
{
    EXPECT_EQ(FormatFromPath(GetParam().path, -1), GetParam().expected) << GetParam().path;
}

INSTANTIATE_TEST_SUITE_P(Paths, FormatByExtension,
                         ::testing::Values(FormatCase{"points.TXT", kFormatText},
                                           FormatCase{"a.txt.kvx", kFormatProject},
                                           FormatCase{"/x/y/plot.csv", kFormatCsv},
                                           FormatCase{"scan.Bmp", kFormatBitmap},
                                           FormatCase{"noextension", -1},
                                           FormatCase{"picture.tif", -1},
                                           // The extension must first occur at the last dot.
                                           FormatCase{"a.kvx.kvx", -1},
                                           FormatCase{"/data.kvx/name", -1}));

TEST(SaveFormat, StripsOnlyKnownExtensions)
{
    EXPECT_EQ(StripKnownExtension("fig.TIF"), "fig");
    EXPECT_EQ(StripKnownExtension("fig.csv"), "fig");
    EXPECT_EQ(StripKnownExtension("fig.png"), "fig.png");
    EXPECT_EQ(StripKnownExtension("/a.kvx/fig"), "/a.kvx/fig");
    EXPECT_EQ(std::string(FormatExtension(kFormatBitmap)), ".bmp");
}

} // namespace
