#pragma once

#include "support/TempDir.h"

#include <cstdint>
#include <string>
#include <vector>

// libsane's own "test" back end, configured by a folder of the test's (SANE_CONFIG_DIR with a
// dll.conf naming only "test" and a test.conf fixing its options). The library is restarted
// so that it reads the folder; it is shut down again when the object goes.
class SaneTestBackend {
public:
    SaneTestBackend();
    ~SaneTestBackend();

    // scanimage run on the same configuration; its picture (PNM) decoded to 8-bit samples,
    // channels per pixel in channels. False when scanimage fails.
    bool ScanImage(const std::string& arguments, int& width, int& height, int& channels,
                   std::vector<std::uint8_t>& samples) const;

private:
    TempDir m_config;
};

// The red, green and blue of pixel (x, y) of a packed DIB, y counted from the top.
void DibPixel(const std::vector<std::uint8_t>& dib, int x, int y, std::uint8_t rgb[3]);
