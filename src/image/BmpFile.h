#pragma once

#include "image/DibUtil.h"

#include <optional>
#include <string>

// Windows bitmap files and the conversions their reading needs. Every function reports
// failure only by its result; none shows a message.

// Reads a .bmp/.dib file into a DIB laid out by the size rules (40-byte header, colour
// table or the 12 mask bytes of 16- and 32-bit bitmaps, bottom-up rows). Core (12-byte)
// headers are converted, 8- and 4-bit run-length data expanded, bit-field bitmaps decoded
// into 32 bits per pixel, top-down rows turned bottom-up. The pixels are taken at the file's
// pixel offset. Nothing for a file that cannot be read or does not hold a sound bitmap.
std::optional<DibBlock> ReadBmpFile(const std::string& path);
// The same for a whole file held in memory.
std::optional<DibBlock> ReadBmpMemory(const std::uint8_t* data, std::size_t length);

// Where the pixels of a packed DIB (a bitmap header, its masks and colour table, then the
// pixels, as the clipboard and scanners hand them over) start, counted from the header; 0
// when the header is of no known size or the block is too short for it.
std::uint64_t PackedDibPixelOffset(const std::uint8_t* dib, std::size_t length);
// A packed DIB in any layout the bitmap reader accepts (top-down rows, bit fields,
// run-length data, core or larger headers), brought to the program's layout.
std::optional<DibBlock> ReadPackedDib(const std::uint8_t* dib, std::size_t length);

// Writes the file header and the DIB; false when the file cannot be created or written or
// the block does not hold a sound DIB (nothing is written then).
bool WriteBmpFile(const std::string& path, const std::uint8_t* dib, std::size_t length);

// The conversions below take the bytes after the file header (starting with the bitmap
// header) and where in them the pixels start.

// A 12-byte core header with 3-byte colour entries becomes a 40-byte header with 4-byte
// entries and colours used/important set to the colour count.
std::optional<DibBlock> ConvertCoreHeader(const std::uint8_t* src, std::size_t length,
                                          std::size_t bitsOffset);

// Expands 8-bit (4-bit) run-length data: the header's image size field gives the length
// of the input. Each write is checked against the output pixel area and each read against
// the input; the input has to be consumed to its end, and is checked before the picture is
// made. A picture above 16 MiB needs a byte of input per 64 KiB of pixels beyond that.
std::optional<DibBlock> ExpandRle8(const std::uint8_t* src, std::size_t length,
                                   std::size_t bitsOffset);
std::optional<DibBlock> ExpandRle4(const std::uint8_t* src, std::size_t length,
                                   std::size_t bitsOffset);

// Decodes a 16- or 32-bit bitmap with colour masks (compression 3) into a 32-bit DIB.
std::optional<DibBlock> DecodeBitFields(const std::uint8_t* src, std::size_t length,
                                        std::size_t bitsOffset);
