#include "document/RecentFileList.h"
#include "platform/Profile.h"

#include <gtest/gtest.h>

namespace {

// Newest first, a repeat moves up instead of taking a second slot, an empty path is not
// added, and only the capacity is kept.
TEST(RecentFileList, NewestFirstWithinTheCapacity)
{
    RecentFileList list(8);
    list.Add("/a.kvx");
    list.Add("/b.tif");
    list.Add("/a.kvx");
    list.Add("");
    ASSERT_EQ(list.Size(), 2);
    EXPECT_EQ(list.At(0), "/a.kvx");
    EXPECT_EQ(list.At(1), "/b.tif");
    for (int i = 0; i < 10; ++i)
        list.Add("/f" + std::to_string(i));
    ASSERT_EQ(list.Size(), 8);
    EXPECT_EQ(list.At(0), "/f9");
    EXPECT_EQ(list.At(7), "/f2");
    EXPECT_EQ(list.At(8), "");
    EXPECT_EQ(list.At(-1), "");
    EXPECT_EQ(list.MenuText(8), "");
}

TEST(RecentFileList, RemoveIgnoresBadIndices)
{
    RecentFileList list(8);
    list.Add("/a");
    list.Add("/b");
    list.Remove(5);
    list.Remove(-1);
    EXPECT_EQ(list.Size(), 2);
    list.Remove(0);
    ASSERT_EQ(list.Size(), 1);
    EXPECT_EQ(list.At(0), "/a");
}

TEST(RecentFileList, SaveClearsSlotsOfALongerOldList)
{
    MemoryProfile profile;
    RecentFileList full(8);
    for (int i = 0; i < 8; ++i)
        full.Add("/f" + std::to_string(i));
    full.Save(profile);

    RecentFileList shorter(8);
    shorter.Add("/only");
    shorter.Save(profile);

    RecentFileList loaded(8);
    loaded.Load(profile);
    ASSERT_EQ(loaded.Size(), 1);
    EXPECT_EQ(loaded.At(0), "/only");
}

// Stored lists are edited by hand or by older runs: gaps and repeats must not produce
// empty or repeated menu entries, and slots past the capacity are not read.
TEST(RecentFileList, LoadSkipsGapsRepeatsAndExtraSlots)
{
    MemoryProfile profile;
    profile.WriteString("Recent File List", "File1", "/x");
    profile.WriteString("Recent File List", "File2", "");
    profile.WriteString("Recent File List", "File3", "/y");
    profile.WriteString("Recent File List", "File4", "/x");
    profile.WriteString("Recent File List", "File9", "/z");
    RecentFileList list(8);
    list.Load(profile);
    ASSERT_EQ(list.Size(), 2);
    EXPECT_EQ(list.At(0), "/x");
    EXPECT_EQ(list.At(1), "/y");
}

struct MenuTextCase {
    const char* path;
    const char* text;
};

class RecentFileMenuText : public ::testing::TestWithParam<MenuTextCase> {};

TEST_P(RecentFileMenuText, NumbersEscapesAndShortens)
{
    RecentFileList list(8);
    list.Add(GetParam().path);
    EXPECT_EQ(list.MenuText(0), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, RecentFileMenuText,
    ::testing::Values(
        MenuTextCase{"/home/u/plot.kvx", "&1 /home/u/plot.kvx"},
        MenuTextCase{"/home/u/R&D.tif", "&1 /home/u/R&&D.tif"},
        MenuTextCase{"/very/long/folder/names/that/go/on/and/on/and/on/in/here/plot.kvx",
                     "&1 .../names/that/go/on/and/on/and/on/in/here/plot.kvx"},
        MenuTextCase{"/x/a-file-name-that-alone-is-far-longer-than-the-menu-allows.kvx",
                     "&1 .../a-file-name-that-alone-is-far-longer-than-the-menu-allows.kvx"}));

} // namespace
