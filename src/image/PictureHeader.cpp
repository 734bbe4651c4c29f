#include "image/PictureHeader.h"

#include "image/CDib.h"
#include "image/PdfFile.h"
#include "image/PictureFile.h"
#include "image/TiffFile.h"

#include <png.h>
#include <webp/decode.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <system_error>
#include <vector>

namespace {

// A JPEG's frame header follows its EXIF block, which holds at most 64 KiB; a thumbnail or
// two may come before it as well.
constexpr std::size_t kHeadBytes = std::size_t{1} << 20;

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

std::optional<PictureHeader> BmpHeader(const std::uint8_t* p, std::size_t n)
{
    if (n < kFileHeaderSize + 16)
        return std::nullopt;
    p += kFileHeaderSize;
    n -= kFileHeaderSize;
    PictureHeader h;
    h.format = CDib::kFormatBmp;
    const std::uint32_t size = GetLE32(p);
    std::int64_t width = 0, height = 0;
    if (size == kCoreHeaderSize) {
        width = GetLE16(p + 4);
        height = GetLE16(p + 6);
        h.bitCount = GetLE16(p + 10);
        h.colours = h.bitCount <= 8 ? 1 << h.bitCount : 0;
    } else if ((size == 40 || size == 52 || size == 56 || size == 108 || size == 124) &&
               n >= kInfoHeaderSize) {
        BitmapInfoHeader info = BitmapInfoHeader::Read(p);
        width = info.width;
        height = info.height < 0 ? -std::int64_t{info.height} : info.height;
        if (info.compression == kBiBitFields || info.compression == kBiAlphaBitFields) {
            info.bitCount = 32;
            info.clrUsed = 0;
        }
        std::uint8_t normal[kInfoHeaderSize];
        info.size = kInfoHeaderSize;
        info.Write(normal);
        h.bitCount = info.bitCount;
        h.colours = static_cast<int>(DibNumColors(normal));
    } else {
        return std::nullopt;
    }
    if (width < 1 || width > kMaxDibSide || height < 1 || height > kMaxDibSide ||
        !IsDibBitCount(h.bitCount))
        return std::nullopt;
    h.width = static_cast<int>(width);
    h.height = static_cast<int>(height);
    return h;
}

std::optional<PictureHeader> PngHeader(const std::string& path)
{
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str()))
        return std::nullopt;
    PictureHeader h;
    h.format = CDib::kFormatPng;
    h.width = static_cast<int>(image.width);
    h.height = static_cast<int>(image.height);
    if (image.format & PNG_FORMAT_FLAG_COLORMAP) {
        h.bitCount = 8;
        h.colours = static_cast<int>(std::min<png_uint_32>(image.colormap_entries, 256));
    } else if (image.format & PNG_FORMAT_FLAG_COLOR) {
        h.bitCount = 24;
    } else {
        h.bitCount = 8;
        h.colours = 256;
    }
    png_image_free(&image);
    if (h.width > kMaxDibSide || h.height > kMaxDibSide)
        return std::nullopt;
    return h;
}

std::optional<PictureHeader> JpegHeader(const std::uint8_t* p, std::size_t n)
{
    PictureHeader h;
    bool grey = false;
    int orientation = 1;
    if (!ReadJpegHeader(p, n, &h.width, &h.height, &grey, &orientation) || h.width > kMaxDibSide ||
        h.height > kMaxDibSide)
        return std::nullopt;
    h.format = CDib::kFormatJpeg;
    h.bitCount = grey ? 8 : 24;
    h.colours = grey ? 256 : 0;
    if (orientation >= 5)
        std::swap(h.width, h.height);
    h.note = ExifNote(orientation);
    return h;
}

// The logical screen the first frame is laid on; a screen of no size is left to the decoding.
std::optional<PictureHeader> GifHeader(const std::uint8_t* data, std::size_t length)
{
    if (length < 10)
        return std::nullopt;
    PictureHeader h;
    h.format = CDib::kFormatGif;
    h.width = GetLE16(data + 6);
    h.height = GetLE16(data + 8);
    if (h.width == 0 || h.height == 0)
        return std::nullopt;
    h.bitCount = 8;
    h.colours = 256;
    return h;
}

std::optional<PictureHeader> WebpHeader(const std::uint8_t* data, std::size_t length)
{
    PictureHeader h;
    if (!WebPGetInfo(data, length, &h.width, &h.height))
        return std::nullopt;
    h.format = CDib::kFormatWebp;
    h.bitCount = 24;
    return h;
}

std::optional<PictureHeader> PdfHeader(const std::string& file, int page, int dpi)
{
    PictureHeader h;
    const int count = PdfPageCount(file);
    if (count < 1 || page > count || dpi < kPdfMinDpi || dpi > kPdfMaxDpi ||
        !PdfPageSize(file, page, dpi, &h.width, &h.height) || h.width > kMaxDibSide ||
        h.height > kMaxDibSide ||
        DibRowBytes(h.width, 24) * static_cast<std::uint64_t>(h.height) > kMaxDibImageBytes)
        return std::nullopt;
    h.format = CDib::kFormatPdf;
    h.bitCount = 24;
    h.note = "page " + std::to_string(page) + " of " + std::to_string(count) + " at " +
             std::to_string(dpi) + " dpi";
    return h;
}

} // namespace

std::optional<PictureHeader> ReadPictureHeader(const std::string& path)
{
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) {
        const PicturePath page = SplitPicturePath(path);
        if (page.page > 0 && IsPdfFile(page.file))
            return PdfHeader(page.file, page.page, page.dpi);
        return std::nullopt;
    }
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file)
        return std::nullopt;
    std::vector<std::uint8_t> head(kHeadBytes);
    head.resize(std::fread(head.data(), 1, head.size(), file.get()));
    file.reset();
    if (head.size() >= 2 && GetLE16(head.data()) == kBmpType)
        return BmpHeader(head.data(), head.size());
    switch (SniffPicture(head.data(), head.size())) {
    case PictureKind::kPng:
        return PngHeader(path);
    case PictureKind::kJpeg:
        return JpegHeader(head.data(), head.size());
    case PictureKind::kGif:
        return GifHeader(head.data(), head.size());
    case PictureKind::kWebp:
        return WebpHeader(head.data(), head.size());
    case PictureKind::kNone:
        break;
    }
    if (SniffPdf(head.data(), head.size()))
        return PdfHeader(path, 1, kPdfDefaultDpi);
    PictureHeader h;
    if (!ReadTiffHeader(path, &h.width, &h.height, &h.bitCount))
        return std::nullopt;
    h.format = CDib::kFormatTiff;
    h.colours = h.bitCount <= 8 ? 1 << h.bitCount : 0;
    return h;
}

std::string ExifNote(int orientation)
{
    static const int turns[9] = {0, 0, 0, 180, 180, 90, 90, 270, 270};
    if (orientation < 2 || orientation > 8)
        return {};
    const bool mirrored =
        orientation == 2 || orientation == 4 || orientation == 5 || orientation == 7;
    if (!turns[orientation])
        return "mirrored by EXIF";
    return "rotated by EXIF " + std::to_string(turns[orientation]) + "\u00B0" +
           (mirrored ? " and mirrored" : "");
}
