#include "scan/SaneAcquisition.h"

#include "scan/ScanReceiver.h"

SaneAcquisition::SaneAcquisition(ScanReceiver& receiver, Poster poster)
    : m_receiver(receiver), m_poster(std::move(poster))
{
}

SaneAcquisition::~SaneAcquisition()
{
    *m_alive = false;
    m_job.Cancel();
    m_job.Wait();
}

bool SaneAcquisition::Open(const std::string& device)
{
    if (m_scanner.Open(device))
        return true;
    m_receiver.ScanFailed(m_scanner.Error());
    return false;
}

bool SaneAcquisition::Scan(const SaneScanSettings& settings, Progress progress, Finished finished)
{
    return Run(
        settings, std::move(progress),
        [this](SaneScanResult& result) {
            if (!m_receiver.ImageScanned(result.dib))
                result.outcome = SaneScanResult::Outcome::kFailed;
        },
        std::move(finished));
}

bool SaneAcquisition::Preview(SaneScanSettings settings, double resolution, PreviewReady ready,
                              Progress progress, Finished finished)
{
    const SaneCapabilities caps = m_scanner.Capabilities();
    settings.resolution = std::max(resolution, caps.minResolution);
    if (caps.hasArea) {
        settings.left = settings.top = 0;
        settings.right = caps.areaWidth;
        settings.bottom = caps.areaHeight;
    }
    return Run(
        settings, std::move(progress),
        [ready = std::move(ready)](SaneScanResult& result) {
            if (ready)
                ready(result.dib);
        },
        std::move(finished));
}

bool SaneAcquisition::Run(const SaneScanSettings& settings, Progress progress,
                          std::function<void(SaneScanResult&)> deliver, Finished finished)
{
    if (IsScanning() || !m_scanner.IsOpen())
        return false;
    if (!m_scanner.Apply(settings)) {
        m_receiver.ScanFailed(m_scanner.Error());
        return false;
    }
    m_busy = true;
    const std::weak_ptr<bool> alive = m_alive;
    const Poster poster = m_poster;
    auto onProgress = [alive, poster, progress](double fraction) {
        if (progress)
            poster([alive, progress, fraction] {
                if (alive.lock() && *alive.lock())
                    progress(fraction);
            });
    };
    auto onFinished = [this, alive, poster, deliver = std::move(deliver),
                       finished = std::move(finished)](SaneScanResult result) {
        poster([this, alive, deliver, finished, result = std::move(result)]() mutable {
            const std::shared_ptr<bool> living = alive.lock();
            if (!living || !*living)
                return;
            m_busy = false;
            if (result.outcome == SaneScanResult::Outcome::kDone)
                deliver(result);
            else if (result.outcome == SaneScanResult::Outcome::kFailed)
                m_receiver.ScanFailed(result.message);
            if (finished)
                finished(result.outcome);
        });
    };
    if (!m_job.Start(m_scanner, std::move(onProgress), std::move(onFinished))) {
        m_busy = false;
        return false;
    }
    return true;
}
