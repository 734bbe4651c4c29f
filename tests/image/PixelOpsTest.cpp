#include "image/CDib.h"
#include "image/support/TestDibs.h"

#include <gtest/gtest.h>

using testdibs::Get;
using testdibs::Make;
using testdibs::Pattern;

namespace {

// Every pixel of a width x height image is the pattern's value at the point `from` gives.
template <typename From>
void ExpectPixels(const CDib& image, int width, int height, int bits, From from)
{
    ASSERT_EQ(image.Width(), width);
    ASSERT_EQ(image.Height(), height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const auto [px, py] = from(x, y);
            ASSERT_EQ(Get(image.GetDib(), x, y), Pattern(px, py, bits)) << x << "," << y;
        }
}

void ExpectClearPadding(const CDib& image)
{
    for (std::uint8_t bit : testdibs::PaddingBits(image.GetDib()))
        ASSERT_EQ(bit, 0);
}

class PixelOps : public ::testing::TestWithParam<int> {
protected:
    int Bits() const { return GetParam(); }
    // 11 x 5: odd sides, and padding at every depth below 32 bits.
    CDib Image(int w = 11, int h = 5) const
    {
        const DibBlock dib = Make(w, h, Bits());
        return CDib(dib.data(), dib.size());
    }
};

TEST_P(PixelOps, FlipsMirrorEveryPixelAndKeepTheHeaderAndThePadding)
{
    for (bool horizontal : {true, false}) {
        CDib image = Image();
        const DibBlock before = image.Block();
        ASSERT_TRUE(horizontal ? image.FlipHorizontal() : image.FlipVertical());
        ExpectPixels(image, 11, 5, Bits(), [&](int x, int y) {
            return horizontal ? std::pair{10 - x, y} : std::pair{x, 4 - y};
        });
        ExpectClearPadding(image);
        EXPECT_TRUE(std::equal(before.begin(), before.begin() + 40 + DibPaletteSize(before.data()),
                               image.Block().begin()));
    }
}

TEST_P(PixelOps, QuarterTurnsMoveEveryPixelAndResizeTheBlock)
{
    for (int angle : {90, 270}) {
        CDib image = Image(4, 3);
        ASSERT_TRUE(image.Rotate(angle));
        EXPECT_EQ(GetLE32(image.GetDib() + 20), DibImageSize(image.GetDib()));
        EXPECT_EQ(image.GetDibLength(), DibSizeOf(image.GetDib()));
        // clockwise: new (x, y) = old (y, 2 - x); counter-clockwise: old (3 - y, x)
        ExpectPixels(image, 3, 4, Bits(), [&](int x, int y) {
            return angle == 90 ? std::pair{y, 2 - x} : std::pair{3 - y, x};
        });
    }
}

TEST_P(PixelOps, RotateThenInverseGivesTheDibBackByteForByte)
{
    for (int angle : {90, 180, 270}) {
        CDib image = Image(13, 7);
        const DibBlock before = image.Block();
        ASSERT_TRUE(image.Rotate(angle));
        ASSERT_TRUE(image.Rotate(360 - angle));
        EXPECT_EQ(image.Block(), before) << angle;
    }
}

TEST_P(PixelOps, OtherAnglesChangeNothing)
{
    CDib image = Image();
    const DibBlock before = image.Block();
    for (int angle : {0, 45, -90, 360, 450})
        EXPECT_FALSE(image.Rotate(angle)) << angle;
    EXPECT_EQ(image.Block(), before);
}

TEST_P(PixelOps, CropsPastTheEdgesAreClipped)
{
    // past the right and bottom edges; from a negative origin
    struct Case {
        int x, y, w, h, width, height, fromX, fromY;
    };
    for (const Case& c : {Case{3, 1, 100, 100, 8, 4, 3, 1}, Case{-2, -1, 5, 3, 3, 2, 0, 0}}) {
        CDib image = Image(11, 5);
        ASSERT_TRUE(image.Crop(c.x, c.y, c.w, c.h));
        EXPECT_EQ(image.GetDibLength(), DibSizeOf(image.GetDib()));
        ExpectPixels(image, c.width, c.height, Bits(), [&](int x, int y) {
            return std::pair{x + c.fromX, y + c.fromY};
        });
        ExpectClearPadding(image);
    }
}

TEST_P(PixelOps, CropToTheWholeImageOrOutsideItKeepsTheImage)
{
    CDib image = Image();
    const DibBlock before = image.Block();
    EXPECT_TRUE(image.Crop(0, 0, 11, 5));
    EXPECT_TRUE(image.Crop(-4, -4, 30, 30));
    EXPECT_FALSE(image.Crop(20, 0, 5, 5));
    EXPECT_FALSE(image.Crop(0, 0, 0, 5));
    EXPECT_FALSE(image.Crop(-10, 0, 5, 5));
    EXPECT_EQ(image.Block(), before);
}

TEST_P(PixelOps, ScaleToOddSizesFollowsTheIntegerRule)
{
    CDib image = Image(7, 5);
    ASSERT_TRUE(image.Scale(17, 3));
    EXPECT_EQ(image.GetDibLength(), DibSizeOf(image.GetDib()));
    ExpectPixels(image, 17, 3, Bits(), [](int x, int y) {
        return std::pair{7 * x / 17, 5 * y / 3};
    });
    ExpectClearPadding(image);
}

TEST_P(PixelOps, ScaleToTheSameSizeOrNothingIsRefusedOrKept)
{
    CDib image = Image();
    const DibBlock before = image.Block();
    EXPECT_TRUE(image.Scale(11, 5));
    EXPECT_FALSE(image.Scale(0, 5));
    EXPECT_FALSE(image.Scale(5, -1));
    EXPECT_FALSE(image.Scale(200000, 1));
    EXPECT_EQ(image.Block(), before);
}

INSTANTIATE_TEST_SUITE_P(EveryDepth, PixelOps, ::testing::Values(1, 4, 8, 16, 24, 32));

TEST(PixelOpsEmpty, EveryOperationFailsWithoutAnImage)
{
    CDib image;
    EXPECT_FALSE(image.FlipHorizontal());
    EXPECT_FALSE(image.FlipVertical());
    EXPECT_FALSE(image.Rotate(90));
    EXPECT_FALSE(image.Rotate(180));
    EXPECT_FALSE(image.Crop(0, 0, 1, 1));
    EXPECT_FALSE(image.Scale(2, 2));
}

TEST(PixelOpsFormat, QuarterTurnsKeepTheFormatCodeAndTheColourTable)
{
    const DibBlock dib = Make(5, 3, 8, 40);
    CDib image(dib.data(), dib.size());
    image.SetFormat(CDib::kFormatTiff);
    ASSERT_TRUE(image.Rotate(90));
    EXPECT_EQ(image.GetFormat(), CDib::kFormatTiff);
    EXPECT_EQ(DibNumColors(image.GetDib()), 40u);
    EXPECT_TRUE(std::equal(dib.begin() + 40, dib.begin() + 40 + 160, image.Block().begin() + 40));
    EXPECT_EQ(image.GetPalette().EntryCount(), 40);
}

} // namespace
