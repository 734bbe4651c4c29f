#pragma once

#include "image/DibUtil.h"

#include <cstdint>
#include <string>
#include <vector>

// Bitmaps and bitmap files made for the tests of the image readers.
namespace testdibs {

using Bytes = std::vector<std::uint8_t>;

// A DIB of the given size and depth whose pixel at (x, y) from the top-left has the value
// Pattern(x, y, bitCount); colours used as given (0: the depth's default table), with a
// colour table of distinct entries.
DibBlock Make(int width, int height, int bitCount, std::uint32_t clrUsed = 0);
// The value the pattern puts at (x, y) for a depth (masked to the depth).
std::uint32_t Pattern(int x, int y, int bitCount);

// The value of pixel (x, y) from the top-left of a DIB.
std::uint32_t Get(const std::uint8_t* dib, int x, int y);
void Put(std::uint8_t* dib, int x, int y, std::uint32_t v);

// A file header ("BM", file size, pixel offset) followed by the given body.
Bytes Wrap(const Bytes& body, std::uint32_t pixelOffset);
// A bitmap file: a 40-byte header (image size field = the pixel bytes given), the table and
// the pixel bytes as given, the pixels right after the table.
Bytes BmpFile(std::int32_t width, std::int32_t height, int bitCount, std::uint32_t compression,
              const Bytes& table, const Bytes& pixels, std::uint32_t clrUsed = 0);
// A grey colour table of the given number of 4-byte entries.
Bytes Grey(int colours);

void WriteFile(const std::string& path, const Bytes& bytes);
Bytes ReadFile(const std::string& path);

} // namespace testdibs
