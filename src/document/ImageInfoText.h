#pragma once

#include <string>

class CDib;

// The name of an image format code: "BMP" for 1, "TIFF" for 6, "Unknown" for 0 and for
// any code outside the table.
const char* ImageFormatName(int code);

// The text the Image Info command shows: the image file's folder and name (empty without a
// path), format, size, planes, depth, number of colours and whether the image was edited.
std::string ImageInfoText(const std::string& imagePath, const CDib& image, bool modified);
