#pragma once

#include "scan/SaneScanJob.h"
#include "scan/SaneScanner.h"

#include <functional>
#include <memory>
#include <string>

class ScanReceiver;

// An acquisition from one SANE device, for a dialog: the device's options, a preview (a
// low-resolution scan of the whole glass, handed back to the dialog) and the scan itself,
// whose picture goes to the receiver as a new document and whose failure goes to it as a
// message. Scans run on a worker thread; every callback is carried to the user-interface
// thread by the poster, and none runs once the acquisition is gone.
class SaneAcquisition {
public:
    // Runs a call on the user-interface thread, after the current event.
    using Poster = std::function<void(std::function<void()>)>;
    using Progress = std::function<void(double fraction)>;
    // The end of a scan or preview: done, cancelled or failed.
    using Finished = std::function<void(SaneScanResult::Outcome outcome)>;
    using PreviewReady = std::function<void(const DibBlock& dib)>;

    SaneAcquisition(ScanReceiver& receiver, Poster poster);
    ~SaneAcquisition();

    bool Open(const std::string& device);
    SaneScanner& Scanner() { return m_scanner; }
    // From the start of a scan until its end has been handed over on the user-interface thread.
    bool IsScanning() const { return m_busy; }

    // Scans with the settings; false (reported to the receiver) when they cannot be set or a
    // scan is running.
    bool Scan(const SaneScanSettings& settings, Progress progress, Finished finished);
    // A preview at the given resolution over the whole area the device offers.
    bool Preview(SaneScanSettings settings, double resolution, PreviewReady ready,
                 Progress progress, Finished finished);
    // Stops the running scan (sane_cancel); it finishes as cancelled.
    void Cancel() { m_job.Cancel(); }

private:
    bool Run(const SaneScanSettings& settings, Progress progress,
             std::function<void(SaneScanResult&)> deliver, Finished finished);

    ScanReceiver& m_receiver;
    Poster m_poster;
    SaneScanner m_scanner;
    SaneScanJob m_job;
    bool m_busy = false;
    // Shared with the posted calls, which do nothing once it is false.
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
};
