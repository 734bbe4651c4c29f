#include "view/CropBox.h"
#include "platform/Geometry.h"

#include <gtest/gtest.h>

TEST(CropBoxTest, BoundingRectRoundsOriginAndSize)
{
    CropBox c;
    IPoint o{-1, -1};
    ISize s{-1, -1};
    EXPECT_FALSE(c.GetBoundingRect(o, s));
    EXPECT_EQ(o, (IPoint{-1, -1}));
    c.ResizeByDrag(0, {30.4, 40.6}, {10.4, 20.6});
    ASSERT_TRUE(c.GetBoundingRect(o, s));
    EXPECT_EQ(o, (IPoint{10, 21}));
    EXPECT_EQ(s, (ISize{21, 21}));
    DPoint bo, bs;
    ASSERT_TRUE(c.GetBoundingBox(bo, bs));
    EXPECT_DOUBLE_EQ(bo.x, 10.4);
    EXPECT_DOUBLE_EQ(bs.y, 20.0);
}

TEST(CropBoxTest, DragOnEdgeResizesAndSavedCornersComeBack)
{
    CropBox c;
    c.SetPixelRect({0, 0}, {10, 10});
    c.SaveCorners();
    c.ResizeByDrag(Box::kHitRight, {10, 5}, {15, 9});
    EXPECT_EQ(c.PixelNodes()[2], (DPoint{15, 0}));
    c.Rotate(10);
    c.RestoreCorners();
    EXPECT_EQ(c.PixelNodes()[2], (DPoint{10, 0}));
    EXPECT_EQ(c.GetAngle(), 0.0);
}
