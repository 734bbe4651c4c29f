#include "image/DibUtil.h"

#include <gtest/gtest.h>

namespace {

std::vector<std::uint8_t> Header(std::int32_t width, std::int32_t height, int bits,
                                 std::uint32_t clrUsed = 0, std::uint32_t compression = 0)
{
    BitmapInfoHeader h;
    h.width = width;
    h.height = height;
    h.bitCount = static_cast<std::uint16_t>(bits);
    h.clrUsed = clrUsed;
    h.compression = compression;
    h.sizeImage = 12345;
    std::vector<std::uint8_t> b(40);
    h.Write(b.data());
    return b;
}

struct SizeCase {
    int bits;
    std::uint32_t clrUsed;
    std::uint32_t colours;
    std::uint32_t palette;
    std::uint64_t rowFor13;
};

class SizeRules : public ::testing::TestWithParam<SizeCase> {};

TEST_P(SizeRules, FollowTheDepthAndColoursUsed)
{
    const SizeCase& c = GetParam();
    std::vector<std::uint8_t> h = Header(13, 3, c.bits, c.clrUsed);
    EXPECT_EQ(DibNumColors(h.data()), c.colours);
    EXPECT_EQ(DibPaletteSize(h.data()), c.palette);
    EXPECT_EQ(DibRowBytes(h.data()), c.rowFor13);
    EXPECT_EQ(DibImageSize(h.data()), 3 * c.rowFor13);
    EXPECT_EQ(FindDibBits(h.data()), h.data() + 40 + c.palette);
    EXPECT_EQ(DibSize(h.data()), 40 + c.palette + 3 * c.rowFor13);
    // Compression 0: the image size field is normalised by taking the size.
    EXPECT_EQ(GetLE32(h.data() + 20), 3 * c.rowFor13);
}

INSTANTIATE_TEST_SUITE_P(Depths, SizeRules,
                         ::testing::Values(SizeCase{1, 0, 2, 8, 4}, SizeCase{4, 0, 16, 64, 8},
                                           SizeCase{8, 0, 256, 1024, 16},
                                           SizeCase{8, 17, 17, 68, 16},
                                           SizeCase{8, 0x10003, 3, 12, 16},
                                           SizeCase{16, 0, 0, 12, 28}, SizeCase{24, 0, 0, 0, 40},
                                           SizeCase{24, 5, 5, 0, 40}, SizeCase{32, 0, 0, 12, 52}));

TEST(SizeRulesCompressed, ImageSizeFieldStaysForRunLengthData)
{
    std::vector<std::uint8_t> h = Header(13, 3, 8, 0, kBiRle8);
    DibSize(h.data());
    EXPECT_EQ(GetLE32(h.data() + 20), 12345u);
}

TEST(SizeRulesLimits, RowSizeOfWidestBitmapsDoesNotOverflow)
{
    EXPECT_EQ(DibRowBytes(100000, 32), 400000u);
    EXPECT_EQ(DibRowBytes(0x7FFFFFFF, 32), 0x7FFFFFFFull * 4);
    EXPECT_EQ(DibRowBytes(-5, 8), 0u);
    std::vector<std::uint8_t> h = Header(0x7FFFFFFF, 0x7FFFFFFF, 32);
    EXPECT_EQ(DibImageSize(h.data()), 0x7FFFFFFFull * 4 * 0x7FFFFFFFull);
}

struct SoundCase {
    const char* name;
    std::int32_t width;
    std::int32_t height;
    int bits;
    std::uint32_t compression;
    std::int64_t lengthDelta;
    bool sound;
};

class Soundness : public ::testing::TestWithParam<SoundCase> {};

TEST_P(Soundness, AcceptsOnlyBitmapsTheProgramCanWorkOn)
{
    const SoundCase& c = GetParam();
    std::vector<std::uint8_t> h = Header(c.width, c.height, c.bits, 0, c.compression);
    const std::uint64_t size = DibSizeOf(h.data());
    const std::uint64_t length = static_cast<std::uint64_t>(
        static_cast<std::int64_t>(std::min<std::uint64_t>(size, 1u << 20)) + c.lengthDelta);
    std::vector<std::uint8_t> block(static_cast<std::size_t>(std::max<std::uint64_t>(length, 40)));
    std::copy(h.begin(), h.end(), block.begin());
    EXPECT_EQ(IsSoundDib(block.data(), static_cast<std::size_t>(length)), c.sound);
}

INSTANTIATE_TEST_SUITE_P(Cases, Soundness,
                         ::testing::Values(SoundCase{"Exact", 10, 10, 8, 0, 0, true},
                                           SoundCase{"Longer", 10, 10, 24, 0, 7, true},
                                           SoundCase{"OneShort", 10, 10, 24, 0, -1, false},
                                           SoundCase{"Compressed", 10, 10, 8, 1, 0, false},
                                           SoundCase{"TopDown", 10, -10, 8, 0, 0, false},
                                           SoundCase{"ZeroWidth", 0, 10, 8, 0, 0, false},
                                           SoundCase{"SideTooLong", 100001, 1, 1, 0, 0, false},
                                           SoundCase{"PixelsOverOneGiB", 100000, 2700, 32, 0, 0,
                                                     false},
                                           SoundCase{"BadDepth", 10, 10, 2, 0, 0, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(MakeDib, BuildsZeroFilledBlocksWithTheTableAndRefusesBadSizes)
{
    BitmapInfoHeader like;
    like.bitCount = 4;
    like.clrUsed = 3;
    like.xPelsPerMeter = 99;
    const std::uint8_t table[12] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    const std::optional<DibBlock> dib = MakeDib(like, 5, 2, table);
    ASSERT_TRUE(dib);
    ASSERT_EQ(dib->size(), 40u + 12u + 8u);
    EXPECT_TRUE(IsSoundDib(dib->data(), dib->size()));
    EXPECT_EQ(BitmapInfoHeader::Read(dib->data()).xPelsPerMeter, 99);
    EXPECT_EQ((*dib)[40 + 11], 12);
    EXPECT_EQ((*dib)[59], 0);
    EXPECT_FALSE(MakeDib(like, 0, 2, table));
    EXPECT_FALSE(MakeDib(like, 5, 100001, table));
    like.bitCount = 3;
    EXPECT_FALSE(MakeDib(like, 5, 2, table));
}

} // namespace
