#include "app/WindowPlacement.h"

#include <gtest/gtest.h>

namespace {

TEST(WindowPlacement, FormatAndParseRoundTripAndBlanksAreAccepted)
{
    const std::string text = "2,3,-32000,-32000,-1,-1,100,-20,900,700";
    WindowPlacement q;
    ASSERT_TRUE(WindowPlacement::Parse(text, q));
    EXPECT_EQ(q.m_top, -20);
    EXPECT_EQ(q.Format(), text);
    ASSERT_TRUE(WindowPlacement::Parse(" 0, 1,-1,-1,-1,-1, 5,6,7,8 \n", q));
    EXPECT_EQ(q.Format(), "0,1,-1,-1,-1,-1,5,6,7,8");
}

class MalformedPlacement : public ::testing::TestWithParam<const char*> {};

// Anything but ten numbers leaves the placement as it was.
TEST_P(MalformedPlacement, IsRejectedAndLeavesTheOutputAlone)
{
    WindowPlacement q;
    q.m_left = 77;
    EXPECT_FALSE(WindowPlacement::Parse(GetParam(), q));
    EXPECT_EQ(q.m_left, 77);
    EXPECT_EQ(q.m_flags, 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, MalformedPlacement,
    ::testing::Values("", "0,1,-1,-1,-1,-1,10,20,30", "0,1,-1,-1,-1,-1,10,20,30,40,50",
                      "0,1,-1,-1,-1,-1,10,20,30,40x", "0,1,,-1,-1,-1,10,20,30,40",
                      "-2,1,-1,-1,-1,-1,10,20,30,40", "0,1,-1,-1,-1,-1,10,20,30,99999999999",
                      "4294967296,1,-1,-1,-1,-1,1,2,3,4"));

} // namespace
