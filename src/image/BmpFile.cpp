#include "image/BmpFile.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <thread>

#include <unistd.h>

namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// Sides within bounds (the height may be negative: top-down rows).
bool SidesAcceptable(std::int64_t width, std::int64_t height)
{
    const std::int64_t h = height < 0 ? -height : height;
    return width >= 1 && width <= kMaxDibSide && h >= 1 && h <= kMaxDibSide;
}

// The 40-byte header at the start of src with sides in bounds and a pixel block within
// bounds for the given depth.
std::optional<BitmapInfoHeader> InfoHeader(const std::uint8_t* src, std::size_t length)
{
    if (length < kInfoHeaderSize || GetLE32(src) != kInfoHeaderSize)
        return std::nullopt;
    BitmapInfoHeader h = BitmapInfoHeader::Read(src);
    if (!SidesAcceptable(h.width, h.height))
        return std::nullopt;
    return h;
}

std::uint64_t ImageBytes(std::int64_t width, std::int64_t height, int bitCount)
{
    const std::uint64_t rows = static_cast<std::uint64_t>(height < 0 ? -height : height);
    return DibRowBytes(width, bitCount) * rows;
}

// Copies the rows of an uncompressed image from src+bitsOffset into the DIB's pixel area,
// turning top-down rows bottom-up.
bool CopyRows(const std::uint8_t* src, std::size_t length, std::size_t bitsOffset, bool topDown,
              DibBlock& dib)
{
    const std::uint64_t rowBytes = DibRowBytes(dib.data());
    const std::uint64_t rows =
        static_cast<std::uint64_t>(BitmapInfoHeader::Read(dib.data()).height);
    const std::uint64_t image = rowBytes * rows;
    if (bitsOffset > length || image > length - bitsOffset)
        return false;
    std::uint8_t* bits = FindDibBits(dib.data());
    if (!topDown) {
        std::memcpy(bits, src + bitsOffset, image);
        return true;
    }
    for (std::uint64_t r = 0; r < rows; ++r)
        std::memcpy(bits + (rows - 1 - r) * rowBytes, src + bitsOffset + r * rowBytes, rowBytes);
    return true;
}

// The larger headers (52 and 56 bytes, and the 108- and 124-byte ones image editors write)
// hold the fields of the 40-byte header at the same places, then the colour masks (red,
// green, blue, alpha) where a 40-byte header's masks follow it, then colour-space fields and
// a profile, which the program does not use. Rewrites such a header in place into a 40-byte
// one: the colour table moves down behind it, and bit fields with an alpha mask become alpha
// bit fields. False for a header of no known size or a compression the program cannot read
// (JPEG or PNG inside a bitmap).
bool NormaliseHeader(std::uint8_t* src, std::size_t length, std::size_t bitsOffset)
{
    if (length < 4)
        return false;
    const std::uint32_t headerSize = GetLE32(src);
    if (headerSize == kInfoHeaderSize || headerSize == kCoreHeaderSize)
        return true;
    if ((headerSize != 52 && headerSize != 56 && headerSize != 108 && headerSize != 124) ||
        length < headerSize || bitsOffset < headerSize || bitsOffset > length)
        return false;
    const std::uint32_t compression = GetLE32(src + 16);
    const std::uint16_t bitCount = GetLE16(src + 14);
    PutLE32(src, kInfoHeaderSize);
    if (compression == kBiBitFields || compression == kBiAlphaBitFields) {
        if (headerSize > 52 && GetLE32(src + 52) != 0)
            PutLE32(src + 16, kBiAlphaBitFields);
        return true;
    }
    if (compression != kBiRgb && compression != kBiRle8 && compression != kBiRle4)
        return false;
    if (bitCount <= 8) {
        const std::uint32_t used = GetLE32(src + 32);
        const std::uint64_t table = 4 * std::uint64_t{used != 0 ? used : 1u << bitCount};
        std::memmove(
            src + kInfoHeaderSize, src + headerSize,
            static_cast<std::size_t>(std::min<std::uint64_t>(table, bitsOffset - headerSize)));
    }
    return true;
}

std::optional<DibBlock> ConvertBody(const std::uint8_t* src, std::size_t length,
                                    std::size_t bitsOffset);

// ConvertBody for bytes that cannot be rewritten: a header larger than 40 bytes is normalised
// in a copy.
std::optional<DibBlock> ConvertLargerHeader(const std::uint8_t* src, std::size_t length,
                                            std::size_t bitsOffset)
{
    if (length < 4 || GetLE32(src) == kInfoHeaderSize || GetLE32(src) == kCoreHeaderSize)
        return ConvertBody(src, length, bitsOffset);
    DibBlock copy;
    try {
        copy.assign(src, src + length);
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
    if (!NormaliseHeader(copy.data(), copy.size(), bitsOffset))
        return std::nullopt;
    return ConvertBody(copy.data(), copy.size(), bitsOffset);
}

// Converts the bytes after the file header into a DIB.
// Converts the bytes after the file header into a DIB.
std::optional<DibBlock> ConvertBody(const std::uint8_t* src, std::size_t length,
                                    std::size_t bitsOffset)
{
    // The colour table lies before the pixels, so both lie within the data.
    if (length < 4 || bitsOffset > length)
        return std::nullopt;
    const std::uint32_t headerSize = GetLE32(src);
    if (headerSize == kCoreHeaderSize)
        return ConvertCoreHeader(src, length, bitsOffset);
    const std::optional<BitmapInfoHeader> h = InfoHeader(src, length);
    if (!h)
        return std::nullopt;
    switch (h->compression) {
    case kBiRgb:
        break;
    case kBiRle8:
        return ExpandRle8(src, length, bitsOffset);
    case kBiRle4:
        return ExpandRle4(src, length, bitsOffset);
    case kBiBitFields:
    case kBiAlphaBitFields:
        return DecodeBitFields(src, length, bitsOffset);
    default:
        return std::nullopt;
    }
    if (!IsDibBitCount(h->bitCount))
        return std::nullopt;
    // The colour table the file holds: colour entries up to 8 bits per pixel; the mask bytes
    // of 16- and 32-bit bitmaps only when the pixels leave room for them.
    std::uint8_t probe[kInfoHeaderSize];
    BitmapInfoHeader normal = *h;
    normal.height = h->height < 0 ? -h->height : h->height;
    normal.Write(probe);
    const std::uint32_t palette = DibPaletteSize(probe);
    const bool masks = h->bitCount == 16 || h->bitCount == 32;
    if (!masks && kInfoHeaderSize + static_cast<std::uint64_t>(palette) > bitsOffset)
        return std::nullopt;
    if (bitsOffset < kInfoHeaderSize)
        return std::nullopt;
    // The pixels have to be there before a block is made for them.
    if (bitsOffset > length ||
        ImageBytes(normal.width, normal.height, normal.bitCount) > length - bitsOffset)
        return std::nullopt;
    std::optional<DibBlock> dib = MakeDib(normal, normal.width, normal.height, nullptr);
    if (!dib)
        return std::nullopt;
    const std::size_t tableBytes =
        masks ? (bitsOffset >= kInfoHeaderSize + 12 ? 12 : 0) : static_cast<std::size_t>(palette);
    if (tableBytes > 0)
        std::memcpy(dib->data() + kInfoHeaderSize, src + kInfoHeaderSize, tableBytes);
    if (!CopyRows(src, length, bitsOffset, h->height < 0, *dib))
        return std::nullopt;
    return dib;
}

} // namespace

namespace {

// Nothing in bounds can be larger than a maximal pixel block with its header and table.
constexpr std::uint64_t kMaxBmpFileBytes = kMaxDibImageBytes + (std::uint64_t{1} << 20);

// The size of the DIB when the file is an uncompressed bottom-up bitmap laid out as in
// memory, so that its bytes after the file header can be taken as they are; 0 otherwise.
// prefix holds the first bytes of the file (file header and bitmap header when it has them).
std::uint64_t DirectDibSize(const std::uint8_t* prefix, std::size_t prefixLength,
                            std::uint64_t fileLength)
{
    if (prefixLength < kFileHeaderSize + kInfoHeaderSize ||
        GetLE32(prefix + kFileHeaderSize) != kInfoHeaderSize)
        return 0;
    const BitmapInfoHeader h = BitmapInfoHeader::Read(prefix + kFileHeaderSize);
    if (h.compression != kBiRgb || !IsDibBitCount(h.bitCount) || h.height <= 0 ||
        !SidesAcceptable(h.width, h.height) ||
        ImageBytes(h.width, h.height, h.bitCount) > kMaxDibImageBytes)
        return 0;
    std::uint8_t probe[kInfoHeaderSize];
    h.Write(probe);
    const std::uint64_t size = DibSizeOf(probe);
    const std::uint32_t pixelOffset = GetLE32(prefix + 10);
    if (pixelOffset != kFileHeaderSize + kInfoHeaderSize + DibPaletteSize(probe) ||
        size > fileLength - kFileHeaderSize)
        return 0;
    return size;
}

} // namespace

namespace {

// Reads length bytes from offset on. A large block is read in two halves at once: copying a
// scan out of the system's file cache, and the first touch of the block, are most of the time
// it takes to open, and both go twice as fast on two cores.
bool ReadAt(std::FILE* file, std::uint8_t* to, std::size_t length, std::uint64_t offset)
{
    const int fd = fileno(file);
    auto read = [fd](std::uint8_t* at, std::size_t n, std::uint64_t from) {
        while (n > 0) {
            const ssize_t got = pread(fd, at, n, static_cast<off_t>(from));
            if (got < 0 && errno == EINTR)
                continue;
            if (got <= 0)
                return false;
            at += got;
            from += static_cast<std::uint64_t>(got);
            n -= static_cast<std::size_t>(got);
        }
        return true;
    };
    constexpr std::size_t kSplitAbove = std::size_t{16} << 20;
    if (length <= kSplitAbove)
        return read(to, length, offset);
    const std::size_t half = length / 2;
    bool secondOk = false;
    std::thread second([&] { secondOk = read(to + half, length - half, offset + half); });
    const bool firstOk = read(to, half, offset);
    second.join();
    return firstOk && secondOk;
}

} // namespace

std::optional<DibBlock> ReadBmpFile(const std::string& path)
{
    FilePtr file(std::fopen(path.c_str(), "rb"));
    if (!file)
        return std::nullopt;
    if (std::fseek(file.get(), 0, SEEK_END) != 0)
        return std::nullopt;
    const long end = std::ftell(file.get());
    if (end < 0 || std::fseek(file.get(), 0, SEEK_SET) != 0)
        return std::nullopt;
    const std::uint64_t fileLength = static_cast<std::uint64_t>(end);
    if (fileLength < kFileHeaderSize || fileLength > kMaxBmpFileBytes)
        return std::nullopt;

    std::uint8_t fileHeader[kFileHeaderSize + kInfoHeaderSize];
    const std::size_t prefix =
        static_cast<std::size_t>(std::min<std::uint64_t>(fileLength, sizeof fileHeader));
    if (std::fread(fileHeader, 1, prefix, file.get()) != prefix)
        return std::nullopt;
    if (GetLE16(fileHeader) != kBmpType)
        return std::nullopt;
    const std::uint32_t pixelOffset = GetLE32(fileHeader + 10);
    const std::size_t bodyLength = static_cast<std::size_t>(fileLength - kFileHeaderSize);

    // The common case is read straight into its block.
    if (const std::uint64_t size = DirectDibSize(fileHeader, prefix, fileLength)) {
        DibBlock dib = NewDibBlock(static_cast<std::size_t>(size));
        std::memcpy(dib.data(), fileHeader + kFileHeaderSize, kInfoHeaderSize);
        if (!ReadAt(file.get(), dib.data() + kInfoHeaderSize, dib.size() - kInfoHeaderSize,
                    sizeof fileHeader))
            return std::nullopt;
        DibSize(dib.data());
        return dib;
    }

    // A file of no more than its file header has no body to copy into or convert.
    if (pixelOffset < kFileHeaderSize || bodyLength == 0)
        return std::nullopt;
    const std::size_t bitsOffset = pixelOffset - kFileHeaderSize;
    DibBlock body(bodyLength);
    const std::size_t have = prefix - kFileHeaderSize;
    std::memcpy(body.data(), fileHeader + kFileHeaderSize, have);
    if (bodyLength > have &&
        std::fread(body.data() + have, 1, bodyLength - have, file.get()) != bodyLength - have)
        return std::nullopt;
    if (!NormaliseHeader(body.data(), body.size(), bitsOffset))
        return std::nullopt;
    return ConvertBody(body.data(), body.size(), bitsOffset);
}

std::optional<DibBlock> ReadBmpMemory(const std::uint8_t* data, std::size_t length)
{
    if (!data || length < kFileHeaderSize || length > kMaxBmpFileBytes)
        return std::nullopt;
    if (GetLE16(data) != kBmpType)
        return std::nullopt;
    const std::size_t prefix = std::min<std::size_t>(length, kFileHeaderSize + kInfoHeaderSize);
    if (const std::uint64_t size = DirectDibSize(data, prefix, length)) {
        DibBlock dib(data + kFileHeaderSize, data + kFileHeaderSize + size);
        DibSize(dib.data());
        return dib;
    }
    const std::uint32_t pixelOffset = GetLE32(data + 10);
    if (pixelOffset < kFileHeaderSize)
        return std::nullopt;
    return ConvertLargerHeader(data + kFileHeaderSize, length - kFileHeaderSize,
                               pixelOffset - kFileHeaderSize);
}

std::uint64_t PackedDibPixelOffset(const std::uint8_t* dib, std::size_t length)
{
    if (!dib || length < kCoreHeaderSize)
        return 0;
    const std::uint32_t headerSize = GetLE32(dib);
    if (headerSize == kCoreHeaderSize) {
        const std::uint16_t bits = GetLE16(dib + 10);
        return kCoreHeaderSize + (bits <= 8 ? 3u << bits : 0u);
    }
    if (headerSize != 40 && headerSize != 52 && headerSize != 56 && headerSize != 108 &&
        headerSize != 124)
        return 0;
    if (length < headerSize)
        return 0;
    const std::uint16_t bits = GetLE16(dib + 14);
    const std::uint32_t compression = GetLE32(dib + 16);
    const std::uint32_t used = GetLE32(dib + 32);
    const std::uint64_t colours = used != 0 ? used : (bits <= 8 ? (1u << bits) : 0u);
    // A 40-byte header keeps its masks after it; larger headers hold them inside.
    std::uint64_t masks = 0;
    if (headerSize == 40 && compression == kBiBitFields)
        masks = 12;
    else if (headerSize == 40 && compression == 6) // alpha bit fields
        masks = 16;
    return headerSize + masks + 4 * colours;
}

std::optional<DibBlock> ReadPackedDib(const std::uint8_t* dib, std::size_t length)
{
    if (IsSoundDib(dib, length)) {
        DibBlock copy(dib, dib + static_cast<std::size_t>(DibSizeOf(dib)));
        DibSize(copy.data());
        return copy;
    }
    const std::uint64_t pixels = PackedDibPixelOffset(dib, length);
    if (pixels == 0 || pixels > length)
        return std::nullopt;
    return ConvertLargerHeader(dib, length, static_cast<std::size_t>(pixels));
}

bool WriteBmpFile(const std::string& path, const std::uint8_t* dib, std::size_t length)
{
    if (!IsSoundDib(dib, length))
        return false;
    const std::uint64_t size = DibSizeOf(dib);
    std::uint8_t header[kFileHeaderSize] = {};
    PutLE16(header, kBmpType);
    PutLE32(header + 2, static_cast<std::uint32_t>(size + kFileHeaderSize));
    PutLE32(header + 10, kFileHeaderSize + kInfoHeaderSize + DibPaletteSize(dib));
    // The stored image size field is normalised like every DIB whose size is taken.
    std::uint8_t info[kInfoHeaderSize];
    std::memcpy(info, dib, kInfoHeaderSize);
    DibSize(info);

    FilePtr file(std::fopen(path.c_str(), "wb"));
    if (!file)
        return false;
    bool ok = std::fwrite(header, 1, sizeof header, file.get()) == sizeof header;
    ok = ok && std::fwrite(info, 1, sizeof info, file.get()) == sizeof info;
    const std::size_t rest = static_cast<std::size_t>(size) - kInfoHeaderSize;
    ok = ok && std::fwrite(dib + kInfoHeaderSize, 1, rest, file.get()) == rest;
    ok = (std::fclose(file.release()) == 0) && ok;
    return ok;
}

std::optional<DibBlock> ConvertCoreHeader(const std::uint8_t* src, std::size_t length,
                                          std::size_t bitsOffset)
{
    if (length < kCoreHeaderSize || GetLE32(src) != kCoreHeaderSize || bitsOffset > length)
        return std::nullopt;
    BitmapInfoHeader h;
    h.width = GetLE16(src + 4);
    h.height = GetLE16(src + 6);
    h.planes = GetLE16(src + 8);
    h.bitCount = GetLE16(src + 10);
    if (h.bitCount != 1 && h.bitCount != 4 && h.bitCount != 8 && h.bitCount != 24)
        return std::nullopt;
    const std::uint32_t colours = h.bitCount == 24 ? 0 : (1u << h.bitCount);
    h.clrUsed = colours;
    h.clrImportant = colours;
    if (kCoreHeaderSize + 3 * static_cast<std::uint64_t>(colours) > bitsOffset)
        return std::nullopt;
    if (bitsOffset > length || ImageBytes(h.width, h.height, h.bitCount) > length - bitsOffset)
        return std::nullopt;
    std::optional<DibBlock> dib = MakeDib(h, h.width, h.height, nullptr);
    if (!dib)
        return std::nullopt;
    std::uint8_t* table = dib->data() + kInfoHeaderSize;
    for (std::uint32_t i = 0; i < colours; ++i) {
        std::memcpy(table + 4 * i, src + kCoreHeaderSize + 3 * i, 3);
        table[4 * i + 3] = 0;
    }
    if (!CopyRows(src, length, bitsOffset, false, *dib))
        return std::nullopt;
    return dib;
}

namespace {

// Pixel area a run-length bitmap may have whatever its data, and the area each further byte
// of data allows.
constexpr std::uint64_t kRleFreeArea = std::uint64_t{16} << 20;
constexpr std::uint64_t kRleBytesPerInputByte = 64 * 1024;

// The header and colour table of a run-length bitmap, its input bytes and the layout of the
// pixel area the runs are expanded into.
struct RleSource {
    BitmapInfoHeader header;
    const std::uint8_t* table = nullptr;
    const std::uint8_t* input = nullptr;
    std::size_t inputLength = 0;
    std::uint64_t rowBytes = 0;
    std::uint64_t area = 0;
    std::uint64_t height = 0;
};

std::optional<RleSource> RleSetUp(const std::uint8_t* src, std::size_t length,
                                  std::size_t bitsOffset, int bitCount)
{
    const std::optional<BitmapInfoHeader> h = InfoHeader(src, length);
    // Run-length bitmaps are stored bottom-up only.
    if (!h || h->bitCount != bitCount || h->height < 0)
        return std::nullopt;
    const std::uint32_t colours = DibNumColors(src);
    if (kInfoHeaderSize + 4 * static_cast<std::uint64_t>(colours) > bitsOffset)
        return std::nullopt;
    if (bitsOffset > length || h->sizeImage > length - bitsOffset)
        return std::nullopt;
    RleSource s;
    s.header = *h;
    s.table = src + kInfoHeaderSize;
    s.input = src + bitsOffset;
    s.inputLength = h->sizeImage;
    s.rowBytes = DibRowBytes(h->width, bitCount);
    s.height = static_cast<std::uint64_t>(h->height);
    s.area = s.rowBytes * s.height;
    if (s.area > kMaxDibImageBytes)
        return std::nullopt;
    // Runs and line ends cover at most a row per input byte pair, so real data stays far
    // below this; only end and delta escapes skip more. A picture larger than 16 MiB that
    // its data would leave almost entirely unwritten is refused as a decompression bomb.
    if (s.area > kRleFreeArea && (s.area - kRleFreeArea) / kRleBytesPerInputByte > s.inputLength)
        return std::nullopt;
    return s;
}

// A trailing end-of-bitmap escape after the last row has been completed is part of well
// formed data; it is consumed so that such files are accepted.
void TakeTrailingEnd(const std::uint8_t* in, std::size_t length, std::size_t& pos)
{
    if (pos + 2 == length && in[pos] == 0 && in[pos + 1] == 1)
        pos += 2;
}

// Expands 8- or 4-bit runs (s.header.bitCount) into bits, or only checks them when bits is
// null; false for data that leaves the pixel area, ends early, or is not consumed to its end
// or to an end-of-bitmap escape.
bool WalkRle(const RleSource& s, std::uint8_t* bits)
{
    const bool four = s.header.bitCount == 4;
    const std::uint8_t* in = s.input;
    const std::size_t n = s.inputLength;
    std::size_t pos = 0;
    std::uint64_t row = 0, col = 0;
    bool ended = false;
    // Ors one nibble into pixel col of the current row; false outside the pixel area.
    auto putNibble = [&](std::uint8_t nibble) {
        const std::uint64_t at = row * s.rowBytes + col / 2;
        if (at >= s.area)
            return false;
        if (bits)
            bits[at] |= static_cast<std::uint8_t>((col & 1u) ? nibble : nibble << 4);
        ++col;
        return true;
    };
    // Whole bytes go in at once: count pixels from col on, all value or copied from src.
    auto putBytes = [&](unsigned count, std::uint8_t value, const std::uint8_t* src) {
        const std::uint64_t at = row * s.rowBytes + col;
        if (at > s.area || count > s.area - at)
            return false;
        if (bits && src)
            std::memcpy(bits + at, src, count);
        else if (bits)
            std::memset(bits + at, value, count);
        col += count;
        return true;
    };
    while (row < s.height) {
        if (n - pos < 2)
            return false;
        const std::uint8_t count = in[pos];
        const std::uint8_t value = in[pos + 1];
        pos += 2;
        if (count > 0) {
            if (!four) {
                if (!putBytes(count, value, nullptr))
                    return false;
                continue;
            }
            for (unsigned i = 0; i < count; ++i)
                if (!putNibble((i & 1u) ? (value & 0x0Fu) : (value >> 4)))
                    return false;
            continue;
        }
        if (value == 0) {
            col = 0;
            ++row;
        } else if (value == 1) {
            ended = true;
            break;
        } else if (value == 2) {
            // A delta: the pixels skipped keep index 0.
            if (n - pos < 2)
                return false;
            col += in[pos];
            row += in[pos + 1];
            pos += 2;
        } else {
            // Absolute data: value pixels, padded to a whole number of 16-bit words.
            const std::size_t bytes = four ? (value + 1u) / 2 : value;
            const std::size_t take = bytes + (bytes & 1u);
            if (n - pos < take)
                return false;
            if (!four) {
                if (!putBytes(value, 0, in + pos))
                    return false;
            } else {
                for (unsigned i = 0; i < value; ++i) {
                    const std::uint8_t b = in[pos + i / 2];
                    if (!putNibble((i & 1u) ? (b & 0x0Fu) : (b >> 4)))
                        return false;
                }
            }
            pos += take;
        }
    }
    // Writers pad the data after the end-of-bitmap escape up to the size they declare.
    if (ended)
        return true;
    TakeTrailingEnd(in, n, pos);
    return pos == n;
}

// The runs are checked to the end before the pixel area is made: a few bytes of broken data
// claiming a large picture cost no room.
std::optional<DibBlock> ExpandRle(const std::uint8_t* src, std::size_t length,
                                  std::size_t bitsOffset, int bitCount)
{
    const std::optional<RleSource> s = RleSetUp(src, length, bitsOffset, bitCount);
    if (!s || !WalkRle(*s, nullptr))
        return std::nullopt;
    BitmapInfoHeader normal = s->header;
    normal.compression = kBiRgb;
    std::optional<DibBlock> out = MakeDib(normal, s->header.width, s->header.height, s->table);
    if (!out || !WalkRle(*s, FindDibBits(out->data())))
        return std::nullopt;
    return out;
}

} // namespace

std::optional<DibBlock> ExpandRle8(const std::uint8_t* src, std::size_t length,
                                   std::size_t bitsOffset)
{
    return ExpandRle(src, length, bitsOffset, 8);
}

std::optional<DibBlock> ExpandRle4(const std::uint8_t* src, std::size_t length,
                                   std::size_t bitsOffset)
{
    return ExpandRle(src, length, bitsOffset, 4);
}

namespace {

// One colour channel of a bit-field pixel: where its mask starts and how wide it is.
struct Channel {
    std::uint32_t mask = 0;
    int shift = 0;
    std::uint32_t max = 0;

    explicit Channel(std::uint32_t m) : mask(m)
    {
        if (m == 0)
            return;
        shift = std::countr_zero(m);
        max = m >> shift;
    }
    std::uint8_t Value(std::uint32_t pixel) const
    {
        if (max == 0)
            return 0;
        const std::uint64_t v = (pixel & mask) >> shift;
        return static_cast<std::uint8_t>((v * 255 + max / 2) / max);
    }
};

} // namespace

std::optional<DibBlock> DecodeBitFields(const std::uint8_t* src, std::size_t length,
                                        std::size_t bitsOffset)
{
    const std::optional<BitmapInfoHeader> h = InfoHeader(src, length);
    if (!h || (h->bitCount != 16 && h->bitCount != 32))
        return std::nullopt;
    if (bitsOffset < kInfoHeaderSize + 12 || bitsOffset > length)
        return std::nullopt;
    const Channel red(GetLE32(src + 40)), green(GetLE32(src + 44)), blue(GetLE32(src + 48));
    const bool alphaFields = h->compression == kBiAlphaBitFields;
    if (alphaFields && bitsOffset < kInfoHeaderSize + 16)
        return std::nullopt;
    const std::uint64_t inRow = DibRowBytes(h->width, h->bitCount);
    const std::uint64_t rows = static_cast<std::uint64_t>(h->height < 0 ? -h->height : h->height);
    if (inRow * rows > length - bitsOffset)
        return std::nullopt;
    const std::size_t width = static_cast<std::size_t>(h->width);
    auto pixelAt = [&](const std::uint8_t* row, std::size_t x) -> std::uint32_t {
        return h->bitCount == 16 ? GetLE16(row + 2 * x) : GetLE32(row + 4 * x);
    };
    // Alpha is laid over white paper; a picture whose every pixel has alpha 0 was written by
    // a program that leaves the channel unset, and is opaque.
    Channel alpha(alphaFields ? GetLE32(src + 52) : 0);
    bool anyAlpha = false;
    for (std::uint64_t r = 0; r < rows && alpha.max != 0 && !anyAlpha; ++r)
        for (std::size_t x = 0; x < width && !anyAlpha; ++x)
            anyAlpha = alpha.Value(pixelAt(src + bitsOffset + r * inRow, x)) != 0;
    if (!anyAlpha)
        alpha = Channel(0);
    BitmapInfoHeader normal = *h;
    normal.bitCount = 32;
    normal.clrUsed = 0;
    normal.clrImportant = 0;
    std::optional<DibBlock> out =
        MakeDib(normal, h->width, static_cast<std::int32_t>(rows), nullptr);
    if (!out)
        return std::nullopt;
    std::uint8_t* bits = FindDibBits(out->data());
    const std::uint64_t outRow = DibRowBytes(out->data());
    for (std::uint64_t r = 0; r < rows; ++r) {
        const std::uint8_t* s = src + bitsOffset + r * inRow;
        std::uint8_t* d = bits + (h->height < 0 ? rows - 1 - r : r) * outRow;
        for (std::size_t x = 0; x < width; ++x, d += 4) {
            const std::uint32_t pixel = pixelAt(s, x);
            d[0] = blue.Value(pixel);
            d[1] = green.Value(pixel);
            d[2] = red.Value(pixel);
            d[3] = 0;
            if (alpha.max != 0) {
                const unsigned a = alpha.Value(pixel);
                for (int c = 0; c < 3; ++c)
                    d[c] = static_cast<std::uint8_t>((d[c] * a + 255 * (255 - a) + 127) / 255);
            }
        }
    }
    return out;
}
