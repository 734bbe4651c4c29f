#include "image/TiffFile.h"
#include "image/CDib.h"
#include "image/support/TestDibs.h"
#include "image/support/TestTiff.h"
#include "platform/RecordingUiServices.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

using namespace testdibs;

namespace {

class TiffReader : public ::testing::Test {
protected:
    void SetUp() override { SetUiServices(&m_ui); }
    void TearDown() override { SetUiServices(nullptr); }

    // Palette images get the map of index i to (i, 255 - i, i / 2).
    std::optional<DibBlock> WriteAndRead(TiffImage s)
    {
        for (int c = 0; c < 3 * 256 && s.photometric == PHOTOMETRIC_PALETTE; ++c)
            s.colourMap.push_back(
                static_cast<std::uint16_t>(257 * PaletteSample(c / 256, c % 256)));
        m_rows = TiffRows(s);
        EXPECT_TRUE(WriteTiff(m_dir.File("t.tif"), s, m_rows));
        return ReadTiffFile(m_dir.File("t.tif"));
    }
    static std::uint32_t PaletteSample(int c, std::uint32_t i)
    {
        return c == 0 ? i : c == 1 ? 255 - i : i / 2;
    }
    // The colour of pixel (x, y) of the rows: black and white for 0 and 1 (the other way
    // round for min-is-white), the palette's, or the grey (inverted for min-is-white) or RGB
    // samples, 16-bit ones rounded to 8 bits.
    std::uint32_t Colour(const TiffImage& s, int x, int y) const
    {
        const auto& row = m_rows[static_cast<std::size_t>(y)];
        if (s.photometric == PHOTOMETRIC_PALETTE)
            return PaletteSample(0, row[x]) << 16 | PaletteSample(1, row[x]) << 8 |
                   PaletteSample(2, row[x]);
        if (s.bitsPerSample == 1) {
            const bool one = (row[x / 8] >> (7 - x % 8)) & 1u;
            return one == (s.photometric == PHOTOMETRIC_MINISWHITE) ? 0 : 0xFFFFFF;
        }
        const auto sample = [&](int i) -> std::uint32_t {
            const std::size_t k = static_cast<std::size_t>(s.samplesPerPixel * x + i);
            if (s.bitsPerSample == 8)
                return row[k];
            return ((row[2 * k] | row[2 * k + 1] << 8) * 255u + 32767) / 65535;
        };
        if (s.samplesPerPixel == 3)
            return (sample(0) << 16) | (sample(1) << 8) | sample(2);
        return (s.photometric == PHOTOMETRIC_MINISWHITE ? 255 - sample(0) : sample(0)) * 0x010101u;
    }

    TempDir m_dir;
    RecordingUiServices m_ui;
    std::vector<std::vector<std::uint8_t>> m_rows;
};

struct Stored {
    const char* name;
    TiffImage image;
    int bitCount; // of the DIB
};

class TiffStored : public TiffReader, public ::testing::WithParamInterface<Stored> {};

// One bit a pixel stays one bit; grey and RGB in strips are read straight into 8- and 24-bit
// DIBs; the rest becomes 32 bits through libtiff's RGBA path.
TEST_P(TiffStored, ReadsAsTheDibOfItsRows)
{
    const TiffImage& s = GetParam().image;
    if (!TIFFIsCODECConfigured(static_cast<std::uint16_t>(s.compression)))
        GTEST_SKIP() << "codec not built into libtiff";
    const std::optional<DibBlock> dib = WriteAndRead(s);
    ASSERT_TRUE(dib);
    EXPECT_TRUE(m_ui.messages.empty());
    const CDib read(dib->data(), dib->size());
    EXPECT_EQ(read.BitCount(), GetParam().bitCount);
    const int tolerance = s.compression == COMPRESSION_JPEG ? 12 : 0;
    for (int y = 0; y < s.height; ++y)
        for (int x = 0; x < s.width; ++x)
            for (int shift : {0, 8, 16})
                ASSERT_NEAR(read.PixelAt(x, y) >> shift & 0xFF, Colour(s, x, y) >> shift & 0xFF,
                            tolerance)
                    << x << "," << y;
}

constexpr int kWhite0 = PHOTOMETRIC_MINISWHITE;
constexpr int kRgb = PHOTOMETRIC_RGB;
constexpr int kTopLeft = ORIENTATION_TOPLEFT;

INSTANTIATE_TEST_SUITE_P(
    Codecs, TiffStored,
    ::testing::Values(
        Stored{"Bw", {37, 11, 1}, 1},
        Stored{"BwBottomUp", {37, 11, 1, 1, kWhite0, COMPRESSION_NONE, ORIENTATION_BOTLEFT}, 1},
        Stored{"BwPackBits", {37, 11, 1, 1, kWhite0, COMPRESSION_PACKBITS}, 1},
        Stored{"BwG3", {37, 11, 1, 1, kWhite0, COMPRESSION_CCITTFAX3}, 1},
        Stored{
            "BwG4BottomUp", {37, 11, 1, 1, kWhite0, COMPRESSION_CCITTFAX4, ORIENTATION_BOTLEFT}, 1},
        Stored{"GreyNone", {19, 16, 8, 1, PHOTOMETRIC_MINISBLACK, COMPRESSION_NONE}, 8},
        Stored{"Palette", {8, 4, 8, 1, PHOTOMETRIC_PALETTE}, 8},
        Stored{"GreyWhiteIsZeroLzw", {19, 16, 8, 1, kWhite0, COMPRESSION_LZW, kTopLeft, 16}, 8},
        Stored{"Grey16Deflate", {19, 16, 16, 1, PHOTOMETRIC_MINISBLACK, COMPRESSION_DEFLATE}, 8},
        Stored{"Rgb16Lzw", {19, 16, 16, 3, kRgb, COMPRESSION_LZW, kTopLeft, 5}, 24},
        Stored{"RgbLzwBottomUp", {19, 16, 8, 3, kRgb, COMPRESSION_LZW, ORIENTATION_BOTLEFT, 5}, 32},
        Stored{"RgbDeflate", {19, 16, 8, 3, kRgb, COMPRESSION_ADOBE_DEFLATE}, 24},
        Stored{"RgbOneStrip", {19, 16, 8, 3, kRgb, COMPRESSION_NONE, kTopLeft, 16}, 24},
        Stored{"RgbJpeg", {19, 16, 8, 3, kRgb, COMPRESSION_JPEG, kTopLeft, 16}, 32},
        Stored{"RgbTiled", {19, 16, 8, 3, kRgb, COMPRESSION_LZW, kTopLeft, 0, true}, 32}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(TiffReader, BlackAndWhiteOtherOrientationsFallBackSilently)
{
    TiffImage s{21, 7, 1};
    const std::optional<DibBlock> topLeft = WriteAndRead(s);
    ASSERT_TRUE(topLeft);
    // Top-right is read as top-left.
    s.orientation = ORIENTATION_TOPRIGHT;
    EXPECT_EQ(WriteAndRead(s), topLeft);
    // Bottom-right is read as bottom-left: the same stored rows come out upside down.
    s.orientation = ORIENTATION_BOTRIGHT;
    CDib flipped(topLeft->data(), topLeft->size());
    ASSERT_TRUE(flipped.FlipVertical());
    EXPECT_EQ(WriteAndRead(s), flipped.Block());
    EXPECT_TRUE(m_ui.messages.empty());
}

TEST_F(TiffReader, TiffContentSetsTheFormatAndOtherFilesFailSilently)
{
    const TiffImage s{3, 3};
    ASSERT_TRUE(WriteTiff(m_dir.File("g.tif"), s, TiffRows(s)));
    CDib image;
    ASSERT_TRUE(image.LoadFile(m_dir.File("g.tif")));
    EXPECT_EQ(image.GetFormat(), CDib::kFormatTiff);
    EXPECT_TRUE(ProbeTiffFile(m_dir.File("g.tif")));

    const std::string path = m_dir.File("n.tif");
    WriteFile(path, {'I', 'I', 42, 0, 8, 0, 0, 0, 0xFF, 0xFF});
    EXPECT_FALSE(ProbeTiffFile(path));
    EXPECT_FALSE(ReadTiffFile(path));
    WriteFile(path, {'h', 'e', 'l', 'l', 'o'});
    EXPECT_FALSE(image.LoadFile(path));
    EXPECT_FALSE(ReadTiffFile(m_dir.File("missing.tif")));
    EXPECT_FALSE(ReadTiffMemory(nullptr, 100, "x.tif"));
    EXPECT_TRUE(m_ui.messages.empty());
}

// libtiff's handlers in force before a read, to check they are put back.
int g_outsideErrors = 0;
void CountError(const char*, const char*, va_list)
{
    ++g_outsideErrors;
}

TEST_F(TiffReader, UndecodableStripsFailWithLibtiffsMessageAndHandlersAreRestored)
{
    const std::string path = m_dir.File("bad.tif");
    ASSERT_TRUE(WriteUndecodableTiff(path));
    const Bytes bad = ReadFile(path);
    const TIFFErrorHandler before = TIFFSetErrorHandler(CountError);
    g_outsideErrors = 0;
    EXPECT_FALSE(ReadTiffFile(path));
    ASSERT_FALSE(m_ui.messages.empty());
    EXPECT_EQ(m_ui.messages.front().caption, path + " Error");
    EXPECT_FALSE(m_ui.messages.front().text.empty());
    // From memory the messages carry the name given.
    m_ui.messages.clear();
    EXPECT_FALSE(ReadTiffMemory(bad.data(), bad.size(), "scan.tif"));
    ASSERT_FALSE(m_ui.messages.empty());
    for (const auto& m : m_ui.messages)
        EXPECT_EQ(m.caption, "scan.tif Error");
    EXPECT_EQ(g_outsideErrors, 0);
    // The next libtiff call runs with the handler of before the read.
    EXPECT_EQ(TIFFSetErrorHandler(before), CountError);
}

// A picture over 16 MiB is read in two halves at once, each through its own libtiff handle:
// the rows meet where the halves do, from a file and from memory, and a strip that fails in
// the second half fails the read with libtiff's message.
TEST_F(TiffReader, LargePicturesAreReadInTwoHalves)
{
    const TiffImage s{2000, 2901, 8, 3, kRgb, COMPRESSION_LZW, kTopLeft, 100};
    const std::string path = m_dir.File("large.tif");
    m_rows = TiffRows(s);
    ASSERT_TRUE(WriteTiff(path, s, m_rows));
    const std::optional<DibBlock> dib = ReadTiffFile(path);
    ASSERT_TRUE(dib);
    const std::uint8_t* bits = FindDibBits(dib->data());
    const std::uint64_t dibRow = DibRowBytes(dib->data());
    for (std::size_t y = 0; y < m_rows.size(); ++y) {
        const std::uint8_t* d = bits + (m_rows.size() - 1 - y) * dibRow;
        for (std::size_t i = 0; i < m_rows[y].size(); ++i)
            ASSERT_EQ(d[i], m_rows[y][i - i % 3 + 2 - i % 3]) << "row " << y << ", byte " << i;
    }
    Bytes file = ReadFile(path);
    EXPECT_EQ(ReadTiffMemory(file.data(), file.size(), "large.tif"), dib);
    EXPECT_TRUE(m_ui.messages.empty());

    TIFF* tif = TIFFOpen(path.c_str(), "r");
    ASSERT_TRUE(tif);
    std::uint64_t* offsets = nullptr;
    ASSERT_TRUE(TIFFGetField(tif, TIFFTAG_STRIPOFFSETS, &offsets));
    const std::uint64_t lateStrip = offsets[25];
    TIFFClose(tif);
    std::fill_n(file.begin() + static_cast<std::ptrdiff_t>(lateStrip), 8, 0xFF);
    WriteFile(path, file);
    EXPECT_FALSE(ReadTiffFile(path));
    ASSERT_FALSE(m_ui.messages.empty());
    EXPECT_EQ(m_ui.messages.front().caption, path + " Error");
}

// Transparent parts lie on white paper, whether the alpha is associated or not.
TEST_F(TiffReader, AlphaIsCompositedOverWhite)
{
    for (const int extra : {EXTRASAMPLE_UNASSALPHA, EXTRASAMPLE_ASSOCALPHA}) {
        SCOPED_TRACE(extra);
        TiffImage s(3, 1, 8, 4, PHOTOMETRIC_RGB);
        s.extraSample = extra;
        // Transparent black, opaque black, half-transparent red (premultiplied when associated).
        const std::uint8_t red = extra == EXTRASAMPLE_ASSOCALPHA ? 128 : 255;
        ASSERT_TRUE(
            WriteTiff(m_dir.File("a.tif"), s, {{0, 0, 0, 0, 0, 0, 0, 255, red, 0, 0, 128}}));
        const std::optional<DibBlock> dib = ReadTiffFile(m_dir.File("a.tif"));
        ASSERT_TRUE(dib);
        EXPECT_EQ(Get(dib->data(), 0, 0) & 0xFFFFFFu, 0xFFFFFFu);
        EXPECT_EQ(Get(dib->data(), 1, 0) & 0xFFFFFFu, 0x000000u);
        const std::uint32_t half = Get(dib->data(), 2, 0);
        EXPECT_EQ((half >> 16) & 0xFF, 0xFFu);
        EXPECT_NEAR(static_cast<int>((half >> 8) & 0xFF), 127, 1);
        EXPECT_NEAR(static_cast<int>(half & 0xFF), 127, 1);
    }
}

} // namespace
