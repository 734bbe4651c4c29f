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

TEST(PackedDibSize, SoundBitmapsMeasureExactlyWhateverFollowsThem)
{
    for (std::uint16_t bits : {1, 4, 8, 16, 24, 32}) {
        Bytes dib = Dib(7, 3, bits);
        EXPECT_EQ(CTwain::PackedDibSize(dib.data(), dib.size()), dib.size()) << bits << " bits";
        const std::size_t size = dib.size();
        dib.resize(size + 100);
        EXPECT_EQ(CTwain::PackedDibSize(dib.data(), dib.size()), size) << bits << " bits";
    }
    EXPECT_EQ(CTwain::PackedDibSize(nullptr, 1000), 0u);
}

// A 6 x 4, 8-bit bitmap (256 colours, rows of 8 bytes) edited; the size measured, 0 for refused.
struct Edited {
    const char* name;
    std::function<void(Bytes&)> edit;
    std::size_t size;
};

void PrintTo(const Edited& c, std::ostream* os)
{
    *os << c.name;
}

class PackedDibHeaders : public ::testing::TestWithParam<Edited> {};

TEST_P(PackedDibHeaders, AreMeasuredOrRefused)
{
    Bytes dib = Dib(6, 4, 8);
    GetParam().edit(dib);
    EXPECT_EQ(CTwain::PackedDibSize(dib.data(), dib.size()), GetParam().size);
}

INSTANTIATE_TEST_SUITE_P(
    Headers, PackedDibHeaders,
    ::testing::Values(Edited{"TopDownRowsCountAsTheirMagnitude",
                             [](Bytes& b) { Set32(b, 8, 0xFFFFFFFCu); }, 40 + 1024 + 4 * 8},
                      Edited{"UsedColoursShortenTheTable", [](Bytes& b) { Set32(b, 32, 16); },
                             40 + 16 * 4 + 4 * 8},
                      Edited{"BitfieldsAddThreeMasks",
                             [](Bytes& b) {
                                 b = Dib(4, 2, 32);
                                 Set32(b, 16, 3);
                                 b.resize(b.size() + 12);
                             },
                             40 + 12 + 2 * 16},
                      Edited{"RunLengthTakesItsStatedSize",
                             [](Bytes& b) {
                                 Set32(b, 16, 1);
                                 Set32(b, 20, 6);
                             },
                             40 + 1024 + 6},
                      Edited{"ShorterThanAHeader", [](Bytes& b) { b.resize(39); }, 0},
                      Edited{"PixelsCutShort", [](Bytes& b) { b.pop_back(); }, 0},
                      Edited{"ColourTableCutShort", [](Bytes& b) { b.resize(40 + 100); }, 0},
                      Edited{"SmallHeaderSize", [](Bytes& b) { Set32(b, 0, 12); }, 0},
                      Edited{"HugeHeaderSize", [](Bytes& b) { Set32(b, 0, 0x7FFFFFF0u); }, 0},
                      Edited{"ZeroWidth", [](Bytes& b) { Set32(b, 4, 0); }, 0},
                      Edited{"NegativeWidth", [](Bytes& b) { Set32(b, 4, 0xFFFFFFFAu); }, 0},
                      Edited{"ZeroHeight", [](Bytes& b) { Set32(b, 8, 0); }, 0},
                      Edited{"LowestHeight", [](Bytes& b) { Set32(b, 8, 0x80000000u); }, 0},
                      Edited{"TwoPlanes", [](Bytes& b) { b[12] = 2; }, 0},
                      Edited{"SevenBits", [](Bytes& b) { b[14] = 7; }, 0},
                      Edited{"MoreColoursThanBitsAllow", [](Bytes& b) { Set32(b, 32, 257); }, 0},
                      Edited{"UnknownCompression", [](Bytes& b) { Set32(b, 16, 4); }, 0},
                      Edited{"RunLengthOfTheWrongDepth", [](Bytes& b) { Set32(b, 16, 2); }, 0},
                      Edited{"RunLengthWithoutSize",
                             [](Bytes& b) {
                                 Set32(b, 16, 1);
                                 Set32(b, 20, 0);
                             },
                             0},
                      Edited{"RunLengthLargerThanTheBlock",
                             [](Bytes& b) {
                                 Set32(b, 16, 1);
                                 Set32(b, 20, 0xFFFFFFF0u);
                             },
                             0},
                      Edited{"DimensionsThatOverflow",
                             [](Bytes& b) {
                                 Set32(b, 4, 0x7FFFFFFFu);
                                 Set32(b, 8, 0x7FFFFFFFu);
                             },
                             0}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
