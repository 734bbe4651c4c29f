#pragma once

#include "scan/SaneAcquisition.h"

#include <QDialog>
#include <QImage>

#include <memory>
#include <string>

class Profile;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QSpinBox;
class SanePreviewPane;
class ScanReceiver;

// File > Acquire for a SANE device: the device, mode, resolution and scan area (mm), a Preview
// (a low-resolution scan of the whole glass in which the user drags the area), and Scan with a
// progress bar; Cancel stops a running scan, else closes the dialog. The scanned picture goes
// to the receiver, which makes it a new document; the dialog then closes. Mode and resolution
// are remembered in the settings.
class SaneAcquireDialog : public QDialog {
    Q_OBJECT
public:
    SaneAcquireDialog(ScanReceiver& receiver, Profile& settings, const std::string& device,
                      QWidget* parent = nullptr);
    ~SaneAcquireDialog() override;

private:
    void OpenDevice(const std::string& device);
    SaneScanSettings Settings() const;
    void SetBusy(bool busy);
    void OnProgress(double fraction);
    void OnFinished(SaneScanResult::Outcome outcome, bool preview);
    void StartPreview();
    void StartScan();
    void CancelOrClose();
    void AreaChanged();

    Profile& m_settings;
    std::unique_ptr<SaneAcquisition> m_acquisition;
    SaneCapabilities m_caps;
    QComboBox* m_device = nullptr;
    QComboBox* m_mode = nullptr;
    QSpinBox* m_resolution = nullptr;
    QDoubleSpinBox* m_area[4] = {};
    SanePreviewPane* m_preview = nullptr;
    QProgressBar* m_progress = nullptr;
    QPushButton* m_previewButton = nullptr;
    QPushButton* m_scanButton = nullptr;
    QPushButton* m_cancelButton = nullptr;
    QLabel* m_status = nullptr;
};
