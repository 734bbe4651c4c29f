#include "image/PdfFile.h"
#include "image/CDib.h"
#include "support/TempDir.h"
#include "support/TestPdf.h"

#include <gtest/gtest.h>

#include <fstream>

namespace {

// Two pages made by hand: 1 x 2 inches with the lower left quarter red, then the same drawn
// twice as large; each turned by the case's rotation.
struct PageCase {
    const char* name;
    int rotate;
    const char* suffix; // appended to the file's path
    int width, height;  // 0: the file does not open
    int redX, redY, whiteX, whiteY;
};

const PageCase kPages[] = {
    {"FirstPageAtTheDefault", 0, "", 300, 600, 10, 590, 290, 10},
    {"SecondPageAt100Dpi", 0, "#page=2&dpi=100", 200, 400, 10, 390, 190, 10},
    {"TurnedPage", 90, "#page=1&dpi=100", 200, 100, 10, 10, 150, 80},
    {"UpsideDownPage", 180, "#page=1&dpi=50", 50, 100, 45, 5, 5, 95},
    {"PageBeyondTheLast", 0, "#page=3&dpi=100", 0, 0, 0, 0, 0, 0},
    {"ResolutionBelowTheLeast", 0, "#page=1&dpi=9", 0, 0, 0, 0, 0, 0},
    {"ResolutionAboveTheMost", 0, "#page=1&dpi=2401", 0, 0, 0, 0, 0, 0},
    {"MalformedSuffix", 0, "#page=x&dpi=100", 0, 0, 0, 0, 0, 0},
};

class PdfPages : public ::testing::TestWithParam<PageCase> {};

TEST_P(PdfPages, OpenRendersThePageOnWhite)
{
    const PageCase& c = GetParam();
    TempDir dir;
    const std::string file = dir.File("plot.pdf");
    const std::string quarter = "1 0 0 rg 0 0 36 72 re f";
    ASSERT_TRUE(WriteTestPdf(
        file, {{72, 144, quarter, c.rotate}, {144, 288, "2 0 0 2 0 0 cm " + quarter, c.rotate}}));
    CDib dib;
    ASSERT_EQ(dib.LoadFile(file + c.suffix), c.width > 0);
    if (c.width == 0)
        return;
    EXPECT_EQ(dib.Width(), c.width);
    EXPECT_EQ(dib.Height(), c.height);
    EXPECT_EQ(dib.BitCount(), 24);
    EXPECT_EQ(dib.GetFormat(), CDib::kFormatPdf);
    EXPECT_EQ(dib.PixelAt(c.redX, c.redY), 0xFFFF0000u);
    EXPECT_EQ(dib.PixelAt(c.whiteX, c.whiteY), 0xFFFFFFFFu);
}

INSTANTIATE_TEST_SUITE_P(Pages, PdfPages, ::testing::ValuesIn(kPages),
                         [](const auto& info) { return std::string(info.param.name); });

// Damaged files, and a page of 200 x 200 inches at 600 dpi (120 000 pixels a side, refused
// before rendering), give nothing.
TEST(RefusedPdf, RenderGivesNothing)
{
    const std::string whole = MakeTestPdf({{72, 144, "0 0 36 72 re f"}});
    const std::string refused[] = {
        whole.substr(0, whole.size() / 3), "%PDF-1.4\n", MakeTestPdf({{14400, 14400, ""}}),
        // A page tree that names itself as its kid.
        "%PDF-1.4\n1 0 obj << /Type /Catalog /Pages 2 0 R >> endobj\n2 0 obj << /Type /Pages "
        "/Kids [2 0 R] /Count 1 >> endobj\ntrailer << /Root 1 0 R >>\n%%EOF\n"};
    for (const std::string& bytes : refused) {
        const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
        EXPECT_FALSE(RenderPdfMemory(data, bytes.size(), 1, 600)) << bytes.size();
    }
}

TEST(PicturePath, OnlyASoundSuffixOfAMissingFileNamesAPage)
{
    TempDir dir;
    // A file whose own name looks like a page suffix is that file.
    const std::string odd = dir.File("a.pdf#page=2&dpi=72");
    std::ofstream(odd) << "x";
    const std::string f = dir.File("f.pdf");
    EXPECT_EQ(SplitPicturePath(odd).page, 0);
    const PicturePath split = SplitPicturePath(PdfPagePath(f, 3, 150));
    EXPECT_EQ(split.file, f);
    EXPECT_EQ(split.page, 3);
    EXPECT_EQ(split.dpi, 150);
    for (const char* bad : {"#page=0&dpi=150", "#page=3&dpi=", "#page=3&dpi=72x", "#dpi=72"})
        EXPECT_EQ(SplitPicturePath(f + bad).file, f + bad) << bad;
}

} // namespace
