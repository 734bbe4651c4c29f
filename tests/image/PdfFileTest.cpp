#include "image/PdfFile.h"
#include "image/CDib.h"
#include "support/TempDir.h"
#include "support/TestPdf.h"

#include <gtest/gtest.h>

#include <fstream>

// PDF pages are made here by hand: a page of 1 x 2 inches whose lower left quarter is red.

namespace {

constexpr std::uint32_t kRed = 0xFFFF0000;
constexpr std::uint32_t kWhite = 0xFFFFFFFF;

TestPdfPage Quarter(int rotate = 0)
{
    return {72, 144, "1 0 0 rg 0 0 36 72 re f", rotate};
}

struct PageCase {
    const char* name;
    std::vector<TestPdfPage> pages;
    const char* suffix; // appended to the file's path; empty opens the file itself
    int width, height;  // 0: the file does not open
    int redX, redY, whiteX, whiteY;
    const char* note;
};

const PageCase kPages[] = {
    {"FirstPageAtTheDefault",
     {Quarter(), {612, 792, ""}},
     "",
     300,
     600,
     10,
     590,
     290,
     10,
     "page 1 of 2 at 300 dpi"},
    {"ChosenPageAndResolution",
     {{612, 792, ""}, Quarter()},
     "#page=2&dpi=100",
     100,
     200,
     10,
     190,
     90,
     10,
     "page 2 of 2 at 100 dpi"},
    {"TurnedPage",
     {Quarter(90)},
     "#page=1&dpi=100",
     200,
     100,
     10,
     10,
     150,
     80,
     "page 1 of 1 at 100 dpi"},
    {"UpsideDownPage",
     {Quarter(180)},
     "#page=1&dpi=50",
     50,
     100,
     45,
     5,
     5,
     95,
     "page 1 of 1 at 50 dpi"},
    {"PageBeyondTheLast", {Quarter()}, "#page=2&dpi=100", 0, 0, 0, 0, 0, 0, ""},
    {"ResolutionBelowTheLeast", {Quarter()}, "#page=1&dpi=9", 0, 0, 0, 0, 0, 0, ""},
    {"ResolutionAboveTheMost", {Quarter()}, "#page=1&dpi=2401", 0, 0, 0, 0, 0, 0, ""},
    // 200 x 200 inches at 600 dpi is 120 000 pixels a side: refused before rendering.
    {"PictureBeyondTheBounds", {{14400, 14400, ""}}, "#page=1&dpi=600", 0, 0, 0, 0, 0, 0, ""},
    {"MalformedSuffix", {Quarter()}, "#page=x&dpi=100", 0, 0, 0, 0, 0, 0, ""},
};

class PdfPages : public ::testing::TestWithParam<PageCase> {};

TEST_P(PdfPages, OpenRendersThePageOnWhite)
{
    const PageCase& c = GetParam();
    TempDir dir;
    const std::string file = dir.File("plot.pdf");
    ASSERT_TRUE(WriteTestPdf(file, c.pages));
    CDib dib;
    const bool opened = dib.LoadFile(file + c.suffix);
    ASSERT_EQ(opened, c.width > 0);
    if (!opened) {
        EXPECT_TRUE(dib.IsEmpty());
        return;
    }
    EXPECT_EQ(dib.Width(), c.width);
    EXPECT_EQ(dib.Height(), c.height);
    EXPECT_EQ(dib.BitCount(), 24);
    EXPECT_EQ(dib.GetFormat(), CDib::kFormatPdf);
    EXPECT_EQ(dib.GetSourceNote(), c.note);
    EXPECT_EQ(dib.PixelAt(c.redX, c.redY), kRed);
    EXPECT_EQ(dib.PixelAt(c.whiteX, c.whiteY), kWhite);
}

INSTANTIATE_TEST_SUITE_P(Pages, PdfPages, ::testing::ValuesIn(kPages),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(DamagedPdf, RenderGivesNothing)
{
    const std::string whole = MakeTestPdf({Quarter()});
    const std::string damaged[] = {
        whole.substr(0, whole.size() / 3), "%PDF-1.4\n", "%PDF-1.4\n1 0 obj << /Type /Catalog",
        // A page tree that names itself as its kid.
        "%PDF-1.4\n1 0 obj << /Type /Catalog /Pages 2 0 R >> endobj\n2 0 obj << /Type /Pages "
        "/Kids [2 0 R] /Count 1 >> endobj\ntrailer << /Root 1 0 R >>\n%%EOF\n"};
    for (const std::string& bytes : damaged) {
        const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
        EXPECT_FALSE(RenderPdfMemory(data, bytes.size(), 1, 72)) << bytes.size();
    }
}

TEST(PicturePath, OnlyASoundSuffixOfAMissingFileNamesAPage)
{
    TempDir dir;
    // A file whose own name looks like a page suffix is that file.
    const std::string odd = dir.File("a.pdf#page=2&dpi=72");
    std::ofstream(odd) << "x";
    struct Case {
        std::string path, file;
        int page, dpi;
    };
    const std::string f = dir.File("f.pdf");
    const Case cases[] = {
        {odd, odd, 0, 0},
        {f + "#page=3&dpi=150", f, 3, 150},
        {f + "#page=0&dpi=150", f + "#page=0&dpi=150", 0, 0},
        {f + "#page=3&dpi=", f + "#page=3&dpi=", 0, 0},
        {f + "#page=3&dpi=72x", f + "#page=3&dpi=72x", 0, 0},
        {f + "#dpi=72", f + "#dpi=72", 0, 0},
    };
    for (const Case& c : cases) {
        const PicturePath split = SplitPicturePath(c.path);
        EXPECT_EQ(split.file, c.file) << c.path;
        EXPECT_EQ(split.page, c.page) << c.path;
        EXPECT_EQ(split.dpi, c.dpi) << c.path;
    }
    EXPECT_EQ(SplitPicturePath(PdfPagePath(f, 7, 96)).page, 7);
}

} // namespace
