#pragma once

#include <atomic>
#include <cstddef>
#include <thread>

// Brings in the pages of a freshly allocated buffer on a second thread, ahead of the code that
// fills it. Filling a large new block (an image inflated from a project file) otherwise pays a
// page fault for every 4 KiB of it on the filling thread; here the system provides the pages
// beside the fill. The memory is never read or written by the helper (it only asks for the
// pages), so the owner may fill it at the same time. The destructor stops and joins the
// helper: the buffer must outlive this object.
//
// Where the system cannot populate pages ahead, or the buffer is too small to be worth a
// thread, this does nothing.
class PagePrefault {
public:
    PagePrefault(void* begin, std::size_t length);
    ~PagePrefault();
    PagePrefault(const PagePrefault&) = delete;
    PagePrefault& operator=(const PagePrefault&) = delete;

    // Waits until the helper has finished or given up; the bytes it reached, for tests.
    std::size_t Finish();

    // Below this a buffer is filled faster than a thread starts.
    static constexpr std::size_t kMinLength = std::size_t{8} << 20;

private:
    void Run(unsigned char* begin, std::size_t length);

    std::atomic<bool> m_stop{false};
    std::atomic<std::size_t> m_reached{0};
    std::thread m_thread;
};
