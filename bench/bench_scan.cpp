// Scanning benchmark: a 300-dpi A4 colour scan from libsane's test back end made into a new
// document (on the worker thread the program scans on), against scanimage writing the same
// frame to a file, both measured in the same run. Needs libsane and scanimage (sane-utils);
// scanimage is given a minute, since it can hang on its way out.
#include "document/CKurvoDoc.h"
#include "document/ScannedImage.h"
#include "scan/SaneLibrary.h"
#include "scan/SaneScanJob.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <future>

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// The test back end's configuration: one device, a glass of 300 mm square, A4 colour at 300
// dpi from the start.
fs::path Configure()
{
    const fs::path dir = fs::temp_directory_path() / "kurvo-bench-sane";
    fs::create_directories(dir);
    std::ofstream(dir / "dll.conf") << "test\n";
    std::ofstream(dir / "test.conf")
        << "number_of_devices 1\nmode Color\ndepth 8\nresolution 300.0\n"
           "test-picture \"Color pattern\"\ngeometry_min 0.0\ngeometry_max 300.0\n"
           "geometry_quant 1.0\ntl_x 0.0\ntl_y 0.0\nbr_x 210.0\nbr_y 297.0\n";
    setenv("SANE_CONFIG_DIR", dir.c_str(), 1);
    return dir;
}

double Seconds(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// Opening the device, scanning on the worker thread and making the document; scanOnly
// receives the part until the picture is there.
double KurvoScan(double& scanOnly)
{
    const Clock::time_point start = Clock::now();
    SaneScanner scanner;
    if (!scanner.Open("test:0"))
        return -1;
    SaneScanSettings settings{SaneScanSettings::Mode::kColour, 8, 300, 0, 0, 210, 297};
    scanner.Apply(settings);
    SaneScanJob job;
    std::promise<SaneScanResult> done;
    job.Start(scanner, {}, [&](SaneScanResult r) { done.set_value(std::move(r)); });
    SaneScanResult result = done.get_future().get();
    job.Wait();
    scanOnly = Seconds(start);
    CKurvoDoc doc;
    if (result.outcome != SaneScanResult::Outcome::kDone || !doc.OnNewDocument() ||
        !TakeScannedImage(doc, std::move(result.dib)))
        return -1;
    // A4 at 300 dpi: 2480 x 3507 pixels.
    if (doc.GetImageSize().cx != 2480 || doc.GetImageSize().cy != 3507)
        return -1;
    return Seconds(start);
}

double ScanimageToFile(const fs::path& dir)
{
    const std::string command = "timeout 60 scanimage -d test:0 --mode Color --depth 8 "
                                "--resolution 300 -l 0 -t 0 -x 210 -y 297 "
                                "--format=pnm -o '" +
                                (dir / "scan.pnm").string() + "' 2>/dev/null";
    const Clock::time_point start = Clock::now();
    return std::system(command.c_str()) == 0 ? Seconds(start) : -1;
}

void BM_A4ColourScan(benchmark::State& state)
{
    const fs::path dir = Configure();
    SaneLibrary::Shutdown();
    double kurvo = 0, scanimage = 0, scanning = 0;
    for (auto _ : state) {
        double scanOnly = 0;
        const double k = KurvoScan(scanOnly);
        const double s = ScanimageToFile(dir);
        if (k < 0 || s < 0) {
            state.SkipWithError(k < 0 ? "no A4 document from the test back end"
                                      : "scanimage failed");
            break;
        }
        kurvo += k;
        scanning += scanOnly;
        scanimage += s;
        state.SetIterationTime(k);
    }
    const double n = static_cast<double>(state.iterations());
    if (n > 0 && scanimage > 0) {
        state.counters["kurvo_ms"] = 1000 * kurvo / n;
        state.counters["scanimage_ms"] = 1000 * scanimage / n;
        state.counters["scan_ms"] = 1000 * scanning / n;
        state.counters["ratio"] = kurvo / scanimage;
    }
    SaneLibrary::Shutdown();
    fs::remove_all(dir);
}
BENCHMARK(BM_A4ColourScan)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace
