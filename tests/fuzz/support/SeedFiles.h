#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

// Small well-formed inputs of every kind the readers of outside data take: the fuzz programs'
// starting corpus and the tests' sample files.
using Bytes = std::vector<std::uint8_t>;
using Seeds = std::vector<std::pair<std::string, Bytes>>;

void Put16(Bytes& b, std::uint32_t v);
void Put32(Bytes& b, std::uint32_t v);

// A bitmap file: file header, a 40-byte header (image size field = pixel bytes given), the
// table and the pixel bytes as given, the pixels right after the table.
Bytes BmpFile(std::int32_t width, std::int32_t height, int bitCount, std::uint32_t compression,
              const Bytes& table, const Bytes& pixels, std::uint32_t clrUsed = 0);
// A grey colour table of the given number of 4-byte entries.
Bytes Grey(int colours);
// n bytes of a repeating pattern.
Bytes Pattern(std::size_t n);

// Windows bitmaps: every depth, top-down rows, 8- and 4-bit run-length data, bit fields and a
// core header.
Seeds BmpSeeds();
// The bitmaps above as plain (first byte 0) and compressed (first byte 1) embedded blocks.
Seeds BlockSeeds();
// TIFF files written by libtiff (1-bit in several compressions, grey, RGB, palette, tiled);
// scratch is a folder for the files on their way.
Seeds TiffSeeds(const std::filesystem::path& scratch);
// Project files (embedded compressed and plain images, a referenced image, format 4) and a
// bitmap, everything a document opens; scratch holds the referenced image "plot.bmp".
Seeds ProjectSeeds(const std::filesystem::path& scratch);
// Archive strings of every prefix form.
Seeds StringSeeds();
