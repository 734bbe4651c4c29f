#pragma once

#include <string>

class CDib;
struct PictureHeader;

// The name of an image format code: "BMP" for 1, "GIF" for 2, "JPEG" for 5, "TIFF" for 6,
// "PNG" for 8, "WebP" for 9, "PDF" for 10, "Unknown" for 0, 7 and any code outside the table.
const char* ImageFormatName(int code);

// The text the Image Info command shows: the image file's folder and name (empty without a
// path), format (with the reader's note), size, planes, depth, number of colours and
// whether the image was edited.
std::string ImageInfoText(const std::string& imagePath, const CDib& image, bool modified);
// The same text for a picture file known from its header alone.
std::string ImageInfoText(const std::string& imagePath, const PictureHeader& header);
