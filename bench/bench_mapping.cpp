#include "mapping/RegGridData.h"
#include "mapping/RegGridVw.h"
#include "mapping/SnapTolerance.h"
#include "mapping/TransformAxisVw.h"
#include "mapping/TransformData.h"
#include "mapping/TransformMan.h"
#include "platform/PixelCanvas.h"
#include "platform/ToolEvent.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <random>
#include <vector>

namespace {

// A region over a full-HD image, turned by 12 degrees, X logarithmic 1..1e4, Y linear.
void MapRegion(TransformData& data, bool rotated, int xLog, DPoint min, DPoint max)
{
    std::unique_ptr<TransformMan> man = NewRep<TransformMan>(data);
    man->DefineOrResize(0, {100, 80}, {1700, 980});
    if (rotated)
        man->Rotate(12);
    man->Notify(0);
    std::unique_ptr<TransformAxisVw> axis = NewRep<TransformAxisVw>(data);
    axis->m_min = min;
    axis->m_max = max;
    axis->m_xLog = xLog;
    axis->Notify(0);
}

std::vector<DPoint> RandomPixels(int n)
{
    std::mt19937 rng(5);
    std::uniform_real_distribution<double> x(150, 1650), y(150, 900);
    std::vector<DPoint> pts(static_cast<std::size_t>(n));
    for (DPoint& p : pts)
        p = {x(rng), y(rng)};
    return pts;
}

void BM_PixelToGraphRotatedLog(benchmark::State& state)
{
    TransformData data;
    MapRegion(data, true, 1, {1, 0}, {1e4, 50});
    const std::vector<DPoint> pts = RandomPixels(4096);
    std::size_t i = 0;
    for (auto _ : state) {
        DPoint g;
        benchmark::DoNotOptimize(data.PixelToGraph(pts[i++ & 4095], g));
        benchmark::DoNotOptimize(g);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_PixelToGraphRotatedLog);

void BM_GridSnap(benchmark::State& state)
{
    TransformData data;
    MapRegion(data, true, static_cast<int>(state.range(0)), {1, 0}, {1e4, 50});
    RegGridData grid(&data);
    std::unique_ptr<RegGridVw> vw = NewRep<RegGridVw>(grid);
    vw->m_settings.snapX = 1;
    vw->m_settings.snapY = 1;
    vw->m_settings.originX = 1;
    vw->m_settings.stepX = 1;
    vw->m_settings.stepY = 1;
    vw->Notify(0);
    SnapTolerance::Scope tol(3.0);
    const std::vector<DPoint> pts = RandomPixels(4096);
    std::size_t i = 0;
    for (auto _ : state) {
        DPoint p = pts[i++ & 4095];
        benchmark::DoNotOptimize(grid.Snap(p));
        benchmark::DoNotOptimize(p);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_GridSnap)->Arg(0)->Arg(1);

// The grid of a region filling a full-HD view: argument 0 steps of a tenth of the limits on
// linear axes, 1 steps of a hundredth, 2 a logarithmic X axis with a line per unit.
void BM_DrawGridFullHd(benchmark::State& state)
{
    TransformData data;
    const int mode = static_cast<int>(state.range(0));
    std::unique_ptr<TransformMan> man = NewRep<TransformMan>(data);
    man->DefineOrResize(0, {0, 0}, {1919, 1079});
    man->Notify(0);
    std::unique_ptr<TransformAxisVw> axis = NewRep<TransformAxisVw>(data);
    axis->m_min = {mode == 2 ? 1.0 : 0.0, 0};
    axis->m_max = {mode == 2 ? 1e4 : 100.0, 50};
    axis->m_xLog = mode == 2;
    axis->Notify(0);
    RegGridSettings s;
    s.snapX = s.snapY = 1;
    s.originX = mode == 2 ? 1 : 0;
    s.stepX = mode == 1 ? 1 : 10;
    if (mode == 2)
        s.stepX = 1;
    s.stepY = mode == 1 ? 0.5 : 5;
    PixelCanvas canvas(1920, 1080);
    ToolEvent e(&canvas);
    for (auto _ : state) {
        data.DrawGrid(e, s);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_DrawGridFullHd)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);

} // namespace
