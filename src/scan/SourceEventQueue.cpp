#include "scan/SourceEventQueue.h"

#include <utility>

void SourceEventQueue::Push(TW_UINT16 message)
{
    std::function<void()> notifier;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_messages.push_back(message);
        notifier = m_notifier;
    }
    // Outside the lock: the notifier may well look at the queue.
    if (notifier)
        notifier();
}

bool SourceEventQueue::Pop(TW_UINT16& message)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_messages.empty())
        return false;
    message = m_messages.front();
    m_messages.pop_front();
    return true;
}

void SourceEventQueue::Clear()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_messages.clear();
}

std::size_t SourceEventQueue::Size() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_messages.size();
}

void SourceEventQueue::SetNotifier(std::function<void()> notifier)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_notifier = std::move(notifier);
}
