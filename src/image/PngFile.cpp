#include "image/PictureFile.h"

#include "image/CDib.h"

#include <png.h>

#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

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

// Palette pictures are written with their colour map (the 256 greys as a grey picture), 24-bit
// ones as they are, other depths as 24-bit colour. libpng's simplified interface writes the
// DIB's bottom-up rows when the row step is negative.
bool WritePngFile(const std::string& path, const CDib& dib)
{
    if (dib.IsEmpty())
        return false;
    const int width = dib.Width();
    const int height = dib.Height();
    const int bits = dib.BitCount();
    const std::uint8_t* header = dib.GetDib();
    const std::uint8_t* table = header + kInfoHeaderSize;
    const std::uint8_t* pixels = FindDibBits(header);
    const std::ptrdiff_t rowBytes = static_cast<std::ptrdiff_t>(DibRowBytes(header));
    PngImage image;
    image->width = static_cast<png_uint_32>(width);
    image->height = static_cast<png_uint_32>(height);
    std::vector<std::uint8_t> rows; // the pixels unpacked or converted, top-down
    std::uint8_t colourMap[256 * 3] = {};
    const void* buffer = pixels;
    png_int_32 stride = -static_cast<png_int_32>(rowBytes);
    try {
        if (bits <= 8) {
            const int count = static_cast<int>(std::min<std::uint32_t>(DibNumColors(header), 256));
            bool greys = count == 256;
            for (int i = 0; i < count; ++i) {
                std::memcpy(colourMap + 3 * i, table + 4 * i, 3);
                greys =
                    greys && table[4 * i] == i && table[4 * i + 1] == i && table[4 * i + 2] == i;
            }
            image->format = greys ? PNG_FORMAT_GRAY : PNG_FORMAT_BGR | PNG_FORMAT_FLAG_COLORMAP;
            image->colormap_entries = static_cast<png_uint_32>(count);
            if (bits < 8) {
                // Indices packed 8 / bits to a byte, the leftmost pixel in the high bits.
                rows.resize(static_cast<std::size_t>(width) * height);
                const int mask = (1 << bits) - 1;
                for (int y = 0; y < height; ++y) {
                    const std::uint8_t* src = pixels + (height - 1 - y) * rowBytes;
                    std::uint8_t* d = rows.data() + static_cast<std::size_t>(y) * width;
                    for (int x = 0; x < width; ++x) {
                        const int bit = x * bits;
                        d[x] = static_cast<std::uint8_t>((src[bit / 8] >> (8 - bits - bit % 8)) &
                                                         mask);
                    }
                }
                buffer = rows.data();
                stride = width;
            }
        } else {
            image->format = PNG_FORMAT_BGR;
            if (bits != 24) {
                rows.resize(static_cast<std::size_t>(width) * 3 * height);
                std::uint8_t* d = rows.data();
                for (int y = 0; y < height; ++y)
                    for (int x = 0; x < width; ++x, d += 3) {
                        const std::uint32_t c = dib.PixelAt(x, y);
                        d[0] = static_cast<std::uint8_t>(c);
                        d[1] = static_cast<std::uint8_t>(c >> 8);
                        d[2] = static_cast<std::uint8_t>(c >> 16);
                    }
                buffer = rows.data();
                stride = width * 3;
            }
        }
    } catch (const std::bad_alloc&) {
        return false;
    }
    return png_image_write_to_file(image.get(), path.c_str(), 0, buffer, stride,
                                   image->format & PNG_FORMAT_FLAG_COLORMAP ? colourMap
                                                                            : nullptr) != 0;
}
