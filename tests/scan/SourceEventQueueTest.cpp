#include "scan/SourceEventQueue.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace {

TEST(SourceEventQueue, HandsOutMessagesOldestFirstAfterWakingTheShell)
{
    SourceEventQueue queue;
    std::vector<std::size_t> sizesSeen;
    queue.SetNotifier([&] { sizesSeen.push_back(queue.Size()); });
    queue.Push(MSG_XFERREADY);
    queue.Push(MSG_CLOSEDSREQ);
    EXPECT_EQ(sizesSeen, (std::vector<std::size_t>{1, 2})) << "woken with the message queued";
    TW_UINT16 msg = 0;
    ASSERT_TRUE(queue.Pop(msg));
    EXPECT_EQ(msg, MSG_XFERREADY);
    ASSERT_TRUE(queue.Pop(msg));
    EXPECT_EQ(msg, MSG_CLOSEDSREQ);
    EXPECT_FALSE(queue.Pop(msg));
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
    while (popped < 300) // taking out while others still push
        popped += queue.Pop(msg) ? 1 : 0;
    for (auto& t : threads)
        t.join();
    while (queue.Pop(msg))
        ++popped;
    EXPECT_EQ(popped, 2000);
    EXPECT_EQ(wakeups.load(), 2000);
}

} // namespace
