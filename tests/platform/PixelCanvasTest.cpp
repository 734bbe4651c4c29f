#include "platform/PixelCanvas.h"
#include "platform/ToolEvent.h"

#include <gtest/gtest.h>

#include <random>

namespace {

int CountPixels(const PixelCanvas& c, Colour colour)
{
    int n = 0;
    for (int y = 0; y < c.DeviceHeight(); ++y)
        for (int x = 0; x < c.DeviceWidth(); ++x)
            n += c.DevicePixel(x, y) == ColourToPixel(colour);
    return n;
}

// A line leaves out its end pixel, so it is as many pixels long as its major extent.
TEST(PixelCanvas, LinesStartAtTheFirstPointAndStopBeforeTheLast)
{
    const IPoint cases[][2] = {{{2, 3}, {12, 3}},  {{5, 5}, {40, 17}},  {{40, 17}, {5, 5}},
                               {{5, 50}, {17, 2}}, {{30, 30}, {30, 1}}, {{1, 1}, {50, 50}},
                               {{9, 9}, {9, 9}},   {{60, 3}, {0, 8}}};
    for (const auto& [a, b] : cases) {
        SCOPED_TRACE(testing::Message() << a.x << "," << a.y << " to " << b.x << "," << b.y);
        PixelCanvas c(64, 64);
        c.MoveTo(a.x, a.y);
        c.LineTo(b.x, b.y);
        const int major = std::max(std::abs(b.x - a.x), std::abs(b.y - a.y));
        EXPECT_EQ(CountPixels(c, kBlack), major);
        if (major > 0) {
            EXPECT_EQ(c.GetPixel(a.x, a.y), kBlack);
            EXPECT_EQ(c.GetPixel(b.x, b.y), kWhite);
        }
        EXPECT_EQ(c.GetCurrentPosition(), b);
    }
}

TEST(PixelCanvas, NotXorInvertsWithBlackKeepsWithWhiteAndTwiceRestoresEveryPixel)
{
    PixelCanvas c(80, 60);
    std::mt19937 rng(7);
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 80; ++x)
            c.SetPixel(x, y, rng() & 0xFFFFFF);
    c.SetPixel(0, 0, MakeColour(10, 20, 30));
    c.SetPixel(1, 0, MakeColour(10, 20, 30));
    const std::vector<std::uint32_t> before(c.Bits(), c.Bits() + 80 * 60);
    c.SetRop2(RasterOp::NotXorPen);
    c.MoveTo(0, 0);
    c.LineTo(1, 0);
    EXPECT_EQ(c.GetPixel(0, 0), MakeColour(245, 235, 225));
    c.SelectPen(Pen{PenStyle::Solid, 0, kWhite});
    c.LineTo(2, 0);
    EXPECT_EQ(c.GetPixel(1, 0), MakeColour(10, 20, 30));
    c.SetPixel(0, 0, MakeColour(10, 20, 30));

    auto figure = [&] {
        c.SelectPen(Pen{PenStyle::Dot, 0, MakeColour(200, 10, 30)});
        c.MoveTo(-10, 5);
        c.LineTo(100, 47);
        c.SelectPen(Pen{PenStyle::Solid, 0, kBlack});
        c.LineTo(3, 59);
        c.LineTo(-10, 5);
    };
    figure();
    EXPECT_NE(std::vector<std::uint32_t>(c.Bits(), c.Bits() + 80 * 60), before);
    figure();
    EXPECT_EQ(std::vector<std::uint32_t>(c.Bits(), c.Bits() + 80 * 60), before);
}

// The viewport origin shifts logical coordinates; a clip rectangle limits every drawing.
TEST(PixelCanvas, ViewportOriginAndClip)
{
    PixelCanvas c(30, 30);
    c.SetViewportOrg(-100, 10);
    EXPECT_EQ(c.LPtoDP({105, 0}), (IPoint{5, 10}));
    EXPECT_EQ(c.DPtoLP({5, 10}), (IPoint{105, 0}));
    c.FillRect({100, 0, 103, 2}, MakeColour(1, 2, 3));
    EXPECT_EQ(c.DevicePixel(0, 10), ColourToPixel(MakeColour(1, 2, 3)));
    EXPECT_EQ(c.DevicePixel(2, 11), ColourToPixel(MakeColour(1, 2, 3)));
    EXPECT_EQ(c.DevicePixel(3, 10), ColourToPixel(kWhite));

    PixelCanvas d(20, 20);
    d.SetClipRect({5, 5, 10, 10});
    d.FillRect({0, 0, 20, 20}, kBlack);
    d.MoveTo(0, 12);
    d.LineTo(20, 12);
    EXPECT_EQ(CountPixels(d, kBlack), 25);
    d.ClearClip();
    d.MoveTo(0, 12);
    d.LineTo(20, 12);
    EXPECT_EQ(CountPixels(d, kBlack), 45);
}

TEST(PixelCanvas, EnormousLinesDrawOnlyTheirVisiblePart)
{
    PixelCanvas c(100, 100);
    c.MoveTo(-2000000000, 50);
    c.LineTo(2000000000, 50);
    EXPECT_EQ(CountPixels(c, kBlack), 100);
    c.Fill(kWhite);
    c.MoveTo(-2000000000, -2000000000);
    c.LineTo(2000000000, 2000000000);
    EXPECT_EQ(CountPixels(c, kBlack), 100);
    EXPECT_EQ(c.GetPixel(37, 37), kBlack);
}

TEST(PixelCanvas, SetPixelsAndStretchClipToTheDevice)
{
    PixelCanvas c(8, 8);
    const std::uint32_t src[4] = {0xFF000001, 0xFF000002, 0xFF000003, 0xFF000004};
    c.SetPixels(6, 6, 2, 2, src, 2);
    EXPECT_EQ(c.DevicePixel(7, 7), 0xFF000004u);
    c.SetPixels(-1, -1, 2, 2, src, 2);
    EXPECT_EQ(c.DevicePixel(0, 0), 0xFF000004u);

    // Two source pixels stretched over eight device pixels: four each.
    c.StretchPixels({0, 3, 8, 4}, src, 2, {0, 0, 2, 1});
    for (int x = 0; x < 8; ++x)
        EXPECT_EQ(c.DevicePixel(x, 3), x < 4 ? 0xFF000001u : 0xFF000002u);
}

TEST(ToolEvent, PlusMarkerIsElevenPixelsEachWayAndTheDottedOneAlternatesWithWhite)
{
    PixelCanvas c(40, 40);
    ToolEvent e(&c, 2.0);
    e.markerA(e, 10.0, 10.0); // window (21, 21)
    EXPECT_EQ(CountPixels(c, kBlack), 21);
    for (IPoint p : {IPoint{16, 21}, IPoint{26, 21}, IPoint{21, 16}, IPoint{21, 26}})
        EXPECT_EQ(c.GetPixel(p.x, p.y), kBlack);
    EXPECT_EQ(c.GetPixel(27, 21), kWhite);

    PixelCanvas d(40, 40, kBlack);
    ToolEvent f(&d, 1.0);
    f.colour = MakeColour(0, 0, 255);
    f.markerC(f, 20.0, 20.0);
    EXPECT_EQ(d.GetPixel(20, 20), f.colour);
    for (int k = 1; k <= 5; ++k) {
        EXPECT_EQ(d.GetPixel(20 + k, 20), k % 2 ? f.colour : kWhite);
        EXPECT_EQ(d.GetPixel(20, 20 - k), k % 2 ? f.colour : kWhite);
    }
    EXPECT_EQ(d.GetPixel(26, 20), kBlack);
}

TEST(ToolEvent, CopiesKeepTheirOwnPenAndReleaseRestoresTheCanvas)
{
    PixelCanvas c(10, 10);
    ToolEvent e(&c, 1.0);
    e.AttachPen(Pen{PenStyle::Dot, 0, kWhite});
    ToolEvent copy = e;
    e.ReleasePen();
    ASSERT_TRUE(copy.pen.has_value());
    EXPECT_EQ(copy.pen->style, PenStyle::Dot);
    EXPECT_EQ(c.GetPen(), Pen{});
    e.BeginXor();
    e.EndXor();
    EXPECT_EQ(c.GetRop2(), RasterOp::CopyPen);
    ToolEvent none;
    none.markerA(none, 1, 1); // no device context: nothing to draw on, no crash
    // The window pixel that shows a coordinate, below the image's top-left as well.
    const ToolEvent half(nullptr, 0.5);
    EXPECT_EQ(half.ToWindow(3.0, 4.9), (IPoint{1, 2}));
    EXPECT_EQ(half.ToWindow(-3.0, 0.0), (IPoint{-2, 0}));
}

} // namespace
