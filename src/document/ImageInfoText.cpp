#include "document/ImageInfoText.h"

#include "image/CDib.h"
#include "image/PdfFile.h"
#include "image/PictureHeader.h"

#include <cstdio>
#include <filesystem>
#include <iterator>
#include <system_error>

const char* ImageFormatName(int code)
{
    // Code 7 is the compressed block of project files, not a source of images.
    static const char* const names[] = {"Unknown", "BMP",     "GIF", "PCX",  "TGA", "JPEG",
                                        "TIFF",    "Unknown", "PNG", "WebP", "PDF"};
    if (code < 0 || code >= static_cast<int>(std::size(names)))
        return names[0];
    return names[code];
}

namespace {

std::string InfoText(const std::string& imagePath, const PictureHeader& info, bool modified)
{
    std::string folder;
    std::string name;
    if (!imagePath.empty()) {
        std::error_code ec;
        // A page of a PDF is named by its file; the format line tells the page.
        const std::string file = SplitPicturePath(imagePath).file;
        std::filesystem::path full = std::filesystem::absolute(file, ec);
        const std::string fullName = ec ? file : full.lexically_normal().string();
        const std::size_t slash = fullName.find_last_of('/');
        if (slash == std::string::npos) {
            name = fullName;
        } else {
            folder = fullName.substr(0, slash);
            name = fullName.substr(slash + 1);
        }
    }
    char colours[32];
    if (info.bitCount == 24)
        std::snprintf(colours, sizeof colours, "16 million");
    else
        std::snprintf(colours, sizeof colours, "%d", info.colours);

    const char* format = "File Path: %s\r\nFile Name: %s\r\nFile Format: %s\r\nImage Width: %d\r\n"
                         "Image Height: %d\r\nNumber of Planes: %d\r\nBit Depth: %d\r\n"
                         "Number of Colors: %s\r\nImage Modified: %s\r\n";
    const int planes = info.width > 0 ? 1 : 0; // none without a picture
    std::string formatName = ImageFormatName(info.format);
    if (!info.note.empty())
        formatName += ", " + info.note;
    const char* yesNo = modified ? "Yes" : "No";
    const int length =
        std::snprintf(nullptr, 0, format, folder.c_str(), name.c_str(), formatName.c_str(),
                      info.width, info.height, planes, info.bitCount, colours, yesNo);
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    std::snprintf(text.data(), text.size(), format, folder.c_str(), name.c_str(),
                  formatName.c_str(), info.width, info.height, planes, info.bitCount, colours,
                  yesNo);
    text.resize(static_cast<std::size_t>(length));
    return text;
}

} // namespace

std::string ImageInfoText(const std::string& imagePath, const CDib& image, bool modified)
{
    const CDib::Info info = image.GetInfo();
    PictureHeader header;
    header.format = image.GetFormat();
    header.width = info.width;
    header.height = info.height;
    header.bitCount = info.bitCount;
    header.colours = info.colours;
    header.note = image.GetSourceNote();
    return InfoText(imagePath, header, modified);
}

std::string ImageInfoText(const std::string& imagePath, const PictureHeader& header)
{
    return InfoText(imagePath, header, false);
}
