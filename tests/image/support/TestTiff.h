#pragma once

#include <tiffio.h>

#include <cstdint>
#include <string>
#include <vector>

namespace testdibs {

// A TIFF to store with libtiff: rows from the top, each sample a byte (bit-packed rows for
// 1 bit).
struct TiffImage {
    TiffImage(int w, int h, int bits = 8, int samples = 1, int photo = PHOTOMETRIC_MINISBLACK,
              int packing = COMPRESSION_NONE, int orient = ORIENTATION_TOPLEFT, int strip = 3,
              bool tiles = false)
        : width(w), height(h), bitsPerSample(bits), samplesPerPixel(samples), photometric(photo),
          compression(packing), orientation(orient), rowsPerStrip(strip), tiled(tiles)
    {
    }
    int width;
    int height;
    int bitsPerSample;
    int samplesPerPixel;
    int photometric;
    int compression;
    int orientation;
    int rowsPerStrip;
    bool tiled;                           // 16 x 16 tiles
    std::vector<std::uint16_t> colourMap; // 3 x 2^bits entries for palette images
    int extraSample = -1;                 // EXTRASAMPLE_* of a last sample, -1 none
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
