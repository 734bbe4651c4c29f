#pragma once

#include "support/TempDir.h"

#include <cstdint>
#include <string>
#include <vector>

// libsane's own "test" back end, configured by a folder of the test's (SANE_CONFIG_DIR with a
// dll.conf naming only "test" and a test.conf fixing its options). The library is restarted
// so that it reads the folder; it is shut down again when the object goes.
//
// Under AddressSanitizer, the back end's reader thread is cancelled asynchronously by
// sane_cancel and can die holding the sanitizer's allocator lock; the tests that make it stop
// early (failures, cancels) are skipped there. The back end also leaks a few blocks of its
// own: there its module is kept loaded so that LeakSanitizer can name and pass over them, and
// since the module then keeps its state from one test to the next, its pictures are not
// compared with a fresh scanimage there.
bool UnderAddressSanitizer();
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
