#include "image/BmpFile.h"
#include "image/CDib.h"
#include "image/support/TestDibs.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

using testdibs::BitFieldsBody;
using testdibs::BmpFile;
using testdibs::CoreBody;
using testdibs::Make;

namespace {

std::uint32_t DefaultOffset(const DibBlock& dib)
{
    return kFileHeaderSize + kInfoHeaderSize + DibPaletteSize(dib.data());
}

class BmpRoundTrip : public ::testing::TestWithParam<int> {
protected:
    TempDir m_dir;
};

TEST_P(BmpRoundTrip, WriteThenReadGivesTheSameDibByteForByte)
{
    // Widths chosen so that rows need padding at every depth.
    const DibBlock dib = Make(13, 7, GetParam());
    const std::string path = m_dir.File("a.bmp");
    ASSERT_TRUE(WriteBmpFile(path, dib.data(), dib.size()));
    const std::vector<std::uint8_t> file = testdibs::ReadFile(path);
    ASSERT_EQ(file.size(), dib.size() + kFileHeaderSize);
    EXPECT_EQ(GetLE32(file.data() + 2), file.size());
    EXPECT_EQ(GetLE32(file.data() + 10), DefaultOffset(dib));

    const std::optional<DibBlock> back = ReadBmpFile(path);
    ASSERT_TRUE(back);
    EXPECT_EQ(*back, dib);
}

TEST_P(BmpRoundTrip, GapBetweenTableAndPixelsIsSkipped)
{
    const DibBlock dib = Make(5, 3, GetParam());
    std::vector<std::uint8_t> body = dib;
    const std::size_t start = kInfoHeaderSize + DibPaletteSize(dib.data());
    body.insert(body.begin() + static_cast<std::ptrdiff_t>(start), 20, 0xEE);
    const std::string path = m_dir.File("gap.bmp");
    testdibs::WriteFile(path, BmpFile(body, DefaultOffset(dib) + 20));
    const std::optional<DibBlock> back = ReadBmpFile(path);
    ASSERT_TRUE(back);
    EXPECT_EQ(*back, dib);
}

TEST_P(BmpRoundTrip, TopDownRowsBecomeBottomUp)
{
    const DibBlock dib = Make(6, 5, GetParam());
    const std::uint64_t rowBytes = DibRowBytes(dib.data());
    std::vector<std::uint8_t> body(dib.begin(), dib.begin() + DefaultOffset(dib) - kFileHeaderSize);
    PutLE32(body.data() + 8, static_cast<std::uint32_t>(-5));
    const std::uint8_t* bits = FindDibBits(dib.data());
    for (int r = 4; r >= 0; --r)
        body.insert(body.end(), bits + r * rowBytes, bits + (r + 1) * rowBytes);
    const std::string path = m_dir.File("topdown.bmp");
    testdibs::WriteFile(path, BmpFile(body, DefaultOffset(dib)));
    const std::optional<DibBlock> back = ReadBmpFile(path);
    ASSERT_TRUE(back);
    EXPECT_EQ(*back, dib);
}

TEST_P(BmpRoundTrip, TruncatedPixelsFail)
{
    const DibBlock dib = Make(9, 4, GetParam());
    std::vector<std::uint8_t> file = BmpFile(dib, DefaultOffset(dib));
    file.pop_back();
    const std::string path = m_dir.File("short.bmp");
    testdibs::WriteFile(path, file);
    EXPECT_FALSE(ReadBmpFile(path));
}

INSTANTIATE_TEST_SUITE_P(EveryDepth, BmpRoundTrip, ::testing::Values(1, 4, 8, 16, 24, 32));

class BmpReader : public ::testing::Test {
protected:
    std::optional<DibBlock> ReadBytes(const std::vector<std::uint8_t>& file)
    {
        const std::string path = m_dir.File("x.bmp");
        testdibs::WriteFile(path, file);
        return ReadBmpFile(path);
    }
    TempDir m_dir;
};

TEST_F(BmpReader, SixteenAndThirtyTwoBitsWithoutMasksReadThePixelsAtTheOffset)
{
    for (int bits : {16, 32}) {
        const DibBlock dib = Make(7, 3, bits);
        // The file has no mask bytes: header then pixels directly.
        std::vector<std::uint8_t> body(dib.size() - 12);
        std::memcpy(body.data(), dib.data(), kInfoHeaderSize);
        std::memcpy(body.data() + kInfoHeaderSize, dib.data() + kInfoHeaderSize + 12,
                    dib.size() - kInfoHeaderSize - 12);
        const std::optional<DibBlock> back =
            ReadBytes(BmpFile(body, kFileHeaderSize + kInfoHeaderSize));
        ASSERT_TRUE(back) << bits;
        ASSERT_EQ(back->size(), dib.size()) << bits;
        // Same pixels; the 12 mask bytes in memory are zero.
        EXPECT_TRUE(std::equal(back->begin() + kInfoHeaderSize + 12, back->end(),
                               dib.begin() + kInfoHeaderSize + 12))
            << bits;
        EXPECT_EQ(GetLE32(back->data() + 40) | GetLE32(back->data() + 44) |
                      GetLE32(back->data() + 48),
                  0u);
    }
}

TEST_F(BmpReader, FileHeadersThatLieFail)
{
    const DibBlock dib = Make(4, 4, 8);
    EXPECT_FALSE(
        ReadBytes(BmpFile(dib, kFileHeaderSize + kInfoHeaderSize + 100))); // into the table
    EXPECT_FALSE(ReadBytes(BmpFile(dib, 0xFFFFFFF0u)));                    // past the end
    std::vector<std::uint8_t> file = BmpFile(dib, DefaultOffset(dib));
    ASSERT_TRUE(ReadBytes(file));
    file[0] = 'X';
    EXPECT_FALSE(ReadBytes(file));
    EXPECT_FALSE(ReadBytes({'B', 'M', 0, 0}));
    EXPECT_FALSE(ReadBytes({}));
    EXPECT_FALSE(ReadBmpFile(m_dir.File("missing.bmp")));
}

TEST_F(BmpReader, VersionFourAndFiveHeadersFail)
{
    for (std::uint32_t size : {108u, 124u}) {
        DibBlock dib = Make(4, 4, 24);
        std::vector<std::uint8_t> body(dib.begin(), dib.begin() + kInfoHeaderSize);
        PutLE32(body.data(), size);
        body.resize(size, 0);
        body.insert(body.end(), dib.begin() + kInfoHeaderSize, dib.end());
        EXPECT_FALSE(ReadBytes(BmpFile(body, kFileHeaderSize + size))) << size;
    }
}

// Headers that lie about the bitmap are refused before anything is allocated for them.
struct LyingHeader {
    const char* name;
    std::int32_t width;
    std::int32_t height;
    std::uint16_t bitCount;
    std::uint32_t compression;
};

class BmpLyingHeader : public BmpReader, public ::testing::WithParamInterface<LyingHeader> {};

TEST_P(BmpLyingHeader, Fails)
{
    const LyingHeader& c = GetParam();
    DibBlock dib = Make(8, 8, 8);
    PutLE32(dib.data() + 4, static_cast<std::uint32_t>(c.width));
    PutLE32(dib.data() + 8, static_cast<std::uint32_t>(c.height));
    PutLE16(dib.data() + 14, c.bitCount);
    PutLE32(dib.data() + 16, c.compression);
    EXPECT_FALSE(ReadBytes(BmpFile(dib, kFileHeaderSize + kInfoHeaderSize + 1024)));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BmpLyingHeader,
    ::testing::Values(
        LyingHeader{"ZeroWidth", 0, 8, 8, 0}, LyingHeader{"NegativeWidth", -8, 8, 8, 0},
        LyingHeader{"ZeroHeight", 8, 0, 8, 0}, LyingHeader{"MinimalHeight", 8, INT32_MIN, 8, 0},
        LyingHeader{"HugeWidth", 100001, 8, 8, 0}, LyingHeader{"HugeSides", 100000, 100000, 32, 0},
        LyingHeader{"LargerThanFile", 2000, 2000, 8, 0}, LyingHeader{"OddDepth", 8, 8, 7, 0},
        LyingHeader{"Depth2", 8, 8, 2, 0}, LyingHeader{"UnknownCompression", 8, 8, 8, 4},
        LyingHeader{"RleWrongDepth", 8, 8, 24, 1}, LyingHeader{"BitFieldsWrongDepth", 8, 8, 8, 3}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(BmpReader, CoreHeaderWithTwoColoursBecomesAnInfoHeader)
{
    // 10 x 2 pixels, 1 bit: rows of 4 bytes.
    const std::vector<std::uint8_t> pixels = {0xAA, 0xC0, 0, 0, 0x55, 0x40, 0, 0};
    const std::vector<std::uint8_t> body = CoreBody(10, 2, 1, {1, 2, 3, 250, 251, 252}, pixels);
    const std::optional<DibBlock> dib = ReadBytes(BmpFile(body, kFileHeaderSize + 18));
    ASSERT_TRUE(dib);
    ASSERT_EQ(dib->size(), 40u + 8u + 8u);
    // size 40, 10 x 2, one plane of 1 bit, uncompressed, 8 pixel bytes, 2 colours used and
    // important, then the table widened to 4-byte entries and the pixels.
    const std::uint8_t expect[56] = {40, 0, 0,   0,   10,  0, 0,    0,    2, 0, 0,    0,    1, 0,
                                     1,  0, 0,   0,   0,   0, 8,    0,    0, 0, 0,    0,    0, 0,
                                     0,  0, 0,   0,   2,   0, 0,    0,    2, 0, 0,    0,    1, 2,
                                     3,  0, 250, 251, 252, 0, 0xAA, 0xC0, 0, 0, 0x55, 0x40, 0, 0};
    EXPECT_EQ(0, std::memcmp(dib->data(), expect, 56));
}

TEST_F(BmpReader, CoreHeaderWithTruncatedTableFails)
{
    const std::vector<std::uint8_t> body = CoreBody(4, 4, 8, std::vector<std::uint8_t>(100), {});
    EXPECT_FALSE(ReadBytes(BmpFile(body, kFileHeaderSize + 12 + 768)));
}

// Bit-field bitmaps are decoded into 32 bits per pixel.
TEST_F(BmpReader, BitFields565DecodeToThirtyTwoBits)
{
    // top-down; top row: red, green, blue; bottom row: white, black, mid grey-ish (0x8410)
    const std::optional<DibBlock> dib =
        ReadBytes(BmpFile(BitFieldsBody(3, -2, 16, {0xF800, 0x07E0, 0x001F},
                                        {0x00, 0xF8, 0xE0, 0x07, 0x1F, 0x00, 0, 0, 0xFF, 0xFF, 0, 0,
                                         0x10, 0x84, 0, 0}),
                          kFileHeaderSize + 52));
    ASSERT_TRUE(dib);
    const BitmapInfoHeader out = BitmapInfoHeader::Read(dib->data());
    EXPECT_EQ(out.bitCount, 32);
    EXPECT_EQ(out.height, 2);
    EXPECT_EQ(out.compression, 0u);
    ASSERT_EQ(dib->size(), 40u + 12u + 3u * 4u * 2u);
    const std::uint32_t expect[2][3] = {{0x00FF0000u, 0x0000FF00u, 0x000000FFu},
                                        {0x00FFFFFFu, 0u, 0x00848284u}};
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(testdibs::Get(dib->data(), x, y), expect[y][x]) << x << "," << y;
}

TEST_F(BmpReader, BitFieldsThirtyTwoWithSwappedMasks)
{
    // red in the low byte
    const std::optional<DibBlock> dib = ReadBytes(BmpFile(
        BitFieldsBody(1, 1, 32, {0x000000FF, 0x0000FF00, 0x00FF0000}, {0x11, 0x22, 0x33, 0}),
        kFileHeaderSize + 52));
    ASSERT_TRUE(dib);
    EXPECT_EQ(testdibs::Get(dib->data(), 0, 0), 0x00112233u);
}

TEST_F(BmpReader, BitFieldsWithoutMaskBytesFail)
{
    EXPECT_FALSE(
        ReadBytes(BmpFile(BitFieldsBody(1, 1, 32, {}, {0, 0, 0, 0}), kFileHeaderSize + 40)));
}

TEST_F(BmpReader, FileWithBitmapContentLoadsWhateverItsExtension)
{
    const DibBlock dib = Make(3, 3, 24);
    const std::string path = m_dir.File("picture.tif");
    ASSERT_TRUE(WriteBmpFile(path, dib.data(), dib.size()));
    CDib image;
    ASSERT_TRUE(image.LoadFile(path));
    EXPECT_EQ(image.GetFormat(), CDib::kFormatBmp);
    EXPECT_EQ(image.Block(), dib);
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
    const std::vector<std::uint8_t> file = testdibs::ReadFile(dir.File("a.bmp"));
    EXPECT_EQ(GetLE32(file.data() + kFileHeaderSize + 20), 12u);
}

} // namespace
