#include "view/support/ViewTestDoc.h"

#include "document/CKurvoDoc.h"
#include "document/CSaveDlg.h"
#include "document/DocumentHooks.h"
#include "image/BmpFile.h"
#include "model/DbPoint.h"
#include "platform/RecordingUiServices.h"
#include "support/TempDir.h"
#include "tasks/PlotData.h"
#include "tasks/PrimTask.h"

#include <gtest/gtest.h>

namespace {

// Saving the points or the picture is an export: only a project save saves the document.
class SaveOrExport : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetUiServices(&m_ui);
        CSaveDlg::ForgetRememberedEntry();
        GetDocumentHooks().addRecentFile = [this](const std::string& p) { m_recent.push_back(p); };
        SetSaveDialogRunner([this](CSaveDlg& dlg, std::string& path) {
            dlg.m_entry = m_entry;
            path = dlg.OnOK(m_dir.File(m_typed));
            return true;
        });
        const std::vector<std::uint8_t> dib = MakeDibBlock(12, 8, 24, PatternColour);
        ASSERT_TRUE(WriteBmpFile(m_dir.File("plot.bmp"), dib.data(), dib.size()));
        ASSERT_TRUE(m_doc.OnOpenDocument(m_dir.File("plot.bmp")));
        m_doc.SetPathName(m_dir.File("plot.bmp"));
        auto point = std::make_unique<DbPoint>();
        ASSERT_TRUE(
            m_doc.ExecuteTask(std::make_unique<PrimTask>(m_doc.GetPlotData(), std::move(point))));
    }
    void TearDown() override
    {
        SetSaveDialogRunner(nullptr);
        GetDocumentHooks().addRecentFile = nullptr;
        CSaveDlg::ForgetRememberedEntry();
        SetUiServices(nullptr);
    }
    // Save As with the filter entry chosen and the name typed.
    bool SaveAs(int entry, const std::string& typed)
    {
        m_entry = entry;
        m_typed = typed;
        return m_doc.DoSave("", true);
    }

    RecordingUiServices m_ui;
    TempDir m_dir;
    CKurvoDoc m_doc;
    std::vector<std::string> m_recent;
    int m_entry = 1;
    std::string m_typed;
};

TEST_F(SaveOrExport, ExportsLeaveTheProjectUnsavedUnderItsNameWithItsHistory)
{
    for (const auto& [entry, name] : {std::pair<int, const char*>{2, "pts.txt"},
                                      {3, "pts.csv"},
                                      {4, "pic.bmp"},
                                      {1, "pts.csv"}}) { // typed ".csv" wins over the filter
        SCOPED_TRACE(name);
        ASSERT_TRUE(SaveAs(entry, name));
        EXPECT_TRUE(std::filesystem::exists(m_dir.File(name)));
        EXPECT_TRUE(m_doc.IsModified());
        EXPECT_EQ(m_doc.GetPathName(), m_dir.File("plot.bmp"));
        EXPECT_TRUE(m_doc.GetPlotData()->CanUndo());
        EXPECT_TRUE(m_recent.empty());
    }
    EXPECT_FALSE(std::filesystem::exists(m_dir.File("pts.kvx")));
    ASSERT_TRUE(SaveAs(1, "plot.kvx"));
    EXPECT_FALSE(m_doc.IsModified());
    EXPECT_EQ(m_doc.GetPathName(), m_dir.File("plot.kvx"));
    EXPECT_FALSE(m_doc.GetPlotData()->CanUndo());
    EXPECT_EQ(m_recent, (std::vector<std::string>{m_dir.File("plot.kvx")}));
}

} // namespace
