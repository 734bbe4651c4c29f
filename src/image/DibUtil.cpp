#include "image/DibUtil.h"

#include <cstring>

#if defined(__linux__)
#include <sys/mman.h>
#endif

std::uint16_t GetLE16(const std::uint8_t* p)
{
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

std::uint32_t GetLE32(const std::uint8_t* p)
{
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

void PutLE16(std::uint8_t* p, std::uint16_t v)
{
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}

void PutLE32(std::uint8_t* p, std::uint32_t v)
{
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
    p[2] = static_cast<std::uint8_t>(v >> 16);
    p[3] = static_cast<std::uint8_t>(v >> 24);
}

BitmapInfoHeader BitmapInfoHeader::Read(const std::uint8_t* p)
{
    BitmapInfoHeader h;
    h.size = GetLE32(p);
    h.width = static_cast<std::int32_t>(GetLE32(p + 4));
    h.height = static_cast<std::int32_t>(GetLE32(p + 8));
    h.planes = GetLE16(p + 12);
    h.bitCount = GetLE16(p + 14);
    h.compression = GetLE32(p + 16);
    h.sizeImage = GetLE32(p + 20);
    h.xPelsPerMeter = static_cast<std::int32_t>(GetLE32(p + 24));
    h.yPelsPerMeter = static_cast<std::int32_t>(GetLE32(p + 28));
    h.clrUsed = GetLE32(p + 32);
    h.clrImportant = GetLE32(p + 36);
    return h;
}

void BitmapInfoHeader::Write(std::uint8_t* p) const
{
    PutLE32(p, size);
    PutLE32(p + 4, static_cast<std::uint32_t>(width));
    PutLE32(p + 8, static_cast<std::uint32_t>(height));
    PutLE16(p + 12, planes);
    PutLE16(p + 14, bitCount);
    PutLE32(p + 16, compression);
    PutLE32(p + 20, sizeImage);
    PutLE32(p + 24, static_cast<std::uint32_t>(xPelsPerMeter));
    PutLE32(p + 28, static_cast<std::uint32_t>(yPelsPerMeter));
    PutLE32(p + 32, clrUsed);
    PutLE32(p + 36, clrImportant);
}

namespace {

std::uint64_t Magnitude(std::int32_t v)
{
    return v < 0 ? static_cast<std::uint64_t>(-static_cast<std::int64_t>(v))
                 : static_cast<std::uint64_t>(v);
}

} // namespace

std::uint32_t DibNumColors(const std::uint8_t* dib)
{
    const std::uint32_t used = GetLE32(dib + 32);
    if (used != 0)
        return used & 0xFFFFu;
    switch (GetLE16(dib + 14)) {
    case 1:
        return 2;
    case 4:
        return 16;
    case 8:
        return 256;
    default:
        return 0;
    }
}

std::uint32_t DibPaletteSize(const std::uint8_t* dib)
{
    switch (GetLE16(dib + 14)) {
    case 16:
    case 32:
        return 12;
    case 24:
        return 0;
    default:
        return 4 * DibNumColors(dib);
    }
}

std::uint64_t DibRowBytes(std::int64_t width, int bitCount)
{
    if (width <= 0 || bitCount <= 0)
        return 0;
    return (static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(bitCount) + 31) / 32 * 4;
}

std::uint64_t DibRowBytes(const std::uint8_t* dib)
{
    return DibRowBytes(static_cast<std::int32_t>(GetLE32(dib + 4)), GetLE16(dib + 14));
}

std::uint64_t DibImageSize(const std::uint8_t* dib)
{
    return DibRowBytes(dib) * Magnitude(static_cast<std::int32_t>(GetLE32(dib + 8)));
}

std::uint64_t DibSizeOf(const std::uint8_t* dib)
{
    return GetLE32(dib) + static_cast<std::uint64_t>(DibPaletteSize(dib)) + DibImageSize(dib);
}

std::uint64_t DibSize(std::uint8_t* dib)
{
    if (GetLE32(dib + 16) == kBiRgb) {
        const std::uint64_t image = DibImageSize(dib);
        PutLE32(dib + 20, image > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<std::uint32_t>(image));
    }
    return DibSizeOf(dib);
}

std::uint8_t* FindDibBits(std::uint8_t* dib)
{
    return dib + GetLE32(dib) + DibPaletteSize(dib);
}

const std::uint8_t* FindDibBits(const std::uint8_t* dib)
{
    return dib + GetLE32(dib) + DibPaletteSize(dib);
}

bool IsDibBitCount(int bitCount)
{
    switch (bitCount) {
    case 1:
    case 4:
    case 8:
    case 16:
    case 24:
    case 32:
        return true;
    default:
        return false;
    }
}

bool IsSoundDib(const std::uint8_t* dib, std::size_t length)
{
    if (!dib || length < kInfoHeaderSize)
        return false;
    const BitmapInfoHeader h = BitmapInfoHeader::Read(dib);
    if (h.size != kInfoHeaderSize || h.compression != kBiRgb || !IsDibBitCount(h.bitCount))
        return false;
    if (h.width < 1 || h.width > kMaxDibSide || h.height < 1 || h.height > kMaxDibSide)
        return false;
    if (DibImageSize(dib) > kMaxDibImageBytes)
        return false;
    return DibSizeOf(dib) <= length;
}

namespace {

void RgbToBgrBytes(const std::uint8_t* src, std::uint8_t* dst, std::size_t pixels)
{
    for (const std::uint8_t* end = src + 3 * pixels; src != end; src += 3, dst += 3) {
        dst[0] = src[2];
        dst[1] = src[1];
        dst[2] = src[0];
    }
}

#if defined(__GNUC__) && defined(__x86_64__)
// Four pixels a step, through one 16-byte shuffle. A step reads and writes the 4 bytes after
// its pixels as they are; the next step writes them again, turned. So the steps stop while
// 6 pixels are left, and the bytes do the rest.
__attribute__((target("ssse3"))) void RgbToBgrShuffled(const std::uint8_t* src, std::uint8_t* dst,
                                                       std::size_t pixels)
{
    using Bytes16 = std::uint8_t __attribute__((vector_size(16)));
    for (; pixels >= 6; pixels -= 4, src += 12, dst += 12) {
        Bytes16 v;
        std::memcpy(&v, src, sizeof v);
        v = __builtin_shufflevector(v, v, 2, 1, 0, 5, 4, 3, 8, 7, 6, 11, 10, 9, 12, 13, 14, 15);
        std::memcpy(dst, &v, sizeof v);
    }
    RgbToBgrBytes(src, dst, pixels);
}
#endif

} // namespace

void RgbToBgr(const std::uint8_t* src, std::uint8_t* dst, std::size_t pixels)
{
#if defined(__GNUC__) && defined(__x86_64__)
    static const bool shuffle = __builtin_cpu_supports("ssse3");
    if (shuffle) {
        RgbToBgrShuffled(src, dst, pixels);
        return;
    }
#endif
    RgbToBgrBytes(src, dst, pixels);
}

// In 2 MiB pages the first touch of a 100 MB block costs some fifty page faults instead of
// 25 000, a good part of the time a reader takes.
DibBlock NewDibBlock(std::size_t size)
{
    DibBlock block;
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    constexpr std::uintptr_t kHuge = std::uintptr_t{1} << 21;
    if (size >= 4 * kHuge) {
        block.reserve(size);
        const auto start = reinterpret_cast<std::uintptr_t>(block.data());
        const std::uintptr_t first = (start + kHuge - 1) & ~(kHuge - 1);
        const std::uintptr_t end = (start + size) & ~(kHuge - 1);
        if (end > first)
            madvise(reinterpret_cast<void*>(first), end - first, MADV_HUGEPAGE);
    }
#endif
    block.resize(size);
    return block;
}

std::optional<DibBlock> MakeDib(const BitmapInfoHeader& like, std::int32_t width,
                                std::int32_t height, const std::uint8_t* colourTable)
{
    if (width < 1 || width > kMaxDibSide || height < 1 || height > kMaxDibSide ||
        !IsDibBitCount(like.bitCount))
        return std::nullopt;
    const std::uint64_t image =
        DibRowBytes(width, like.bitCount) * static_cast<std::uint64_t>(height);
    if (image > kMaxDibImageBytes)
        return std::nullopt;
    BitmapInfoHeader h = like;
    h.size = kInfoHeaderSize;
    h.width = width;
    h.height = height;
    h.planes = 1;
    h.compression = kBiRgb;
    h.sizeImage = static_cast<std::uint32_t>(image);
    std::uint8_t header[kInfoHeaderSize];
    h.Write(header);
    const std::uint32_t palette = DibPaletteSize(header);
    DibBlock dib = NewDibBlock(kInfoHeaderSize + palette + image);
    std::memcpy(dib.data(), header, kInfoHeaderSize);
    if (colourTable && palette > 0)
        std::memcpy(dib.data() + kInfoHeaderSize, colourTable, palette);
    return dib;
}
