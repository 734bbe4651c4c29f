#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Where a scanner back end (TWAIN or SANE) hands its results, on the user-interface thread:
// each picture becomes a new untitled document, each failure a message.
class ScanReceiver {
public:
    virtual ~ScanReceiver() = default;
    // A scanned picture as a packed bitmap; false when no document could be made of it.
    virtual bool ImageScanned(const std::vector<std::uint8_t>& dib) = 0;
    // A scan that failed; the message says which device and why.
    virtual void ScanFailed(const std::string& message) = 0;
};
