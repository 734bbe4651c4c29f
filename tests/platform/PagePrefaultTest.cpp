#include "platform/PagePrefault.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>

namespace {

// The owner fills the buffer while the helper brings its pages in: nothing the owner wrote may
// change, wherever the two meet. Small or missing buffers start no helper; where the system
// populates pages ahead, the helper goes to the end of a large one (0 where it cannot).
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
    EXPECT_EQ(PagePrefault(buffer.get(), PagePrefault::kMinLength - 1).Finish(), 0u);
    EXPECT_EQ(PagePrefault(nullptr, PagePrefault::kMinLength * 4).Finish(), 0u);
    const std::size_t reached = PagePrefault(buffer.get(), length).Finish();
    EXPECT_TRUE(reached == length || reached == 0) << reached;
}

} // namespace
