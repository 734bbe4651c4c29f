#pragma once

#include "image/DibUtil.h"

#include <sane/sane.h>

#include <atomic>
#include <functional>
#include <string>
#include <vector>

class SaneLibrary;

// A SANE device as sane_get_devices lists it.
struct SaneDevice {
    std::string name; // what sane_open takes, such as "test:0"
    std::string vendor;
    std::string model;
    std::string type;
    // "vendor model (name)", for lists.
    std::string Label() const;
};

// The picture a scan asks for. Zero or negative values keep the device's own setting.
struct SaneScanSettings {
    enum class Mode { kColour, kGrey, kLineArt };
    Mode mode = Mode::kColour;
    int depth = 0;         // bits per sample for colour and grey (8 or 16); 0: 8
    double resolution = 0; // dots per inch
    // The scan area in mm from the top-left corner of the glass; used when right > left and
    // bottom > top.
    double left = 0, top = 0, right = 0, bottom = 0;
};

// What the open device offers, for a dialog.
struct SaneCapabilities {
    std::vector<SaneScanSettings::Mode> modes;
    double minResolution = 0, maxResolution = 0;
    std::vector<double> resolutions; // the allowed values, when the device lists them
    bool hasArea = false;            // the area can be set, in mm
    double areaWidth = 0, areaHeight = 0;
    double left = 0, top = 0, right = 0, bottom = 0; // the area set now
};

// The outcome of a scan: the picture, or why there is none.
struct SaneScanResult {
    enum class Outcome { kDone, kCancelled, kFailed };
    Outcome outcome = Outcome::kFailed;
    DibBlock dib;
    std::string message;
};

// One SANE device, opened through the process's SaneLibrary. The options are reached by
// their well-known names; a scan runs on the calling thread (see SaneScanJob for one on a
// worker thread). Every failure leaves a message that names the device and, for a status of
// the library, its sane_strstatus text.
class SaneScanner {
public:
    SaneScanner() = default;
    ~SaneScanner();
    SaneScanner(const SaneScanner&) = delete;
    SaneScanner& operator=(const SaneScanner&) = delete;

    // The devices the library finds; empty (with error set when it may be) without libsane.
    static std::vector<SaneDevice> Devices(std::string* error = nullptr);

    bool Open(const std::string& device);
    void Close();
    bool IsOpen() const { return m_handle != nullptr; }
    const std::string& DeviceName() const { return m_device; }
    const std::string& Error() const { return m_error; }

    SaneCapabilities Capabilities() const;
    // Sets mode, depth, resolution and area, in that order; options the device lacks or
    // holds inactive are passed over, values are brought to the nearest one it allows.
    bool Apply(const SaneScanSettings& settings);
    // Sets any option by name from text: a string, "yes"/"no" for a switch, or a number.
    bool SetOption(const std::string& name, const std::string& value);

    // Scans one picture. progress (may be empty) receives the fraction done, or -1 while
    // the length is unknown; cancel (may be null) is polled between reads and stops the scan
    // with sane_cancel.
    SaneScanResult Scan(const std::function<void(double)>& progress = {},
                        const std::atomic<bool>* cancel = nullptr);

private:
    int FindOption(const char* name) const;
    bool SetNumber(int index, double value);
    bool SetString(int index, const std::string& value);
    bool Control(int index, void* value);
    double GetNumber(int index) const;
    std::string StatusMessage(SANE_Status status) const;

    SaneLibrary* m_sane = nullptr;
    SANE_Handle m_handle = nullptr;
    std::string m_device;
    std::string m_error;
};
