#pragma once

#include "image/DibUtil.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

// The picture formats read through their reference libraries: libpng, libjpeg, giflib and
// libwebp. Each reader takes a whole file held in memory and turns it into a DIB: grey and
// palette pictures become 8-bit palette DIBs, colour pictures 24-bit ones, and transparent
// pixels are laid over white paper. The readers are silent: a file the library cannot read
// whole, or whose picture is beyond the DIB bounds (checked before the pixels are
// allocated), gives nothing.
enum class PictureKind { kNone, kPng, kJpeg, kGif, kWebp };

// The kind the first bytes announce: the PNG signature, a JPEG start-of-image marker, "GIF87a"
// or "GIF89a", or a RIFF container of type "WEBP"; kNone for anything else.
PictureKind SniffPicture(const std::uint8_t* data, std::size_t length);

// Every colour type and depth; 16-bit samples are scaled to 8 bits.
std::optional<DibBlock> ReadPngMemory(const std::uint8_t* data, std::size_t length);
// Baseline and progressive, greyscale, colour and CMYK/YCCK (Adobe's inverted inks). The
// DIB is as stored; orientation, when given, receives the EXIF orientation of the file.
std::optional<DibBlock> ReadJpegMemory(const std::uint8_t* data, std::size_t length,
                                       int* orientation = nullptr);
// The header of a JPEG (its start up to the frame header suffices): the size of the picture
// as stored, whether it is grey, and its EXIF orientation; false when libjpeg cannot read it.
bool ReadJpegHeader(const std::uint8_t* data, std::size_t length, int* width, int* height,
                    bool* grey, int* orientation);
// The orientation tag (1 ... 8) of the first directory of an EXIF block (the body of an APP1
// segment, from "Exif"); 1, the picture as stored, without a sound tag.
int ExifOrientation(const std::uint8_t* data, std::size_t length);
class CDib;
// Writes the picture as a PNG file; false when it cannot be written.
bool WritePngFile(const std::string& path, const CDib& dib);

// The first frame drawn on the logical screen; the rest of the screen is white.
std::optional<DibBlock> ReadGifMemory(const std::uint8_t* data, std::size_t length);
// Lossy and lossless, with or without alpha.
std::optional<DibBlock> ReadWebpMemory(const std::uint8_t* data, std::size_t length);

// A picture read from a file: its DIB as stored, its kind, and its orientation as EXIF
// numbers them (1 ... 8; 1 is the picture as stored, 6 is to be turned a quarter clockwise).
struct Picture {
    DibBlock dib;
    PictureKind kind = PictureKind::kNone;
    int orientation = 1;
};

// Reads the file at path when its content is one of the kinds above; nothing for a file of
// any other kind.
std::optional<Picture> ReadPictureFile(const std::string& path);

// The DIBs the readers fill, zeroed; nothing beyond the DIB bounds or without the memory.
// An 8-bit DIB with count (1 ... 256) colours taken from bgr, three bytes each, blue first.
std::optional<DibBlock> NewPaletteDib(int width, int height, const std::uint8_t* bgr, int count);
// An 8-bit DIB with the 256 greys.
std::optional<DibBlock> NewGreyDib(int width, int height);
// A 24-bit DIB.
std::optional<DibBlock> NewColourDib(int width, int height);
