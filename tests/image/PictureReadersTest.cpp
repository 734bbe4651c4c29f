#include "image/CDib.h"
#include "image/PictureFile.h"
#include "image/PictureHeader.h"
#include "image/support/TestDibs.h"
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
#include <functional>
#include <tuple>
#include <utility>
#include <variant>
#include <vector>

// Each reader is fed files made here by its library's own writer, from pictures whose every
// pixel is known.

namespace {

using Bytes = std::vector<std::uint8_t>;
constexpr int kW = 13;
constexpr int kH = 11;
constexpr std::uint32_t kWhite = 0xFFFFFF;

// Channel c of pixel (x, y) at a depth of 1 ... 16 bits; pixels that are see-through.
int Sample(int x, int y, int c, int depth)
{
    return (x * 4099 + y * 30011 + c * 7919) % (1 << depth);
}
bool Clear(int x, int y)
{
    return (x + 2 * y) % 5 == 0;
}
std::uint32_t Rgb(int r, int g, int b)
{
    return static_cast<std::uint32_t>(r << 16 | g << 8 | b);
}
int Channel(std::uint32_t rgb, int shift)
{
    return static_cast<int>(rgb >> shift & 0xFF);
}
// A palette entry, and the smooth picture of the lossy formats.
std::uint32_t PaletteRgb(int i)
{
    return Rgb(i * 71 % 256, i * 29 % 256, 255 - i * 13 % 256);
}
std::uint32_t SmoothRgb(int x, int y)
{
    return Rgb(40 + x * 12, 60 + y * 14, 200 - x * 6 - y * 5);
}

// A file made by a library's writer and what its reader should make of it.
struct Picture {
    Bytes bytes;
    int format;
    int width = kW, height = kH, bitCount = 24, tolerance = 0;
    std::function<std::uint32_t(int, int)> pixel{}; // red first, from the top-left
};

// ---- PNG through libpng's full writing interface (every colour type, depth and interlace).
struct PngShape {
    int colourType, depth;
    bool interlaced = false;
    int width = kW, height = kH;
};

void AppendToBytes(png_structp png, png_bytep data, png_size_t n)
{
    auto* out = static_cast<Bytes*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + n);
}

bool WritePng(png_structp png, png_infop info, const PngShape* s, png_bytepp rows,
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

Picture Make(const PngShape& s)
{
    const bool alpha = (s.colourType & PNG_COLOR_MASK_ALPHA) != 0;
    const bool palette = s.colourType == PNG_COLOR_TYPE_PALETTE;
    const int channels =
        ((s.colourType & ~PNG_COLOR_MASK_ALPHA) == PNG_COLOR_TYPE_RGB) * 2 + 1 + alpha;
    const int max = (1 << s.depth) - 1;
    std::vector<Bytes> rows(s.height, Bytes((s.width * channels * s.depth + 7) / 8));
    std::vector<png_bytep> pointers;
    for (int y = 0; y < s.height; ++y) {
        pointers.push_back(rows[y].data());
        for (int x = 0; x < s.width; ++x)
            for (int c = 0; c < channels; ++c) {
                const int v =
                    alpha && c == channels - 1 ? (Clear(x, y) ? 0 : max) : Sample(x, y, c, s.depth);
                const int bit = (x * channels + c) * s.depth;
                if (s.depth == 16)
                    rows[y][bit / 8 + 1] = static_cast<std::uint8_t>(v);
                rows[y][bit / 8] |= static_cast<std::uint8_t>(
                    s.depth == 16 ? v >> 8 : v << (8 - s.depth - bit % 8));
            }
    }
    png_color colours[256];
    png_byte alphas[256];
    for (int i = 0; i < 256; ++i) {
        const std::uint32_t rgb = PaletteRgb(i);
        colours[i] = {static_cast<png_byte>(Channel(rgb, 16)),
                      static_cast<png_byte>(Channel(rgb, 8)), static_cast<png_byte>(rgb)};
        alphas[i] = i % 4 == 1 ? 0 : 255;
    }
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    Picture p{{}, CDib::kFormatPng, s.width, s.height};
    EXPECT_TRUE(WritePng(png, info, &s, pointers.data(), colours, alphas, &p.bytes));
    png_destroy_write_struct(&png, &info);
    p.bitCount = palette || !(s.colourType & PNG_COLOR_MASK_COLOR) ? 8 : 24;
    // libpng lays 16-bit samples over the paper in linear light: a step off plain scaling.
    p.tolerance = s.depth == 16 && alpha;
    p.pixel = [s, alpha, palette, max](int x, int y) {
        const auto to8 = [&](int c) {
            const int v = Sample(x, y, c, s.depth);
            return s.depth == 16 ? (v * 255 + 32767) / 65535 : v * 255 / max;
        };
        if (palette)
            return Sample(x, y, 0, s.depth) % 4 == 1 ? kWhite
                                                     : PaletteRgb(Sample(x, y, 0, s.depth));
        if (alpha && Clear(x, y))
            return kWhite;
        return s.colourType & PNG_COLOR_MASK_COLOR ? Rgb(to8(0), to8(1), to8(2))
                                                   : Rgb(to8(0), to8(0), to8(0));
    };
    return p;
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
    b.insert(b.end(), 2, little ? 'I' : 'M');
    // 42, the directory's offset, one entry (tag, type, count, value) and no next directory.
    const auto o = static_cast<std::uint32_t>(orientation);
    const std::pair<std::uint32_t, int> fields[] = {{42, 2}, {8, 4}, {1, 2}, {0x0112, 2}, {3, 2},
                                                    {1, 4},  {o, 2}, {0, 2}, {0, 4}};
    for (const auto& [v, bytes] : fields)
        for (int i = 0; i < bytes; ++i)
            b.push_back(static_cast<std::uint8_t>(v >> 8 * (little ? i : bytes - 1 - i)));
    return b;
}

Picture Make(const JpegShape& s)
{
    const int n = s.input == JCS_GRAYSCALE ? 1 : s.input == JCS_RGB ? 3 : 4;
    std::vector<Bytes> rows(kH, Bytes(kW * 4));
    std::vector<JSAMPROW> pointers;
    for (int y = 0; y < kH; ++y) {
        pointers.push_back(rows[y].data());
        // With inverted inks and no black, the stored ink values are the colour itself.
        for (int x = 0; x < kW; ++x)
            for (int c = 0; c < n; ++c)
                rows[y][x * n + c] = c == 3 ? 255 : Channel(SmoothRgb(x, y), 16 - 8 * c);
    }
    jpeg_compress_struct c{};
    jpeg_error_mgr err{};
    c.err = jpeg_std_error(&err);
    jpeg_create_compress(&c);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&c, &buffer, &size);
    c.image_width = kW;
    c.image_height = kH;
    c.input_components = n;
    c.in_color_space = s.input;
    jpeg_set_defaults(&c);
    jpeg_set_colorspace(&c, s.stored);
    jpeg_set_quality(&c, 95, TRUE);
    if (s.progressive)
        jpeg_simple_progression(&c);
    jpeg_start_compress(&c, TRUE);
    if (s.orientation) {
        const Bytes exif = ExifBlock(s.orientation, s.littleEndian);
        jpeg_write_marker(&c, JPEG_APP0 + 1, exif.data(), static_cast<unsigned>(exif.size()));
    }
    jpeg_write_scanlines(&c, pointers.data(), kH);
    jpeg_finish_compress(&c);
    Picture p{Bytes(buffer, buffer + size), CDib::kFormatJpeg};
    jpeg_destroy_compress(&c);
    std::free(buffer);
    // Pixel (x, y) of the picture turned upright shows the stored pixel given here.
    if (s.orientation >= 5)
        std::swap(p.width, p.height);
    p.bitCount = n == 1 ? 8 : 24;
    p.tolerance = 12;
    p.pixel = [o = s.orientation, grey = s.input == JCS_GRAYSCALE](int x, int y) {
        // 5 to 8 swap the sides; 2, 3, 7 and 8 mirror the stored columns, 3, 4, 6 and 7 its rows.
        if (o >= 5)
            std::swap(x, y);
        x = o == 2 || o == 3 || o == 7 || o == 8 ? kW - 1 - x : x;
        y = o == 3 || o == 4 || o == 6 || o == 7 ? kH - 1 - y : y;
        const std::uint32_t rgb = SmoothRgb(x, y);
        return grey ? Channel(rgb, 16) * 0x010101u : rgb;
    };
    return p;
}

// ---- GIF through giflib's encoder: one frame of 8-bit indices on a screen at least as big.
struct GifShape {
    int screenWidth = kW, screenHeight = kH, left = 0, top = 0;
    bool interlaced = false;
    int transparent = NO_TRANSPARENT_COLOR;
};

int WriteToBytes(GifFileType* gif, const GifByteType* data, int n)
{
    auto* out = static_cast<Bytes*>(gif->UserData);
    out->insert(out->end(), data, data + n);
    return n;
}

Picture Make(const GifShape& s)
{
    GifColorType colours[256];
    for (int i = 0; i < 256; ++i) {
        const std::uint32_t rgb = PaletteRgb(i);
        colours[i] = {static_cast<GifByteType>(Channel(rgb, 16)),
                      static_cast<GifByteType>(Channel(rgb, 8)), static_cast<GifByteType>(rgb)};
    }
    Picture p{{}, CDib::kFormatGif, s.screenWidth, s.screenHeight, 8};
    int error = 0;
    GifFileType* gif = EGifOpen(&p.bytes, WriteToBytes, &error);
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
    const std::vector<std::pair<int, int>> passes =
        s.interlaced ? std::vector<std::pair<int, int>>{{0, 8}, {4, 8}, {2, 4}, {1, 2}}
                     : std::vector<std::pair<int, int>>{{0, 1}};
    for (const auto& [start, step] : passes)
        for (int y = start; y < kH; y += step) {
            GifPixelType line[kW];
            for (int x = 0; x < kW; ++x)
                line[x] = static_cast<GifPixelType>(Sample(x, y, 0, 8));
            EGifPutLine(gif, line, kW);
        }
    EXPECT_EQ(EGifCloseFile(gif, &error), GIF_OK);
    GifFreeMapObject(map);
    p.pixel = [s](int x, int y) {
        x -= s.left;
        y -= s.top;
        if (x < 0 || y < 0 || x >= kW || y >= kH || Sample(x, y, 0, 8) == s.transparent)
            return kWhite;
        return PaletteRgb(Sample(x, y, 0, 8));
    };
    return p;
}

// ---- WebP through libwebp's encoders.
struct WebpShape {
    bool lossless, alpha;
};

Picture Make(const WebpShape& s)
{
    const int n = s.alpha ? 4 : 3;
    Bytes bgra;
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x)
            for (int c = 0; c < n; ++c)
                bgra.push_back(c == 3 ? (Clear(x, y) ? 0 : 255) : Channel(SmoothRgb(x, y), 8 * c));
    std::uint8_t* encoded = nullptr;
    const std::size_t size =
        s.lossless
            ? (s.alpha ? WebPEncodeLosslessBGRA : WebPEncodeLosslessBGR)(bgra.data(), kW, kH,
                                                                         kW * n, &encoded)
            : (s.alpha ? WebPEncodeBGRA : WebPEncodeBGR)(bgra.data(), kW, kH, kW * n, 95, &encoded);
    Picture p{Bytes(encoded, encoded + size), CDib::kFormatWebp};
    WebPFree(encoded);
    p.tolerance = s.lossless ? 0 : 16;
    p.pixel = [s](int x, int y) { return s.alpha && Clear(x, y) ? kWhite : SmoothRgb(x, y); };
    return p;
}

// ---- the cases
struct Case {
    const char* name;
    std::variant<PngShape, JpegShape, GifShape, WebpShape> shape;
};

const Case kCases[] = {
    {"PngGrey1", PngShape{PNG_COLOR_TYPE_GRAY, 1}},
    {"PngGrey4", PngShape{PNG_COLOR_TYPE_GRAY, 4}},
    {"PngGrey16", PngShape{PNG_COLOR_TYPE_GRAY, 16}},
    {"PngGreyAlpha8", PngShape{PNG_COLOR_TYPE_GRAY_ALPHA, 8}},
    {"PngGreyAlpha16", PngShape{PNG_COLOR_TYPE_GRAY_ALPHA, 16}},
    {"PngRgb8", PngShape{PNG_COLOR_TYPE_RGB, 8}},
    {"PngRgb16", PngShape{PNG_COLOR_TYPE_RGB, 16}},
    {"PngRgba8", PngShape{PNG_COLOR_TYPE_RGB_ALPHA, 8}},
    {"PngRgba16", PngShape{PNG_COLOR_TYPE_RGB_ALPHA, 16}},
    {"PngPalette1", PngShape{PNG_COLOR_TYPE_PALETTE, 1}},
    {"PngPalette4", PngShape{PNG_COLOR_TYPE_PALETTE, 4}},
    {"PngPalette8", PngShape{PNG_COLOR_TYPE_PALETTE, 8}},
    {"PngInterlacedRgba8", PngShape{PNG_COLOR_TYPE_RGB_ALPHA, 8, true}},
    {"PngInterlacedPalette4", PngShape{PNG_COLOR_TYPE_PALETTE, 4, true}},
    {"JpegGrey", JpegShape{JCS_GRAYSCALE, JCS_GRAYSCALE, false}},
    {"JpegColour", JpegShape{JCS_RGB, JCS_YCbCr, false}},
    {"JpegProgressive", JpegShape{JCS_RGB, JCS_YCbCr, true}},
    {"JpegCmyk", JpegShape{JCS_CMYK, JCS_CMYK, false}},
    {"JpegYcck", JpegShape{JCS_CMYK, JCS_YCCK, true}},
    // Turned upright by every EXIF orientation, in either byte order.
    {"JpegExif1", JpegShape{JCS_RGB, JCS_YCbCr, false, 1}},
    {"JpegExif2", JpegShape{JCS_RGB, JCS_YCbCr, false, 2, true}},
    {"JpegExif3", JpegShape{JCS_RGB, JCS_YCbCr, false, 3}},
    {"JpegExif4", JpegShape{JCS_RGB, JCS_YCbCr, true, 4, true}},
    {"JpegExif5", JpegShape{JCS_GRAYSCALE, JCS_GRAYSCALE, false, 5, true}},
    {"JpegExif6", JpegShape{JCS_RGB, JCS_YCbCr, false, 6}},
    {"JpegExif7", JpegShape{JCS_RGB, JCS_YCbCr, false, 7, true}},
    {"JpegExif8", JpegShape{JCS_RGB, JCS_YCbCr, false, 8}},
    {"Gif", GifShape{}},
    {"GifTransparent", GifShape{kW, kH, 0, 0, false, 7}},
    {"GifInterlacedFrameOnALargerScreen", GifShape{kW + 3, kH + 2, 2, 1, true}},
    {"WebpLossless", WebpShape{true, false}},
    {"WebpLosslessAlpha", WebpShape{true, true}},
    {"WebpLossy", WebpShape{false, false}},
    {"WebpLossyAlpha", WebpShape{false, true}},
};

class PictureReaders : public ::testing::TestWithParam<Case> {};

TEST_P(PictureReaders, OpenDecodesEveryPixel)
{
    const Picture c = std::visit([](const auto& s) { return Make(s); }, GetParam().shape);
    TempDir dir;
    const std::string path = dir.File("picture.bin");
    testdibs::WriteFile(path, c.bytes);
    CDib dib;
    ASSERT_TRUE(dib.LoadFile(path));
    EXPECT_EQ(dib.GetFormat(), c.format);
    ASSERT_EQ(dib.Width(), c.width);
    ASSERT_EQ(dib.Height(), c.height);
    EXPECT_EQ(dib.BitCount(), c.bitCount);
    // The information shown without decoding agrees with the picture decoded.
    const std::optional<PictureHeader> header = ReadPictureHeader(path);
    ASSERT_TRUE(header);
    EXPECT_EQ(
        std::tie(header->format, header->width, header->height, header->bitCount, header->colours),
        std::make_tuple(dib.GetFormat(), dib.Width(), dib.Height(), dib.BitCount(),
                        static_cast<int>(DibNumColors(dib.GetDib()))));
    for (int y = 0; y < c.height; ++y)
        for (int x = 0; x < c.width; ++x) {
            const std::uint32_t want = c.pixel(x, y), got = dib.PixelAt(x, y);
            for (int shift : {16, 8, 0})
                ASSERT_NEAR(Channel(got, shift), Channel(want, shift), c.tolerance)
                    << "pixel " << x << "," << y << std::hex << " got " << got << " want " << want;
        }
}

INSTANTIATE_TEST_SUITE_P(Kinds, PictureReaders, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- files the readers refuse
Bytes Truncated(Bytes b)
{
    b.resize(b.size() / 2);
    return b;
}

// b with big-endian value v of n bytes at each of the places given.
Bytes Put(Bytes b, std::initializer_list<std::pair<std::size_t, std::uint32_t>> at, int n)
{
    for (const auto& [i, v] : at)
        for (int k = 0; k < n; ++k)
            b[i + k] = static_cast<std::uint8_t>(v >> 8 * (n - 1 - k));
    return b;
}

// A PNG whose header claims other sides, its checksum made to match.
Bytes PngClaiming(std::uint32_t width, std::uint32_t height)
{
    Bytes b = Put(Make(PngShape{PNG_COLOR_TYPE_RGB, 8}).bytes, {{16, width}, {20, height}}, 4);
    return Put(b, {{29, static_cast<std::uint32_t>(crc32(0, b.data() + 12, 17))}}, 4);
}

// A JPEG whose frame header claims other sides.
Bytes JpegClaiming(std::uint32_t width, std::uint32_t height)
{
    Bytes b = Make(JpegShape{JCS_RGB, JCS_YCbCr, false}).bytes;
    std::size_t i = 2;
    while (!(b[i] == 0xFF && b[i + 1] == 0xC0))
        ++i;
    return Put(b, {{i + 5, height}, {i + 7, width}}, 2);
}

TEST(RefusedPictures, ReadGivesNothing)
{
    using Reader = std::optional<DibBlock> (*)(const std::uint8_t*, std::size_t);
    const Reader png = ReadPngMemory, gif = ReadGifMemory, webp = ReadWebpMemory;
    const Reader jpeg = [](const std::uint8_t* data, std::size_t n) {
        return ReadJpegMemory(data, n);
    };
    // A GIF whose frame (and screen) claim more rows than its pixels fill.
    Bytes taller = Make(GifShape{}).bytes;
    taller[8] = kH * 4; // the screen's height, little-endian
    std::size_t frame = 13 + 3 * 256;
    while (taller[frame] != 0x2C)
        ++frame;
    taller[frame + 7] = kH * 4;
    // A lossless WebP whose bitstream claims a larger width (14 bits after the byte at 20).
    Bytes wider = Make(WebpShape{true, false}).bytes;
    wider[21] = static_cast<std::uint8_t>(4 * kW - 1);
    wider[22] = static_cast<std::uint8_t>((wider[22] & 0xC0) | ((4 * kW - 1) >> 8));
    const struct {
        const char* name;
        Reader read;
        Bytes bytes;
    } cases[] = {
        {"png truncated", png, Truncated(Make(PngShape{PNG_COLOR_TYPE_RGB, 8}).bytes)},
        {"png taller than its data", png, PngClaiming(kW, kH * 3)},
        {"png beyond the block bound", png, PngClaiming(60000, 60000)},
        {"png wider than the side bound", png,
         Make(PngShape{PNG_COLOR_TYPE_GRAY, 8, false, kMaxDibSide + 1, 1}).bytes},
        {"jpeg truncated", jpeg, Truncated(Make(JpegShape{JCS_RGB, JCS_YCbCr, true}).bytes)},
        {"jpeg taller than its data", jpeg, JpegClaiming(kW, kH * 8)},
        {"jpeg beyond the block bound", jpeg, JpegClaiming(65000, 65000)},
        {"gif truncated", gif, Truncated(Make(GifShape{}).bytes)},
        {"gif taller than its data", gif, taller},
        // A sound file: one frame on a screen of four billion pixels.
        {"gif screen beyond the block bound", gif, Make(GifShape{65535, 65535}).bytes},
        {"webp truncated", webp, Truncated(Make(WebpShape{false, true}).bytes)},
        {"webp wider than its data", webp, wider},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_GT(c.bytes.size(), 8u);
        EXPECT_FALSE(c.read(c.bytes.data(), c.bytes.size()));
    }
}

// The orientation is read only when its whole entry is inside the block.
TEST(ExifOrientation, ACutBlockLeavesThePictureAsStored)
{
    const Bytes block = ExifBlock(6, false);
    for (std::size_t n = 0; n <= block.size(); ++n)
        EXPECT_EQ(ExifOrientation(block.data(), n), n >= 6 + 8 + 2 + 12 ? 6 : 1) << n;
}

} // namespace

namespace {

// Image > Save As PNG: every depth reads back with the same colours, palette pictures (and
// grey ones) as 8-bit DIBs, the rest as 24-bit.
TEST(PngWriter, EveryDepthReadsBackPixelForPixel)
{
    TempDir dir;
    for (const int bits : {1, 4, 8, 16, 24, 32}) {
        const DibBlock block = testdibs::Make(13, 7, bits);
        const CDib dib(block.data(), block.size());
        const std::string path = dir.File("out" + std::to_string(bits) + ".png");
        ASSERT_TRUE(dib.SaveFile(path, CDib::kFormatPng)) << bits;
        CDib back;
        ASSERT_TRUE(back.LoadFile(path)) << bits;
        EXPECT_EQ(back.GetFormat(), CDib::kFormatPng);
        EXPECT_EQ(back.BitCount(), bits <= 8 ? 8 : 24) << bits;
        for (int y = 0; y < 7; ++y)
            for (int x = 0; x < 13; ++x)
                ASSERT_EQ(back.PixelAt(x, y), dib.PixelAt(x, y)) << bits << ": " << x << "," << y;
    }
    EXPECT_FALSE(CDib().SaveFile(dir.File("empty.png"), CDib::kFormatPng));
    const DibBlock block = testdibs::Make(2, 2, 24);
    EXPECT_FALSE(CDib(block.data(), block.size()).SaveFile(dir.File("no/such/folder.png"), 8));
}

} // namespace
