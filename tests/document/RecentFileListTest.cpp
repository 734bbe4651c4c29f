#include "document/RecentFileList.h"
#include "platform/Profile.h"

#include <gtest/gtest.h>

namespace {

// Newest first, a repeat moves up instead of taking a second slot, an empty path is not
// added, only the capacity is kept, and bad indices are ignored.
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
    list.Remove(5);
    list.Remove(-1);
    list.Remove(0);
    ASSERT_EQ(list.Size(), 1);
    EXPECT_EQ(list.At(0), "/b.tif");
    for (int i = 0; i < 10; ++i)
        list.Add("/f" + std::to_string(i));
    ASSERT_EQ(list.Size(), 8);
    EXPECT_EQ(list.At(0), "/f9");
    EXPECT_EQ(list.At(7), "/f2");
    EXPECT_EQ(list.At(8), "");
    EXPECT_EQ(list.At(-1), "");
    EXPECT_EQ(list.MenuText(8), "");
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

// Menu entries are numbered, escape '&' and shorten a long folder from the left.
TEST(RecentFileList, MenuTextNumbersEscapesAndShortens)
{
    for (auto [path, text] :
         {std::pair{"/home/u/R&D.tif", "&1 /home/u/R&&D.tif"},
          {"/very/long/folder/names/that/go/on/and/on/and/on/in/here/plot.kvx",
           "&1 .../names/that/go/on/and/on/and/on/in/here/plot.kvx"},
          {"/x/a-file-name-that-alone-is-far-longer-than-the-menu-allows.kvx",
           "&1 .../a-file-name-that-alone-is-far-longer-than-the-menu-allows.kvx"}}) {
        RecentFileList list(8);
        list.Add(path);
        EXPECT_EQ(list.MenuText(0), text);
    }
}

} // namespace
