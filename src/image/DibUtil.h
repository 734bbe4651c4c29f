#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

// A packed device-independent bitmap: a 40-byte information header, the colour table and
// the pixel rows (bottom-up, each padded to 4 bytes) in one zero-initialised block.
using DibBlock = std::vector<std::uint8_t>;

constexpr std::uint32_t kInfoHeaderSize = 40;
constexpr std::uint32_t kCoreHeaderSize = 12;
constexpr std::uint32_t kFileHeaderSize = 14;
constexpr std::uint16_t kBmpType = 0x4D42; // "BM" in file order

// Compression codes of the information header.
constexpr std::uint32_t kBiRgb = 0;
constexpr std::uint32_t kBiRle8 = 1;
constexpr std::uint32_t kBiRle4 = 2;
constexpr std::uint32_t kBiBitFields = 3;
constexpr std::uint32_t kBiAlphaBitFields = 6;

// Bounds on bitmaps taken from outside: no side above 100 000 pixels and no pixel block
// above 1 GiB.
constexpr std::int64_t kMaxDibSide = 100000;
constexpr std::uint64_t kMaxDibImageBytes = std::uint64_t{1} << 30;

// The information header, read from and written to its little-endian form.
struct BitmapInfoHeader {
    std::uint32_t size = kInfoHeaderSize;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::uint16_t planes = 1;
    std::uint16_t bitCount = 0;
    std::uint32_t compression = kBiRgb;
    std::uint32_t sizeImage = 0;
    std::int32_t xPelsPerMeter = 0;
    std::int32_t yPelsPerMeter = 0;
    std::uint32_t clrUsed = 0;
    std::uint32_t clrImportant = 0;

    // Reads the 40 bytes at p (the caller has checked they are there).
    static BitmapInfoHeader Read(const std::uint8_t* p);
    void Write(std::uint8_t* p) const;
};

// Little-endian access to unaligned fields.
std::uint16_t GetLE16(const std::uint8_t* p);
std::uint32_t GetLE32(const std::uint8_t* p);
void PutLE16(std::uint8_t* p, std::uint16_t v);
void PutLE32(std::uint8_t* p, std::uint32_t v);

// The size rules of a DIB, each computed from the header at the start of the block.
// colour count: the colours-used field's low 16 bits, else 2, 16 or 256 by depth, else 0
std::uint32_t DibNumColors(const std::uint8_t* dib);
// bytes of colour table: 12 (masks) at 16 and 32 bits, 0 at 24, else 4 x colour count
std::uint32_t DibPaletteSize(const std::uint8_t* dib);
// (width x bits + 31) / 32 x 4; 0 for a negative width
std::uint64_t DibRowBytes(std::int64_t width, int bitCount);
std::uint64_t DibRowBytes(const std::uint8_t* dib);
// row size x height (a negative height counts as its magnitude)
std::uint64_t DibImageSize(const std::uint8_t* dib);
// header + colour table + image; with compression 0 the header's image size field is
// first set to the computed image size.
std::uint64_t DibSize(std::uint8_t* dib);
// header + colour table + image, without touching the block
std::uint64_t DibSizeOf(const std::uint8_t* dib);
// The pixel rows: header size + palette size bytes into the block.
std::uint8_t* FindDibBits(std::uint8_t* dib);
const std::uint8_t* FindDibBits(const std::uint8_t* dib);

// Whether a bit depth is one the program handles (1, 4, 8, 16, 24, 32).
bool IsDibBitCount(int bitCount);
// Whether length bytes at dib hold a DIB the program can work on: a 40-byte header,
// compression 0, a handled depth, both sides 1 ... 100 000, a pixel block within 1 GiB and
// every byte the size rules ask for present.
bool IsSoundDib(const std::uint8_t* dib, std::size_t length);

// One row of red-green-blue pixels into the DIB's blue-green-red order; src and dst do not
// overlap.
void RgbToBgr(const std::uint8_t* src, std::uint8_t* dst, std::size_t pixels);

// A zero-filled block for a picture; one of a large scan is asked for in 2 MiB pages where the
// system offers them.
DibBlock NewDibBlock(std::size_t size);

// A new zero-filled DIB of the given size and depth with a copy of the given header's
// other fields (resolutions, colours used) and of the colour table of source (may be
// null: the table stays zero). Nothing when the size is out of bounds.
std::optional<DibBlock> MakeDib(const BitmapInfoHeader& like, std::int32_t width,
                                std::int32_t height, const std::uint8_t* colourTable);
