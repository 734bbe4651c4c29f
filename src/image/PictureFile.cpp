#include "image/PictureFile.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

namespace {

// A compressed picture is smaller than its pixels; a file larger than this is not read.
constexpr std::uint64_t kMaxPictureFileBytes = 2 * kMaxDibImageBytes;

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

std::optional<DibBlock> NewDib(int width, int height, int bitCount, const std::uint8_t* table,
                               int count)
{
    BitmapInfoHeader like;
    like.bitCount = static_cast<std::uint16_t>(bitCount);
    like.clrUsed = static_cast<std::uint32_t>(count);
    try {
        return MakeDib(like, width, height, table);
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
}

} // namespace

PictureKind SniffPicture(const std::uint8_t* data, std::size_t length)
{
    static const std::uint8_t png[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (length >= 8 && std::memcmp(data, png, 8) == 0)
        return PictureKind::kPng;
    if (length >= 3 && data[0] == 0xFF && data[1] == 0xD8 && data[2] == 0xFF)
        return PictureKind::kJpeg;
    if (length >= 6 && (std::memcmp(data, "GIF87a", 6) == 0 || std::memcmp(data, "GIF89a", 6) == 0))
        return PictureKind::kGif;
    if (length >= 12 && std::memcmp(data, "RIFF", 4) == 0 && std::memcmp(data + 8, "WEBP", 4) == 0)
        return PictureKind::kWebp;
    return PictureKind::kNone;
}

std::optional<Picture> ReadPictureFile(const std::string& path)
{
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file)
        return std::nullopt;
    std::uint8_t head[12];
    const std::size_t headLength = std::fread(head, 1, sizeof head, file.get());
    Picture picture;
    picture.kind = SniffPicture(head, headLength);
    if (picture.kind == PictureKind::kNone || std::fseek(file.get(), 0, SEEK_END) != 0)
        return std::nullopt;
    const long end = std::ftell(file.get());
    if (end < 0 || static_cast<std::uint64_t>(end) > kMaxPictureFileBytes ||
        std::fseek(file.get(), 0, SEEK_SET) != 0)
        return std::nullopt;
    std::vector<std::uint8_t> bytes;
    try {
        bytes.resize(static_cast<std::size_t>(end));
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
    if (std::fread(bytes.data(), 1, bytes.size(), file.get()) != bytes.size())
        return std::nullopt;
    file.reset();
    std::optional<DibBlock> dib;
    switch (picture.kind) {
    case PictureKind::kPng:
        dib = ReadPngMemory(bytes.data(), bytes.size());
        break;
    case PictureKind::kJpeg:
        dib = ReadJpegMemory(bytes.data(), bytes.size(), &picture.orientation);
        break;
    case PictureKind::kGif:
        dib = ReadGifMemory(bytes.data(), bytes.size());
        break;
    case PictureKind::kWebp:
        dib = ReadWebpMemory(bytes.data(), bytes.size());
        break;
    case PictureKind::kNone:
        break;
    }
    if (!dib)
        return std::nullopt;
    picture.dib = std::move(*dib);
    return picture;
}

std::optional<DibBlock> NewPaletteDib(int width, int height, const std::uint8_t* bgr, int count)
{
    if (count < 1 || count > 256)
        return std::nullopt;
    std::uint8_t table[256 * 4] = {};
    for (int i = 0; i < count; ++i)
        std::memcpy(table + 4 * i, bgr + 3 * i, 3);
    return NewDib(width, height, 8, table, count);
}

std::optional<DibBlock> NewGreyDib(int width, int height)
{
    std::uint8_t greys[256 * 3];
    for (int i = 0; i < 256; ++i)
        std::memset(greys + 3 * i, i, 3);
    return NewPaletteDib(width, height, greys, 256);
}

std::optional<DibBlock> NewColourDib(int width, int height)
{
    return NewDib(width, height, 24, nullptr, 0);
}
