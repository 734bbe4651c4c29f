#pragma once

#include "scan/SaneScanner.h"

#include <atomic>
#include <functional>
#include <thread>

// A scan on a worker thread, so that the user-interface thread stays free. Progress and the
// result are handed to callbacks on the worker thread: the shell carries them over to its own
// thread. The scanner is used by the worker only until the result callback has returned.
class SaneScanJob {
public:
    using Progress = std::function<void(double fraction)>;
    using Finished = std::function<void(SaneScanResult result)>;

    SaneScanJob() = default;
    // Cancels a scan still running and waits for it.
    ~SaneScanJob();
    SaneScanJob(const SaneScanJob&) = delete;
    SaneScanJob& operator=(const SaneScanJob&) = delete;

    // Starts scanning with the scanner's current options; false while a scan is running.
    bool Start(SaneScanner& scanner, Progress progress, Finished finished);
    // Asks the running scan to stop; it ends with a cancelled result.
    void Cancel() { m_cancel = true; }
    bool IsRunning() const { return m_running; }
    // Waits for the worker to end.
    void Wait();

private:
    std::thread m_thread;
    std::atomic<bool> m_cancel{false};
    std::atomic<bool> m_running{false};
};
