#pragma once

#include "scan/TwainDefs.h"

#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>

// The events a source announces through the source manager's callback (transfer ready, close
// requested), waiting for the user-interface thread. A source may call back from any thread,
// and even from inside a triplet the program is still making, so events are only queued here;
// the program takes them out later on its own thread.
class SourceEventQueue {
public:
    // Thread-safe. Queues the message and then calls the notifier, if one is set, on the
    // caller's thread (so the shell can post a wake-up to its own thread).
    void Push(TW_UINT16 message);
    // Takes the oldest message; false when none waits.
    bool Pop(TW_UINT16& message);
    void Clear();
    std::size_t Size() const;

    void SetNotifier(std::function<void()> notifier);

private:
    mutable std::mutex m_mutex;
    std::deque<TW_UINT16> m_messages;
    std::function<void()> m_notifier;
};
