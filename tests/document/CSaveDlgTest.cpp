#include "document/CSaveDlg.h"
#include "document/SaveFormat.h"
#include "model/DbPoint.h"
#include "model/DbSetMgr.h"
#include "tasks/PlotData.h"

#include <gtest/gtest.h>

namespace {

// The format is named by the file name's own extension, in any case; dots in folder names do
// not count. Only known extensions are stripped.
TEST(SaveFormat, FindsTheFormatAtTheLastDot)
{
    for (auto [path, expected] : {std::pair<const char*, int>{"points.TXT", kFormatText},
                                  {"a.txt.kvx", kFormatProject},
                                  {"/x/y/plot.csv", kFormatCsv},
                                  {"scan.Bmp", kFormatBitmap},
                                  {"noextension", -1},
                                  {"picture.tif", -1},
                                  {"run.csv/out.csv", kFormatCsv},
                                  {"old.kvx.d/plot.kvx", kFormatProject},
                                  {"plot.csvx", -1},
                                  {"shot.PNG", kFormatPng},
                                  {"/data.kvx/name", -1}})
        EXPECT_EQ(FormatFromPath(path, -1), expected) << path;
    for (auto [path, stripped] : {std::pair{"fig.TIF", "fig"},
                                  {"fig.csv", "fig"},
                                  {"fig.jpg", "fig.jpg"},
                                  {"/a.kvx/fig", "/a.kvx/fig"}})
        EXPECT_EQ(StripKnownExtension(path), stripped);
}

class SaveDialog : public ::testing::Test {
protected:
    void SetUp() override
    {
        CSaveDlg::ForgetRememberedEntry();
        data.NewSet();
    }
    void TearDown() override { CSaveDlg::ForgetRememberedEntry(); }
    PlotData data;
};

// The first entry follows what the document holds: an unchanged picture the bitmap, a
// changed one the project, points the comma separated values.
TEST_F(SaveDialog, FirstEntryFollowsWhatTheDocumentHolds)
{
    EXPECT_EQ(CSaveDlg(&data, "/d/scan.tif", "Save As").m_entry, 4);
    data.SetImageReplaced(true);
    EXPECT_EQ(CSaveDlg(&data, "/d/scan.tif", "Save As").m_entry, 1);
    std::unique_ptr<DbPrim> p = std::make_unique<DbPoint>();
    data.GetSetMgr()->AddPrim(p, -1);
    CSaveDlg dlg(&data, "/d/scan.tif", "Save As");
    EXPECT_EQ(dlg.m_entry, 3);
    EXPECT_EQ(dlg.m_folder + dlg.m_fileName, "/d/scan.csv");
}

TEST_F(SaveDialog, FilterChoiceSetsNameAndCheckBoxes)
{
    data.SetImageFile("/d/scan.bmp"); // the picture as read from that file
    CSaveDlg dlg(&data, "/d/scan.bmp", "Save As");
    dlg.OnFilterChanged(1);
    EXPECT_EQ(dlg.m_fileName, "scan.kvx");
    EXPECT_TRUE(dlg.BitmapCopyEnabled());
    EXPECT_FALSE(dlg.SortEnabled());
    dlg.OnFilterChanged(2);
    EXPECT_EQ(dlg.m_fileName, "scan.txt");
    EXPECT_TRUE(dlg.SortEnabled());
    EXPECT_FALSE(dlg.BitmapCopyEnabled());
    data.SetImagePath("");
    dlg.OnFilterChanged(1);
    EXPECT_FALSE(dlg.BitmapCopyEnabled()); // no image file to refer to
}

// OK applies the check boxes and gives the name the extension of the chosen entry, unless it
// has a save extension of its own; the next prompt, for any document, starts there.
TEST_F(SaveDialog, OkAppliesCheckBoxesAndTheFormatOfTheName)
{
    data.SetSortFlag(true);
    data.SetSaveReference(false);
    CSaveDlg dlg(&data, "/d/scan.bmp", "Save As");
    EXPECT_TRUE(dlg.m_sortData);
    EXPECT_TRUE(dlg.m_saveBitmapCopy);
    dlg.OnFilterChanged(1);
    dlg.m_sortData = false;
    dlg.m_saveBitmapCopy = false;
    EXPECT_EQ(dlg.OnOK("/e/noext"), "/e/noext.kvx");
    EXPECT_FALSE(data.GetSortFlag());
    EXPECT_TRUE(data.GetSaveReference());
    EXPECT_EQ(dlg.OnOK("/e/keep.jpg"), "/e/keep.jpg.kvx");
    EXPECT_EQ(dlg.OnOK("/e/result.txt"), "/e/result.txt");
    PlotData other;
    other.NewSet();
    EXPECT_EQ(CSaveDlg(&other, "x", "Save As").m_entry, 2);
}

} // namespace
