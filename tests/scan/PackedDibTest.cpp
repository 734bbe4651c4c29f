#include "scan/CTwain.h"
#include "scan/dsm/StandInDsmControl.h"

#include <gtest/gtest.h>

#include <functional>
#include <ostream>

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Dib(std::int32_t width, std::int32_t height, std::uint16_t bits)
{
    standin::Image image;
    image.width = width;
    image.height = height;
    image.bits = bits;
    return standin::MakeDib(image);
}

void Set32(Bytes& b, std::size_t at, std::uint32_t v)
{
    standin::Put32(b, at, v);
}

TEST(PackedDibSize, SoundBitmapsMeasureExactly)
{
    for (std::uint16_t bits : {1, 4, 8, 16, 24, 32}) {
        Bytes dib = Dib(7, 3, bits);
        EXPECT_EQ(CTwain::PackedDibSize(dib.data(), dib.size()), dib.size()) << bits << " bits";
        // Room to spare after the bitmap does not change its size.
        Bytes padded = dib;
        padded.resize(dib.size() + 100);
        EXPECT_EQ(CTwain::PackedDibSize(padded.data(), padded.size()), dib.size());
    }
}

TEST(PackedDibSize, TopDownRowsCountAsTheirMagnitude)
{
    Bytes dib = Dib(9, -5, 24);
    EXPECT_EQ(CTwain::PackedDibSize(dib.data(), dib.size()), dib.size());
    EXPECT_EQ(dib.size(), 40u + 5 * 28);
}

TEST(PackedDibSize, UsedColoursShortenTheTable)
{
    Bytes dib = Dib(4, 2, 8);
    Set32(dib, 32, 16); // 16 colours used
    std::size_t expected = 40 + 16 * 4 + 2 * 4;
    EXPECT_EQ(CTwain::PackedDibSize(dib.data(), dib.size()), expected);
}

TEST(PackedDibSize, BitfieldsAddThreeMasksToAPlainHeader)
{
    Bytes dib = Dib(4, 2, 32);
    Set32(dib, 16, 3);
    dib.resize(dib.size() + 12);
    EXPECT_EQ(CTwain::PackedDibSize(dib.data(), dib.size()), 40u + 12 + 2 * 16);
}

TEST(PackedDibSize, RunLengthBitmapsTakeTheirStatedSize)
{
    Bytes dib = Dib(4, 2, 8);
    Set32(dib, 16, 1);
    Set32(dib, 20, 6);
    EXPECT_EQ(CTwain::PackedDibSize(dib.data(), dib.size()), 40u + 256 * 4 + 6);
}

struct BadHeader {
    const char* name;
    std::function<void(Bytes&)> spoil;
};

void PrintTo(const BadHeader& header, std::ostream* os)
{
    *os << header.name;
}

class PackedDibRejectTest : public ::testing::TestWithParam<BadHeader> {};

TEST_P(PackedDibRejectTest, IsRefused)
{
    Bytes dib = Dib(6, 4, 8);
    GetParam().spoil(dib);
    EXPECT_EQ(CTwain::PackedDibSize(dib.data(), dib.size()), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Headers, PackedDibRejectTest,
    ::testing::Values(BadHeader{"ShorterThanAHeader", [](Bytes& b) { b.resize(39); }},
                      BadHeader{"PixelsCutShort", [](Bytes& b) { b.pop_back(); }},
                      BadHeader{"ColourTableCutShort", [](Bytes& b) { b.resize(40 + 100); }},
                      BadHeader{"SmallHeaderSize", [](Bytes& b) { Set32(b, 0, 12); }},
                      BadHeader{"HugeHeaderSize", [](Bytes& b) { Set32(b, 0, 0x7FFFFFF0u); }},
                      BadHeader{"ZeroWidth", [](Bytes& b) { Set32(b, 4, 0); }},
                      BadHeader{"NegativeWidth", [](Bytes& b) { Set32(b, 4, 0xFFFFFFFAu); }},
                      BadHeader{"ZeroHeight", [](Bytes& b) { Set32(b, 8, 0); }},
                      BadHeader{"LowestHeight", [](Bytes& b) { Set32(b, 8, 0x80000000u); }},
                      BadHeader{"TwoPlanes", [](Bytes& b) { b[12] = 2; }},
                      BadHeader{"SevenBits", [](Bytes& b) { b[14] = 7; }},
                      BadHeader{"MoreColoursThanBitsAllow", [](Bytes& b) { Set32(b, 32, 257); }},
                      BadHeader{"UnknownCompression", [](Bytes& b) { Set32(b, 16, 4); }},
                      BadHeader{"RunLengthOfTheWrongDepth", [](Bytes& b) { Set32(b, 16, 2); }},
                      BadHeader{"RunLengthWithoutSize",
                                [](Bytes& b) {
                                    Set32(b, 16, 1);
                                    Set32(b, 20, 0);
                                }},
                      BadHeader{"RunLengthLargerThanTheBlock",
                                [](Bytes& b) {
                                    Set32(b, 16, 1);
                                    Set32(b, 20, 0xFFFFFFF0u);
                                }},
                      BadHeader{"DimensionsThatOverflow",
                                [](Bytes& b) {
                                    Set32(b, 4, 0x7FFFFFFFu);
                                    Set32(b, 8, 0x7FFFFFFFu);
                                }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PackedDibSize, NullBlockIsRefused)
{
    EXPECT_EQ(CTwain::PackedDibSize(nullptr, 1000), 0u);
}

} // namespace
