#include "image/DibUtil.h"
#include "image/support/TestDibs.h"

#include <gtest/gtest.h>

namespace {

// A 40-byte header whose image size field holds 12345.
std::vector<std::uint8_t> Header(std::int32_t width, std::int32_t height, int bits,
                                 std::uint32_t clrUsed = 0, std::uint32_t compression = 0)
{
    std::vector<std::uint8_t> b =
        testdibs::BmpFile(width, height, bits, compression, {}, {}, clrUsed);
    b.erase(b.begin(), b.begin() + kFileHeaderSize);
    PutLE32(b.data() + 20, 12345);
    return b;
}

TEST(SizeRules, FollowTheDepthAndColoursUsed)
{
    const struct {
        int bits;
        std::uint32_t clrUsed, colours, palette;
        std::uint64_t rowFor13;
    } cases[] = {{1, 0, 2, 8, 4},     {4, 0, 16, 64, 8},       {8, 0, 256, 1024, 16},
                 {8, 17, 17, 68, 16}, {8, 0x10003, 3, 12, 16}, {16, 0, 0, 12, 28},
                 {24, 0, 0, 0, 40},   {24, 5, 5, 0, 40},       {32, 0, 0, 12, 52}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.bits << " bits, " << c.clrUsed << " used");
        std::vector<std::uint8_t> h = Header(13, 3, c.bits, c.clrUsed);
        EXPECT_EQ(DibNumColors(h.data()), c.colours);
        EXPECT_EQ(DibPaletteSize(h.data()), c.palette);
        EXPECT_EQ(DibRowBytes(h.data()), c.rowFor13);
        EXPECT_EQ(FindDibBits(h.data()), h.data() + 40 + c.palette);
        EXPECT_EQ(DibSize(h.data()), 40 + c.palette + 3 * c.rowFor13);
        // Uncompressed: the image size field is normalised by taking the size.
        EXPECT_EQ(GetLE32(h.data() + 20), 3 * c.rowFor13);
    }
    // Run-length data keeps its image size field.
    std::vector<std::uint8_t> rle = Header(13, 3, 8, 0, kBiRle8);
    DibSize(rle.data());
    EXPECT_EQ(GetLE32(rle.data() + 20), 12345u);
}

TEST(SizeRules, RowSizeOfWidestBitmapsDoesNotOverflow)
{
    EXPECT_EQ(DibRowBytes(0x7FFFFFFF, 32), 0x7FFFFFFFull * 4);
    EXPECT_EQ(DibRowBytes(-5, 8), 0u);
    std::vector<std::uint8_t> h = Header(0x7FFFFFFF, 0x7FFFFFFF, 32);
    EXPECT_EQ(DibImageSize(h.data()), 0x7FFFFFFFull * 4 * 0x7FFFFFFFull);
}

TEST(Soundness, AcceptsOnlyBitmapsTheProgramCanWorkOn)
{
    const struct {
        const char* name;
        std::int32_t width, height;
        int bits;
        std::uint32_t compression;
        std::int64_t lengthDelta;
        bool sound;
    } cases[] = {{"exact", 10, 10, 8, 0, 0, true},
                 {"longer", 10, 10, 24, 0, 7, true},
                 {"one short", 10, 10, 24, 0, -1, false},
                 {"compressed", 10, 10, 8, 1, 0, false},
                 {"top-down", 10, -10, 8, 0, 0, false},
                 {"zero width", 0, 10, 8, 0, 0, false},
                 {"side too long", 100001, 1, 1, 0, 0, false},
                 {"pixels over 1 GiB", 100000, 2700, 32, 0, 0, false},
                 {"depth 2", 10, 10, 2, 0, 0, false}};
    for (const auto& c : cases) {
        std::vector<std::uint8_t> h = Header(c.width, c.height, c.bits, 0, c.compression);
        const auto length = static_cast<std::size_t>(
            static_cast<std::int64_t>(std::min<std::uint64_t>(DibSizeOf(h.data()), 1u << 20)) +
            c.lengthDelta);
        h.resize(std::max<std::size_t>(length, 40));
        EXPECT_EQ(IsSoundDib(h.data(), length), c.sound) << c.name;
    }
}

// Rows of every length a step of several pixels can leave a tail of: each pixel turned, and
// nothing written past the row.
TEST(RgbRows, TurnEveryPixelAndStopAtTheRowsEnd)
{
    for (std::size_t pixels = 0; pixels <= 21; ++pixels) {
        SCOPED_TRACE(pixels);
        std::vector<std::uint8_t> rgb(3 * pixels);
        for (std::size_t i = 0; i < rgb.size(); ++i)
            rgb[i] = static_cast<std::uint8_t>(i + 1);
        std::vector<std::uint8_t> bgr(3 * pixels + 16, 0xEE);
        RgbToBgr(rgb.data(), bgr.data(), pixels);
        for (std::size_t p = 0; p < pixels; ++p)
            for (std::size_t c = 0; c < 3; ++c)
                ASSERT_EQ(bgr[3 * p + c], rgb[3 * p + 2 - c]) << "pixel " << p;
        for (std::size_t i = 3 * pixels; i < bgr.size(); ++i)
            ASSERT_EQ(bgr[i], 0xEE) << "byte " << i;
    }
}

} // namespace
