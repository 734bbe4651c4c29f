#include "platform/PagePrefault.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <vector>

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

// Small or missing buffers start no helper; where the system populates pages ahead, the
// helper goes to the end of a large one (0 where the kernel cannot).
TEST(PagePrefault, OnlyLargeBuffersAreBroughtInToTheirEnd)
{
    std::uint8_t small[64] = {};
    EXPECT_EQ(PagePrefault(small, sizeof small).Finish(), 0u);
    EXPECT_EQ(PagePrefault(nullptr, PagePrefault::kMinLength * 4).Finish(), 0u);
#if defined(__linux__)
    std::vector<std::uint8_t> large(PagePrefault::kMinLength + 4096 * 3 + 7);
    const std::size_t reached = PagePrefault(large.data(), large.size()).Finish();
    EXPECT_TRUE(reached == large.size() || reached == 0) << reached;
#endif
}

} // namespace
