#include "image/CDib.h"
#include "image/support/TestDibs.h"
#include "platform/PixelCanvas.h"

#include <gtest/gtest.h>

#include <cmath>

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
    std::vector<int> CachedWidths() const
    {
        std::vector<int> widths;
        for (int i = 0; i < m_image.CachedCount(); ++i)
            widths.push_back(m_image.CachedAt(i)->Width());
        return widths;
    }

    CDib m_image;
};

TEST_F(DisplayCache, KeepsCacheSizePlusOneCopiesAndEvictsTheOldest)
{
    for (int k = 1; k <= 5; ++k)
        ASSERT_NE(AtZoom(std::pow(1.2, k)), nullptr);
    // widths of 1.2^k x 100: 120, 144, 172, 207, 248
    EXPECT_EQ(CachedWidths(), (std::vector<int>{144, 172, 207, 248}));
    CDib* again = AtZoom(1.2);
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->Width(), 120);
    EXPECT_EQ(CachedWidths(), (std::vector<int>{172, 207, 248, 120}));
}

TEST_F(DisplayCache, AHitIsReturnedAsTheSameCopyAndBecomesTheNewest)
{
    CDib* a = AtZoom(2);
    AtZoom(3);
    EXPECT_EQ(AtZoom(2), a);
    EXPECT_EQ(CachedWidths(), (std::vector<int>{300, 200}));
    EXPECT_EQ(a->GetFormat(), 0);
    EXPECT_TRUE(a->GetPalette().IsCreated());
}

TEST_F(DisplayCache, WithoutCachingOneCopyIsHeld)
{
    CDib::SetCacheSize(0);
    AtZoom(2);
    AtZoom(3);
    AtZoom(4);
    EXPECT_EQ(CachedWidths(), (std::vector<int>{400}));
}

TEST_F(DisplayCache, ReductionsUseTheSingleReducedSlot)
{
    CDib* half = AtZoom(0.5);
    ASSERT_NE(half, nullptr);
    EXPECT_EQ(m_image.ReducedCopy(), half);
    EXPECT_EQ(m_image.CachedCount(), 0);
    EXPECT_EQ(AtZoom(0.5), half);
    CDib* quarter = AtZoom(0.25);
    EXPECT_EQ(m_image.ReducedCopy(), quarter);
    EXPECT_EQ(AtZoom(0.5)->Width(), 50); // rescaled into the slot
    EXPECT_EQ(m_image.ReducedCopy()->Width(), 50);
    // Not smaller in both dimensions: goes to the list.
    ASSERT_NE(m_image.GetBitmap(nullptr, 50, 80), nullptr);
    EXPECT_EQ(CachedWidths(), (std::vector<int>{50}));
}

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

TEST_F(DisplayCache, NothingForNoImageOrEmptySizes)
{
    PixelCanvas canvas(4, 4);
    EXPECT_FALSE(CDib().Draw(canvas, false, false));
    EXPECT_EQ(CDib().GetBitmap(nullptr, 10, 10), nullptr);
    EXPECT_EQ(m_image.GetBitmap(nullptr, 0, 10), nullptr);
    EXPECT_EQ(m_image.GetBitmap(nullptr, 10, -1), nullptr);
}

TEST(DisplayCacheBound, CopiesAboveTheSizeBoundAreNeverBuilt)
{
    const DibBlock dib = Make(40, 40, 32);
    CDib image(dib.data(), dib.size());
    // 32 bits: 8192 x 8192 x 4 = 256 MiB is the largest allowed; one row more is refused.
    EXPECT_EQ(image.GetBitmap(nullptr, 8192, 8193), nullptr);
    EXPECT_EQ(image.GetBitmap(nullptr, 100001, 1), nullptr);
    EXPECT_EQ(image.CachedCount(), 0);
}

// ---- drawing

class DrawDepth : public ::testing::TestWithParam<int> {};

TEST_P(DrawDepth, DrawsEveryPixelThroughItsColourTableOrValue)
{
    const int bits = GetParam();
    const DibBlock dib = Make(9, 6, bits);
    CDib image(dib.data(), dib.size());
    PixelCanvas canvas(20, 20, kWhite);
    canvas.SetViewportOrg(3, 2);
    ASSERT_TRUE(image.Draw(canvas, false, false));
    const std::uint8_t* table = dib.data() + 40;
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 9; ++x) {
            const std::uint32_t v = testdibs::Get(dib.data(), x, y);
            std::uint32_t expect = 0;
            if (bits <= 8) {
                const std::uint8_t* e = table + 4 * v;
                expect = 0xFF000000u | (e[2] << 16) | (e[1] << 8) | e[0];
            } else if (bits == 16) {
                auto w = [](std::uint32_t c) { return (c << 3) | (c >> 2); };
                expect =
                    0xFF000000u | (w((v >> 10) & 31) << 16) | (w((v >> 5) & 31) << 8) | w(v & 31);
            } else {
                expect = 0xFF000000u | (v & 0xFFFFFFu);
            }
            ASSERT_EQ(canvas.DevicePixel(x + 3, y + 2), expect) << x << "," << y;
            ASSERT_EQ(image.PixelAt(x, y), expect);
        }
    // Nothing outside the image is touched.
    EXPECT_EQ(canvas.DevicePixel(2, 2), ColourToPixel(kWhite));
    EXPECT_EQ(canvas.DevicePixel(12, 7), ColourToPixel(kWhite));
    EXPECT_EQ(canvas.DevicePixel(3, 8), ColourToPixel(kWhite));
}

INSTANTIATE_TEST_SUITE_P(EveryDepth, DrawDepth, ::testing::Values(1, 4, 8, 16, 24, 32));

TEST(Draw, DitheredDrawingGivesTheSamePixelsAndOpensItsHandle)
{
    const DibBlock dib = Make(7, 7, 24);
    CDib image(dib.data(), dib.size());
    PixelCanvas plain(10, 10), dithered(10, 10);
    ASSERT_TRUE(image.Draw(plain, false, false));
    EXPECT_FALSE(image.IsDrawDibOpen());
    ASSERT_TRUE(image.Draw(dithered, true, false));
    EXPECT_TRUE(image.IsDrawDibOpen());
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x)
            ASSERT_EQ(plain.DevicePixel(x, y), dithered.DevicePixel(x, y));
}

TEST(Draw, ClipAndScrollLimitTheTransfer)
{
    const DibBlock dib = Make(50, 50, 8);
    CDib image(dib.data(), dib.size());
    PixelCanvas canvas(10, 10, kWhite);
    canvas.SetViewportOrg(-30, -40); // scrolled: logical (30, 40) at device (0, 0)
    canvas.SetClipRect(IRect{2, 2, 6, 6});
    ASSERT_TRUE(image.Draw(canvas, false, false));
    EXPECT_EQ(canvas.DevicePixel(2, 2), image.PixelAt(32, 42));
    EXPECT_EQ(canvas.DevicePixel(5, 5), image.PixelAt(35, 45));
    EXPECT_EQ(canvas.DevicePixel(1, 1), ColourToPixel(kWhite));
    EXPECT_EQ(canvas.DevicePixel(6, 6), ColourToPixel(kWhite));
}

TEST(Draw, IndicesPastAShortColourTableDrawBlack)
{
    DibBlock dib = Make(4, 1, 8, 2); // two colours only
    FindDibBits(dib.data())[3] = 200;
    CDib image(dib.data(), dib.size());
    PixelCanvas canvas(4, 1, kWhite);
    ASSERT_TRUE(image.Draw(canvas, false, false));
    EXPECT_EQ(canvas.DevicePixel(3, 0), 0xFF000000u);
}

} // namespace

namespace {

class CachedCopyDepth : public ::testing::TestWithParam<int> {};

TEST_P(CachedCopyDepth, IsTheImageCopiedAndScaledByteForByte)
{
    const DibBlock dib = Make(13, 9, GetParam(), GetParam() <= 8 ? 2 : 0);
    CDib image(dib.data(), dib.size());
    image.SetFormat(CDib::kFormatBmp);
    for (auto [w, h] : {std::pair{13, 9}, std::pair{29, 20}, std::pair{6, 4}, std::pair{13, 2}}) {
        CDib expected(image);
        ASSERT_TRUE(expected.Scale(w, h));
        const CDib* copy = image.GetBitmap(nullptr, w, h);
        ASSERT_NE(copy, nullptr);
        EXPECT_EQ(copy->Block(), expected.Block()) << w << "x" << h;
        EXPECT_EQ(copy->GetFormat(), 0);
        EXPECT_EQ(copy->GetPalette().Entries(), expected.GetPalette().Entries());
    }
    EXPECT_EQ(image.Block(), dib);
}

INSTANTIATE_TEST_SUITE_P(EveryDepth, CachedCopyDepth, ::testing::Values(1, 4, 8, 16, 24, 32));

} // namespace
