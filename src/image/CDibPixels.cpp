// The pixel operations of CDib: flips, quarter turns, crop and nearest-neighbour scaling.
#include "image/CDib.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

namespace {

// The pixel rows of a DIB addressed from the top-left (rows are stored bottom-up).
struct Pixels {
    std::uint8_t* bits;
    std::uint64_t rowBytes;
    int width;
    int height;
    int bitCount;

    explicit Pixels(std::uint8_t* dib)
        : bits(FindDibBits(dib)), rowBytes(DibRowBytes(dib)),
          width(static_cast<int>(GetLE32(dib + 4))), height(static_cast<int>(GetLE32(dib + 8))),
          bitCount(GetLE16(dib + 14))
    {
    }

    std::uint8_t* Row(int y) const
    {
        return bits + static_cast<std::uint64_t>(height - 1 - y) * rowBytes;
    }

    // The value of pixel x of a row: a bit, a nibble or up to four bytes.
    std::uint32_t Get(const std::uint8_t* row, int x) const
    {
        switch (bitCount) {
        case 1:
            return (row[x >> 3] >> (7 - (x & 7))) & 1u;
        case 4:
            return (x & 1) ? (row[x >> 1] & 0x0Fu) : (row[x >> 1] >> 4);
        case 8:
            return row[x];
        case 16:
            return GetLE16(row + 2 * x);
        case 24: {
            const std::uint8_t* p = row + 3 * x;
            return p[0] | (p[1] << 8) | (static_cast<std::uint32_t>(p[2]) << 16);
        }
        default:
            return GetLE32(row + 4 * x);
        }
    }

    void Put(std::uint8_t* row, int x, std::uint32_t v) const
    {
        switch (bitCount) {
        case 1: {
            const std::uint8_t mask = static_cast<std::uint8_t>(0x80u >> (x & 7));
            row[x >> 3] =
                static_cast<std::uint8_t>(v ? (row[x >> 3] | mask) : (row[x >> 3] & ~mask));
            break;
        }
        case 4: {
            std::uint8_t& b = row[x >> 1];
            b = (x & 1) ? static_cast<std::uint8_t>((b & 0xF0u) | (v & 0x0Fu))
                        : static_cast<std::uint8_t>((b & 0x0Fu) | ((v & 0x0Fu) << 4));
            break;
        }
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
};

// A new DIB like dib (depth, colour table, other header fields) of the given size.
std::optional<DibBlock> MakeLike(const std::uint8_t* dib, int width, int height)
{
    try {
        return MakeDib(BitmapInfoHeader::Read(dib), width, height, dib + kInfoHeaderSize);
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
}

} // namespace

bool CDib::FlipVertical()
{
    if (IsEmpty())
        return false;
    ClearCache();
    const Pixels p(m_dib.data());
    std::vector<std::uint8_t> buffer;
    try {
        buffer.resize(static_cast<std::size_t>(p.rowBytes));
    } catch (const std::bad_alloc&) {
        return false;
    }
    for (int i = 0; i < (p.height + 1) / 2; ++i) {
        std::uint8_t* a = p.Row(i);
        std::uint8_t* b = p.Row(p.height - 1 - i);
        std::memcpy(buffer.data(), a, buffer.size());
        std::memmove(a, b, buffer.size());
        std::memcpy(b, buffer.data(), buffer.size());
    }
    return true;
}

bool CDib::FlipHorizontal()
{
    if (IsEmpty())
        return false;
    ClearCache();
    const Pixels p(m_dib.data());
    const int bytes = p.bitCount / 8;
    for (int y = 0; y < p.height; ++y) {
        std::uint8_t* row = p.Row(y);
        if (bytes >= 1) {
            std::uint8_t* l = row;
            std::uint8_t* r = row + static_cast<std::size_t>(p.width - 1) * bytes;
            for (; l < r; l += bytes, r -= bytes)
                std::swap_ranges(l, l + bytes, r);
            continue;
        }
        for (int x = 0; x < (p.width + 1) / 2; ++x) {
            const int mirror = p.width - 1 - x;
            const std::uint32_t a = p.Get(row, x);
            p.Put(row, x, p.Get(row, mirror));
            p.Put(row, mirror, a);
        }
    }
    return true;
}

bool CDib::Rotate(int angle)
{
    if (IsEmpty() || (angle != 90 && angle != 180 && angle != 270))
        return false;
    if (angle == 180)
        return FlipVertical() && FlipHorizontal();
    ClearCache();
    const Pixels src(m_dib.data());
    std::optional<DibBlock> out = MakeLike(m_dib.data(), src.height, src.width);
    if (!out)
        return false;
    const Pixels dst(out->data());
    for (int y = 0; y < dst.height; ++y) {
        std::uint8_t* row = dst.Row(y);
        if (angle == 90) {
            // new (x, y) is old (y, height - 1 - x)
            for (int x = 0; x < dst.width; ++x)
                dst.Put(row, x, src.Get(src.Row(src.height - 1 - x), y));
        } else {
            // new (x, y) is old (width - 1 - y, x)
            const int sx = src.width - 1 - y;
            for (int x = 0; x < dst.width; ++x)
                dst.Put(row, x, src.Get(src.Row(x), sx));
        }
    }
    const int format = m_format;
    Install(std::move(*out));
    m_format = format;
    MakePalette();
    return true;
}

bool CDib::Crop(int x, int y, int width, int height)
{
    if (IsEmpty())
        return false;
    ClearCache();
    const Pixels src(m_dib.data());
    std::int64_t cx = x, cy = y, cw = width, ch = height;
    if (cx < 0) {
        cw += cx;
        cx = 0;
    }
    if (cy < 0) {
        ch += cy;
        cy = 0;
    }
    if (cx + cw > src.width)
        cw = src.width - cx;
    if (cy + ch > src.height)
        ch = src.height - cy;
    if (cw == src.width && ch == src.height)
        return true;
    // Nothing of the image lies in the rectangle: there is nothing to keep.
    if (cw < 1 || ch < 1)
        return false;
    std::optional<DibBlock> out =
        MakeLike(m_dib.data(), static_cast<int>(cw), static_cast<int>(ch));
    if (!out)
        return false;
    const Pixels dst(out->data());
    for (int r = 0; r < dst.height; ++r) {
        const std::uint8_t* s = src.Row(static_cast<int>(cy) + r);
        std::uint8_t* d = dst.Row(r);
        if (src.bitCount >= 8) {
            const std::size_t bytes = static_cast<std::size_t>(src.bitCount / 8);
            std::memcpy(d, s + static_cast<std::size_t>(cx) * bytes,
                        static_cast<std::size_t>(cw) * bytes);
            continue;
        }
        for (int c = 0; c < dst.width; ++c)
            dst.Put(d, c, src.Get(s, static_cast<int>(cx) + c));
    }
    const int format = m_format;
    Install(std::move(*out));
    m_format = format;
    MakePalette();
    return true;
}

namespace {

template <std::size_t Bytes>
void ScaleRow(std::uint8_t* d, const std::uint8_t* s, const std::uint32_t* columns, int width)
{
    for (int i = 0; i < width; ++i, d += Bytes)
        std::memcpy(d, s + columns[i], Bytes);
}

} // namespace

bool CDib::Scale(int width, int height)
{
    if (IsEmpty() || width < 1 || height < 1)
        return false;
    if (width == Width() && height == Height())
        return true;
    ClearCache();
    std::optional<DibBlock> out = ScaledBlock(m_dib, width, height);
    if (!out)
        return false;
    const int format = m_format;
    Install(std::move(*out));
    m_format = format;
    MakePalette();
    return true;
}

std::optional<DibBlock> CDib::ScaledBlock(const DibBlock& dib, int width, int height)
{
    const Pixels src(const_cast<std::uint8_t*>(dib.data()));
    std::optional<DibBlock> out = MakeLike(dib.data(), width, height);
    if (!out)
        return std::nullopt;
    const Pixels dst(out->data());
    const int bytes = src.bitCount / 8;
    // Source column of each destination column: a byte offset from 8 bits up, else the pixel.
    std::vector<std::uint32_t> columns(static_cast<std::size_t>(width));
    for (int i = 0; i < width; ++i) {
        const auto si =
            static_cast<std::uint32_t>(static_cast<std::int64_t>(src.width) * i / width);
        columns[static_cast<std::size_t>(i)] =
            bytes >= 1 ? si * static_cast<std::uint32_t>(bytes) : si;
    }
    const std::uint8_t* lastSource = nullptr;
    const std::uint8_t* lastRow = nullptr;
    for (int j = 0; j < height; ++j) {
        const int sj = static_cast<int>(static_cast<std::int64_t>(src.height) * j / height);
        const std::uint8_t* s = src.Row(sj);
        std::uint8_t* d = dst.Row(j);
        if (s == lastSource) {
            std::memcpy(d, lastRow, static_cast<std::size_t>(dst.rowBytes));
            continue;
        }
        switch (src.bitCount) {
        case 8:
            ScaleRow<1>(d, s, columns.data(), width);
            break;
        case 16:
            ScaleRow<2>(d, s, columns.data(), width);
            break;
        case 24:
            ScaleRow<3>(d, s, columns.data(), width);
            break;
        case 32:
            ScaleRow<4>(d, s, columns.data(), width);
            break;
        default:
            for (int i = 0; i < width; ++i) {
                const std::uint32_t v =
                    src.Get(s, static_cast<int>(columns[static_cast<std::size_t>(i)]));
                if (src.bitCount == 1)
                    d[i >> 3] |= static_cast<std::uint8_t>(v << (7 - (i & 7)));
                else
                    d[i >> 1] |= static_cast<std::uint8_t>((i & 1) ? v : v << 4);
            }
            break;
        }
        lastSource = s;
        lastRow = d;
    }
    return out;
}
