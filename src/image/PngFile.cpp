#include "image/PictureFile.h"

#include <png.h>

#include <algorithm>
#include <cstring>

namespace {

// Frees libpng's reading state on every way out.
class PngImage {
public:
    PngImage()
    {
        std::memset(&m_image, 0, sizeof m_image);
        m_image.version = PNG_IMAGE_VERSION;
    }
    ~PngImage() { png_image_free(&m_image); }
    PngImage(const PngImage&) = delete;
    PngImage& operator=(const PngImage&) = delete;
    png_image* operator->() { return &m_image; }
    png_image* get() { return &m_image; }

private:
    png_image m_image;
};

} // namespace

// libpng's simplified interface keeps its own error recovery inside the library: a damaged
// file makes its calls return 0, and its default limits on sizes and chunks hold. It also
// scales 16-bit samples to 8 bits, lays transparent pixels over the background given and
// writes the rows bottom-up when the row step is negative, straight into the DIB.
std::optional<DibBlock> ReadPngMemory(const std::uint8_t* data, std::size_t length)
{
    PngImage image;
    if (!png_image_begin_read_from_memory(image.get(), data, length))
        return std::nullopt;
    // A 16-bit file without colour-space chunks holds sRGB samples, like an 8-bit one.
    image->flags |= PNG_IMAGE_FLAG_16BIT_sRGB;
    const bool palette = (image->format & PNG_FORMAT_FLAG_COLORMAP) != 0;
    const bool colour = (image->format & PNG_FORMAT_FLAG_COLOR) != 0;
    const int width = static_cast<int>(std::min<png_uint_32>(image->width, kMaxDibSide + 1));
    const int height = static_cast<int>(std::min<png_uint_32>(image->height, kMaxDibSide + 1));

    std::optional<DibBlock> dib;
    std::uint8_t colourMap[256 * 3];
    if (palette) {
        image->format = PNG_FORMAT_BGR | PNG_FORMAT_FLAG_COLORMAP;
        // The file's palette gives the DIB's colours; the map read may come out shorter.
        const int count = static_cast<int>(std::min<png_uint_32>(image->colormap_entries, 256));
        std::memset(colourMap, 0, sizeof colourMap);
        dib = NewPaletteDib(width, height, colourMap, count);
    } else if (colour) {
        image->format = PNG_FORMAT_BGR;
        dib = NewColourDib(width, height);
    } else {
        image->format = PNG_FORMAT_GRAY;
        dib = NewGreyDib(width, height);
    }
    if (!dib)
        return std::nullopt;
    const png_color white = {255, 255, 255};
    const std::uint64_t rowBytes = DibRowBytes(dib->data());
    std::uint8_t* bits = FindDibBits(dib->data());
    if (!png_image_finish_read(image.get(), &white, bits, -static_cast<png_int_32>(rowBytes),
                               palette ? colourMap : nullptr))
        return std::nullopt;
    if (palette) {
        std::uint8_t* table = dib->data() + kInfoHeaderSize;
        const unsigned count =
            std::min<unsigned>(image->colormap_entries, DibNumColors(dib->data()));
        for (unsigned i = 0; i < count; ++i)
            std::memcpy(table + 4 * i, colourMap + 3 * i, 3);
    }
    return dib;
}
