#include "platform/PagePrefault.h"

#include <algorithm>
#include <cstdint>

#if defined(__linux__)
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace {

#if defined(__linux__)
#ifndef MADV_POPULATE_WRITE
#define MADV_POPULATE_WRITE 23 // Linux 5.14; older kernels answer EINVAL and the helper stops
#endif
constexpr std::size_t kStep = std::size_t{2} << 20;
#endif

} // namespace

PagePrefault::PagePrefault(void* begin, std::size_t length)
{
#if defined(__linux__)
    if (begin && length >= kMinLength)
        m_thread =
            std::thread(&PagePrefault::Run, this, static_cast<unsigned char*>(begin), length);
#else
    (void)begin;
    (void)length;
#endif
}

PagePrefault::~PagePrefault()
{
    m_stop = true;
    if (m_thread.joinable())
        m_thread.join();
}

std::size_t PagePrefault::Finish()
{
    if (m_thread.joinable())
        m_thread.join();
    return m_reached;
}

void PagePrefault::Run(unsigned char* begin, std::size_t length)
{
#if defined(__linux__)
    // madvise wants a page-aligned start; the partial page before it is the filler's.
    const std::uintptr_t page = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
    const std::uintptr_t first = (reinterpret_cast<std::uintptr_t>(begin) + page - 1) & ~(page - 1);
    const std::uintptr_t end = reinterpret_cast<std::uintptr_t>(begin) + length;
    for (std::uintptr_t at = first; at < end && !m_stop; at += kStep) {
        const std::size_t step =
            static_cast<std::size_t>(std::min<std::uintptr_t>(kStep, end - at));
        if (madvise(reinterpret_cast<void*>(at), step, MADV_POPULATE_WRITE) != 0)
            return;
        m_reached = static_cast<std::size_t>(at + step - reinterpret_cast<std::uintptr_t>(begin));
    }
#else
    (void)begin;
    (void)length;
#endif
}
