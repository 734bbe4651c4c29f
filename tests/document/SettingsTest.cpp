#include "document/CPreferences.h"
#include "document/OptionsDlg.h"
#include "document/RecentFileList.h"
#include "model/DbSetMgr.h"
#include "platform/Profile.h"
#include "tasks/PlotData.h"

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
    EXPECT_EQ(Values(p), stored);
    EXPECT_EQ(p.m_pickTol, 7);
    p.m_pickTol = 11;
    MemoryProfile out;
    p.SaveSettings(out);
    ASSERT_EQ(out.WriteOrder().size(), kKeys.size());
    for (std::size_t i = 0; i < kKeys.size(); ++i) {
        EXPECT_EQ(out.WriteOrder()[i], (std::pair<std::string, std::string>{"Settings", kKeys[i]}));
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

// The Options command shows the preferences with Save Bitmap Copy inverted, and Cancel
// changes nothing. OK stores the fields and tells the preferences' observers; only a changed
// sort flag resorts the active document. Without a document only the preferences change;
// without a runner the dialog counts as cancelled.
TEST(OptionsCommand, ShowsStoresAndResortsOnlyOnAChange)
{
    struct Counter : Observer {
        int updates = 0;
        void Update(Observer*, std::intptr_t) override { ++updates; }
    } prefsWatcher, dataWatcher;
    CPreferences prefs;
    PlotData data;
    prefsWatcher.Observe(&prefs);
    dataWatcher.Observe(data.GetSetMgr());
    data.ApplyPreferences(false, true);
    dataWatcher.updates = 0;
    OptionsDlg shown;
    const auto run = [&](bool ok, PlotData* doc, std::function<void(OptionsDlg&)> edit) {
        OptionsDlg::SetRunner([&shown, ok, edit](OptionsDlg& dlg) {
            shown = dlg;
            edit(dlg);
            return ok;
        });
        return OptionsDlg::Run(prefs, doc);
    };

    prefs.m_saveReference = prefs.m_reuseMappingData = 1;
    prefs.m_allowCaching = 0;
    EXPECT_FALSE(
        run(false, &data, [](OptionsDlg& d) { d.m_sortData = 0, d.m_saveBitmapCopy = 1; }));
    EXPECT_EQ(std::tie(shown.m_sortData, shown.m_saveBitmapCopy, shown.m_reuseMappingData,
                       shown.m_allowCaching),
              std::make_tuple(1, 0, 1, 0));
    EXPECT_EQ(prefs.m_sortData, 1);
    EXPECT_EQ(prefsWatcher.updates, 0);
    EXPECT_TRUE(run(true, &data, [](OptionsDlg& d) { d.m_saveBitmapCopy = 0; }));
    EXPECT_TRUE(data.GetSaveReference());
    EXPECT_EQ(dataWatcher.updates, 0);
    EXPECT_TRUE(run(true, &data, [](OptionsDlg& d) { d.m_sortData = 0; }));
    EXPECT_FALSE(data.GetSortFlag());
    EXPECT_EQ(dataWatcher.updates, 1);
    EXPECT_TRUE(run(true, nullptr, [](OptionsDlg& d) { d.m_reuseMappingData = 0; }));
    EXPECT_EQ(prefs.m_reuseMappingData, 0);
    EXPECT_EQ(prefsWatcher.updates, 3);
    OptionsDlg::SetRunner(nullptr);
    EXPECT_FALSE(OptionsDlg::Run(prefs, nullptr));
}

// Newest first, a repeat moves up instead of taking a second slot, an empty path is not
// added, only the capacity is kept, and bad indices are ignored. Menu entries are numbered,
// escape '&' and shorten a long folder from the left.
TEST(RecentFileList, NewestFirstWithinTheCapacity)
{
    RecentFileList list(8);
    for (const char* path : {"/a.kvx", "/b.tif", "/a.kvx", ""})
        list.Add(path);
    ASSERT_EQ(list.Size(), 2);
    EXPECT_EQ(list.At(0) + list.At(1), "/a.kvx/b.tif");
    for (int i : {5, -1, 0})
        list.Remove(i);
    ASSERT_EQ(list.Size(), 1);
    EXPECT_EQ(list.At(0), "/b.tif");
    for (int i = 0; i < 10; ++i)
        list.Add("/f" + std::to_string(i));
    ASSERT_EQ(list.Size(), 8);
    EXPECT_EQ(list.At(0) + list.At(7) + list.At(8) + list.At(-1), "/f9/f2");
    EXPECT_EQ(list.MenuText(8), "");

    for (auto [path, text] :
         {std::pair{"/home/u/R&D.tif", "&1 /home/u/R&&D.tif"},
          {"/very/long/folder/names/that/go/on/and/on/and/on/in/here/plot.kvx",
           "&1 .../names/that/go/on/and/on/and/on/in/here/plot.kvx"},
          {"/x/a-file-name-that-alone-is-far-longer-than-the-menu-allows.kvx",
           "&1 .../a-file-name-that-alone-is-far-longer-than-the-menu-allows.kvx"}}) {
        list.Add(path);
        EXPECT_EQ(list.MenuText(0), text);
    }
}

// Stored lists are edited by hand or by older runs: gaps and repeats must not produce
// empty or repeated menu entries, and slots past the capacity are not read. A shorter list
// saved over a longer one clears its old slots.
TEST(RecentFileList, SaveAndLoad)
{
    MemoryProfile profile;
    for (auto [key, path] : {std::pair{"File1", "/x"},
                             {"File2", ""},
                             {"File3", "/y"},
                             {"File4", "/x"},
                             {"File9", "/z"}})
        profile.WriteString("Recent File List", key, path);
    RecentFileList list(8), full(8), loaded(8);
    list.Load(profile);
    ASSERT_EQ(list.Size(), 2);
    EXPECT_EQ(list.At(0) + list.At(1), "/x/y");

    for (int i = 0; i < 8; ++i)
        full.Add("/f" + std::to_string(i));
    full.Save(profile);
    list.Save(profile);
    loaded.Load(profile);
    ASSERT_EQ(loaded.Size(), 2);
    EXPECT_EQ(loaded.At(0) + loaded.At(1), "/x/y");
}

} // namespace
