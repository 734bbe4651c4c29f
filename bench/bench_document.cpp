// Document benchmarks: saving and reopening a project that embeds an A4 scan against zlib's
// own compress and uncompress of the same pixels, and exporting many points.
#include "document/CKurvoDoc.h"
#include "document/PointsExport.h"
#include "image/BmpFile.h"
#include "image/CDib.h"
#include "image/DibUtil.h"
#include "model/DbPoint.h"
#include "model/DbSetMgr.h"
#include "tasks/PlotData.h"

#include <benchmark/benchmark.h>
#include <zlib.h>

#include <cstring>
#include <filesystem>
#include <memory>

namespace {

// A plot-like 24-bit scan: paper with a little noise, grid lines and a curve.
DibBlock ScanPicture(int width, int height)
{
    BitmapInfoHeader h;
    h.bitCount = 24;
    DibBlock dib = *MakeDib(h, width, height, nullptr);
    std::uint8_t* p = FindDibBits(dib.data());
    const std::uint64_t row = DibRowBytes(dib.data());
    std::uint32_t noise = 99;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            noise = noise * 1103515245u + 12345u;
            std::uint8_t v = static_cast<std::uint8_t>(248 + ((noise >> 16) & 7));
            if (x % 236 == 0 || y % 236 == 0 || std::abs(y - (height / 3 + x / 2) % height) < 3)
                v = 30;
            std::memset(p + y * row + static_cast<std::uint64_t>(x) * 3, v, 3);
        }
    return dib;
}

struct ScanDocument {
    std::string image;
    std::string project;
    CKurvoDoc doc;
    ScanDocument()
    {
        const auto dir = std::filesystem::temp_directory_path();
        image = (dir / "kurvo_bench_scan.bmp").string();
        project = (dir / "kurvo_bench_scan.kvx").string();
        const DibBlock dib = ScanPicture(4960, 7016);
        WriteBmpFile(image, dib.data(), dib.size());
        doc.OnOpenDocument(image);
        doc.GetPlotData()->SetSaveReference(false);
    }
    ~ScanDocument()
    {
        std::filesystem::remove(image);
        std::filesystem::remove(project);
    }
};

ScanDocument& Scan()
{
    static ScanDocument scan;
    return scan;
}

void BM_ProjectSave(benchmark::State& state)
{
    ScanDocument& s = Scan();
    for (auto _ : state)
        benchmark::DoNotOptimize(s.doc.OnSaveDocument(s.project));
}
BENCHMARK(BM_ProjectSave)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ProjectOpen(benchmark::State& state)
{
    ScanDocument& s = Scan();
    s.doc.OnSaveDocument(s.project);
    for (auto _ : state) {
        auto doc = std::make_unique<CKurvoDoc>();
        benchmark::DoNotOptimize(doc->OnOpenDocument(s.project));
        // Closing the document (handing back its 104 MB) is not part of opening it.
        state.PauseTiming();
        doc.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_ProjectOpen)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ProjectOpen)
    ->Name("BM_ProjectOpen_ProcessCpu")
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

void BM_ZlibCompressSameBytes(benchmark::State& state)
{
    const CDib& image = *Scan().doc.GetPlotData()->GetImage();
    std::vector<Bytef> out(compressBound(image.GetDibLength()));
    for (auto _ : state) {
        uLongf n = out.size();
        compress(out.data(), &n, image.GetDib(), image.GetDibLength());
        benchmark::DoNotOptimize(n);
    }
}
BENCHMARK(BM_ZlibCompressSameBytes)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ZlibUncompressSameBytes(benchmark::State& state)
{
    const CDib& image = *Scan().doc.GetPlotData()->GetImage();
    std::vector<Bytef> packed(compressBound(image.GetDibLength()));
    uLongf n = packed.size();
    compress(packed.data(), &n, image.GetDib(), image.GetDibLength());
    std::vector<Bytef> out(image.GetDibLength());
    for (auto _ : state) {
        uLongf m = out.size();
        uncompress(out.data(), &m, packed.data(), n);
        benchmark::DoNotOptimize(m);
    }
}
BENCHMARK(BM_ZlibUncompressSameBytes)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same, as any reader must do it the first time: into a block freshly taken from the system,
// which pays for bringing in its pages. Process CPU, for comparison with the open benchmark's.
void BM_ZlibUncompressIntoFreshBlock(benchmark::State& state)
{
    const CDib& image = *Scan().doc.GetPlotData()->GetImage();
    std::vector<Bytef> packed(compressBound(image.GetDibLength()));
    uLongf n = packed.size();
    compress(packed.data(), &n, image.GetDib(), image.GetDibLength());
    for (auto _ : state) {
        std::unique_ptr<Bytef[]> out(new Bytef[image.GetDibLength()]);
        uLongf m = image.GetDibLength();
        uncompress(out.get(), &m, packed.data(), n);
        benchmark::DoNotOptimize(m);
        state.PauseTiming();
        out.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_ZlibUncompressIntoFreshBlock)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

void BM_ExportHundredThousandPoints(benchmark::State& state)
{
    PlotData data;
    data.NewSet();
    for (int i = 0; i < 100000; ++i) {
        auto p = std::make_unique<DbPoint>(DPoint{i * 0.37, i * 1.1});
        p->m_graph = {(i * 7919) % 100000 * 0.001, i * 0.5};
        std::unique_ptr<DbPrim> prim = std::move(p);
        data.GetSetMgr()->AddPrim(prim, -1);
    }
    const std::string path = (std::filesystem::temp_directory_path() / "kurvo_bench.csv").string();
    for (auto _ : state)
        benchmark::DoNotOptimize(ExportPoints(data, path, 2));
    std::filesystem::remove(path);
}
BENCHMARK(BM_ExportHundredThousandPoints)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
