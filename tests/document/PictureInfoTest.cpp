#include "view/support/ViewTestDoc.h"

#include "document/CKurvoDoc.h"
#include "document/DocumentHooks.h"
#include "document/ImageInfoText.h"
#include "document/PdfPageDlg.h"
#include "image/BmpFile.h"
#include "image/CDib.h"
#include "platform/RecordingUiServices.h"
#include "support/TempDir.h"
#include "support/TestPdf.h"
#include "tasks/PlotData.h"

#include <gtest/gtest.h>

namespace {

// The full folder and the name of the file, its format and the picture's size and colours.
TEST(ImageInfoText, NamesSizesAndColours)
{
    TempDir dir;
    const DibBlock dib = MakeDibBlock(120, 45, 24, PatternColour);
    ASSERT_TRUE(WriteBmpFile(dir.File("plot.bmp"), dib.data(), dib.size()));
    CDib image;
    ASSERT_TRUE(image.LoadFile(dir.File("plot.bmp")));
    EXPECT_EQ(ImageInfoText(dir.File("plot.bmp"), image, true),
              "File Path: " + dir.Path().lexically_normal().string() +
                  "\r\nFile Name: plot.bmp\r\nFile Format: BMP\r\nImage Width: 120\r\n"
                  "Image Height: 45\r\nNumber of Planes: 1\r\nBit Depth: 24\r\n"
                  "Number of Colors: 16 million\r\nImage Modified: Yes\r\n");
    EXPECT_EQ(ImageInfoText("", CDib(), false),
              "File Path: \r\nFile Name: \r\nFile Format: Unknown\r\nImage Width: 0\r\n"
              "Image Height: 0\r\nNumber of Planes: 0\r\nBit Depth: 0\r\n"
              "Number of Colors: 0\r\nImage Modified: No\r\n");
    EXPECT_STREQ(ImageFormatName(7), "Unknown");
    EXPECT_STREQ(ImageFormatName(-1), "Unknown");

    // A relative path is made full.
    const DibBlock grey = MakeDibBlock(3, 3, 8, PatternColour),
                   deep = MakeDibBlock(2, 2, 32, PatternColour);
    const std::string text = ImageInfoText("sub/../pic.bmp", CDib(grey.data(), grey.size()), false);
    const std::string cwd = std::filesystem::current_path().lexically_normal().string();
    EXPECT_NE(text.find("File Path: " + cwd + "\r\nFile Name: pic.bmp\r\n"), std::string::npos);
    EXPECT_NE(text.find("Number of Colors: 256\r\n"), std::string::npos);
    EXPECT_NE(ImageInfoText("", CDib(deep.data(), deep.size()), false)
                  .find("Bit Depth: 32\r\nNumber of Colors: 0\r\n"),
              std::string::npos);
}

// A PDF of two pages of 1 x 2 inches, and one of a 200-inch page.
class PdfPage : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetUiServices(&m_ui);
        const TestPdfPage page{72, 144, "0 0 1 rg 0 0 36 72 re f"};
        ASSERT_TRUE(WriteTestPdf(m_pdf, {page, {144, 72, "0 1 0 rg 0 0 72 36 re f"}}));
        ASSERT_TRUE(WriteTestPdf(m_huge, {{14400, 14400, ""}}));
    }
    void TearDown() override
    {
        GetDocumentHooks().runPdfPage = nullptr;
        SetUiServices(nullptr);
    }

    RecordingUiServices m_ui;
    TempDir m_dir;
    const std::string m_pdf = m_dir.File("two.pdf");
    const std::string m_huge = m_dir.File("huge.pdf");
};

TEST_F(PdfPage, FieldsAreCheckedBeforeThePageIsOpened)
{
    const struct {
        bool huge;
        int page, dpi;
        const char* message; // empty: accepted
        const char* size;
    } cases[] = {
        {false, 2, 100, "", "200 x 100 pixels"},
        {false, 0, 100, "Enter a page from 1 to 2.", "200 x 100 pixels"},
        {false, 3, 100, "Enter a page from 1 to 2.", ""},
        {false, 1, 9, "Enter a resolution from 10 to 2400 dpi.", ""},
        {false, 1, 2401, "Enter a resolution from 10 to 2400 dpi.", ""},
        {true, 1, 600, "The page is too large at this resolution: choose a lower one.",
         "120000 x 120000 pixels"},
        {true, 1, 10, "", "2000 x 2000 pixels"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.page << " " << c.dpi);
        PdfPageDlg dlg(c.huge ? m_huge : m_pdf);
        EXPECT_EQ(dlg.AsksForPage(), !c.huge);
        dlg.m_page = c.page;
        dlg.m_dpi = c.dpi;
        m_ui.messages.clear();
        EXPECT_EQ(dlg.OnOK(), *c.message == '\0');
        EXPECT_EQ(m_ui.LastMessage() ? m_ui.LastMessage()->text : "", c.message);
        if (c.page == 0)
            dlg.m_page = 2; // the size of a page that is there
        EXPECT_EQ(dlg.SizeText(), c.size);
    }
}

// Cancelling opens nothing and says nothing; OK opens the page, which a project that refers
// to it reopens.
TEST_F(PdfPage, AProjectReopensTheChosenPageAtItsResolution)
{
    int asked = 0;
    GetDocumentHooks().runPdfPage = [&](PdfPageDlg& dlg) {
        if (++asked == 1)
            return false;
        EXPECT_EQ(dlg.PageCount(), 2);
        dlg.m_page = 2;
        dlg.m_dpi = 50;
        return true;
    };
    CKurvoDoc doc, back;
    EXPECT_FALSE(doc.OnOpenDocument(m_pdf));
    EXPECT_TRUE(m_ui.messages.empty());
    ASSERT_TRUE(doc.OnOpenDocument(m_pdf));
    const CDib& image = *doc.GetPlotData()->GetImage();
    EXPECT_EQ(image.Width(), 100);
    EXPECT_EQ(image.PixelAt(10, 40), 0xFF00FF00u);
    EXPECT_NE(doc.ImageInfo().find("File Name: two.pdf\r\nFile Format: PDF, page 2 of 2 at 50 dpi"),
              std::string::npos);
    doc.GetPlotData()->SetSaveReference(true);
    ASSERT_TRUE(doc.OnSaveDocument(m_dir.File("p.kvx")));
    ASSERT_TRUE(back.OnOpenDocument(m_dir.File("p.kvx")));
    EXPECT_EQ(asked, 2);
    EXPECT_EQ(back.GetPlotData()->GetImagePath(), m_pdf + "#page=2&dpi=50");
    EXPECT_EQ(back.GetPlotData()->GetImage()->Block(), image.Block());
}

} // namespace
