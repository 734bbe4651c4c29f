#include "scan/SourceEventQueue.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace {

TEST(SourceEventQueue, HandsOutMessagesOldestFirst)
{
    SourceEventQueue queue;
    TW_UINT16 msg = 0;
    EXPECT_FALSE(queue.Pop(msg));
    queue.Push(MSG_XFERREADY);
    queue.Push(MSG_CLOSEDSREQ);
    EXPECT_EQ(queue.Size(), 2u);
    ASSERT_TRUE(queue.Pop(msg));
    EXPECT_EQ(msg, MSG_XFERREADY);
    ASSERT_TRUE(queue.Pop(msg));
    EXPECT_EQ(msg, MSG_CLOSEDSREQ);
    EXPECT_FALSE(queue.Pop(msg));
    EXPECT_EQ(msg, MSG_CLOSEDSREQ) << "a failed pop leaves its output alone";
}

TEST(SourceEventQueue, NotifierSeesTheMessageAlreadyQueued)
{
    SourceEventQueue queue;
    std::vector<std::size_t> sizes;
    queue.SetNotifier([&] { sizes.push_back(queue.Size()); });
    queue.Push(MSG_XFERREADY);
    queue.Push(MSG_XFERREADY);
    EXPECT_EQ(sizes, (std::vector<std::size_t>{1, 2}));
    queue.Clear();
    EXPECT_EQ(queue.Size(), 0u);
    EXPECT_EQ(sizes.size(), 2u) << "clearing wakes nobody";
}

TEST(SourceEventQueue, PushesFromManyThreadsAreAllKept)
{
    SourceEventQueue queue;
    std::atomic<int> wakeups{0};
    queue.SetNotifier([&] { ++wakeups; });
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&] {
            for (int i = 0; i < 500; ++i)
                queue.Push(MSG_XFERREADY);
        });
    int popped = 0;
    TW_UINT16 msg = 0;
    // Taking out while others still push.
    while (popped < 300)
        popped += queue.Pop(msg) ? 1 : 0;
    for (auto& t : threads)
        t.join();
    while (queue.Pop(msg))
        ++popped;
    EXPECT_EQ(popped, 2000);
    EXPECT_EQ(wakeups.load(), 2000);
}

} // namespace
