// Extraction over a 600-dpi A4 scan (4960 x 7016, 24-bit): the colour mask with the curve
// trace, and the mask with the marker labelling.
#include "extract/ColourMask.h"
#include "extract/Extract.h"
#include "image/CDib.h"
#include "image/DibUtil.h"
#include "mapping/TransformAxisVw.h"
#include "mapping/TransformData.h"
#include "mapping/TransformMan.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>

namespace {

constexpr int kWidth = 4960, kHeight = 7016;

// White paper with scanner noise, a grey grid, a red curve 4 px wide and a scatter of red
// dots.
const CDib& Scan()
{
    static const CDib dib = [] {
        BitmapInfoHeader h;
        h.bitCount = 24;
        DibBlock block = *MakeDib(h, kWidth, kHeight, nullptr);
        std::uint8_t* bits = FindDibBits(block.data());
        const std::uint64_t row = DibRowBytes(block.data());
        std::uint32_t noise = 12345;
        for (int y = 0; y < kHeight; ++y) {
            std::uint8_t* p = bits + static_cast<std::uint64_t>(kHeight - 1 - y) * row;
            for (int x = 0; x < kWidth; ++x, p += 3) {
                noise = noise * 1103515245u + 12345u;
                const std::uint8_t v = static_cast<std::uint8_t>(248 + ((noise >> 16) & 7));
                std::memset(p, v, 3);
                if (x % 300 == 0 || y % 300 == 0)
                    std::memset(p, 160, 3);
                const double curve = kHeight / 2 + 1500 * std::sin(x / 700.0);
                const bool dot = (x % 97 - 48) * (x % 97 - 48) + (y % 89 - 44) * (y % 89 - 44) < 20;
                if (std::fabs(y - curve) < 2 || (dot && y < kHeight / 4)) {
                    p[0] = 40;
                    p[1] = 30;
                    p[2] = 200;
                }
            }
        }
        CDib out;
        out.Assign(block.data(), block.size());
        return out;
    }();
    return dib;
}

void Map(TransformData& data)
{
    auto man = NewRep<TransformMan>(data);
    man->DefineOrResize(0, {0, 0}, {kWidth, kHeight});
    man->Notify(0);
    auto axis = NewRep<TransformAxisVw>(data);
    axis->m_min = {0, 0};
    axis->m_max = {100, 100};
    axis->Notify(0);
}

void BM_MaskAndTrace(benchmark::State& state)
{
    const CDib& scan = Scan();
    TransformData data;
    Map(data);
    ExtractOptions o;
    o.colour = 0xC81E28;
    std::size_t points = 0;
    for (auto _ : state)
        points = Extract(scan, data, o).pixels.size();
    state.counters["points"] = static_cast<double>(points);
}
BENCHMARK(BM_MaskAndTrace)->Unit(benchmark::kMillisecond);

void BM_MaskAndMarkers(benchmark::State& state)
{
    const CDib& scan = Scan();
    TransformData data;
    Map(data);
    ExtractOptions o;
    o.colour = 0xC81E28;
    o.method = ExtractOptions::kMarkers;
    o.minArea = 10;
    o.maxArea = 100;
    std::size_t points = 0;
    for (auto _ : state)
        points = Extract(scan, data, o).pixels.size();
    state.counters["points"] = static_cast<double>(points);
}
BENCHMARK(BM_MaskAndMarkers)->Unit(benchmark::kMillisecond);

void BM_TraceOnly(benchmark::State& state)
{
    const CDib& scan = Scan();
    TransformData data;
    Map(data);
    ColourMask mask;
    mask.Build(scan, 0xC81E28, 60, {});
    ExtractOptions o;
    for (auto _ : state)
        benchmark::DoNotOptimize(TraceCurve(mask, data, o).size());
}
BENCHMARK(BM_TraceOnly)->Unit(benchmark::kMillisecond);

void BM_MaskOnly(benchmark::State& state)
{
    const CDib& scan = Scan();
    for (auto _ : state) {
        ColourMask mask;
        mask.Build(scan, 0xC81E28, 60, {});
        benchmark::DoNotOptimize(mask.Count());
    }
}
BENCHMARK(BM_MaskOnly)->Unit(benchmark::kMillisecond);

} // namespace
