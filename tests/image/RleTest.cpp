#include "image/BmpFile.h"
#include "image/support/TestDibs.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

using testdibs::RleBody;

std::optional<DibBlock> Expand(const std::vector<std::uint8_t>& body)
{
    const std::size_t bits = kInfoHeaderSize + 4 * DibNumColors(body.data());
    return GetLE16(body.data() + 14) == 8 ? ExpandRle8(body.data(), body.size(), bits)
                                          : ExpandRle4(body.data(), body.size(), bits);
}

TEST(Rle8, ExpandsRunsAbsoluteRunsAndDeltasWithAFullTable)
{
    // 6 x 3: row 0 (bottom) = 5 5 5 1 2 3; row 1 skipped by a delta to (2, 2); row 2 = 0 0 9 9
    const std::vector<std::uint8_t> data = {3, 5, 0, 3, 1, 2, 3, 0, 0, 0, 0, 2, 2, 1, 2, 9, 0, 1};
    const std::optional<DibBlock> dib = Expand(RleBody(6, 3, 8, data));
    ASSERT_TRUE(dib);
    // 256-entry table copied and the pixels after it.
    ASSERT_EQ(dib->size(), 40u + 1024u + 8u * 3u);
    EXPECT_EQ(GetLE32(dib->data() + 16), 0u);
    EXPECT_EQ(GetLE32(dib->data() + 20), 24u);
    EXPECT_EQ((*dib)[40 + 4 * 200], 200);
    const std::uint8_t* bits = FindDibBits(dib->data());
    const std::uint8_t expect[24] = {5, 5, 5, 1, 2, 3, 0, 0, 0, 0, 0, 0,
                                     0, 0, 0, 0, 0, 0, 9, 9, 0, 0, 0, 0};
    EXPECT_EQ(0, std::memcmp(bits, expect, 24));
}

TEST(Rle8, ColoursUsedSetsTheTableLength)
{
    const std::vector<std::uint8_t> data = {2, 1, 0, 1};
    const std::optional<DibBlock> dib = Expand(RleBody(2, 1, 8, data, 3));
    ASSERT_TRUE(dib);
    EXPECT_EQ(dib->size(), 40u + 12u + 4u);
}

TEST(Rle8, TrailingEndOfBitmapAfterTheLastRowIsAccepted)
{
    const std::vector<std::uint8_t> data = {2, 7, 0, 0, 0, 1};
    EXPECT_TRUE(Expand(RleBody(2, 1, 8, data)));
}

struct BadRle {
    const char* name;
    int bitCount;
    std::vector<std::uint8_t> data;
    std::size_t headerField = 0; // a header field set to headerValue (0: none)
    std::uint32_t headerValue = 0;
};

class RleFailure : public ::testing::TestWithParam<BadRle> {};

TEST_P(RleFailure, FailsCleanly)
{
    const BadRle& c = GetParam();
    std::vector<std::uint8_t> body = RleBody(4, 2, c.bitCount, c.data);
    if (c.headerField != 0) {
        ASSERT_TRUE(Expand(body)) << "sound before the header is spoilt";
        PutLE32(body.data() + c.headerField, c.headerValue);
    }
    EXPECT_FALSE(Expand(body));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RleFailure,
    ::testing::Values(
        // input ends before the end of bitmap
        BadRle{"EndsEarly8", 8, {2, 1}}, BadRle{"OddByteAtEnd8", 8, {2, 1, 0}},
        // runs beyond the pixel area, and deltas that land there
        BadRle{"RunOffTheImage8", 8, {255, 1, 255, 1, 0, 1}},
        BadRle{"DeltaThenRun8", 8, {0, 2, 255, 1, 5, 5, 0, 1}},
        BadRle{"AbsoluteOffTheImage8", 8, {0, 2, 3, 1, 0, 7, 1, 2, 3, 4, 5, 6, 7, 0, 0, 1}},
        BadRle{"AbsoluteRunsPastInput8", 8, {0, 9, 1, 2}}, BadRle{"DeltaPastInput8", 8, {0, 2, 1}},
        BadRle{"EndsEarly4", 4, {2, 0x12}}, BadRle{"RunOffTheImage4", 4, {255, 0x11, 0, 1}},
        BadRle{"AbsolutePastInput4", 4, {0, 8, 0x12, 0x34}}, BadRle{"Empty", 8, {}},
        BadRle{"TopDown", 8, {2, 1, 0, 0, 2, 1, 0, 1}, 8, static_cast<std::uint32_t>(-2)},
        BadRle{"CompressedSizeLargerThanTheFile", 8, {2, 1, 0, 0, 2, 1, 0, 1}, 20, 5000}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Rle4, ExpandsRunsAndAbsoluteRuns)
{
    // 5 x 2: row 0 = 1 2 1 2 1; row 1 = 3 4 5 (absolute run of 3, padding byte)
    const std::vector<std::uint8_t> data = {5, 0x12, 0, 0, 0, 3, 0x34, 0x50, 0, 1};
    const std::optional<DibBlock> dib = Expand(RleBody(5, 2, 4, data));
    ASSERT_TRUE(dib);
    ASSERT_EQ(dib->size(), 40u + 64u + 8u);
    const std::uint8_t* bits = FindDibBits(dib->data());
    const std::uint8_t expect[8] = {0x12, 0x12, 0x10, 0, 0x34, 0x50, 0, 0};
    EXPECT_EQ(0, std::memcmp(bits, expect, 8));
}

TEST(Rle4, AbsoluteRunsOfAnOddByteCountSkipOnePaddingByte)
{
    // n = 5 and n = 6 take three bytes each and one padding byte; n = 4 takes two, no padding.
    const std::vector<std::uint8_t> data = {0, 5, 0x12, 0x34, 0x50, 0xEE, 0, 0,
                                            0, 6, 0xAB, 0xCD, 0xEF, 0xEE, 0, 0,
                                            0, 4, 0x98, 0x76, 0,    1};
    const std::optional<DibBlock> dib = Expand(RleBody(6, 3, 4, data));
    ASSERT_TRUE(dib);
    const std::uint8_t* bits = FindDibBits(dib->data());
    const std::uint8_t expect[12] = {0x12, 0x34, 0x50, 0, 0xAB, 0xCD, 0xEF, 0, 0x98, 0x76, 0, 0};
    EXPECT_EQ(0, std::memcmp(bits, expect, 12));
}

// Deltas skip pixels in 4-bit data as in 8-bit data, and whatever pads the data after the
// end-of-bitmap escape up to its declared size is ignored.
TEST(Rle, DeltasAndPaddingAfterTheEndInBothDepths)
{
    struct Case {
        int bitCount;
        std::vector<std::uint8_t> data;
        std::vector<std::uint8_t> bits; // the 4 x 3 picture's rows, bottom first
    };
    const Case cases[] = {
        // 8-bit: row 0 = 1 1; padding 4 4 after the end.
        {8, {2, 1, 0, 1, 4, 4}, {1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
        // 4-bit: row 0 = 1 2, then a delta from (2, 0) to (3, 1) and a 3 there; padding after
        // the end.
        {4, {2, 0x12, 0, 2, 1, 1, 1, 0x30, 0, 1, 0, 0}, {0x12, 0, 0, 0, 0, 0x03, 0, 0, 0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bitCount);
        const std::optional<DibBlock> dib = Expand(RleBody(4, 3, c.bitCount, c.data));
        ASSERT_TRUE(dib);
        EXPECT_EQ(0, std::memcmp(FindDibBits(dib->data()), c.bits.data(), c.bits.size()));
    }
}

} // namespace
