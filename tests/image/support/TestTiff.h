#pragma once

#include <tiffio.h>

#include <cstdint>
#include <string>
#include <vector>

namespace testdibs {

// A TIFF to store with libtiff: rows from the top, each sample a byte (bit-packed rows for
// 1 bit).
struct TiffImage {
    int width = 0;
    int height = 0;
    int bitsPerSample = 8;
    int samplesPerPixel = 1;
    int photometric = PHOTOMETRIC_MINISBLACK;
    int compression = COMPRESSION_NONE;
    int orientation = ORIENTATION_TOPLEFT;
    int rowsPerStrip = 3;
    bool tiled = false;                   // 16 x 16 tiles
    std::vector<std::uint16_t> colourMap; // 3 x 2^bits entries for palette images
};

// The rows from the top of a test picture of that size and depth (smooth for JPEG).
std::vector<std::vector<std::uint8_t>> TiffRows(const TiffImage& s);
// Stores the rows; false when libtiff cannot.
bool WriteTiff(const std::string& path, const TiffImage& s,
               const std::vector<std::vector<std::uint8_t>>& rows);

} // namespace testdibs
