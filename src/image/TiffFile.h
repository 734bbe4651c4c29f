#pragma once

#include "image/DibUtil.h"

#include <optional>
#include <string>

// Whether libtiff can open the file. Silent whatever the file holds.
bool ProbeTiffFile(const std::string& path);

// Reads a TIFF file: black-and-white images (1 bit, min-is-white or min-is-black) become a
// 1-bit DIB read strip by strip; RGB, grey and palette images of 8- or 16-bit samples in
// strips (top-left, no extra samples, not JPEG) are read strip by strip straight into a 24-bit
// (RGB) or 8-bit DIB, 16-bit samples rounded to 8 bits; every other image becomes a 32-bit
// DIB through libtiff's RGBA interface. Warnings are swallowed; libtiff's errors are shown once
// the read is over through the program's message box, titled "<file name> Error", unless quiet
// (a read on a thread without windows). libtiff's process-wide handlers are neither called nor
// changed, so reads may run on several threads at once.
std::optional<DibBlock> ReadTiffFile(const std::string& path, bool quiet = false);
// The same for a whole file held in memory; name stands for the file in messages.
std::optional<DibBlock> ReadTiffMemory(const std::uint8_t* data, std::size_t length,
                                       const std::string& name);

// The size of the picture a TIFF file holds and the depth of the DIB ReadTiffFile makes of
// it, from its first directory alone; false when libtiff cannot read that. Silent.
bool ReadTiffHeader(const std::string& path, int* width, int* height, int* bitCount);
