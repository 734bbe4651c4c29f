#pragma once

#include <tiffio.h>

#include <cstdint>
#include <string>
#include <vector>

namespace testdibs {

// A TIFF to store with libtiff: rows from the top, each sample a byte (bit-packed rows for
// 1 bit).
struct TiffImage {
    int width, height, bitsPerSample = 8, samplesPerPixel = 1;
    int photometric = PHOTOMETRIC_MINISBLACK, compression = COMPRESSION_NONE;
    int orientation = ORIENTATION_TOPLEFT, rowsPerStrip = 3;
    bool tiled = false;                     // 16 x 16 tiles
    std::vector<std::uint16_t> colourMap{}; // 3 x 2^bits entries for palette images
    int extraSample = -1;                   // EXTRASAMPLE_* of a last sample, -1 none
};

// The rows from the top of a test picture of that size and depth (smooth for JPEG).
std::vector<std::vector<std::uint8_t>> TiffRows(const TiffImage& s);
// Stores the rows; false when libtiff cannot.
bool WriteTiff(const std::string& path, const TiffImage& s,
               const std::vector<std::vector<std::uint8_t>>& rows);
// A 64 x 64 grey LZW TIFF whose strip data (right after the 8-byte header) is garbled: libtiff
// opens it and fails to decode it. False when it cannot be written.
bool WriteUndecodableTiff(const std::string& path);

} // namespace testdibs
