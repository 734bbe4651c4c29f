#include "image/support/TestDibs.h"

#include <fstream>
#include <iterator>
#include <stdexcept>

namespace testdibs {

std::uint32_t Pattern(int x, int y, int bitCount)
{
    const std::uint32_t v =
        static_cast<std::uint32_t>(x * 7 + y * 13 + x * y * 3 + 1) * 2654435761u;
    return bitCount >= 32 ? v : v & ((1u << bitCount) - 1u);
}

DibBlock Make(int width, int height, int bitCount, std::uint32_t clrUsed)
{
    BitmapInfoHeader h;
    h.bitCount = static_cast<std::uint16_t>(bitCount);
    h.clrUsed = clrUsed;
    h.xPelsPerMeter = 3780;
    h.yPelsPerMeter = 3780;
    std::optional<DibBlock> dib = MakeDib(h, width, height, nullptr);
    if (!dib)
        throw std::runtime_error("test bitmap out of bounds");
    for (std::uint32_t i = 0; i < DibPaletteSize(dib->data()); ++i)
        (*dib)[kInfoHeaderSize + i] = static_cast<std::uint8_t>(i * 37 + 11);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            Put(dib->data(), x, y, Pattern(x, y, bitCount));
    return *dib;
}

namespace {

std::uint8_t* RowOf(const std::uint8_t* dib, int y)
{
    const BitmapInfoHeader h = BitmapInfoHeader::Read(dib);
    return const_cast<std::uint8_t*>(FindDibBits(dib)) +
           static_cast<std::uint64_t>(h.height - 1 - y) * DibRowBytes(dib);
}

} // namespace

// Pixels below 8 bits are packed from the high bits of a byte; wider ones are little-endian.
std::uint32_t Get(const std::uint8_t* dib, int x, int y)
{
    const std::uint8_t* row = RowOf(dib, y);
    const int bits = GetLE16(dib + 14);
    if (bits < 8)
        return (row[x * bits / 8] >> (8 - bits - x * bits % 8)) & ((1u << bits) - 1u);
    std::uint32_t v = 0;
    for (int i = bits / 8 - 1; i >= 0; --i)
        v = (v << 8) | row[x * bits / 8 + i];
    return v;
}

void Put(std::uint8_t* dib, int x, int y, std::uint32_t v)
{
    std::uint8_t* row = RowOf(dib, y);
    const int bits = GetLE16(dib + 14);
    if (bits < 8) {
        const int shift = 8 - bits - x * bits % 8;
        const std::uint32_t mask = ((1u << bits) - 1u) << shift;
        std::uint8_t& b = row[x * bits / 8];
        b = static_cast<std::uint8_t>((b & ~mask) | ((v << shift) & mask));
        return;
    }
    for (int i = 0; i < bits / 8; ++i)
        row[x * bits / 8 + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

Bytes Wrap(const Bytes& body, std::uint32_t pixelOffset)
{
    Bytes file(kFileHeaderSize, 0);
    PutLE16(file.data(), kBmpType);
    PutLE32(file.data() + 2, static_cast<std::uint32_t>(body.size() + kFileHeaderSize));
    PutLE32(file.data() + 10, pixelOffset);
    file.insert(file.end(), body.begin(), body.end());
    return file;
}

Bytes BmpFile(std::int32_t width, std::int32_t height, int bitCount, std::uint32_t compression,
              const Bytes& table, const Bytes& pixels, std::uint32_t clrUsed)
{
    BitmapInfoHeader h;
    h.width = width;
    h.height = height;
    h.bitCount = static_cast<std::uint16_t>(bitCount);
    h.compression = compression;
    h.sizeImage = static_cast<std::uint32_t>(pixels.size());
    h.xPelsPerMeter = h.yPelsPerMeter = 2835;
    h.clrUsed = h.clrImportant = clrUsed;
    Bytes body(kInfoHeaderSize);
    h.Write(body.data());
    body.insert(body.end(), table.begin(), table.end());
    body.insert(body.end(), pixels.begin(), pixels.end());
    return Wrap(body, kFileHeaderSize + kInfoHeaderSize + static_cast<std::uint32_t>(table.size()));
}

Bytes Grey(int colours)
{
    Bytes t;
    for (int i = 0; i < colours; ++i) {
        const auto v = static_cast<std::uint8_t>(i * 255 / (colours > 1 ? colours - 1 : 1));
        t.insert(t.end(), {v, v, v, 0});
    }
    return t;
}

void WriteFile(const std::string& path, const Bytes& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

Bytes ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

} // namespace testdibs
