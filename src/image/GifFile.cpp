#include "image/PictureFile.h"

#include <gif_lib.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

struct Source {
    const std::uint8_t* data;
    std::size_t length;
    std::size_t position;
};

int ReadSource(GifFileType* gif, GifByteType* out, int count)
{
    auto* source = static_cast<Source*>(gif->UserData);
    const std::size_t n =
        std::min<std::size_t>(static_cast<std::size_t>(count), source->length - source->position);
    std::memcpy(out, source->data + source->position, n);
    source->position += n;
    return static_cast<int>(n);
}

class GifCloser {
public:
    explicit GifCloser(GifFileType* gif) : m_gif(gif) {}
    ~GifCloser()
    {
        int error = 0;
        if (m_gif)
            DGifCloseFile(m_gif, &error);
    }
    GifCloser(const GifCloser&) = delete;
    GifCloser& operator=(const GifCloser&) = delete;

private:
    GifFileType* m_gif;
};

// The palette of the frame: its own colour map or the screen's, with the transparent entry
// made white.
struct FramePalette {
    std::uint8_t bgr[256 * 3] = {};
    int count = 0;
};

bool MakeFramePalette(const ColorMapObject* map, int transparent, FramePalette& out)
{
    if (!map || map->ColorCount < 1 || map->ColorCount > 256)
        return false;
    out.count = map->ColorCount;
    for (int i = 0; i < out.count; ++i) {
        const GifColorType& c = map->Colors[i];
        const bool clear = i == transparent;
        out.bgr[3 * i] = clear ? 255 : c.Blue;
        out.bgr[3 * i + 1] = clear ? 255 : c.Green;
        out.bgr[3 * i + 2] = clear ? 255 : c.Red;
    }
    return true;
}

// The entry that shows the white paper where the frame leaves the screen bare: the
// transparent entry, else a new entry, else one the frame does not use (made white), else
// the lightest.
int PaperEntry(FramePalette& palette, int transparent, const bool (&used)[256])
{
    if (transparent >= 0 && transparent < palette.count)
        return transparent;
    int paper = palette.count < 256 ? palette.count++ : -1;
    for (int i = 0; paper < 0 && i < 256; ++i)
        if (!used[i])
            paper = i;
    if (paper >= 0) {
        std::memset(palette.bgr + 3 * paper, 255, 3);
        return paper;
    }
    int best = -1;
    for (int i = 0; i < palette.count; ++i) {
        const int light = palette.bgr[3 * i] + palette.bgr[3 * i + 1] + palette.bgr[3 * i + 2];
        if (light > best) {
            best = light;
            paper = i;
        }
    }
    return paper;
}

} // namespace

std::optional<DibBlock> ReadGifMemory(const std::uint8_t* data, std::size_t length)
{
    Source source{data, length, 0};
    int error = 0;
    GifFileType* gif = DGifOpen(&source, ReadSource, &error);
    GifCloser closer(gif);
    if (!gif)
        return std::nullopt;
    // The transparent colour is named by the graphics control block before the frame.
    int transparent = NO_TRANSPARENT_COLOR;
    for (;;) {
        GifRecordType record;
        if (DGifGetRecordType(gif, &record) != GIF_OK)
            return std::nullopt;
        if (record == TERMINATE_RECORD_TYPE)
            return std::nullopt;
        if (record == EXTENSION_RECORD_TYPE) {
            int code = 0;
            GifByteType* block = nullptr;
            if (DGifGetExtension(gif, &code, &block) != GIF_OK)
                return std::nullopt;
            if (code == GRAPHICS_EXT_FUNC_CODE && block && block[0] >= 4) {
                GraphicsControlBlock control;
                if (DGifExtensionToGCB(block[0], block + 1, &control) == GIF_OK)
                    transparent = control.TransparentColor;
            }
            while (block) {
                if (DGifGetExtensionNext(gif, &block) != GIF_OK)
                    return std::nullopt;
            }
            continue;
        }
        if (record == IMAGE_DESC_RECORD_TYPE)
            break;
    }
    if (DGifGetImageDesc(gif) != GIF_OK)
        return std::nullopt;
    const GifImageDesc& frame = gif->Image;
    FramePalette palette;
    if (!MakeFramePalette(frame.ColorMap ? frame.ColorMap : gif->SColorMap, transparent, palette))
        return std::nullopt;
    if (frame.Width < 1 || frame.Height < 1)
        return std::nullopt;
    // A code of the compressed data takes at least 3 bits and gives at most 4096 pixels: a
    // frame larger than its data could give is refused before anything is made for it.
    const std::uint64_t framePixels = static_cast<std::uint64_t>(frame.Width) * frame.Height;
    if (framePixels > (static_cast<std::uint64_t>(length) * 8 / 3 + 1) * 4096)
        return std::nullopt;
    // The frame is decoded whole before the screen's DIB is made, so that data that breaks
    // off never costs a screen. Interlaced frames come in four passes: every 8th row from 0,
    // every 8th from 4, every 4th from 2, every 2nd from 1.
    std::vector<GifPixelType> indices(static_cast<std::size_t>(framePixels));
    static const int kStart[4] = {0, 4, 2, 1};
    static const int kStep[4] = {8, 8, 4, 2};
    const int passes = frame.Interlace ? 4 : 1;
    for (int pass = 0; pass < passes; ++pass) {
        const int start = frame.Interlace ? kStart[pass] : 0;
        const int step = frame.Interlace ? kStep[pass] : 1;
        for (int y = start; y < frame.Height; y += step) {
            GifPixelType* line = indices.data() + static_cast<std::size_t>(y) * frame.Width;
            if (DGifGetLine(gif, line, frame.Width) != GIF_OK)
                return std::nullopt;
        }
    }

    // The screen holds the frame; a screen of no size is the frame's. Beyond the frame a
    // screen is paper only: one over 16 megapixels and four times its frame, which a few
    // bytes can claim, is refused like any picture its data cannot hold.
    const int width = gif->SWidth > 0 ? gif->SWidth : frame.Left + frame.Width;
    const int height = gif->SHeight > 0 ? gif->SHeight : frame.Top + frame.Height;
    const std::uint64_t screen = static_cast<std::uint64_t>(width) * height;
    if (screen > (std::uint64_t{1} << 24) && screen > 4 * framePixels)
        return std::nullopt;
    // The DIB keeps all 256 entries: the paper may take one more.
    std::optional<DibBlock> dib = NewPaletteDib(width, height, palette.bgr, 256);
    if (!dib)
        return std::nullopt;
    const std::size_t rowBytes = static_cast<std::size_t>(DibRowBytes(dib->data()));
    std::uint8_t* bits = FindDibBits(dib->data());
    const auto row = [&](int y) {
        return bits + static_cast<std::size_t>(height - 1 - y) * rowBytes;
    };
    // The frame's indices, clipped to the screen.
    const int left = std::min(width, frame.Left);
    const int right = std::max(left, std::min(width, frame.Left + frame.Width));
    const int bottom = std::min(height, frame.Top + frame.Height);
    bool used[256] = {};
    for (int y = frame.Top; y < bottom; ++y) {
        const GifPixelType* line =
            indices.data() + static_cast<std::size_t>(y - frame.Top) * frame.Width;
        std::uint8_t* out = row(y);
        for (int x = left; x < right; ++x) {
            const GifPixelType index = line[x - frame.Left];
            out[x] = index;
            used[index] = true;
        }
    }
    // Then the paper around the frame and under indices beyond its colour map; transparent
    // pixels keep their entry, which is white. A small frame may lie on a large screen: the
    // paper is laid a row span at a time.
    const int mapped = palette.count;
    const int paper = PaperEntry(palette, transparent, used);
    for (int y = 0; y < height; ++y) {
        std::uint8_t* out = row(y);
        if (y < frame.Top || y >= bottom) {
            std::memset(out, paper, static_cast<std::size_t>(width));
            continue;
        }
        std::memset(out, paper, static_cast<std::size_t>(left));
        std::memset(out + right, paper, static_cast<std::size_t>(width - right));
        for (int x = left; x < right; ++x) {
            if (out[x] >= mapped)
                out[x] = static_cast<std::uint8_t>(paper);
        }
    }
    std::uint8_t* table = dib->data() + kInfoHeaderSize;
    for (int i = 0; i < palette.count; ++i)
        std::memcpy(table + 4 * i, palette.bgr + 3 * i, 3);
    return dib;
}
