// Writes a small starting corpus for every fuzz program: well-formed files of each kind the
// readers handle, made by the program's own writers where it has them.
//   fuzz_make_seeds OUTPUT_FOLDER
// makes OUTPUT_FOLDER/<program>/ for every program. The program writes no JPEG, GIF or WebP:
// small pictures of each kind come from the libraries' own writers.

#include "fuzz/support/SeedFiles.h"

#include "platform/HeadlessUiServices.h"
#include "platform/UiServices.h"

#include <gif_lib.h>
#include <jpeglib.h>
#include <webp/encode.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

void Save(const fs::path& path, const Bytes& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

// A few pixels with every value of a channel met somewhere, and a see-through corner.
Bytes Pixels(int width, int height, int channels)
{
    Bytes out(static_cast<std::size_t>(width * height * channels));
    for (std::size_t i = 0; i < out.size(); ++i)
        out[i] = static_cast<std::uint8_t>(i * 37 + 11);
    if (channels == 4)
        out[3] = 0;
    return out;
}

// Baseline and progressive, colour, grey and CMYK, and one turned by an EXIF orientation.
Seeds JpegSeeds()
{
    struct Case {
        const char* name;
        J_COLOR_SPACE space;
        int channels;
        bool progressive;
        int orientation;
    };
    const Case cases[] = {{"rgb.jpg", JCS_RGB, 3, false, 0},
                          {"grey-progressive.jpg", JCS_GRAYSCALE, 1, true, 0},
                          {"cmyk.jpg", JCS_CMYK, 4, false, 0},
                          {"rgb-exif6.jpg", JCS_RGB, 3, true, 6}};
    Seeds seeds;
    for (const Case& c : cases) {
        jpeg_compress_struct info{};
        jpeg_error_mgr error{};
        info.err = jpeg_std_error(&error);
        jpeg_create_compress(&info);
        unsigned char* memory = nullptr;
        unsigned long size = 0;
        jpeg_mem_dest(&info, &memory, &size);
        info.image_width = 7;
        info.image_height = 5;
        info.input_components = c.channels;
        info.in_color_space = c.space;
        jpeg_set_defaults(&info);
        if (c.progressive)
            jpeg_simple_progression(&info);
        jpeg_start_compress(&info, TRUE);
        if (c.orientation) {
            // Little-endian TIFF block with one entry: Orientation (0x112), SHORT, 1 value.
            const std::uint8_t exif[] = {
                'E', 'x',  'i', 'f', 0,
                0,   'I',  'I', 42,  0,
                8,   0,    0,   0,   1,
                0,   0x12, 1,   3,   0,
                1,   0,    0,   0,   static_cast<std::uint8_t>(c.orientation),
                0,   0,    0,   0,   0,
                0,   0};
            jpeg_write_marker(&info, JPEG_APP0 + 1, exif, sizeof exif);
        }
        const Bytes pixels = Pixels(7, 5, c.channels);
        while (info.next_scanline < info.image_height) {
            JSAMPROW row = const_cast<std::uint8_t*>(pixels.data()) +
                           info.next_scanline * 7 * static_cast<unsigned>(c.channels);
            jpeg_write_scanlines(&info, &row, 1);
        }
        jpeg_finish_compress(&info);
        jpeg_destroy_compress(&info);
        seeds.push_back({c.name, Bytes(memory, memory + size)});
        std::free(memory);
    }
    return seeds;
}

int AppendGif(GifFileType* gif, const GifByteType* data, int length)
{
    auto* out = static_cast<Bytes*>(gif->UserData);
    out->insert(out->end(), data, data + length);
    return length;
}

// A palette picture with a transparent colour, a second frame, and an interlaced one.
Seeds GifSeeds()
{
    Seeds seeds;
    for (int kind = 0; kind < 2; ++kind) {
        Bytes out;
        int error = 0;
        GifFileType* gif = EGifOpen(&out, AppendGif, &error);
        GifColorType colours[4] = {{255, 255, 255}, {0, 0, 0}, {200, 40, 40}, {30, 70, 190}};
        ColorMapObject* map = GifMakeMapObject(4, colours);
        EGifSetGifVersion(gif, true);
        EGifPutScreenDesc(gif, 6, 4, 2, 0, map);
        const GraphicsControlBlock control{0, false, 0, 2};
        GifByteType extension[4];
        const std::size_t extensionLength = EGifGCBToExtension(&control, extension);
        for (int frame = 0; frame < 2; ++frame) {
            EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, static_cast<int>(extensionLength),
                             extension);
            EGifPutImageDesc(gif, 0, 0, 6, 4, kind == 1, nullptr);
            for (int y = 0; y < 4; ++y) {
                GifPixelType row[6];
                for (int x = 0; x < 6; ++x)
                    row[x] = static_cast<GifPixelType>((x + y + frame) & 3);
                EGifPutLine(gif, row, 6);
            }
        }
        EGifCloseFile(gif, &error);
        GifFreeMapObject(map);
        seeds.push_back({kind ? "interlaced.gif" : "transparent-two-frames.gif", out});
    }
    return seeds;
}

// Lossy and lossless, each with and without alpha.
Seeds WebpSeeds()
{
    Seeds seeds;
    const Bytes rgb = Pixels(9, 6, 3);
    const Bytes rgba = Pixels(9, 6, 4);
    for (int kind = 0; kind < 4; ++kind) {
        std::uint8_t* memory = nullptr;
        const bool alpha = kind & 1;
        const std::uint8_t* pixels = alpha ? rgba.data() : rgb.data();
        const int stride = 9 * (alpha ? 4 : 3);
        std::size_t size = 0;
        if (kind < 2)
            size = alpha ? WebPEncodeRGBA(pixels, 9, 6, stride, 80, &memory)
                         : WebPEncodeRGB(pixels, 9, 6, stride, 80, &memory);
        else
            size = alpha ? WebPEncodeLosslessRGBA(pixels, 9, 6, stride, &memory)
                         : WebPEncodeLosslessRGB(pixels, 9, 6, stride, &memory);
        static const char* const names[] = {"lossy.webp", "lossy-alpha.webp", "lossless.webp",
                                            "lossless-alpha.webp"};
        seeds.push_back({names[kind], Bytes(memory, memory + size)});
        WebPFree(memory);
    }
    return seeds;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fputs("usage: fuzz_make_seeds OUTPUT_FOLDER\n", stderr);
        return 2;
    }
    static HeadlessUiServices quiet(nullptr);
    SetUiServices(&quiet);
    const fs::path out = fs::absolute(argv[1]);
    const fs::path scratch = out / ".scratch";
    fs::create_directories(scratch);
    auto write = [&](const std::string& program, const auto& seeds) {
        fs::create_directories(out / program);
        for (const auto& [name, bytes] : seeds)
            if (!bytes.empty())
                Save(out / program / name, bytes);
        std::printf("%s: %zu seeds\n", program.c_str(), seeds.size());
    };
    write("bmp", BmpSeeds());
    write("embedded_block", BlockSeeds());
    write("tiff", TiffSeeds(scratch));
    write("project", ProjectSeeds(scratch));
    write("archive_string", StringSeeds());
    write("png", PngSeeds(scratch));
    write("pdf", PdfSeeds());
    write("jpeg", JpegSeeds());
    write("gif", GifSeeds());
    write("webp", WebpSeeds());
    fs::remove_all(scratch);
    return 0;
}
