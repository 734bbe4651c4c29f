#pragma once

#include <optional>
#include <string>

// What opening a picture file gives, read from its header alone: the format (a CDib::Format
// code), the size and depth of the DIB the reader makes, its colour count and the reader's
// note (CDib::GetSourceNote). For the bitmaps, TIFFs, PNGs, JPEGs and PDF pages; nothing for
// other kinds, or when the header is not enough: the file has to be opened then.
struct PictureHeader {
    int format = 0;
    int width = 0;
    int height = 0;
    int bitCount = 0;
    int colours = 0;
    std::string note;
};

std::optional<PictureHeader> ReadPictureHeader(const std::string& path);

// The reader's note for a JPEG's EXIF orientation (1 ... 8); empty for 1.
std::string ExifNote(int orientation);
