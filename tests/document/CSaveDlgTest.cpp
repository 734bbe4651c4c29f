#include "document/CSaveDlg.h"

#include "model/DbPoint.h"
#include "model/DbSetMgr.h"
#include "tasks/PlotData.h"

#include <gtest/gtest.h>

namespace {

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

TEST_F(SaveDialog, FirstEntryFollowsWhatTheDocumentHolds)
{
    EXPECT_EQ(CSaveDlg(&data, "/d/scan.tif", "Save As").m_entry, 4); // nothing changed: bitmap
    data.SetImageReplaced(true);
    EXPECT_EQ(CSaveDlg(&data, "/d/scan.tif", "Save As").m_entry, 1); // changed: project
    std::unique_ptr<DbPrim> p = std::make_unique<DbPoint>();
    data.GetSetMgr()->AddPrim(p, -1);
    CSaveDlg dlg(&data, "/d/scan.tif", "Save As");
    EXPECT_EQ(dlg.m_entry, 3); // points: comma separated
    EXPECT_EQ(dlg.m_fileName, "scan.csv");
    EXPECT_EQ(dlg.m_folder, "/d/");
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
    EXPECT_EQ(CSaveDlg::RememberedEntry(), 1);
    EXPECT_EQ(dlg.OnOK("/e/keep.jpg"), "/e/keep.jpg.kvx");
    // A typed save extension chooses its format.
    EXPECT_EQ(dlg.OnOK("/e/result.txt"), "/e/result.txt");
    EXPECT_EQ(CSaveDlg::RememberedEntry(), 2);

    // The next prompt, for any document, starts where this one ended.
    PlotData other;
    other.NewSet();
    EXPECT_EQ(CSaveDlg(&other, "x", "Save As").m_entry, 2);
}

} // namespace
