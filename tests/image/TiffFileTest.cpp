#include "image/TiffFile.h"
#include "image/CDib.h"
#include "image/support/TestDibs.h"
#include "platform/RecordingUiServices.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <tiffio.h>

#include <cstdlib>
#include <cstring>

namespace {

// An image to store: rows from the top, each sample a byte (bit-packed rows for 1 bit).
struct TiffImage {
    int width = 0;
    int height = 0;
    int bitsPerSample = 8;
    int samplesPerPixel = 1;
    int photometric = PHOTOMETRIC_MINISBLACK;
    int compression = COMPRESSION_NONE;
    int orientation = ORIENTATION_TOPLEFT;
    int rowsPerStrip = 3;
    bool tiled = false;
    std::vector<std::uint16_t> colourMap; // 3 x 2^bits entries for palette images
    int extraSample = -1;                 // EXTRASAMPLE_* of a fourth sample, -1 none
};

std::size_t RowBytes(const TiffImage& s)
{
    return (static_cast<std::size_t>(s.width) * s.bitsPerSample * s.samplesPerPixel + 7) / 8;
}

// The rows from the top of a test picture of that size and depth.
std::vector<std::vector<std::uint8_t>> Picture(const TiffImage& s)
{
    std::vector<std::vector<std::uint8_t>> rows(static_cast<std::size_t>(s.height));
    for (int y = 0; y < s.height; ++y) {
        auto& row = rows[static_cast<std::size_t>(y)];
        row.assign(RowBytes(s), 0);
        for (std::size_t i = 0; i < row.size(); ++i)
            row[i] = static_cast<std::uint8_t>((y * 31 + static_cast<int>(i) * 17) ^ (y * i));
        if (s.compression == COMPRESSION_JPEG)
            for (std::size_t i = 0; i < row.size(); ++i)
                row[i] = static_cast<std::uint8_t>(y * 8); // smooth enough for a lossy codec
    }
    return rows;
}

void WriteTiff(const std::string& path, const TiffImage& s,
               const std::vector<std::vector<std::uint8_t>>& rows)
{
    TIFF* tif = TIFFOpen(path.c_str(), "w");
    ASSERT_NE(tif, nullptr);
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, s.width);
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, s.height);
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, s.bitsPerSample);
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, s.samplesPerPixel);
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, s.photometric);
    TIFFSetField(tif, TIFFTAG_COMPRESSION, s.compression);
    TIFFSetField(tif, TIFFTAG_ORIENTATION, s.orientation);
    TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    if (s.compression == COMPRESSION_JPEG) {
        TIFFSetField(tif, TIFFTAG_JPEGQUALITY, 95);
        if (s.samplesPerPixel == 3)
            TIFFSetField(tif, TIFFTAG_JPEGCOLORMODE, JPEGCOLORMODE_RGB);
    }
    if (s.extraSample >= 0) {
        const std::uint16_t extra = static_cast<std::uint16_t>(s.extraSample);
        TIFFSetField(tif, TIFFTAG_EXTRASAMPLES, 1, &extra);
    }
    if (!s.colourMap.empty()) {
        const std::size_t n = s.colourMap.size() / 3;
        TIFFSetField(tif, TIFFTAG_COLORMAP, s.colourMap.data(), s.colourMap.data() + n,
                     s.colourMap.data() + 2 * n);
    }
    // Orientation 4 stores the bottom row first.
    auto fileRow = [&](int i) {
        return s.orientation == ORIENTATION_BOTLEFT
                   ? rows[static_cast<std::size_t>(s.height - 1 - i)]
                   : rows[static_cast<std::size_t>(i)];
    };
    if (s.tiled) {
        TIFFSetField(tif, TIFFTAG_TILEWIDTH, 16);
        TIFFSetField(tif, TIFFTAG_TILELENGTH, 16);
        const std::size_t tileRow =
            (16 * static_cast<std::size_t>(s.bitsPerSample) * s.samplesPerPixel + 7) / 8;
        for (int ty = 0; ty < s.height; ty += 16)
            for (int tx = 0; tx < s.width; tx += 16) {
                std::vector<std::uint8_t> tile(tileRow * 16, 0);
                const std::size_t pixelBytes =
                    static_cast<std::size_t>(s.bitsPerSample) * s.samplesPerPixel / 8;
                for (int y = 0; y < 16 && ty + y < s.height; ++y)
                    for (int x = 0; x < 16 && tx + x < s.width; ++x)
                        std::memcpy(&tile[y * tileRow + x * pixelBytes],
                                    &fileRow(ty + y)[(tx + x) * pixelBytes], pixelBytes);
                TIFFWriteTile(tif, tile.data(), static_cast<std::uint32_t>(tx),
                              static_cast<std::uint32_t>(ty), 0, 0);
            }
    } else {
        TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, s.rowsPerStrip);
        for (int i = 0; i < s.height; ++i) {
            std::vector<std::uint8_t> row = fileRow(i);
            ASSERT_EQ(TIFFWriteScanline(tif, row.data(), static_cast<std::uint32_t>(i), 0), 1);
        }
    }
    TIFFClose(tif);
}

// Colour of pixel (x, y) of a 32-bit DIB as 0x00RRGGBB.
std::uint32_t Rgb(const DibBlock& dib, int x, int y)
{
    return testdibs::Get(dib.data(), x, y) & 0xFFFFFFu;
}

class TiffReader : public ::testing::Test {
protected:
    void SetUp() override { SetUiServices(&m_ui); }
    void TearDown() override { SetUiServices(nullptr); }

    std::optional<DibBlock> WriteAndRead(const TiffImage& s)
    {
        m_rows = Picture(s);
        WriteTiff(m_dir.File("t.tif"), s, m_rows);
        return ReadTiffFile(m_dir.File("t.tif"));
    }

    TempDir m_dir;
    RecordingUiServices m_ui;
    std::vector<std::vector<std::uint8_t>> m_rows;
};

// ---- black and white

struct BwCase {
    const char* name;
    int compression;
    int photometric;
    int orientation;
};

class TiffBlackAndWhite : public TiffReader, public ::testing::WithParamInterface<BwCase> {};

TEST_P(TiffBlackAndWhite, ReadsAsOneBitDibWithTheFileBits)
{
    const BwCase& c = GetParam();
    if (!TIFFIsCODECConfigured(static_cast<std::uint16_t>(c.compression)))
        GTEST_SKIP() << "codec not built into libtiff";
    TiffImage s;
    s.width = 37;
    s.height = 11;
    s.bitsPerSample = 1;
    s.compression = c.compression;
    s.photometric = c.photometric;
    s.orientation = c.orientation;
    const std::optional<DibBlock> dib = WriteAndRead(s);
    ASSERT_TRUE(dib);
    EXPECT_TRUE(m_ui.messages.empty());
    const BitmapInfoHeader h = BitmapInfoHeader::Read(dib->data());
    EXPECT_EQ(h.bitCount, 1);
    EXPECT_EQ(h.width, 37);
    EXPECT_EQ(h.height, 11);
    EXPECT_EQ(h.clrUsed, 0u);
    ASSERT_EQ(dib->size(), 40u + 8u + 8u * 11u);
    // A 0 bit shows white for min-is-white, black for min-is-black.
    const std::uint8_t white[4] = {255, 255, 255, 255};
    const std::uint8_t black[4] = {0, 0, 0, 0};
    const bool minIsWhite = c.photometric == PHOTOMETRIC_MINISWHITE;
    EXPECT_EQ(0, std::memcmp(dib->data() + 40, minIsWhite ? white : black, 4));
    EXPECT_EQ(0, std::memcmp(dib->data() + 44, minIsWhite ? black : white, 4));
    for (int y = 0; y < s.height; ++y)
        for (int x = 0; x < s.width; ++x)
            ASSERT_EQ(testdibs::Get(dib->data(), x, y),
                      (m_rows[static_cast<std::size_t>(y)][x / 8] >> (7 - x % 8)) & 1u)
                << x << "," << y;
    // the padding after the 37th pixel stays clear
    for (std::uint8_t bit : testdibs::PaddingBits(dib->data()))
        ASSERT_EQ(bit, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Codecs, TiffBlackAndWhite,
    ::testing::Values(
        BwCase{"None", COMPRESSION_NONE, PHOTOMETRIC_MINISBLACK, ORIENTATION_TOPLEFT},
        BwCase{"NoneBottomUp", COMPRESSION_NONE, PHOTOMETRIC_MINISWHITE, ORIENTATION_BOTLEFT},
        BwCase{"PackBits", COMPRESSION_PACKBITS, PHOTOMETRIC_MINISWHITE, ORIENTATION_TOPLEFT},
        BwCase{"Lzw", COMPRESSION_LZW, PHOTOMETRIC_MINISBLACK, ORIENTATION_BOTLEFT},
        BwCase{"Deflate", COMPRESSION_ADOBE_DEFLATE, PHOTOMETRIC_MINISBLACK, ORIENTATION_TOPLEFT},
        BwCase{"G3", COMPRESSION_CCITTFAX3, PHOTOMETRIC_MINISWHITE, ORIENTATION_TOPLEFT},
        BwCase{"G4", COMPRESSION_CCITTFAX4, PHOTOMETRIC_MINISWHITE, ORIENTATION_TOPLEFT},
        BwCase{"G4BottomUp", COMPRESSION_CCITTFAX4, PHOTOMETRIC_MINISWHITE, ORIENTATION_BOTLEFT}),
    [](const auto& info) { return std::string(info.param.name); });

// One-bit images are read in both orientations by the codec suite above; colour ones too.
TEST_F(TiffReader, ColourOrientationsOneAndFourGiveIdenticalDibs)
{
    TiffImage s;
    s.width = 20;
    s.height = 9;
    s.samplesPerPixel = 3;
    s.photometric = PHOTOMETRIC_RGB;
    const std::optional<DibBlock> top = WriteAndRead(s);
    s.orientation = ORIENTATION_BOTLEFT;
    const std::optional<DibBlock> bottom = WriteAndRead(s);
    ASSERT_TRUE(top && bottom);
    EXPECT_EQ(*top, *bottom);
}

TEST_F(TiffReader, BlackAndWhiteOtherOrientationsFallBackSilently)
{
    TiffImage s;
    s.width = 21;
    s.height = 7;
    s.bitsPerSample = 1;
    const std::optional<DibBlock> topLeft = WriteAndRead(s);
    ASSERT_TRUE(topLeft);
    // Top-right is read as top-left.
    s.orientation = ORIENTATION_TOPRIGHT;
    const std::optional<DibBlock> topRight = WriteAndRead(s);
    ASSERT_TRUE(topRight);
    EXPECT_EQ(*topRight, *topLeft);
    // Bottom-right is read as bottom-left: the same stored rows come out upside down.
    s.orientation = ORIENTATION_BOTRIGHT;
    const std::optional<DibBlock> bottomRight = WriteAndRead(s);
    ASSERT_TRUE(bottomRight);
    CDib flipped(topLeft->data(), topLeft->size());
    ASSERT_TRUE(flipped.FlipVertical());
    EXPECT_EQ(*bottomRight, flipped.Block());
    EXPECT_TRUE(m_ui.messages.empty());
}

// ---- colour and grey through the RGBA interface

struct ColourCase {
    const char* name;
    int compression;
    int samples;
    bool tiled;
};

class TiffColour : public TiffReader, public ::testing::WithParamInterface<ColourCase> {};

TEST_P(TiffColour, ReadsAsThirtyTwoBitDib)
{
    const ColourCase& c = GetParam();
    if (!TIFFIsCODECConfigured(static_cast<std::uint16_t>(c.compression)))
        GTEST_SKIP() << "codec not built into libtiff";
    TiffImage s;
    s.width = 19;
    s.height = 16;
    s.samplesPerPixel = c.samples;
    s.photometric = c.samples == 3 ? PHOTOMETRIC_RGB : PHOTOMETRIC_MINISBLACK;
    s.compression = c.compression;
    s.tiled = c.tiled;
    s.rowsPerStrip = c.compression == COMPRESSION_JPEG ? 16 : 5;
    const std::optional<DibBlock> dib = WriteAndRead(s);
    ASSERT_TRUE(dib);
    const BitmapInfoHeader h = BitmapInfoHeader::Read(dib->data());
    EXPECT_EQ(h.bitCount, 32);
    EXPECT_EQ(h.sizeImage, 19u * 4u * 16u);
    ASSERT_EQ(dib->size(), 40u + 12u + 19u * 4u * 16u);
    EXPECT_EQ(GetLE32(dib->data() + 40) | GetLE32(dib->data() + 44) | GetLE32(dib->data() + 48),
              0u);
    const int tolerance = c.compression == COMPRESSION_JPEG ? 12 : 0;
    for (int y = 0; y < s.height; ++y)
        for (int x = 0; x < s.width; ++x) {
            const auto& row = m_rows[static_cast<std::size_t>(y)];
            const int r = c.samples == 3 ? row[3 * x] : row[x];
            const int g = c.samples == 3 ? row[3 * x + 1] : row[x];
            const int b = c.samples == 3 ? row[3 * x + 2] : row[x];
            const std::uint32_t v = testdibs::Get(dib->data(), x, y);
            ASSERT_NEAR(static_cast<int>((v >> 16) & 255), r, tolerance) << x << "," << y;
            ASSERT_NEAR(static_cast<int>((v >> 8) & 255), g, tolerance) << x << "," << y;
            ASSERT_NEAR(static_cast<int>(v & 255), b, tolerance) << x << "," << y;
            ASSERT_EQ(v >> 24, 0u);
        }
}

INSTANTIATE_TEST_SUITE_P(
    Codecs, TiffColour,
    ::testing::Values(ColourCase{"RgbNone", COMPRESSION_NONE, 3, false},
                      ColourCase{"RgbLzw", COMPRESSION_LZW, 3, false},
                      ColourCase{"RgbPackBits", COMPRESSION_PACKBITS, 3, false},
                      ColourCase{"RgbDeflate", COMPRESSION_ADOBE_DEFLATE, 3, false},
                      ColourCase{"RgbJpeg", COMPRESSION_JPEG, 3, false},
                      ColourCase{"RgbTiled", COMPRESSION_LZW, 3, true},
                      ColourCase{"GreyNone", COMPRESSION_NONE, 1, false},
                      ColourCase{"GreyLzw", COMPRESSION_LZW, 1, false},
                      ColourCase{"GreyJpeg", COMPRESSION_JPEG, 1, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(TiffReader, PaletteImageReadsThroughItsColourMap)
{
    TiffImage s;
    s.width = 8;
    s.height = 4;
    s.photometric = PHOTOMETRIC_PALETTE;
    s.colourMap.resize(3 * 256);
    for (int i = 0; i < 256; ++i) {
        s.colourMap[static_cast<std::size_t>(i)] = static_cast<std::uint16_t>(i * 257);
        s.colourMap[static_cast<std::size_t>(256 + i)] =
            static_cast<std::uint16_t>((255 - i) * 257);
        s.colourMap[static_cast<std::size_t>(512 + i)] = static_cast<std::uint16_t>((i / 2) * 257);
    }
    const std::optional<DibBlock> dib = WriteAndRead(s);
    ASSERT_TRUE(dib);
    CDib image(dib->data(), dib->size());
    EXPECT_EQ(image.GetInfo().bitCount, 32);
    EXPECT_EQ(image.GetInfo().colours, 0);
    for (int y = 0; y < s.height; ++y)
        for (int x = 0; x < s.width; ++x) {
            const int i = m_rows[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)];
            const std::uint32_t expect = (static_cast<std::uint32_t>(i) << 16) |
                                         (static_cast<std::uint32_t>(255 - i) << 8) |
                                         static_cast<std::uint32_t>(i / 2);
            ASSERT_EQ(Rgb(*dib, x, y), expect) << x << "," << y;
        }
}

TEST_F(TiffReader, TiffContentSetsTheFormatAndOtherFilesFailSilently)
{
    TiffImage s;
    s.width = 3;
    s.height = 3;
    WriteTiff(m_dir.File("g.tif"), s, Picture(s));
    CDib image;
    ASSERT_TRUE(image.LoadFile(m_dir.File("g.tif")));
    EXPECT_EQ(image.GetFormat(), CDib::kFormatTiff);
    EXPECT_TRUE(ProbeTiffFile(m_dir.File("g.tif")));

    const std::string path = m_dir.File("n.tif");
    testdibs::WriteFile(path, {'I', 'I', 42, 0, 8, 0, 0, 0, 0xFF, 0xFF});
    EXPECT_FALSE(ProbeTiffFile(path));
    EXPECT_FALSE(ReadTiffFile(path));
    testdibs::WriteFile(path, {'h', 'e', 'l', 'l', 'o'});
    EXPECT_FALSE(image.LoadFile(path));
    EXPECT_FALSE(ReadTiffFile(m_dir.File("missing.tif")));
    EXPECT_TRUE(m_ui.messages.empty());
}

// A little-endian TIFF made by hand with its directory before the pixels, so that cutting the
// file short cuts the strip, not the directory: one strip of the given depth
// whose bytes are i * 7 (or fill), uncompressed unless told.
std::vector<std::uint8_t> HandMadeTiff(int width, int height, int bits, std::size_t keepPixelBytes,
                                       std::uint32_t compression = 1, int fill = -1)
{
    const std::uint32_t stripBytes = static_cast<std::uint32_t>((width * bits + 7) / 8 * height);
    struct Entry {
        std::uint16_t tag, type;
        std::uint32_t value;
    };
    const std::uint32_t entries = 8;
    const std::uint32_t dataAt = 8 + 2 + entries * 12 + 4;
    const Entry dir[entries] = {{256, 4, static_cast<std::uint32_t>(width)},
                                {257, 4, static_cast<std::uint32_t>(height)},
                                {258, 3, static_cast<std::uint32_t>(bits)},
                                {259, 3, compression},
                                {262, 3, 1},
                                {273, 4, dataAt},
                                {278, 4, static_cast<std::uint32_t>(height)},
                                {279, 4, stripBytes}};
    std::vector<std::uint8_t> f = {'I', 'I', 42, 0, 8, 0, 0, 0, static_cast<std::uint8_t>(entries),
                                   0};
    for (const Entry& e : dir) {
        std::uint8_t b[12] = {};
        PutLE16(b, e.tag);
        PutLE16(b + 2, e.type);
        PutLE32(b + 4, 1);
        if (e.type == 3)
            PutLE16(b + 8, static_cast<std::uint16_t>(e.value));
        else
            PutLE32(b + 8, e.value);
        f.insert(f.end(), b, b + 12);
    }
    f.insert(f.end(), 4, 0);
    for (std::size_t i = 0; i < std::min<std::size_t>(keepPixelBytes, stripBytes); ++i)
        f.push_back(static_cast<std::uint8_t>(fill < 0 ? i * 7 : fill));
    return f;
}

// libtiff's handlers in force before a read, to check they are put back.
int g_outsideErrors = 0;
void CountError(const char*, const char*, va_list)
{
    ++g_outsideErrors;
}

TEST_F(TiffReader, UndecodableStripsFailWithLibtiffsMessageAndHandlersAreRestored)
{
    // An LZW strip of bytes LZW cannot decode.
    const std::string path = m_dir.File("bad.tif");
    testdibs::WriteFile(path, HandMadeTiff(64, 64, 8, 64 * 64, COMPRESSION_LZW, 0xFF));
    const TIFFErrorHandler before = TIFFSetErrorHandler(CountError);
    g_outsideErrors = 0;
    EXPECT_FALSE(ReadTiffFile(path));
    ASSERT_FALSE(m_ui.messages.empty());
    EXPECT_EQ(m_ui.messages.front().caption, path + " Error");
    EXPECT_FALSE(m_ui.messages.front().text.empty());
    EXPECT_EQ(g_outsideErrors, 0);
    // The next libtiff call runs with the handler of before the read.
    EXPECT_EQ(TIFFSetErrorHandler(before), CountError);
}

class TiffTruncated : public TiffReader, public ::testing::WithParamInterface<int> {};

TEST_P(TiffTruncated, StripsCutShortFailAfterLibtiffsMessage)
{
    const std::string path = m_dir.File("cut.tif");
    testdibs::WriteFile(path, HandMadeTiff(64, 32, GetParam(), 40));
    EXPECT_FALSE(ReadTiffFile(path));
    ASSERT_FALSE(m_ui.messages.empty());
    EXPECT_EQ(m_ui.messages.front().caption, path + " Error");
    // A sound file read next shows nothing.
    m_ui.messages.clear();
    testdibs::WriteFile(path, HandMadeTiff(64, 32, GetParam(), 64 * 32));
    const std::optional<DibBlock> dib = ReadTiffFile(path);
    ASSERT_TRUE(dib);
    EXPECT_TRUE(m_ui.messages.empty());
    if (GetParam() == 8) {
        EXPECT_EQ(Rgb(*dib, 1, 0), 0x070707u);
        EXPECT_EQ(Rgb(*dib, 0, 31), 0x404040u); // byte 64 * 31 holds 1984 * 7 mod 256
    }
}

INSTANTIATE_TEST_SUITE_P(Depths, TiffTruncated, ::testing::Values(1, 8));

// Transparent parts lie on white paper, whether the alpha is associated or not.
TEST_F(TiffReader, AlphaIsCompositedOverWhite)
{
    for (const int extra : {EXTRASAMPLE_UNASSALPHA, EXTRASAMPLE_ASSOCALPHA}) {
        SCOPED_TRACE(extra);
        TiffImage s;
        s.width = 3;
        s.height = 1;
        s.samplesPerPixel = 4;
        s.photometric = PHOTOMETRIC_RGB;
        s.extraSample = extra;
        // Transparent black, opaque black, half-transparent red (premultiplied when associated).
        const std::uint8_t red = extra == EXTRASAMPLE_ASSOCALPHA ? 128 : 255;
        m_rows = {{0, 0, 0, 0, 0, 0, 0, 255, red, 0, 0, 128}};
        WriteTiff(m_dir.File("a.tif"), s, m_rows);
        const std::optional<DibBlock> dib = ReadTiffFile(m_dir.File("a.tif"));
        ASSERT_TRUE(dib);
        EXPECT_EQ(Rgb(*dib, 0, 0), 0xFFFFFFu);
        EXPECT_EQ(Rgb(*dib, 1, 0), 0x000000u);
        const std::uint32_t half = Rgb(*dib, 2, 0);
        EXPECT_EQ(half >> 16, 0xFFu);
        EXPECT_NEAR(static_cast<int>((half >> 8) & 0xFF), 127, 1);
        EXPECT_NEAR(static_cast<int>(half & 0xFF), 127, 1);
    }
}

} // namespace
