#pragma once

#include "image/DibUtil.h"

#include <cstdint>
#include <string>
#include <vector>

// Bitmaps made for the image tests.
namespace testdibs {

// A DIB of the given size and depth whose pixel at (x, y) from the top-left has the value
// Pattern(x, y, bitCount); colours used as given (0: the depth's default table), with a
// colour table of distinct entries.
DibBlock Make(int width, int height, int bitCount, std::uint32_t clrUsed = 0);

// The value the pattern puts at (x, y) for a depth (masked to the depth).
std::uint32_t Pattern(int x, int y, int bitCount);

// The value of pixel (x, y) from the top-left of a DIB.
std::uint32_t Get(const std::uint8_t* dib, int x, int y);
void Put(std::uint8_t* dib, int x, int y, std::uint32_t v);

// The bits of each row past the last pixel (the padding), concatenated.
std::vector<std::uint8_t> PaddingBits(const std::uint8_t* dib);

// File bodies (everything after the file header) of the kinds the reader converts:
// run-length data after a table whose entry i is (i, i, i) (colours used 0: the depth's full
// table); a 12-byte core header, its 3-byte table entries and the pixels; bit fields with the
// given masks (none when empty) and pixel bytes.
std::vector<std::uint8_t> RleBody(int width, int height, int bitCount,
                                  const std::vector<std::uint8_t>& data, std::uint32_t clrUsed = 0);
std::vector<std::uint8_t> CoreBody(int width, int height, int bitCount,
                                   const std::vector<std::uint8_t>& table,
                                   const std::vector<std::uint8_t>& pixels);
std::vector<std::uint8_t> BitFieldsBody(std::int32_t width, std::int32_t height, int bitCount,
                                        const std::vector<std::uint32_t>& masks,
                                        const std::vector<std::uint8_t>& pixels);

// A file header ("BM", sizes, pixel offset) followed by the given body.
std::vector<std::uint8_t> BmpFile(const std::vector<std::uint8_t>& body, std::uint32_t pixelOffset);

void WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes);
std::vector<std::uint8_t> ReadFile(const std::string& path);

} // namespace testdibs
