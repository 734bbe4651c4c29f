#include "scan/SaneScanJob.h"

SaneScanJob::~SaneScanJob()
{
    Cancel();
    Wait();
}

bool SaneScanJob::Start(SaneScanner& scanner, Progress progress, Finished finished)
{
    // Not from the worker itself (a callback), which cannot wait for its own end.
    if (m_running || (m_thread.joinable() && m_thread.get_id() == std::this_thread::get_id()))
        return false;
    Wait();
    m_cancel = false;
    m_running = true;
    m_thread = std::thread(
        [this, &scanner, progress = std::move(progress), finished = std::move(finished)] {
            SaneScanResult result = scanner.Scan(progress, &m_cancel);
            // The device is free before the result is handed on: whoever takes it may start
            // the next scan at once (Start then waits for this thread's last steps).
            m_running = false;
            if (finished)
                finished(std::move(result));
        });
    return true;
}

void SaneScanJob::Wait()
{
    if (m_thread.joinable() && m_thread.get_id() != std::this_thread::get_id())
        m_thread.join();
}
