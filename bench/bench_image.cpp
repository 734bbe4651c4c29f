// Image benchmarks: bitmap loading against a plain file read, run-length expansion, scaling,
// and the compressed block against zlib on the same bytes.
#include "image/BmpFile.h"
#include "image/CDib.h"
#include "platform/Archive.h"

#include <benchmark/benchmark.h>
#include <zlib.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <vector>

namespace {

// A plot-like picture: white paper, grid lines, a curve and some scanner noise.
DibBlock PlotPicture(int width, int height, int bits)
{
    BitmapInfoHeader h;
    h.bitCount = static_cast<std::uint16_t>(bits);
    DibBlock dib = *MakeDib(h, width, height, nullptr);
    std::uint8_t* p = FindDibBits(dib.data());
    const std::uint64_t row = DibRowBytes(dib.data());
    const int bytes = bits / 8;
    std::uint32_t noise = 12345;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            noise = noise * 1103515245u + 12345u;
            std::uint8_t v = static_cast<std::uint8_t>(250 + ((noise >> 16) & 3));
            if (x % 200 == 0 || y % 200 == 0 || std::abs(y - (height / 2 + x / 3) % height) < 2)
                v = 20;
            std::memset(p + y * row + static_cast<std::uint64_t>(x) * bytes, v,
                        static_cast<std::size_t>(bytes));
        }
    return dib;
}

struct BigBitmapFile {
    std::string path;
    BigBitmapFile()
    {
        path = (std::filesystem::temp_directory_path() / "kurvo_bench_a4.bmp").string();
        const DibBlock dib = PlotPicture(4960, 7016, 24);
        WriteBmpFile(path, dib.data(), dib.size());
    }
    ~BigBitmapFile() { std::filesystem::remove(path); }
};

const BigBitmapFile& BigFile()
{
    static BigBitmapFile file;
    return file;
}

void BM_ReadFileIntoMemory(benchmark::State& state)
{
    const std::string& path = BigFile().path;
    for (auto _ : state) {
        std::FILE* f = std::fopen(path.c_str(), "rb");
        std::fseek(f, 0, SEEK_END);
        const long size = std::ftell(f);
        std::fseek(f, 0, SEEK_SET);
        std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
        benchmark::DoNotOptimize(std::fread(bytes.data(), 1, bytes.size(), f));
        std::fclose(f);
        benchmark::DoNotOptimize(bytes.data());
    }
}
BENCHMARK(BM_ReadFileIntoMemory)->Unit(benchmark::kMillisecond);

void BM_ReadBmpFile(benchmark::State& state)
{
    const std::string& path = BigFile().path;
    for (auto _ : state) {
        std::optional<DibBlock> dib = ReadBmpFile(path);
        benchmark::DoNotOptimize(dib->data());
    }
}
BENCHMARK(BM_ReadBmpFile)->Unit(benchmark::kMillisecond);

// 8-bit run-length data of a 4000 x 4000 picture: runs of 1 to 60 pixels with an absolute
// run every few runs, each row closed by an end of line.
std::vector<std::uint8_t> RleBody()
{
    const int width = 4000, height = 4000;
    std::vector<std::uint8_t> data;
    std::uint32_t seed = 7;
    for (int y = 0; y < height; ++y) {
        int x = 0;
        while (x < width) {
            seed = seed * 1103515245u + 12345u;
            int n = 1 + static_cast<int>((seed >> 16) % 60);
            n = std::min(n, width - x);
            if ((seed >> 8) % 5 == 0 && n >= 3) {
                data.push_back(0);
                data.push_back(static_cast<std::uint8_t>(n));
                for (int i = 0; i < n; ++i)
                    data.push_back(static_cast<std::uint8_t>(i));
                if (n & 1)
                    data.push_back(0);
            } else {
                data.push_back(static_cast<std::uint8_t>(n));
                data.push_back(static_cast<std::uint8_t>(seed >> 24));
            }
            x += n;
        }
        data.push_back(0);
        data.push_back(0);
    }
    data.push_back(0);
    data.push_back(1);
    BitmapInfoHeader h;
    h.width = width;
    h.height = height;
    h.bitCount = 8;
    h.compression = kBiRle8;
    h.sizeImage = static_cast<std::uint32_t>(data.size());
    std::vector<std::uint8_t> body(40 + 1024);
    h.Write(body.data());
    body.insert(body.end(), data.begin(), data.end());
    return body;
}

void BM_ExpandRle8(benchmark::State& state)
{
    const std::vector<std::uint8_t> body = RleBody();
    for (auto _ : state) {
        std::optional<DibBlock> dib = ExpandRle8(body.data(), body.size(), 40 + 1024);
        if (!dib)
            state.SkipWithError("expansion failed");
        benchmark::DoNotOptimize(dib->data());
    }
    state.SetBytesProcessed(state.iterations() * 4000LL * 4000LL);
}
BENCHMARK(BM_ExpandRle8)->Unit(benchmark::kMillisecond);

void BM_Scale(benchmark::State& state)
{
    const int bits = static_cast<int>(state.range(0));
    const int percent = static_cast<int>(state.range(1));
    const DibBlock dib = PlotPicture(2480, 3508, bits);
    const int w = 2480 * percent / 100, h = 3508 * percent / 100;
    for (auto _ : state) {
        state.PauseTiming();
        CDib image(dib.data(), dib.size());
        state.ResumeTiming();
        image.Scale(w, h);
        benchmark::DoNotOptimize(image.GetDib());
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(w) * h);
}
BENCHMARK(BM_Scale)->Args({24, 150})->Args({32, 150})->Args({24, 60})->Args({32, 60})->Unit(
    benchmark::kMillisecond);

const DibBlock& BlockPicture()
{
    static const DibBlock dib = PlotPicture(2480, 3508, 24);
    return dib;
}

void BM_ZlibCompress(benchmark::State& state)
{
    const DibBlock& dib = BlockPicture();
    std::vector<std::uint8_t> out(compressBound(static_cast<uLong>(dib.size())));
    for (auto _ : state) {
        uLongf n = static_cast<uLongf>(out.size());
        compress(out.data(), &n, dib.data(), static_cast<uLong>(dib.size()));
        benchmark::DoNotOptimize(out.data());
    }
}
BENCHMARK(BM_ZlibCompress)->Unit(benchmark::kMillisecond);

void BM_WriteCompressedBlock(benchmark::State& state)
{
    const CDib image(BlockPicture().data(), BlockPicture().size());
    for (auto _ : state) {
        Archive ar;
        image.WriteBlock(ar, CDib::kFormatCompressed);
        benchmark::DoNotOptimize(ar.Bytes().data());
    }
}
BENCHMARK(BM_WriteCompressedBlock)->Unit(benchmark::kMillisecond);

void BM_ZlibUncompress(benchmark::State& state)
{
    const DibBlock& dib = BlockPicture();
    std::vector<std::uint8_t> packed(compressBound(static_cast<uLong>(dib.size())));
    uLongf n = static_cast<uLongf>(packed.size());
    compress(packed.data(), &n, dib.data(), static_cast<uLong>(dib.size()));
    packed.resize(n);
    std::vector<std::uint8_t> out(dib.size());
    for (auto _ : state) {
        uLongf m = static_cast<uLongf>(out.size());
        uncompress(out.data(), &m, packed.data(), static_cast<uLong>(packed.size()));
        benchmark::DoNotOptimize(out.data());
    }
}
BENCHMARK(BM_ZlibUncompress)->Unit(benchmark::kMillisecond);

void BM_ReadCompressedBlock(benchmark::State& state)
{
    const CDib image(BlockPicture().data(), BlockPicture().size());
    Archive out;
    image.WriteBlock(out, CDib::kFormatCompressed);
    const Archive source(out.Bytes());
    for (auto _ : state) {
        state.PauseTiming();
        Archive in(source.Bytes());
        state.ResumeTiming();
        CDib back;
        if (!back.ReadCompressedBlock(in))
            state.SkipWithError("read failed");
        benchmark::DoNotOptimize(back.GetDib());
    }
}
BENCHMARK(BM_ReadCompressedBlock)->Unit(benchmark::kMillisecond);

} // namespace
