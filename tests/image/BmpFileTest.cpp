#include "image/BmpFile.h"
#include "image/CDib.h"
#include "image/support/TestDibs.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

using namespace testdibs;

namespace {

std::uint32_t PixelOffset(const DibBlock& dib)
{
    return kFileHeaderSize + kInfoHeaderSize + DibPaletteSize(dib.data());
}

class BmpReader : public ::testing::Test {
protected:
    // The file read from disk; reading it from memory must give the same.
    std::optional<DibBlock> Read(const Bytes& file)
    {
        WriteFile(m_dir.File("x.bmp"), file);
        std::optional<DibBlock> dib = ReadBmpFile(m_dir.File("x.bmp"));
        EXPECT_EQ(dib, ReadBmpMemory(file.data(), file.size()));
        return dib;
    }
    TempDir m_dir;
};

class BmpDepth : public BmpReader, public ::testing::WithParamInterface<int> {};

// 13 pixels wide: rows need padding at every depth.
TEST_P(BmpDepth, FilesRoundTripAndStoredVariantsGiveTheSameDib)
{
    const DibBlock dib = Make(13, 7, GetParam());
    const std::uint32_t offset = PixelOffset(dib);
    const std::string path = m_dir.File("a.bmp");
    ASSERT_TRUE(WriteBmpFile(path, dib.data(), dib.size()));
    EXPECT_EQ(ReadFile(path), Wrap(dib, offset));
    EXPECT_EQ(ReadBmpFile(path), dib);
    // A gap between the table and the pixels is skipped.
    Bytes gap = dib;
    gap.insert(gap.begin() + (offset - kFileHeaderSize), 20, 0xEE);
    EXPECT_EQ(Read(Wrap(gap, offset + 20)), dib);
    // Top-down rows become bottom-up.
    Bytes topDown(dib.begin(), dib.begin() + (offset - kFileHeaderSize));
    PutLE32(topDown.data() + 8, static_cast<std::uint32_t>(-7));
    const std::uint64_t row = DibRowBytes(dib.data());
    for (int r = 6; r >= 0; --r)
        topDown.insert(topDown.end(), FindDibBits(dib.data()) + r * row,
                       FindDibBits(dib.data()) + (r + 1) * row);
    EXPECT_EQ(Read(Wrap(topDown, offset)), dib);
    // Packed, as a scanner hands it over, in either row order (such a block has masks only
    // with bit fields, so the program's 16- and 32-bit layout is not one of them top-down).
    EXPECT_EQ(ReadPackedDib(dib.data(), dib.size()), dib);
    if (GetParam() != 16 && GetParam() != 32)
        EXPECT_EQ(ReadPackedDib(topDown.data(), topDown.size()), dib);
    // One pixel byte short.
    Bytes cut = Wrap(dib, offset);
    cut.pop_back();
    EXPECT_FALSE(Read(cut));
}

INSTANTIATE_TEST_SUITE_P(EveryDepth, BmpDepth, ::testing::Values(1, 4, 8, 16, 24, 32));

TEST_F(BmpReader, SixteenAndThirtyTwoBitsWithoutMaskBytesGetZeroMasks)
{
    for (int bits : {16, 32}) {
        const DibBlock dib = Make(7, 3, bits);
        Bytes body(dib.begin(), dib.begin() + kInfoHeaderSize);
        body.insert(body.end(), dib.begin() + kInfoHeaderSize + 12, dib.end());
        DibBlock expect = dib;
        std::fill_n(expect.begin() + kInfoHeaderSize, 12, 0);
        EXPECT_EQ(Read(Wrap(body, kFileHeaderSize + kInfoHeaderSize)), expect) << bits;
    }
}

TEST_F(BmpReader, CoreHeaderBecomesAnInfoHeaderWithAWidenedTable)
{
    // 10 x 2 pixels, 1 bit: rows of 4 bytes.
    const Bytes body = {12, 0, 0,   0,   10,  0,    2,    0, 1, 0,    1,    0, 1,
                        2,  3, 250, 251, 252, 0xAA, 0xC0, 0, 0, 0x55, 0x40, 0, 0};
    const Bytes expect = {40, 0, 0,   0,   10,  0, 0,    0,    2, 0, 0,    0,    1, 0,
                          1,  0, 0,   0,   0,   0, 8,    0,    0, 0, 0,    0,    0, 0,
                          0,  0, 0,   0,   2,   0, 0,    0,    2, 0, 0,    0,    1, 2,
                          3,  0, 250, 251, 252, 0, 0xAA, 0xC0, 0, 0, 0x55, 0x40, 0, 0};
    EXPECT_EQ(Read(Wrap(body, kFileHeaderSize + 18)), expect);
}

// Bit-field bitmaps are decoded into 32 bits per pixel, each channel scaled to 8 bits.
TEST_F(BmpReader, BitFieldsDecodeToThirtyTwoBits)
{
    Bytes masks(12);
    for (std::uint32_t i = 0; const std::uint32_t m : {0xF800u, 0x07E0u, 0x001Fu})
        PutLE32(masks.data() + 4 * i++, m);
    // top-down; top row: red, green, blue; bottom row: white, black, 0x8410
    const std::optional<DibBlock> dib = Read(
        BmpFile(3, -2, 16, kBiBitFields, masks,
                {0x00, 0xF8, 0xE0, 0x07, 0x1F, 0x00, 0, 0, 0xFF, 0xFF, 0, 0, 0x10, 0x84, 0, 0}));
    ASSERT_TRUE(dib);
    const BitmapInfoHeader out = BitmapInfoHeader::Read(dib->data());
    EXPECT_EQ(out.bitCount, 32);
    EXPECT_EQ(out.height, 2);
    EXPECT_EQ(out.compression, kBiRgb);
    ASSERT_EQ(dib->size(), 40u + 12u + 3u * 4u * 2u);
    const std::uint32_t expect[2][3] = {{0xFF0000u, 0x00FF00u, 0x0000FFu},
                                        {0xFFFFFFu, 0u, 0x848284u}};
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(Get(dib->data(), x, y), expect[y][x]) << x << "," << y;
    // 32 bits with red in the low byte.
    for (std::uint32_t i = 0; const std::uint32_t m : {0x0000FFu, 0x00FF00u, 0xFF0000u})
        PutLE32(masks.data() + 4 * i++, m);
    const std::optional<DibBlock> swapped =
        Read(BmpFile(1, 1, 32, kBiBitFields, masks, {0x11, 0x22, 0x33, 0}));
    ASSERT_TRUE(swapped);
    EXPECT_EQ(Get(swapped->data(), 0, 0), 0x112233u);
}

// Run-length data: runs, absolute runs (padded to whole words), deltas, line and bitmap ends.
TEST_F(BmpReader, RunLengthDataExpandsIntoTheTableAndPixels)
{
    // 6 x 3: row 0 (bottom) = 5 5 5 1 2 3; a delta to (2, 2); row 2 = 0 0 9 9; a line end
    // after the last row and a trailing bitmap end.
    const std::optional<DibBlock> dib8 = Read(BmpFile(
        6, 3, 8, kBiRle8, Grey(256), {3, 5, 0, 3, 1, 2, 3, 0, 0, 0, 0, 2, 2, 1, 2, 9, 0, 0, 0, 1}));
    ASSERT_TRUE(dib8);
    ASSERT_EQ(dib8->size(), 40u + 1024u + 8u * 3u);
    EXPECT_EQ(GetLE32(dib8->data() + 16), kBiRgb);
    EXPECT_EQ(GetLE32(dib8->data() + 20), 24u);
    EXPECT_EQ((*dib8)[40 + 4 * 200], Grey(256)[4 * 200]);
    const Bytes pixels8 = {5, 5, 5, 1, 2, 3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 9, 9, 0, 0, 0, 0};
    EXPECT_TRUE(std::equal(pixels8.begin(), pixels8.end(), FindDibBits(dib8->data())));

    // 5 x 3 at 4 bits with three colours: a run of 5; an absolute run of 5 (three bytes and
    // a padding byte); one of 4 (two bytes, no padding); the bitmap end.
    const std::optional<DibBlock> dib4 = Read(
        BmpFile(5, 3, 4, kBiRle4, Grey(3),
                {5, 0x12, 0, 0, 0, 5, 0x34, 0x56, 0x70, 0xEE, 0, 0, 0, 4, 0x98, 0x76, 0, 1}, 3));
    ASSERT_TRUE(dib4);
    ASSERT_EQ(dib4->size(), 40u + 12u + 4u * 3u);
    const Bytes pixels4 = {0x12, 0x12, 0x10, 0, 0x34, 0x56, 0x70, 0, 0x98, 0x76, 0, 0};
    EXPECT_TRUE(std::equal(pixels4.begin(), pixels4.end(), FindDibBits(dib4->data())));
}

// Deltas skip pixels in 4-bit data as in 8-bit data, and whatever pads the data after the
// end-of-bitmap escape up to its declared size is ignored.
TEST_F(BmpReader, RunLengthDeltasAndPaddingAfterTheEndInBothDepths)
{
    struct Case {
        int bits;
        Bytes data;
        Bytes pixels; // the 4 x 3 picture's rows, bottom first
    };
    const Case cases[] = {
        // 8 bits: row 0 = 1 1; padding 4 4 after the end.
        {8, {2, 1, 0, 1, 4, 4}, {1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
        // 4 bits: row 0 = 1 2, a delta from (2, 0) to (3, 1) and a 1 there; padding after the end.
        {4, {2, 0x12, 0, 2, 1, 1, 1, 0x10, 0, 1, 0, 0}, {0x12, 0, 0, 0, 0, 0x01, 0, 0, 0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bits);
        const Bytes file =
            BmpFile(4, 3, c.bits, c.bits == 8 ? kBiRle8 : kBiRle4, Grey(2), c.data, 2);
        const std::optional<DibBlock> dib = Read(file);
        ASSERT_TRUE(dib);
        EXPECT_EQ(ReadPackedDib(file.data() + kFileHeaderSize, file.size() - kFileHeaderSize), dib);
        EXPECT_TRUE(std::equal(c.pixels.begin(), c.pixels.end(), FindDibBits(dib->data())));
    }
}

// Files that lie about their bitmap are refused.
struct Refused {
    const char* name;
    Bytes file;
};

class BmpRefused : public BmpReader, public ::testing::WithParamInterface<Refused> {};

TEST_P(BmpRefused, Fails)
{
    EXPECT_FALSE(Read(GetParam().file));
}

// The file with the 32-bit field at byte `at` set.
Bytes Edit(Bytes file, std::size_t at, std::uint32_t value)
{
    PutLE32(file.data() + at, value);
    return file;
}

std::vector<Refused> RefusedFiles()
{
    const DibBlock pal = Make(8, 8, 8);
    const Bytes sound = Wrap(pal, PixelOffset(pal));
    const auto rle = [](int bits, const Bytes& data) {
        return BmpFile(4, 2, bits, bits == 8 ? kBiRle8 : kBiRle4, Grey(2), data, 2);
    };
    const DibBlock rgb = Make(4, 4, 24);
    Bytes v4(rgb.begin(), rgb.begin() + kInfoHeaderSize);
    v4.resize(108, 0);
    v4.insert(v4.end(), rgb.begin() + kInfoHeaderSize, rgb.end());
    // 8 bits need 256 three-byte entries before the pixels
    Bytes core = {12, 0, 0, 0, 4, 0, 4, 0, 1, 0, 8, 0};
    core.resize(12 + 100 + 16);
    const std::uint32_t minus = 0xFFFFFFFFu; // -1
    return {
        {"WrongType", Edit(sound, 0, 'X')},
        {"FileHeaderOnly", {'B', 'M', 0, 0}},
        {"Empty", {}},
        {"PixelOffsetInTheTable", Edit(sound, 10, kFileHeaderSize + kInfoHeaderSize + 100)},
        {"PixelOffsetPastTheEnd", Edit(sound, 10, 0xFFFFFFF0u)},
        {"PixelOffsetInTheHeader", Edit(BmpFile(2, 2, 32, 0, {}, Bytes(16)), 10, 30)},
        {"VersionFourHeader", Edit(Wrap(v4, kFileHeaderSize + 108), 14, 108)},
        {"CoreHeaderTableCut", Wrap(core, kFileHeaderSize + 12 + 100)},
        {"BitFieldsWithoutMasks", BmpFile(1, 1, 32, kBiBitFields, {}, {0, 0, 0, 0})},
        {"NegativeWidth", Edit(sound, 18, minus - 7)},
        {"WidthAboveTheBound", Edit(sound, 18, 100001)},
        {"ZeroHeight", Edit(sound, 22, 0)},
        {"MinimalHeight", Edit(sound, 22, 0x80000000u)},
        {"SidesLargerThanTheFile", Edit(sound, 18, 100000)},
        {"Depth2", Edit(sound, 26, 0x00020001u)}, // one plane of 2 bits
        {"UnknownCompression", Edit(sound, 30, 4)},
        {"BitFieldsAt8Bits", Edit(sound, 30, kBiBitFields)},
        {"RunLengthAt24Bits", BmpFile(4, 2, 24, kBiRle8, {}, {4, 1, 0, 0, 4, 1, 0, 1})},
        // run-length data that ends early, runs on past its end or off the pixel area
        {"Rle8EndsEarly", rle(8, {2, 1})},
        {"Rle8RunOffTheImage", rle(8, {255, 1, 255, 1, 0, 1})},
        {"Rle8DeltaThenRun", rle(8, {0, 2, 255, 1, 5, 5, 0, 1})},
        {"Rle8DeltaPastInput", rle(8, {0, 2, 1})},
        {"Rle8AbsoluteOffTheImage", rle(8, {0, 2, 3, 1, 0, 7, 1, 2, 3, 4, 5, 6, 7, 0, 0, 1})},
        {"Rle8AbsolutePastInput", rle(8, {0, 9, 1, 2})},
        {"Rle4EndsEarly", rle(4, {2, 0x12})},
        {"Rle4RunOffTheImage", rle(4, {255, 0x11, 0, 1})},
        {"Rle4AbsolutePastInput", rle(4, {0, 8, 0x12, 0x34})},
        {"RleTopDown", Edit(rle(8, {2, 1, 0, 0, 2, 1, 0, 1}), 22, minus - 1)},
        {"RleSizeLargerThanTheFile", Edit(rle(8, {2, 1, 0, 0, 2, 1, 0, 1}), 34, 5000)},
    };
}

INSTANTIATE_TEST_SUITE_P(Cases, BmpRefused, ::testing::ValuesIn(RefusedFiles()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(BmpReader, MissingFilesFailAndBitmapContentLoadsWhateverItsName)
{
    EXPECT_FALSE(ReadBmpFile(m_dir.File("missing.bmp")));
    const DibBlock dib = Make(3, 3, 24);
    const std::string path = m_dir.File("picture.tif");
    ASSERT_TRUE(WriteBmpFile(path, dib.data(), dib.size()));
    CDib image;
    ASSERT_TRUE(image.LoadFile(path));
    EXPECT_EQ(image.GetFormat(), CDib::kFormatBmp);
    EXPECT_EQ(image.Block(), dib);
    // Only bitmaps are written as files; a missing file leaves no image.
    EXPECT_FALSE(image.SaveFile(m_dir.File("a.kvz"), CDib::kFormatCompressed));
    EXPECT_FALSE(std::filesystem::exists(m_dir.File("a.kvz")));
    ASSERT_TRUE(image.SaveFile(m_dir.File("a.bmp"), CDib::kFormatBmp));
    EXPECT_EQ(ReadBmpFile(m_dir.File("a.bmp")), dib);
    EXPECT_FALSE(image.LoadFile(m_dir.File("missing.bmp")));
    EXPECT_TRUE(image.IsEmpty());
}

TEST(BmpWriter, RefusesUnsoundBlocksAndNormalisesTheImageSizeField)
{
    TempDir dir;
    DibBlock dib = Make(3, 3, 8);
    EXPECT_FALSE(WriteBmpFile(dir.File("no/such/folder/a.bmp"), dib.data(), dib.size()));
    EXPECT_FALSE(WriteBmpFile(dir.File("short.bmp"), dib.data(), dib.size() - 1));
    EXPECT_FALSE(std::filesystem::exists(dir.File("short.bmp")));
    PutLE32(dib.data() + 20, 0);
    ASSERT_TRUE(WriteBmpFile(dir.File("a.bmp"), dib.data(), dib.size()));
    EXPECT_EQ(GetLE32(ReadFile(dir.File("a.bmp")).data() + kFileHeaderSize + 20), 12u);
}

} // namespace
