#include "platform/PagePrefault.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>

namespace {

// The owner fills the buffer while the helper brings its pages in: nothing the owner wrote may
// change, wherever the two meet.
TEST(PagePrefault, FillingBesideTheHelperKeepsEveryByte)
{
    const std::size_t length = PagePrefault::kMinLength * 2 + 12345;
    std::unique_ptr<std::uint8_t[]> buffer(new std::uint8_t[length]);
    {
        PagePrefault prefault(buffer.get(), length);
        for (std::size_t i = 0; i < length; ++i)
            buffer[i] = static_cast<std::uint8_t>(i * 2654435761u >> 13);
    }
    std::size_t wrong = 0;
    for (std::size_t i = 0; i < length; ++i)
        wrong += buffer[i] != static_cast<std::uint8_t>(i * 2654435761u >> 13);
    EXPECT_EQ(wrong, 0u);
}

TEST(PagePrefault, SmallOrMissingBuffersStartNoHelper)
{
    std::uint8_t small[64] = {};
    EXPECT_EQ(PagePrefault(small, sizeof small).Finish(), 0u);
    EXPECT_EQ(PagePrefault(nullptr, PagePrefault::kMinLength * 4).Finish(), 0u);
}

#if defined(__linux__)
// Where the system populates pages ahead, the helper goes to the end of the buffer.
TEST(PagePrefault, ReachesTheEndOfALargeBuffer)
{
    const std::size_t length = PagePrefault::kMinLength + 4096 * 3 + 7;
    std::unique_ptr<std::uint8_t[]> buffer(new std::uint8_t[length]);
    PagePrefault prefault(buffer.get(), length);
    const std::size_t reached = prefault.Finish();
    if (reached == 0)
        GTEST_SKIP() << "this kernel cannot populate pages ahead";
    EXPECT_EQ(reached, length);
}
#endif

} // namespace
