#include "document/SaveFormat.h"

#include <gtest/gtest.h>

namespace {

// The format is named by the file name's own extension, in any case; dots in folder names do
// not count.
TEST(SaveFormat, FindsTheFormatAtTheLastDot)
{
    for (auto [path, expected] : {std::pair<const char*, int>{"points.TXT", kFormatText},
                                  {"a.txt.kvx", kFormatProject},
                                  {"/x/y/plot.csv", kFormatCsv},
                                  {"scan.Bmp", kFormatBitmap},
                                  {"noextension", -1},
                                  {"picture.tif", -1},
                                  {"a.kvx.kvx", kFormatProject},
                                  {"run.csv/out.csv", kFormatCsv},
                                  {"old.kvx.d/plot.kvx", kFormatProject},
                                  {"plot.csvx", -1},
                                  {"shot.PNG", kFormatPng},
                                  {"/data.kvx/name", -1}})
        EXPECT_EQ(FormatFromPath(path, -1), expected) << path;
}

TEST(SaveFormat, StripsOnlyKnownExtensions)
{
    EXPECT_EQ(StripKnownExtension("fig.TIF"), "fig");
    EXPECT_EQ(StripKnownExtension("fig.csv"), "fig");
    EXPECT_EQ(StripKnownExtension("fig.png"), "fig");
    EXPECT_EQ(StripKnownExtension("fig.jpg"), "fig.jpg");
    EXPECT_EQ(StripKnownExtension("/a.kvx/fig"), "/a.kvx/fig");
    EXPECT_EQ(std::string(FormatExtension(kFormatBitmap)), ".bmp");
}

} // namespace
