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
                                           // Only the file name's own extension counts.
                                           FormatCase{"a.kvx.kvx", kFormatProject},
                                           FormatCase{"run.csv/out.csv", kFormatCsv},
                                           FormatCase{"old.kvx.d/plot.kvx", kFormatProject},
                                           FormatCase{"plot.csvx", -1},
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
