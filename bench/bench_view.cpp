// Repaint time, memory while zooming and drag-step cost of the image view showing an A4 scan
// at 600 dpi (4960 x 7016, 24 bits) in a 1920 x 1080 window.
#include "image/CDib.h"
#include "image/DibUtil.h"
#include "mapping/RegGridData.h"
#include "mapping/TransformData.h"
#include "mapping/TransformMan.h"
#include "model/Task.h"
#include "platform/Document.h"
#include "tasks/PlotData.h"
#include "view/CKurvoView.h"
#include "view/CropBox.h"
#include "view/HeadlessViewHost.h"
#include "view/Magnifier.h"
#include "view/MapTool.h"
#include "view/ViewDocument.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kImageW = 4960;
constexpr int kImageH = 7016;

class BenchDoc : public Document, public ViewDocument {
public:
    BenchDoc() : data(this), grid(&transform)
    {
        const std::uint64_t rowBytes = DibRowBytes(kImageW, 24);
        std::vector<std::uint8_t> dib(kInfoHeaderSize + rowBytes * kImageH);
        BitmapInfoHeader h;
        h.width = kImageW;
        h.height = kImageH;
        h.bitCount = 24;
        h.sizeImage = static_cast<std::uint32_t>(rowBytes * kImageH);
        h.Write(dib.data());
        std::uint8_t* bits = dib.data() + kInfoHeaderSize;
        for (int y = 0; y < kImageH; ++y)
            for (int x = 0; x < kImageW; ++x) {
                std::uint8_t* p = bits + y * rowBytes + 3 * x;
                p[0] = static_cast<std::uint8_t>(x);
                p[1] = static_cast<std::uint8_t>(y);
                p[2] = static_cast<std::uint8_t>(x ^ y);
            }
        image.Assign(dib.data(), dib.size());
    }
    PlotData* GetPlotData() override { return &data; }
    CDib* GetImage() override { return &image; }
    TransformData* GetTransform() override { return &transform; }
    RegGridData* GetGrid() override { return &grid; }
    bool IsImageLoaded() override { return !image.IsEmpty(); }
    ISize GetImageSize() override { return {image.Width(), image.Height()}; }
    bool IsMappingDefined() override { return transform.GetRegion().IsDefined(); }
    bool IsMappingValid() override { return IsMappingDefined(); }
    void OnAxisMapping() override {}
    bool GetPixelResolution(const ToolEvent&, DPoint&) override { return false; }
    std::unique_ptr<Task> MakeTransTask(std::unique_ptr<TransformMan>) override { return nullptr; }
    std::unique_ptr<Task> MakeCropTask(const CropBox&) override { return nullptr; }

    PlotData data;
    CDib image;
    TransformData transform;
    RegGridData grid;
};

struct Scene {
    explicit Scene(const ViewSettings& settings = ViewSettings{})
        : host(1920, 1080), view(&host, &doc)
    {
        host.SetView(&view);
        doc.AddView(&view);
        view.OnInitialUpdate(settings);
        host.Flush();
    }
    ~Scene() { doc.RemoveView(&view); }
    void ZoomTo(double zoom)
    {
        view.ZoomTo(zoom);
        // Somewhere in the middle of the image.
        const ISize s = view.GetScaledSize();
        view.ScrollToPosition({s.cx / 3, s.cy / 3});
        host.Flush();
    }
    BenchDoc doc;
    HeadlessViewHost host;
    CKurvoView view;
};

Scene& GetScene()
{
    static Scene scene;
    return scene;
}

// Peak resident memory in MB, and its reset.
double PeakRssMb()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0)
            return std::strtod(line.c_str() + 6, nullptr) / 1024.0;
    return 0.0;
}
double RssMb()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0)
            return std::strtod(line.c_str() + 6, nullptr) / 1024.0;
    return 0.0;
}
void ResetPeakRss()
{
    std::ofstream clear("/proc/self/clear_refs");
    clear << "5";
}

// Zooms the scan from 1/16 to 64 in steps of the medium rate, painting every step.
void BM_ZoomSweepMemory(benchmark::State& state)
{
    Scene& scene = GetScene();
    const double imageMb = static_cast<double>(scene.doc.image.GetDibLength()) / (1 << 20);
    double baseMb = 0.0;
    double peakMb = 0.0;
    for (auto _ : state) {
        scene.ZoomTo(1.0 / 16);
        baseMb = RssMb() - imageMb;
        ResetPeakRss();
        for (double z = 1.0 / 16; z <= 64.0 * 1.0001; z *= 1.2)
            scene.ZoomTo(z);
        scene.ZoomTo(64.0);
        peakMb = PeakRssMb();
    }
    state.counters["image_MB"] = imageMb;
    state.counters["baseline_without_image_MB"] = baseMb;
    state.counters["peak_MB"] = peakMb;
    state.counters["peak_over_image_MB"] = peakMb - imageMb;
}
BENCHMARK(BM_ZoomSweepMemory)->Iterations(1)->Unit(benchmark::kMillisecond);

// A full repaint (image, overlays, feedback) of the window at a fixed zoom.
void BM_FullRepaint(benchmark::State& state)
{
    Scene& scene = GetScene();
    const double zoom = std::pow(2.0, static_cast<double>(state.range(0)) / 2.0);
    scene.ZoomTo(zoom);
    for (auto _ : state) {
        scene.view.Invalidate(true);
        scene.host.Flush();
        benchmark::DoNotOptimize(scene.view.GetCanvas().Bits());
    }
    state.counters["zoom"] = scene.view.GetZoom();
    state.counters["direct"] = scene.view.IsDrawingDirect() ? 1 : 0;
}
// Zoom 2^(n/2): 1/16 ... 64.
BENCHMARK(BM_FullRepaint)->DenseRange(-8, 12, 1)->Unit(benchmark::kMillisecond);

// The same without display copies: the view samples the visible part at every zoom.
void BM_FullRepaintSampled(benchmark::State& state)
{
    static Scene* scene = [] {
        ViewSettings s;
        s.maxDisplayCopyBytes = 0;
        return new Scene(s);
    }();
    const double zoom = std::pow(2.0, static_cast<double>(state.range(0)) / 2.0);
    scene->ZoomTo(zoom);
    for (auto _ : state) {
        scene->view.Invalidate(true);
        scene->host.Flush();
        benchmark::DoNotOptimize(scene->view.GetCanvas().Bits());
    }
    state.counters["zoom"] = scene->view.GetZoom();
}
BENCHMARK(BM_FullRepaintSampled)->DenseRange(-8, 0, 2)->Unit(benchmark::kMillisecond);

// One drag step of the mapping tool: feedback only, no repaint of the image.
void BM_MapToolDragStep(benchmark::State& state)
{
    Scene& scene = GetScene();
    scene.ZoomTo(1.0);
    scene.view.SelectTool(static_cast<Tool*>(scene.view.GetMapTool()));
    scene.view.OnLButtonDown({200, 200});
    int x = 300;
    const int paintsBefore = scene.host.paints;
    for (auto _ : state) {
        scene.view.OnMouseMove({x, 700});
        x = x == 1500 ? 300 : x + 1;
    }
    state.counters["repaints"] = scene.host.paints - paintsBefore;
    scene.view.OnLButtonUp({x, 700});
}
BENCHMARK(BM_MapToolDragStep)->Unit(benchmark::kMicrosecond);

// One loupe repaint at the given enlargement, the spot wandering over the scan; the goal is
// well under 5 ms.
void BM_MagnifierRepaint(benchmark::State& state)
{
    Scene& scene = GetScene();
    Magnifier loupe;
    loupe.SetFactor(static_cast<int>(state.range(0)));
    double x = 100.25, y = 3000.75;
    for (auto _ : state) {
        loupe.Render(&scene.doc.image, {x, y}, kWhite);
        benchmark::DoNotOptimize(loupe.GetCanvas().Bits());
        x = x > 4800 ? 100.25 : x + 37.1;
        y = y > 6900 ? 20.5 : y + 11.3;
    }
}
BENCHMARK(BM_MagnifierRepaint)->Arg(4)->Arg(6)->Arg(12)->Unit(benchmark::kMicrosecond);

} // namespace
