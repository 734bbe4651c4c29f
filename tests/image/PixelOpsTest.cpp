#include "image/CDib.h"
#include "image/support/TestDibs.h"

#include <gtest/gtest.h>

#include <functional>

using testdibs::Make;

namespace {

class PixelOps : public ::testing::TestWithParam<int> {
protected:
    int Bits() const { return GetParam(); }
    // 11 x 5: odd sides, and padding at every depth below 32 bits.
    CDib Image() const
    {
        const DibBlock dib = Make(11, 5, Bits());
        return CDib(dib.data(), dib.size());
    }
};

// Pixel (x, y) of the result shows the image's pixel at
// ((m0 x + m1 y + m2) / m3, (m4 x + m5 y + m6) / m7); padding stays clear.
TEST_P(PixelOps, EveryOperationMovesEveryPixelAndKeepsTheHeader)
{
    using Op = std::function<bool(CDib&)>;
    const Op flipH = [](CDib& d) { return d.FlipHorizontal(); };
    const Op flipV = [](CDib& d) { return d.FlipVertical(); };
    const auto turn = [](int angle) { return Op([angle](CDib& d) { return d.Rotate(angle); }); };
    const auto crop = [](int x, int y, int w, int h) {
        return Op([=](CDib& d) { return d.Crop(x, y, w, h); });
    };
    const struct {
        const char* name;
        Op op;
        int width, height, m[8];
    } cases[] = {
        {"flip horizontal", flipH, 11, 5, {-1, 0, 10, 1, 0, 1, 0, 1}},
        {"flip vertical", flipV, 11, 5, {1, 0, 0, 1, 0, -1, 4, 1}},
        {"clockwise", turn(90), 5, 11, {0, 1, 0, 1, -1, 0, 4, 1}},
        {"half turn", turn(180), 11, 5, {-1, 0, 10, 1, 0, -1, 4, 1}},
        {"counter-clockwise", turn(270), 5, 11, {0, -1, 10, 1, 1, 0, 0, 1}},
        {"crop past the far edges", crop(3, 1, 100, 100), 8, 4, {1, 0, 3, 1, 0, 1, 1, 1}},
        {"crop from before the origin", crop(-2, -1, 5, 3), 3, 2, {1, 0, 0, 1, 0, 1, 0, 1}},
        {"scale", [](CDib& d) { return d.Scale(17, 3); }, 17, 3, {11, 0, 0, 17, 0, 5, 0, 3}},
    };
    const DibBlock like = Make(1, 1, Bits());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CDib image = Image();
        ASSERT_TRUE(c.op(image));
        DibBlock expected = *MakeDib(BitmapInfoHeader::Read(like.data()), c.width, c.height,
                                     like.data() + kInfoHeaderSize);
        for (int y = 0; y < c.height; ++y)
            for (int x = 0; x < c.width; ++x)
                testdibs::Put(expected.data(), x, y,
                              testdibs::Pattern((c.m[0] * x + c.m[1] * y + c.m[2]) / c.m[3],
                                                (c.m[4] * x + c.m[5] * y + c.m[6]) / c.m[7],
                                                Bits()));
        EXPECT_EQ(image.Block(), expected);
    }
}

TEST_P(PixelOps, RefusedOrEmptyOperationsKeepTheImage)
{
    CDib image = Image();
    const DibBlock before = image.Block();
    for (int angle : {0, 45, -90, 360, 450})
        EXPECT_FALSE(image.Rotate(angle)) << angle;
    EXPECT_TRUE(image.Crop(0, 0, 11, 5));
    EXPECT_TRUE(image.Crop(-4, -4, 30, 30));
    EXPECT_FALSE(image.Crop(20, 0, 5, 5));
    EXPECT_FALSE(image.Crop(0, 0, 0, 5));
    EXPECT_FALSE(image.Crop(-10, 0, 5, 5));
    EXPECT_TRUE(image.Scale(11, 5));
    EXPECT_FALSE(image.Scale(0, 5));
    EXPECT_FALSE(image.Scale(5, -1));
    EXPECT_FALSE(image.Scale(200000, 1));
    EXPECT_EQ(image.Block(), before);
    // Without an image every operation fails.
    CDib empty;
    EXPECT_FALSE(empty.FlipHorizontal() || empty.FlipVertical() || empty.Rotate(90) ||
                 empty.Rotate(180) || empty.Crop(0, 0, 1, 1) || empty.Scale(2, 2));
}

INSTANTIATE_TEST_SUITE_P(EveryDepth, PixelOps, ::testing::Values(1, 4, 8, 16, 24, 32));

} // namespace
