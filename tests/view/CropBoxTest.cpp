#include "view/CropBox.h"
#include "image/CDib.h"
#include "model/Task.h"
#include "support/ViewTestDoc.h"
#include "tasks/PlotData.h"

#include <gtest/gtest.h>

TEST(CropBoxTest, BoundingRectRoundsAndABoxOverTheWholePictureMakesNoTask)
{
    CropBox c;
    IPoint o{-1, -1};
    ISize s{-1, -1};
    EXPECT_FALSE(c.GetBoundingRect(o, s));
    c.ResizeByDrag(0, {30.4, 40.6}, {10.4, 20.6});
    ASSERT_TRUE(c.GetBoundingRect(o, s));
    EXPECT_EQ(o, (IPoint{10, 21}));
    EXPECT_EQ(s, (ISize{21, 21}));
    PlotData data;
    const std::vector<std::uint8_t> dib = MakeDibBlock(40, 30, 24, PatternColour);
    data.SetImage(std::make_unique<CDib>(dib.data(), dib.size()));
    c.SetPixelRect({-5, -5}, {45, 35});
    EXPECT_EQ(c.CreateCropTask(&data), nullptr);
    c.SetPixelRect({0, 0}, {38, 29});
    EXPECT_NE(c.CreateCropTask(&data), nullptr);
}
