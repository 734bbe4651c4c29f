#pragma once

#include "image/support/TestDibs.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

// Small well-formed inputs of every kind the readers of outside data take: the fuzz programs'
// starting corpus and the tests' sample files.
using Bytes = testdibs::Bytes;
using Seeds = std::vector<std::pair<std::string, Bytes>>;

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
// PNG files of every depth, written by the program's PNG writer.
Seeds PngSeeds(const std::filesystem::path& scratch);
// PDF files of one and two pages, a turned page and a page drawn with paths and text.
Seeds PdfSeeds();
// Archive strings of every prefix form.
Seeds StringSeeds();
