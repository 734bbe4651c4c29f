// The picture readers against their libraries' own decoding of the same 600-dpi A4 file
// (4960 x 7016) in the same run: opening a TIFF (uncompressed, LZW) against libtiff's
// TIFFReadEncodedStrip of every strip into a buffer made beforehand, and opening a PNG (colour,
// grey) against libpng's own decoding into a buffer made beforehand, and opening a JPEG (colour,
// quality 90) against libjpeg's own decoding into a buffer made beforehand. Compare each pair's
// times: the reader's share is what it costs above the library.
#include "image/CDib.h"
#include "image/PictureFile.h"

#include <benchmark/benchmark.h>
#include <jpeglib.h>
#include <png.h>
#include <tiffio.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace {

constexpr int kWidth = 4960, kHeight = 7016;

// A plot-like picture: white paper, grid lines, a curve and some scanner noise; grey or colour.
std::vector<std::uint8_t> Samples(int channels)
{
    std::vector<std::uint8_t> out(static_cast<std::size_t>(kWidth) * kHeight * channels);
    std::uint32_t noise = 12345;
    std::uint8_t* p = out.data();
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x, p += channels) {
            noise = noise * 1103515245u + 12345u;
            std::uint8_t v = static_cast<std::uint8_t>(250 + ((noise >> 16) & 3));
            if (x % 200 == 0 || y % 200 == 0 || std::abs(y - (kHeight / 2 + x / 3) % kHeight) < 2)
                v = 20;
            std::memset(p, v, static_cast<std::size_t>(channels));
        }
    return out;
}

std::string TempPath(const char* name)
{
    return (std::filesystem::temp_directory_path() / name).string();
}

void WriteTiff(const std::string& path, int compression)
{
    const std::vector<std::uint8_t> rgb = Samples(3);
    TIFF* tif = TIFFOpen(path.c_str(), "w");
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, kWidth);
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, kHeight);
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 3);
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 8);
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
    TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tif, TIFFTAG_COMPRESSION, compression);
    TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, 8);
    for (int y = 0; y < kHeight; ++y)
        TIFFWriteScanline(tif, const_cast<std::uint8_t*>(rgb.data()) + 3 * kWidth * y, y, 0);
    TIFFClose(tif);
}

const std::string& TiffFile(int compression)
{
    static const std::string plain = [] {
        const std::string p = TempPath("kurvo_bench_a4_plain.tif");
        WriteTiff(p, COMPRESSION_NONE);
        return p;
    }();
    static const std::string lzw = [] {
        const std::string p = TempPath("kurvo_bench_a4_lzw.tif");
        WriteTiff(p, COMPRESSION_LZW);
        return p;
    }();
    return compression == COMPRESSION_NONE ? plain : lzw;
}

const std::string& PngFile(bool grey)
{
    auto write = [](const char* name, int channels) {
        const std::string p = TempPath(name);
        png_image image{};
        image.version = PNG_IMAGE_VERSION;
        image.width = kWidth;
        image.height = kHeight;
        image.format = channels == 1 ? PNG_FORMAT_GRAY : PNG_FORMAT_RGB;
        const std::vector<std::uint8_t> samples = Samples(channels);
        png_image_write_to_file(&image, p.c_str(), 0, samples.data(), 0, nullptr);
        return p;
    };
    static const std::string colour = write("kurvo_bench_a4_rgb.png", 3);
    static const std::string greyFile = write("kurvo_bench_a4_grey.png", 1);
    return grey ? greyFile : colour;
}

void BM_TiffOpen(benchmark::State& state)
{
    const std::string& path = TiffFile(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        CDib dib;
        if (!dib.LoadFile(path) || dib.Width() != kWidth)
            state.SkipWithError("the TIFF did not open");
        benchmark::DoNotOptimize(dib);
    }
}
BENCHMARK(BM_TiffOpen)
    ->Arg(COMPRESSION_NONE)
    ->Arg(COMPRESSION_LZW)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// The library into a buffer made beforehand (range 1 = 0), or into a fresh zero-filled one
// made on each run (range 1 = 1), as a caller who has none yet must, and the reader does.
void BM_TiffLibraryStrips(benchmark::State& state)
{
    const std::string& path = TiffFile(static_cast<int>(state.range(0)));
    const bool fresh = state.range(1) != 0;
    const std::size_t size = static_cast<std::size_t>(kWidth) * kHeight * 3;
    std::vector<std::uint8_t> kept(fresh ? 0 : size);
    for (auto _ : state) {
        std::vector<std::uint8_t> made(fresh ? size : 0);
        std::vector<std::uint8_t>& buffer = fresh ? made : kept;
        TIFF* tif = TIFFOpen(path.c_str(), "r");
        const tstrip_t strips = TIFFNumberOfStrips(tif);
        const tmsize_t stripSize = TIFFStripSize(tif);
        std::uint8_t* at = buffer.data();
        for (tstrip_t s = 0; s < strips; ++s) {
            const tmsize_t n = TIFFReadEncodedStrip(tif, s, at, stripSize);
            if (n < 0)
                state.SkipWithError("libtiff refused a strip");
            at += n;
        }
        TIFFClose(tif);
        benchmark::DoNotOptimize(buffer.data());
    }
}
BENCHMARK(BM_TiffLibraryStrips)
    ->Args({COMPRESSION_NONE, 0})
    ->Args({COMPRESSION_NONE, 1})
    ->Args({COMPRESSION_LZW, 0})
    ->Args({COMPRESSION_LZW, 1})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

void BM_PngOpen(benchmark::State& state)
{
    const std::string& path = PngFile(state.range(0) != 0);
    for (auto _ : state) {
        CDib dib;
        if (!dib.LoadFile(path) || dib.Width() != kWidth)
            state.SkipWithError("the PNG did not open");
        benchmark::DoNotOptimize(dib);
    }
}
BENCHMARK(BM_PngOpen)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_PngLibraryDecode(benchmark::State& state)
{
    const bool grey = state.range(0) != 0;
    const std::string& path = PngFile(grey);
    std::vector<std::uint8_t> buffer(static_cast<std::size_t>(kWidth) * kHeight * (grey ? 1 : 3));
    for (auto _ : state) {
        png_image image{};
        image.version = PNG_IMAGE_VERSION;
        if (!png_image_begin_read_from_file(&image, path.c_str()))
            state.SkipWithError("libpng refused the file");
        image.format = grey ? PNG_FORMAT_GRAY : PNG_FORMAT_BGR;
        if (!png_image_finish_read(&image, nullptr, buffer.data(), 0, nullptr))
            state.SkipWithError("libpng could not decode the file");
        benchmark::DoNotOptimize(buffer.data());
    }
}
BENCHMARK(BM_PngLibraryDecode)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

const std::string& JpegFile()
{
    static const std::string path = [] {
        const std::string p = TempPath("kurvo_bench_a4.jpg");
        const std::vector<std::uint8_t> rgb = Samples(3);
        jpeg_compress_struct c{};
        jpeg_error_mgr error{};
        c.err = jpeg_std_error(&error);
        jpeg_create_compress(&c);
        FILE* file = std::fopen(p.c_str(), "wb");
        jpeg_stdio_dest(&c, file);
        c.image_width = kWidth;
        c.image_height = kHeight;
        c.input_components = 3;
        c.in_color_space = JCS_RGB;
        jpeg_set_defaults(&c);
        jpeg_set_quality(&c, 90, TRUE);
        jpeg_start_compress(&c, TRUE);
        while (c.next_scanline < c.image_height) {
            JSAMPROW row = const_cast<std::uint8_t*>(rgb.data()) + 3 * kWidth * c.next_scanline;
            jpeg_write_scanlines(&c, &row, 1);
        }
        jpeg_finish_compress(&c);
        jpeg_destroy_compress(&c);
        std::fclose(file);
        return p;
    }();
    return path;
}

void BM_JpegOpen(benchmark::State& state)
{
    const std::string& path = JpegFile();
    for (auto _ : state) {
        CDib dib;
        if (!dib.LoadFile(path) || dib.Width() != kWidth)
            state.SkipWithError("the JPEG did not open");
        benchmark::DoNotOptimize(dib);
    }
}
BENCHMARK(BM_JpegOpen)->Unit(benchmark::kMillisecond)->UseRealTime();

// The library's decoding of the same file into blue-green-red rows, as the DIB holds them.
void BM_JpegLibraryDecode(benchmark::State& state)
{
    const std::string& path = JpegFile();
    std::vector<std::uint8_t> buffer(static_cast<std::size_t>(kWidth) * kHeight * 3);
    for (auto _ : state) {
        jpeg_decompress_struct d{};
        jpeg_error_mgr error{};
        d.err = jpeg_std_error(&error);
        jpeg_create_decompress(&d);
        FILE* file = std::fopen(path.c_str(), "rb");
        jpeg_stdio_src(&d, file);
        jpeg_read_header(&d, TRUE);
        d.out_color_space = JCS_EXT_BGR;
        jpeg_start_decompress(&d);
        while (d.output_scanline < d.output_height) {
            JSAMPROW row = buffer.data() + std::size_t{3} * kWidth * d.output_scanline;
            jpeg_read_scanlines(&d, &row, 1);
        }
        jpeg_finish_decompress(&d);
        jpeg_destroy_decompress(&d);
        std::fclose(file);
        benchmark::DoNotOptimize(buffer.data());
    }
}
BENCHMARK(BM_JpegLibraryDecode)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
