#include "image/CDib.h"
#include "image/support/TestDibs.h"
#include "platform/PixelCanvas.h"

#include <gtest/gtest.h>

using testdibs::Make;

namespace {

class DisplayCache : public ::testing::Test {
protected:
    void SetUp() override
    {
        const DibBlock dib = Make(100, 80, 24);
        m_image.Assign(dib.data(), dib.size());
        CDib::SetCacheSize(3);
    }
    void TearDown() override { CDib::SetCacheSize(3); }

    CDib* AtZoom(double zoom)
    {
        return m_image.GetBitmap(nullptr, static_cast<int>(100 * zoom),
                                 static_cast<int>(80 * zoom));
    }
    CDib m_image;
};

TEST_F(DisplayCache, EveryPixelOperationEmptiesTheCache)
{
    using Op = bool (*)(CDib&);
    const Op ops[] = {[](CDib& d) { return d.FlipHorizontal(); },
                      [](CDib& d) { return d.FlipVertical(); },
                      [](CDib& d) { return d.Rotate(90); },
                      [](CDib& d) { return d.Rotate(180); },
                      [](CDib& d) { return d.Crop(1, 1, 10, 10); },
                      [](CDib& d) {
                          const DibBlock other = Make(5, 5, 8);
                          return d.Assign(other.data(), other.size());
                      }};
    for (Op op : ops) {
        SetUp();
        AtZoom(2);
        AtZoom(0.5);
        ASSERT_TRUE(op(m_image));
        EXPECT_EQ(m_image.CachedCount(), 0);
        EXPECT_EQ(m_image.ReducedCopy(), nullptr);
    }
}

TEST_F(DisplayCache, NothingForNoImageEmptySizesOrCopiesAboveTheBound)
{
    PixelCanvas canvas(4, 4);
    EXPECT_FALSE(CDib().Draw(canvas, false, false));
    EXPECT_EQ(CDib().GetBitmap(nullptr, 10, 10), nullptr);
    EXPECT_EQ(m_image.GetBitmap(nullptr, 0, 10), nullptr);
    EXPECT_EQ(m_image.GetBitmap(nullptr, 10, -1), nullptr);
    // 32 bits: 8192 x 8192 x 4 = 256 MiB is the largest allowed; one row more is refused.
    const DibBlock dib = Make(40, 40, 32);
    CDib image(dib.data(), dib.size());
    EXPECT_EQ(image.GetBitmap(nullptr, 8192, 8193), nullptr);
    EXPECT_EQ(image.GetBitmap(nullptr, 100001, 1), nullptr);
    EXPECT_EQ(image.CachedCount(), 0);
}

class DisplayDepth : public ::testing::TestWithParam<int> {};

TEST_P(DisplayDepth, DrawsEveryPixelThroughItsColourTableOrValue)
{
    const int bits = GetParam();
    const DibBlock dib = Make(9, 6, bits);
    CDib image(dib.data(), dib.size());
    PixelCanvas canvas(20, 20, kWhite), dithered(20, 20, kWhite);
    canvas.SetViewportOrg(3, 2);
    dithered.SetViewportOrg(3, 2);
    ASSERT_TRUE(image.Draw(canvas, false, false));
    ASSERT_TRUE(image.Draw(dithered, true, false));
    const std::uint8_t* table = dib.data() + 40;
    const auto five = [](std::uint32_t c) { return (c << 3) | (c >> 2); };
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 9; ++x) {
            const std::uint32_t v = testdibs::Get(dib.data(), x, y);
            std::uint32_t expect = 0xFF000000u | (v & 0xFFFFFFu);
            if (bits <= 8)
                expect =
                    0xFF000000u | (table[4 * v + 2] << 16) | (table[4 * v + 1] << 8) | table[4 * v];
            else if (bits == 16)
                expect = 0xFF000000u | (five((v >> 10) & 31) << 16) | (five((v >> 5) & 31) << 8) |
                         five(v & 31);
            ASSERT_EQ(canvas.DevicePixel(x + 3, y + 2), expect) << x << "," << y;
            ASSERT_EQ(image.PixelAt(x, y), expect);
        }
    EXPECT_TRUE(std::equal(canvas.Bits(), canvas.Bits() + 400, dithered.Bits()));
    // Nothing outside the image is touched.
    EXPECT_EQ(canvas.DevicePixel(2, 2), ColourToPixel(kWhite));
    EXPECT_EQ(canvas.DevicePixel(12, 7), ColourToPixel(kWhite));
    EXPECT_EQ(canvas.DevicePixel(3, 8), ColourToPixel(kWhite));
}

INSTANTIATE_TEST_SUITE_P(EveryDepth, DisplayDepth, ::testing::Values(1, 4, 8, 16, 24, 32));

TEST(Draw, ClipAndScrollLimitTheTransferAndShortTablesDrawBlack)
{
    DibBlock dib = Make(50, 50, 8, 2); // two colours only
    FindDibBits(dib.data())[3] = 200;
    CDib image(dib.data(), dib.size());
    PixelCanvas whole(50, 50, kWhite);
    ASSERT_TRUE(image.Draw(whole, false, false));
    EXPECT_EQ(whole.DevicePixel(3, 49), 0xFF000000u);
    PixelCanvas canvas(10, 10, kWhite);
    canvas.SetViewportOrg(-30, -40); // scrolled: logical (30, 40) at device (0, 0)
    canvas.SetClipRect(IRect{2, 2, 6, 6});
    ASSERT_TRUE(image.Draw(canvas, false, false));
    EXPECT_EQ(canvas.DevicePixel(2, 2), image.PixelAt(32, 42));
    EXPECT_EQ(canvas.DevicePixel(5, 5), image.PixelAt(35, 45));
    EXPECT_EQ(canvas.DevicePixel(1, 1), ColourToPixel(kWhite));
    EXPECT_EQ(canvas.DevicePixel(6, 6), ColourToPixel(kWhite));
}

} // namespace
