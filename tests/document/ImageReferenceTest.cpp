#include "view/support/ViewTestDoc.h"

#include "document/CKurvoDoc.h"
#include "document/CSaveDlg.h"
#include "image/BmpFile.h"
#include "image/CDib.h"
#include "model/Task.h"
#include "platform/RecordingUiServices.h"
#include "support/TempDir.h"
#include "tasks/ImageFlipTask.h"
#include "tasks/PlotData.h"

#include <gtest/gtest.h>

namespace {

// A project saved "by reference" must reopen with the very picture its points were collected
// on. Where the file the image path names does not hold that picture, the picture is embedded.
class ImageReference : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetUiServices(&m_ui);
        const std::vector<std::uint8_t> dib = MakeDibBlock(12, 8, 24, PatternColour);
        ASSERT_TRUE(WriteBmpFile(m_dir.File("plot.bmp"), dib.data(), dib.size()));
    }
    void TearDown() override { SetUiServices(nullptr); }

    // Saves doc as a project asking for a reference; reopens it into back.
    void SaveByReferenceAndReopen(CKurvoDoc& doc, CKurvoDoc& back, const std::string& name)
    {
        doc.GetPlotData()->SetSaveReference(true);
        ASSERT_TRUE(doc.OnSaveDocument(m_dir.File(name)));
        ASSERT_TRUE(back.OnOpenDocument(m_dir.File(name)));
    }
    static bool SamePixels(CKurvoDoc& a, CKurvoDoc& b)
    {
        return a.GetPlotData()->GetImage()->Block() == b.GetPlotData()->GetImage()->Block();
    }

    RecordingUiServices m_ui;
    TempDir m_dir;
};

TEST_F(ImageReference, AnUnchangedPictureIsReferredTo)
{
    CKurvoDoc doc, back;
    ASSERT_TRUE(doc.OnOpenDocument(m_dir.File("plot.bmp")));
    CSaveDlg dlg(doc.GetPlotData(), m_dir.File("p.kvx"), "Save As");
    EXPECT_TRUE(dlg.BitmapCopyEnabled());
    SaveByReferenceAndReopen(doc, back, "p.kvx");
    EXPECT_EQ(back.GetPlotData()->GetImagePath(), m_dir.File("plot.bmp"));
    EXPECT_TRUE(SamePixels(doc, back));
}

TEST_F(ImageReference, AChangedPictureIsEmbedded)
{
    CKurvoDoc doc, back;
    ASSERT_TRUE(doc.OnOpenDocument(m_dir.File("plot.bmp")));
    doc.ExecuteTask(std::make_unique<ImageFlipTask>(doc.GetPlotData(), 0));
    CSaveDlg dlg(doc.GetPlotData(), m_dir.File("p.kvx"), "Save As");
    EXPECT_FALSE(dlg.BitmapCopyEnabled());
    EXPECT_TRUE(dlg.m_saveBitmapCopy);
    SaveByReferenceAndReopen(doc, back, "p.kvx");
    EXPECT_EQ(back.GetPlotData()->GetImagePath(), m_dir.File("p.kvx"));
    EXPECT_TRUE(SamePixels(doc, back));
}

TEST_F(ImageReference, AnEmbeddedProjectIsNeverSavedAsAReferenceToItself)
{
    CKurvoDoc doc, embedded, back;
    ASSERT_TRUE(doc.OnOpenDocument(m_dir.File("plot.bmp")));
    doc.GetPlotData()->SetSaveReference(false);
    ASSERT_TRUE(doc.OnSaveDocument(m_dir.File("e.kvx")));
    ASSERT_TRUE(embedded.OnOpenDocument(m_dir.File("e.kvx")));
    SaveByReferenceAndReopen(embedded, back, "e.kvx");
    EXPECT_TRUE(SamePixels(doc, back));
}

} // namespace
