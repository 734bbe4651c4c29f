#include "image/CDib.h"
#include "image/PictureFile.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdio>
// jpeglib.h needs size_t and FILE declared first.
#include <csetjmp>
#include <gif_lib.h>
#include <jpeglib.h>
#include <png.h>
#include <webp/encode.h>
#include <zlib.h>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <tuple>
#include <utility>
#include <vector>

// Each reader is fed files made here by its library's own writer, from one set of pictures
// whose every pixel is known.

namespace {

using Bytes = std::vector<std::uint8_t>;
constexpr int kW = 13;
constexpr int kH = 11;

// Channel c of pixel (x, y) at a depth of 1 ... 16 bits.
int Sample(int x, int y, int c, int depth)
{
    return (x * 4099 + y * 30011 + c * 7919) % (1 << depth);
}
bool Clear(int x, int y)
{
    return (x + 2 * y) % 5 == 0;
}
// A palette entry, red first.
std::uint32_t PaletteRgb(int i)
{
    return static_cast<std::uint32_t>((i * 71 % 256) << 16 | (i * 29 % 256) << 8 |
                                      (255 - i * 13 % 256));
}
// The smooth picture of the lossy formats, red first.
std::uint32_t SmoothRgb(int x, int y)
{
    return static_cast<std::uint32_t>((40 + x * 12) << 16 | (60 + y * 14) << 8 |
                                      (200 - x * 6 - y * 5));
}
constexpr std::uint32_t kWhite = 0xFFFFFF;

int To8(int v, int depth)
{
    return depth == 16 ? (v * 255 + 32767) / 65535 : v * 255 / ((1 << depth) - 1);
}
std::uint32_t Grey(int g)
{
    return static_cast<std::uint32_t>(g * 0x010101);
}
int Channel(std::uint32_t rgb, int shift)
{
    return static_cast<int>(rgb >> shift & 0xFF);
}

// ---- PNG through libpng's full writing interface (every colour type, depth and interlace).
struct PngShape {
    int colourType;
    int depth;
    bool interlaced;
    int width = kW;
    int height = kH;
};

int PngChannels(int colourType)
{
    return colourType == PNG_COLOR_TYPE_GRAY_ALPHA  ? 2
           : colourType == PNG_COLOR_TYPE_RGB       ? 3
           : colourType == PNG_COLOR_TYPE_RGB_ALPHA ? 4
                                                    : 1;
}

bool HasAlpha(int colourType)
{
    return (colourType & PNG_COLOR_MASK_ALPHA) != 0;
}

void AppendToBytes(png_structp png, png_bytep data, png_size_t n)
{
    auto* out = static_cast<Bytes*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + n);
}

bool WritePngRows(png_structp png, png_infop info, const PngShape* s, png_bytepp rows,
                  png_colorp palette, png_bytep alphas, Bytes* out)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_set_write_fn(png, out, AppendToBytes, nullptr);
    png_set_IHDR(png, info, static_cast<png_uint_32>(s->width), static_cast<png_uint_32>(s->height),
                 s->depth, s->colourType, s->interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (s->colourType == PNG_COLOR_TYPE_PALETTE) {
        png_set_PLTE(png, info, palette, 1 << s->depth);
        png_set_tRNS(png, info, alphas, 1 << s->depth, nullptr);
    }
    png_write_info(png, info);
    png_write_image(png, rows);
    png_write_end(png, info);
    return true;
}

Bytes MakePng(const PngShape& s)
{
    const int channels = PngChannels(s.colourType);
    const int max = (1 << s.depth) - 1;
    std::vector<Bytes> rows(
        static_cast<std::size_t>(s.height),
        Bytes((static_cast<std::size_t>(s.width) * channels * s.depth + 7) / 8));
    std::vector<png_bytep> rowPointers;
    for (int y = 0; y < s.height; ++y) {
        Bytes& row = rows[static_cast<std::size_t>(y)];
        rowPointers.push_back(row.data());
        for (int x = 0; x < s.width; ++x)
            for (int c = 0; c < channels; ++c) {
                const bool alpha = HasAlpha(s.colourType) && c == channels - 1;
                const int v = alpha ? (Clear(x, y) ? 0 : max) : Sample(x, y, c, s.depth);
                const int bit = (x * channels + c) * s.depth;
                if (s.depth == 16) {
                    row[bit / 8] = static_cast<std::uint8_t>(v >> 8);
                    row[bit / 8 + 1] = static_cast<std::uint8_t>(v);
                } else {
                    row[bit / 8] |= static_cast<std::uint8_t>(v << (8 - s.depth - bit % 8));
                }
            }
    }
    png_color palette[256];
    png_byte alphas[256];
    for (int i = 0; i < 256; ++i) {
        const std::uint32_t rgb = PaletteRgb(i);
        palette[i] = {static_cast<png_byte>(Channel(rgb, 16)),
                      static_cast<png_byte>(Channel(rgb, 8)),
                      static_cast<png_byte>(Channel(rgb, 0))};
        alphas[i] = i % 4 == 1 ? 0 : 255;
    }
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    Bytes out;
    const bool ok = WritePngRows(png, info, &s, rowPointers.data(), palette, alphas, &out);
    png_destroy_write_struct(&png, &info);
    EXPECT_TRUE(ok);
    return out;
}

std::uint32_t PngPixel(const PngShape& s, int x, int y)
{
    if (s.colourType == PNG_COLOR_TYPE_PALETTE) {
        const int i = Sample(x, y, 0, s.depth);
        return i % 4 == 1 ? kWhite : PaletteRgb(i);
    }
    if (HasAlpha(s.colourType) && Clear(x, y))
        return kWhite;
    if (!(s.colourType & PNG_COLOR_MASK_COLOR))
        return Grey(To8(Sample(x, y, 0, s.depth), s.depth));
    return static_cast<std::uint32_t>(To8(Sample(x, y, 0, s.depth), s.depth) << 16 |
                                      To8(Sample(x, y, 1, s.depth), s.depth) << 8 |
                                      To8(Sample(x, y, 2, s.depth), s.depth));
}

// ---- JPEG through libjpeg's compressor.
struct JpegShape {
    J_COLOR_SPACE input;  // JCS_GRAYSCALE, JCS_RGB or JCS_CMYK (Adobe's inverted inks)
    J_COLOR_SPACE stored; // the colour space in the file
    bool progressive;
    int orientation = 0; // EXIF orientation, 0 for no EXIF block
    bool littleEndian = false;
};

// An EXIF block whose first directory holds the orientation alone.
Bytes ExifBlock(int orientation, bool little)
{
    Bytes b = {'E', 'x', 'i', 'f', 0, 0};
    const auto put = [&](std::uint32_t v, int bytes) {
        for (int i = 0; i < bytes; ++i)
            b.push_back(static_cast<std::uint8_t>(v >> 8 * (little ? i : bytes - 1 - i)));
    };
    b.push_back(little ? 'I' : 'M');
    b.push_back(little ? 'I' : 'M');
    put(42, 2);
    put(8, 4);
    put(1, 2);
    put(0x0112, 2);
    put(3, 2);
    put(1, 4);
    put(static_cast<std::uint32_t>(orientation), 2);
    put(0, 2);
    put(0, 4);
    return b;
}

bool CompressJpeg(jpeg_compress_struct* c, const JpegShape* s, JSAMPARRAY rows)
{
    c->image_width = kW;
    c->image_height = kH;
    c->input_components = s->input == JCS_GRAYSCALE ? 1 : s->input == JCS_RGB ? 3 : 4;
    c->in_color_space = s->input;
    jpeg_set_defaults(c);
    jpeg_set_colorspace(c, s->stored);
    jpeg_set_quality(c, 95, TRUE);
    if (s->progressive)
        jpeg_simple_progression(c);
    jpeg_start_compress(c, TRUE);
    if (s->orientation) {
        const Bytes exif = ExifBlock(s->orientation, s->littleEndian);
        jpeg_write_marker(c, JPEG_APP0 + 1, exif.data(), static_cast<unsigned>(exif.size()));
    }
    jpeg_write_scanlines(c, rows, kH);
    jpeg_finish_compress(c);
    return true;
}

Bytes MakeJpeg(const JpegShape& s)
{
    std::vector<Bytes> rows(kH, Bytes(kW * 4));
    std::vector<JSAMPROW> pointers;
    for (int y = 0; y < kH; ++y) {
        pointers.push_back(rows[y].data());
        for (int x = 0; x < kW; ++x) {
            const std::uint32_t rgb = SmoothRgb(x, y);
            const int n = s.input == JCS_GRAYSCALE ? 1 : s.input == JCS_RGB ? 3 : 4;
            // With inverted inks and no black, the stored ink values are the colour itself.
            for (int c = 0; c < n; ++c)
                rows[y][x * n + c] =
                    static_cast<std::uint8_t>(c == 3 ? 255 : Channel(rgb, 16 - 8 * c));
        }
    }
    jpeg_compress_struct c{};
    jpeg_error_mgr err{};
    c.err = jpeg_std_error(&err);
    jpeg_create_compress(&c);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&c, &buffer, &size);
    CompressJpeg(&c, &s, pointers.data());
    Bytes out(buffer, buffer + size);
    jpeg_destroy_compress(&c);
    std::free(buffer);
    return out;
}

// Pixel (x, y) of the picture turned upright shows the stored pixel given here.
std::uint32_t JpegPixel(const JpegShape& s, int x, int y)
{
    if (s.orientation == 6)
        std::tie(x, y) = std::pair(y, kH - 1 - x);
    else if (s.orientation == 5)
        std::swap(x, y);
    const std::uint32_t rgb = SmoothRgb(x, y);
    return s.input == JCS_GRAYSCALE ? Grey(Channel(rgb, 16)) : rgb;
}

// ---- GIF through giflib's encoder: one frame of 8-bit indices on a screen at least as big.
struct GifShape {
    int screenWidth = kW;
    int screenHeight = kH;
    int left = 0;
    int top = 0;
    bool interlaced = false;
    int transparent = NO_TRANSPARENT_COLOR;
};

int WriteToBytes(GifFileType* gif, const GifByteType* data, int n)
{
    auto* out = static_cast<Bytes*>(gif->UserData);
    out->insert(out->end(), data, data + n);
    return n;
}

Bytes MakeGif(const GifShape& s)
{
    GifColorType colours[256];
    for (int i = 0; i < 256; ++i) {
        const std::uint32_t rgb = PaletteRgb(i);
        colours[i] = {static_cast<GifByteType>(Channel(rgb, 16)),
                      static_cast<GifByteType>(Channel(rgb, 8)),
                      static_cast<GifByteType>(Channel(rgb, 0))};
    }
    Bytes out;
    int error = 0;
    GifFileType* gif = EGifOpen(&out, WriteToBytes, &error);
    ColorMapObject* map = GifMakeMapObject(256, colours);
    EGifSetGifVersion(gif, true);
    EXPECT_EQ(EGifPutScreenDesc(gif, s.screenWidth, s.screenHeight, 8, 0, map), GIF_OK);
    if (s.transparent != NO_TRANSPARENT_COLOR) {
        GraphicsControlBlock control{};
        control.TransparentColor = s.transparent;
        GifByteType extension[4];
        const std::size_t n = EGifGCBToExtension(&control, extension);
        EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, static_cast<int>(n), extension);
    }
    EXPECT_EQ(EGifPutImageDesc(gif, s.left, s.top, kW, kH, s.interlaced, nullptr), GIF_OK);
    std::vector<int> order;
    for (const auto& [start, step] : {std::pair{0, 8}, {4, 8}, {2, 4}, {1, 2}})
        for (int y = start; y < kH; y += step)
            order.push_back(y);
    if (!s.interlaced)
        for (int y = 0; y < kH; ++y)
            order[static_cast<std::size_t>(y)] = y;
    for (int y : order) {
        GifPixelType line[kW];
        for (int x = 0; x < kW; ++x)
            line[x] = static_cast<GifPixelType>(Sample(x, y, 0, 8));
        EGifPutLine(gif, line, kW);
    }
    EXPECT_EQ(EGifCloseFile(gif, &error), GIF_OK);
    GifFreeMapObject(map);
    return out;
}

std::uint32_t GifPixel(const GifShape& s, int x, int y)
{
    x -= s.left;
    y -= s.top;
    if (x < 0 || y < 0 || x >= kW || y >= kH || Sample(x, y, 0, 8) == s.transparent)
        return kWhite;
    return PaletteRgb(Sample(x, y, 0, 8));
}

// ---- WebP through libwebp's encoders.
struct WebpShape {
    bool lossless;
    bool alpha;
};

Bytes MakeWebp(const WebpShape& s)
{
    Bytes bgra(kW * kH * 4);
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) {
            std::uint8_t* p = &bgra[(y * kW + x) * 4];
            const std::uint32_t rgb = SmoothRgb(x, y);
            p[0] = static_cast<std::uint8_t>(Channel(rgb, 0));
            p[1] = static_cast<std::uint8_t>(Channel(rgb, 8));
            p[2] = static_cast<std::uint8_t>(Channel(rgb, 16));
            p[3] = s.alpha && Clear(x, y) ? 0 : 255;
        }
    std::uint8_t* encoded = nullptr;
    std::size_t size = 0;
    if (!s.alpha) {
        Bytes bgr;
        for (std::size_t i = 0; i < bgra.size(); i += 4)
            bgr.insert(bgr.end(), &bgra[i], &bgra[i] + 3);
        size = s.lossless ? WebPEncodeLosslessBGR(bgr.data(), kW, kH, kW * 3, &encoded)
                          : WebPEncodeBGR(bgr.data(), kW, kH, kW * 3, 95, &encoded);
    } else {
        size = s.lossless ? WebPEncodeLosslessBGRA(bgra.data(), kW, kH, kW * 4, &encoded)
                          : WebPEncodeBGRA(bgra.data(), kW, kH, kW * 4, 95, &encoded);
    }
    Bytes out(encoded, encoded + size);
    WebPFree(encoded);
    return out;
}

std::uint32_t WebpPixel(const WebpShape& s, int x, int y)
{
    return s.alpha && Clear(x, y) ? kWhite : SmoothRgb(x, y);
}

// ---- the cases
struct Case {
    const char* name;
    std::function<Bytes()> make;
    int format;
    int width;
    int height;
    int bitCount;
    std::function<std::uint32_t(int, int)> pixel; // red first, from the top-left
    int tolerance;
};

template <typename Shape>
Case Of(const char* name, int format, const Shape& s, Bytes (*make)(const Shape&),
        std::uint32_t (*pixel)(const Shape&, int, int), int width, int height, int bitCount,
        int tolerance)
{
    return {name,
            [=] { return make(s); },
            format,
            width,
            height,
            bitCount,
            [=](int x, int y) { return pixel(s, x, y); },
            tolerance};
}
Case Png(const char* name, PngShape s)
{
    const bool eightBit =
        !(s.colourType & PNG_COLOR_MASK_COLOR) || s.colourType == PNG_COLOR_TYPE_PALETTE;
    // libpng lays 16-bit samples over the paper in linear light: a step off plain scaling.
    const int tolerance = s.depth == 16 && HasAlpha(s.colourType) ? 1 : 0;
    return Of(name, CDib::kFormatPng, s, MakePng, PngPixel, kW, kH, eightBit ? 8 : 24, tolerance);
}
Case Jpeg(const char* name, JpegShape s)
{
    const bool turned = s.orientation >= 5;
    return Of(name, CDib::kFormatJpeg, s, MakeJpeg, JpegPixel, turned ? kH : kW, turned ? kW : kH,
              s.input == JCS_GRAYSCALE ? 8 : 24, 12);
}
Case Gif(const char* name, GifShape s)
{
    return Of(name, CDib::kFormatGif, s, MakeGif, GifPixel, s.screenWidth, s.screenHeight, 8, 0);
}
Case Webp(const char* name, WebpShape s)
{
    return Of(name, CDib::kFormatWebp, s, MakeWebp, WebpPixel, kW, kH, 24, s.lossless ? 0 : 16);
}

const Case kCases[] = {
    Png("PngGrey1", {PNG_COLOR_TYPE_GRAY, 1, false}),
    Png("PngGrey2", {PNG_COLOR_TYPE_GRAY, 2, false}),
    Png("PngGrey4", {PNG_COLOR_TYPE_GRAY, 4, false}),
    Png("PngGrey8", {PNG_COLOR_TYPE_GRAY, 8, false}),
    Png("PngGrey16", {PNG_COLOR_TYPE_GRAY, 16, false}),
    Png("PngGreyAlpha8", {PNG_COLOR_TYPE_GRAY_ALPHA, 8, false}),
    Png("PngGreyAlpha16", {PNG_COLOR_TYPE_GRAY_ALPHA, 16, false}),
    Png("PngRgb8", {PNG_COLOR_TYPE_RGB, 8, false}),
    Png("PngRgb16", {PNG_COLOR_TYPE_RGB, 16, false}),
    Png("PngRgba8", {PNG_COLOR_TYPE_RGB_ALPHA, 8, false}),
    Png("PngRgba16", {PNG_COLOR_TYPE_RGB_ALPHA, 16, false}),
    Png("PngPalette1", {PNG_COLOR_TYPE_PALETTE, 1, false}),
    Png("PngPalette2", {PNG_COLOR_TYPE_PALETTE, 2, false}),
    Png("PngPalette4", {PNG_COLOR_TYPE_PALETTE, 4, false}),
    Png("PngPalette8", {PNG_COLOR_TYPE_PALETTE, 8, false}),
    Png("PngInterlacedRgba8", {PNG_COLOR_TYPE_RGB_ALPHA, 8, true}),
    Png("PngInterlacedPalette4", {PNG_COLOR_TYPE_PALETTE, 4, true}),
    Jpeg("JpegGrey", {JCS_GRAYSCALE, JCS_GRAYSCALE, false}),
    Jpeg("JpegColour", {JCS_RGB, JCS_YCbCr, false}),
    Jpeg("JpegProgressive", {JCS_RGB, JCS_YCbCr, true}),
    Jpeg("JpegCmyk", {JCS_CMYK, JCS_CMYK, false}),
    Jpeg("JpegYcck", {JCS_CMYK, JCS_YCCK, true}),
    Jpeg("JpegTurnedAQuarterByExif", {JCS_RGB, JCS_YCbCr, false, 6, false}),
    Jpeg("JpegTransposedByExif", {JCS_GRAYSCALE, JCS_GRAYSCALE, false, 5, true}),
    Gif("Gif", {}),
    Gif("GifTransparent", {kW, kH, 0, 0, false, 7}),
    Gif("GifInterlacedFrameOnALargerScreen", {kW + 3, kH + 2, 2, 1, true, NO_TRANSPARENT_COLOR}),
    Webp("WebpLossless", {true, false}),
    Webp("WebpLosslessAlpha", {true, true}),
    Webp("WebpLossy", {false, false}),
    Webp("WebpLossyAlpha", {false, true}),
};

class PictureReaders : public ::testing::TestWithParam<Case> {};

TEST_P(PictureReaders, OpenDecodesEveryPixel)
{
    const Case& c = GetParam();
    TempDir dir;
    const std::string path = dir.File("picture.bin");
    const Bytes bytes = c.make();
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    CDib dib;
    ASSERT_TRUE(dib.LoadFile(path));
    EXPECT_EQ(dib.GetFormat(), c.format);
    ASSERT_EQ(dib.Width(), c.width);
    ASSERT_EQ(dib.Height(), c.height);
    EXPECT_EQ(dib.BitCount(), c.bitCount);
    for (int y = 0; y < c.height; ++y)
        for (int x = 0; x < c.width; ++x) {
            const std::uint32_t want = c.pixel(x, y);
            const std::uint32_t got = dib.PixelAt(x, y);
            for (int shift : {16, 8, 0})
                ASSERT_NEAR(Channel(got, shift), Channel(want, shift), c.tolerance)
                    << "pixel " << x << "," << y << std::hex << " got " << got << " want " << want;
        }
}

INSTANTIATE_TEST_SUITE_P(Kinds, PictureReaders, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- files the readers refuse
using Reader = std::optional<DibBlock> (*)(const std::uint8_t*, std::size_t);
const Reader ReadJpeg = [](const std::uint8_t* data, std::size_t length) {
    return ReadJpegMemory(data, length);
};

Bytes Truncated(Bytes b)
{
    b.resize(b.size() / 2);
    return b;
}

void PutBE16(Bytes& b, std::size_t at, int v)
{
    b[at] = static_cast<std::uint8_t>(v >> 8);
    b[at + 1] = static_cast<std::uint8_t>(v);
}

// A PNG whose header claims other sides, its checksum made to match.
Bytes PngClaiming(std::uint32_t width, std::uint32_t height)
{
    Bytes b = MakePng({PNG_COLOR_TYPE_RGB, 8, false});
    for (int i = 0; i < 4; ++i) {
        b[16 + i] = static_cast<std::uint8_t>(width >> (24 - 8 * i));
        b[20 + i] = static_cast<std::uint8_t>(height >> (24 - 8 * i));
    }
    const uLong crc = crc32(0, b.data() + 12, 17);
    for (int i = 0; i < 4; ++i)
        b[29 + i] = static_cast<std::uint8_t>(crc >> (24 - 8 * i));
    return b;
}

// A JPEG whose frame header claims other sides.
Bytes JpegClaiming(int width, int height)
{
    Bytes b = MakeJpeg({JCS_RGB, JCS_YCbCr, false});
    for (std::size_t i = 2; i + 8 < b.size(); ++i)
        if (b[i] == 0xFF && b[i + 1] == 0xC0) {
            PutBE16(b, i + 5, height);
            PutBE16(b, i + 7, width);
            break;
        }
    return b;
}

// A GIF whose frame (and screen) claim more rows than its pixels fill.
Bytes GifTaller()
{
    Bytes b = MakeGif({});
    b[8] = static_cast<std::uint8_t>(kH * 4); // the screen's height, little-endian
    for (std::size_t i = 13 + 3 * 256; i + 9 < b.size(); ++i)
        if (b[i] == 0x2C) {
            b[i + 7] = static_cast<std::uint8_t>(kH * 4);
            break;
        }
    return b;
}

// A lossless WebP whose bitstream claims a larger width.
Bytes WebpWider()
{
    Bytes b = MakeWebp({true, false});
    const int width = 4 * kW - 1; // 14 bits after the signature byte at 20
    b[21] = static_cast<std::uint8_t>(width);
    b[22] = static_cast<std::uint8_t>((b[22] & 0xC0) | (width >> 8));
    return b;
}

struct Refused {
    const char* name;
    Reader reader;
    std::function<Bytes()> make;
};

const Refused kRefused[] = {
    {"PngTruncated", ReadPngMemory,
     [] {
         return Truncated(MakePng({PNG_COLOR_TYPE_RGB, 8, false}));
     }},
    {"PngTallerThanItsData", ReadPngMemory, [] { return PngClaiming(kW, kH * 3); }},
    {"PngBeyondTheBlockBound", ReadPngMemory, [] { return PngClaiming(60000, 60000); }},
    {"PngWiderThanTheSideBound", ReadPngMemory,
     [] {
         PngShape s{PNG_COLOR_TYPE_GRAY, 8, false};
         s.width = kMaxDibSide + 1;
         s.height = 1;
         return MakePng(s);
     }},
    {"JpegTruncated", ReadJpeg,
     [] {
         return Truncated(MakeJpeg({JCS_RGB, JCS_YCbCr, true}));
     }},
    {"JpegTallerThanItsData", ReadJpeg, [] { return JpegClaiming(kW, kH * 8); }},
    {"JpegBeyondTheBlockBound", ReadJpeg, [] { return JpegClaiming(65000, 65000); }},
    {"GifTruncated", ReadGifMemory, [] { return Truncated(MakeGif({})); }},
    {"GifTallerThanItsData", ReadGifMemory, GifTaller},
    // A sound file: one pixel on a screen of four billion.
    {"GifScreenBeyondTheBlockBound", ReadGifMemory,
     [] {
         return MakeGif({65535, 65535, 0, 0, false, NO_TRANSPARENT_COLOR});
     }},
    {"WebpTruncated", ReadWebpMemory,
     [] {
         return Truncated(MakeWebp({false, true}));
     }},
    {"WebpWiderThanItsData", ReadWebpMemory, WebpWider},
};

class RefusedPictures : public ::testing::TestWithParam<Refused> {};

TEST_P(RefusedPictures, ReadGivesNothing)
{
    const Bytes bytes = GetParam().make();
    ASSERT_GT(bytes.size(), 8u);
    EXPECT_FALSE(GetParam().reader(bytes.data(), bytes.size()));
}

INSTANTIATE_TEST_SUITE_P(Files, RefusedPictures, ::testing::ValuesIn(kRefused),
                         [](const auto& info) { return std::string(info.param.name); });

// The orientation is read only when its whole entry is inside the block.
TEST(ExifOrientation, ACutBlockLeavesThePictureAsStored)
{
    const Bytes block = ExifBlock(6, false);
    const std::size_t entryEnd = 6 + 8 + 2 + 12;
    for (std::size_t n = 0; n <= block.size(); ++n)
        EXPECT_EQ(ExifOrientation(block.data(), n), n >= entryEnd ? 6 : 1) << n;
}

} // namespace
