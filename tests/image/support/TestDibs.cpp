#include "image/support/TestDibs.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace testdibs {

std::uint32_t Pattern(int x, int y, int bitCount)
{
    const std::uint32_t v =
        static_cast<std::uint32_t>(x * 7 + y * 13 + x * y * 3 + 1) * 2654435761u;
    if (bitCount >= 32)
        return v;
    return v & ((1u << bitCount) - 1u);
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
    const std::uint32_t table = DibPaletteSize(dib->data());
    for (std::uint32_t i = 0; i < table; ++i)
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

std::uint32_t Get(const std::uint8_t* dib, int x, int y)
{
    const std::uint8_t* row = RowOf(dib, y);
    switch (GetLE16(dib + 14)) {
    case 1:
        return (row[x / 8] >> (7 - x % 8)) & 1u;
    case 4:
        return (x % 2) ? (row[x / 2] & 15u) : (row[x / 2] >> 4);
    case 8:
        return row[x];
    case 16:
        return GetLE16(row + 2 * x);
    case 24:
        return row[3 * x] | (row[3 * x + 1] << 8) |
               (static_cast<std::uint32_t>(row[3 * x + 2]) << 16);
    default:
        return GetLE32(row + 4 * x);
    }
}

void Put(std::uint8_t* dib, int x, int y, std::uint32_t v)
{
    std::uint8_t* row = RowOf(dib, y);
    switch (GetLE16(dib + 14)) {
    case 1:
        row[x / 8] =
            static_cast<std::uint8_t>((row[x / 8] & ~(0x80u >> x % 8)) | ((v & 1u) << (7 - x % 8)));
        break;
    case 4:
        row[x / 2] = (x % 2) ? static_cast<std::uint8_t>((row[x / 2] & 0xF0u) | (v & 15u))
                             : static_cast<std::uint8_t>((row[x / 2] & 0x0Fu) | ((v & 15u) << 4));
        break;
    case 8:
        row[x] = static_cast<std::uint8_t>(v);
        break;
    case 16:
        PutLE16(row + 2 * x, static_cast<std::uint16_t>(v));
        break;
    case 24:
        row[3 * x] = static_cast<std::uint8_t>(v);
        row[3 * x + 1] = static_cast<std::uint8_t>(v >> 8);
        row[3 * x + 2] = static_cast<std::uint8_t>(v >> 16);
        break;
    default:
        PutLE32(row + 4 * x, v);
        break;
    }
}

std::vector<std::uint8_t> PaddingBits(const std::uint8_t* dib)
{
    const BitmapInfoHeader h = BitmapInfoHeader::Read(dib);
    const std::uint64_t rowBits = DibRowBytes(dib) * 8;
    const std::uint64_t used = static_cast<std::uint64_t>(h.width) * h.bitCount;
    std::vector<std::uint8_t> out;
    for (int y = 0; y < h.height; ++y) {
        const std::uint8_t* row = RowOf(dib, y);
        for (std::uint64_t b = used; b < rowBits; ++b)
            out.push_back((row[b / 8] >> (7 - b % 8)) & 1u);
    }
    return out;
}

std::vector<std::uint8_t> RleBody(int width, int height, int bitCount,
                                  const std::vector<std::uint8_t>& data, std::uint32_t clrUsed)
{
    BitmapInfoHeader h;
    h.width = width;
    h.height = height;
    h.bitCount = static_cast<std::uint16_t>(bitCount);
    h.compression = bitCount == 8 ? kBiRle8 : kBiRle4;
    h.sizeImage = static_cast<std::uint32_t>(data.size());
    h.clrUsed = clrUsed;
    std::vector<std::uint8_t> body(kInfoHeaderSize);
    h.Write(body.data());
    const std::uint32_t colours = DibNumColors(body.data());
    for (std::uint32_t i = 0; i < colours; ++i) {
        const std::uint8_t v = static_cast<std::uint8_t>(i);
        body.insert(body.end(), {v, v, v, 0});
    }
    body.insert(body.end(), data.begin(), data.end());
    return body;
}

std::vector<std::uint8_t> CoreBody(int width, int height, int bitCount,
                                   const std::vector<std::uint8_t>& table,
                                   const std::vector<std::uint8_t>& pixels)
{
    std::vector<std::uint8_t> body(12, 0);
    PutLE32(body.data(), 12);
    PutLE16(body.data() + 4, static_cast<std::uint16_t>(width));
    PutLE16(body.data() + 6, static_cast<std::uint16_t>(height));
    PutLE16(body.data() + 8, 1);
    PutLE16(body.data() + 10, static_cast<std::uint16_t>(bitCount));
    body.insert(body.end(), table.begin(), table.end());
    body.insert(body.end(), pixels.begin(), pixels.end());
    return body;
}

std::vector<std::uint8_t> BitFieldsBody(std::int32_t width, std::int32_t height, int bitCount,
                                        const std::vector<std::uint32_t>& masks,
                                        const std::vector<std::uint8_t>& pixels)
{
    BitmapInfoHeader h;
    h.width = width;
    h.height = height;
    h.bitCount = static_cast<std::uint16_t>(bitCount);
    h.compression = kBiBitFields;
    std::vector<std::uint8_t> body(kInfoHeaderSize + 4 * masks.size());
    h.Write(body.data());
    for (std::size_t i = 0; i < masks.size(); ++i)
        PutLE32(body.data() + kInfoHeaderSize + 4 * i, masks[i]);
    body.insert(body.end(), pixels.begin(), pixels.end());
    return body;
}

std::vector<std::uint8_t> BmpFile(const std::vector<std::uint8_t>& body, std::uint32_t pixelOffset)
{
    std::vector<std::uint8_t> file(kFileHeaderSize, 0);
    PutLE16(file.data(), kBmpType);
    PutLE32(file.data() + 2, static_cast<std::uint32_t>(body.size() + kFileHeaderSize));
    PutLE32(file.data() + 10, pixelOffset);
    file.insert(file.end(), body.begin(), body.end());
    return file;
}

void WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

std::vector<std::uint8_t> ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

} // namespace testdibs
