// The display side of CDib: the cache of scaled copies and drawing on a device context.
#include "image/CDib.h"

#include "platform/DeviceContext.h"

#include <algorithm>
#include <new>

namespace {

// How many scaled copies beyond the newest a cache list keeps (one for the process).
int g_cacheSize = 3;

// The screen colour of entry index of a colour table of entries entries; black outside it.
std::uint32_t TableColour(const std::uint8_t* table, std::uint32_t entries, std::uint32_t index)
{
    if (index >= entries)
        return 0xFF000000u;
    const std::uint8_t* e = table + 4 * index;
    return 0xFF000000u | (static_cast<std::uint32_t>(e[2]) << 16) |
           (static_cast<std::uint32_t>(e[1]) << 8) | e[0];
}

// Five bits of a 5-5-5 pixel widened to eight.
std::uint32_t Widen5(std::uint32_t v)
{
    return (v << 3) | (v >> 2);
}

// Converts pixels [x0, x1) of one stored row to screen pixels.
void ConvertRow(const std::uint8_t* dib, const std::uint8_t* row, int x0, int x1,
                std::uint32_t* out)
{
    const int bitCount = GetLE16(dib + 14);
    const std::uint8_t* table = dib + kInfoHeaderSize;
    const std::uint32_t entries = std::min(DibNumColors(dib), DibPaletteSize(dib) / 4);
    for (int x = x0; x < x1; ++x, ++out) {
        switch (bitCount) {
        case 1:
            *out = TableColour(table, entries, (row[x >> 3] >> (7 - (x & 7))) & 1u);
            break;
        case 4:
            *out =
                TableColour(table, entries, (x & 1) ? (row[x >> 1] & 0x0Fu) : (row[x >> 1] >> 4));
            break;
        case 8:
            *out = TableColour(table, entries, row[x]);
            break;
        case 16: {
            const std::uint32_t v = GetLE16(row + 2 * x);
            *out = 0xFF000000u | (Widen5((v >> 10) & 31u) << 16) | (Widen5((v >> 5) & 31u) << 8) |
                   Widen5(v & 31u);
            break;
        }
        case 24: {
            const std::uint8_t* p = row + 3 * x;
            *out = 0xFF000000u | (static_cast<std::uint32_t>(p[2]) << 16) |
                   (static_cast<std::uint32_t>(p[1]) << 8) | p[0];
            break;
        }
        default: {
            const std::uint8_t* p = row + 4 * x;
            *out = 0xFF000000u | (static_cast<std::uint32_t>(p[2]) << 16) |
                   (static_cast<std::uint32_t>(p[1]) << 8) | p[0];
            break;
        }
        }
    }
}

} // namespace

void CDib::SetCacheSize(int n)
{
    g_cacheSize = n;
}

int CDib::GetCacheSize()
{
    return g_cacheSize;
}

CDib* CDib::GetBitmap(DeviceContext*, int width, int height)
{
    if (IsEmpty() || width < 1 || height < 1)
        return nullptr;
    for (auto it = m_cache.begin(); it != m_cache.end(); ++it) {
        if ((*it)->Width() == width && (*it)->Height() == height) {
            std::unique_ptr<CDib> hit = std::move(*it);
            m_cache.erase(it);
            m_cache.push_back(std::move(hit));
            return m_cache.back().get();
        }
    }
    if (m_reduced && m_reduced->Width() == width && m_reduced->Height() == height)
        return m_reduced.get();
    // A copy this large is never made: the view draws the visible part itself.
    if (width > kMaxDibSide || height > kMaxDibSide ||
        DibRowBytes(width, BitCount()) * static_cast<std::uint64_t>(height) > kMaxScaledBytes)
        return nullptr;

    // The copy is resampled straight from the image's pixels (no full-size copy first); it
    // is the image's copy scaled, with its own palette and format 0.
    std::unique_ptr<CDib> copy;
    try {
        copy = std::make_unique<CDib>();
        if (width == Width() && height == Height()) {
            if (!copy->Assign(*this))
                return nullptr;
        } else {
            std::optional<DibBlock> scaled = ScaledBlock(m_dib, width, height);
            if (!scaled)
                return nullptr;
            copy->m_dib = std::move(*scaled);
            copy->MakePalette();
        }
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    if (width >= Width() || height >= Height()) {
        const std::size_t limit = static_cast<std::size_t>(std::max(g_cacheSize, 0));
        while (m_cache.size() > limit)
            m_cache.erase(m_cache.begin());
        m_cache.push_back(std::move(copy));
        return m_cache.back().get();
    }
    m_reduced = std::move(copy);
    return m_reduced.get();
}

bool CDib::Draw(DeviceContext& dc, bool /*dithered*/, bool /*noHalftone*/)
{
    if (IsEmpty())
        return false;
    // Only the part inside the clip rectangle is converted and transferred.
    const int width = Width();
    const int height = Height();
    const IRect clip = dc.GetClipRect();
    const IPoint origin = dc.GetViewportOrg();
    IRect visible{clip.left - origin.x, clip.top - origin.y, clip.right - origin.x,
                  clip.bottom - origin.y};
    visible = visible.Intersected(IRect{0, 0, width, height});
    if (visible.IsEmpty())
        return true;
    std::vector<std::uint32_t> pixels;
    try {
        pixels.resize(static_cast<std::size_t>(visible.Width()) *
                      static_cast<std::size_t>(visible.Height()));
    } catch (const std::bad_alloc&) {
        return false;
    }
    const std::uint8_t* bits = FindDibBits(m_dib.data());
    const std::uint64_t rowBytes = DibRowBytes(m_dib.data());
    for (int y = visible.top; y < visible.bottom; ++y) {
        const std::uint8_t* row = bits + static_cast<std::uint64_t>(height - 1 - y) * rowBytes;
        ConvertRow(m_dib.data(), row, visible.left, visible.right,
                   pixels.data() + static_cast<std::size_t>(y - visible.top) * visible.Width());
    }
    dc.SetPixels(visible.left, visible.top, visible.Width(), visible.Height(), pixels.data(),
                 visible.Width());
    return true;
}

std::uint32_t CDib::PixelAt(int x, int y) const
{
    if (IsEmpty() || x < 0 || y < 0 || x >= Width() || y >= Height())
        return 0;
    const std::uint8_t* row =
        FindDibBits(m_dib.data()) +
        static_cast<std::uint64_t>(Height() - 1 - y) * DibRowBytes(m_dib.data());
    std::uint32_t out = 0;
    ConvertRow(m_dib.data(), row, x, x + 1, &out);
    return out;
}
