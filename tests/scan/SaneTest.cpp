#include "image/CDib.h"
#include "image/DibUtil.h"
#include "platform/CommandIds.h"
#include "scan/SaneAcquisition.h"
#include "scan/SaneLibrary.h"
#include "scan/SaneScanJob.h"
#include "scan/SaneScanner.h"
#include "scan/ScannerCommands.h"
#include "scan/support/StandIn.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <cstdlib>
#include <deque>
#include <dlfcn.h>
#include <fstream>
#include <future>
#include <mutex>
#include <optional>

// The test back end's own leaks (libsane frees neither its option strings nor its buffers at
// sane_exit); anything of the program's stays reported.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libsane-test.so\n";
}

namespace {

using Mode = SaneScanSettings::Mode;
using Outcome = SaneScanResult::Outcome;

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif

// libsane's own "test" back end, configured by a folder of the test's (SANE_CONFIG_DIR with a
// dll.conf naming only "test" and a test.conf fixing its options); the library is restarted so
// that it reads the folder, and shut down again at the end.
//
// Under AddressSanitizer, the back end's reader thread is cancelled asynchronously by
// sane_cancel and can die holding the sanitizer's allocator lock: the tests that make it stop
// early are skipped there. The back end also leaks a few blocks: there its module is kept loaded
// so that LeakSanitizer can name and pass over them, and since it then keeps its state from one
// test to the next, its pictures are not compared with a fresh scanimage.
//
// Once libsane has been shut down, it lists no device of a later folder until one is opened by
// name: the tests that list devices come first.
class SaneTestBackend {
public:
    SaneTestBackend()
    {
        Dl_info info{};
        if (void* sane = kSanitized ? dlopen("libsane.so.1", RTLD_NOW) : nullptr) {
            if (dladdr(dlsym(sane, "sane_init"), &info) && info.dli_fname) {
                const auto folder = std::filesystem::path(info.dli_fname).parent_path() / "sane";
                dlopen((folder / "libsane-test.so.1").c_str(), RTLD_NOW | RTLD_NODELETE);
            }
            dlclose(sane);
        }
        std::ofstream(m_config.File("dll.conf")) << "test\n";
        // Two devices; a glass large enough for A4; a small default area at 50 dpi.
        std::ofstream(m_config.File("test.conf"))
            << "number_of_devices 2\nmode Gray\ndepth 8\nresolution 50.0\n"
               "test-picture \"Color pattern\"\ngeometry_min 0.0\ngeometry_max 300.0\n"
               "geometry_quant 1.0\ntl_x 0.0\ntl_y 0.0\nbr_x 40.0\nbr_y 30.0\n";
        setenv("SANE_CONFIG_DIR", m_config.Path().c_str(), 1);
        SaneLibrary::Shutdown();
    }
    ~SaneTestBackend() { SaneLibrary::Shutdown(); }

    // scanimage on the same configuration: its picture, as the program reads its TIFF.
    bool ScanImage(const std::string& arguments, CDib& picture) const
    {
        const std::string out = m_config.File("scanimage.tif");
        return std::system(("SANE_CONFIG_DIR='" + m_config.Path().string() +
                            "' scanimage --format=tiff " + arguments + " > '" + out +
                            "' 2>/dev/null")
                               .c_str()) == 0 &&
               picture.LoadFile(out, true);
    }

private:
    TempDir m_config;
};

// The frame's scanner with the SANE test back end beside the stand-in TWAIN manager; calls
// posted to the user-interface thread wait until the test runs them.
class SaneAcquisitionTest : public StandInTest {
protected:
    void SetUp() override
    {
        StandInTest::SetUp();
        m_scanner.SetSettings(&m_settings);
        m_scanner.SetNewDocumentHandler([this](const std::vector<std::uint8_t>& dib) {
            m_documents.push_back(dib);
            return true;
        });
        m_scanner.SetSourceChooser([this](const std::vector<std::string>& labels, int current) {
            m_offered = labels;
            m_current = current;
            return m_choice;
        });
        m_scanner.SetSaneAcquirer([this](const std::string& device) { m_acquired = device; });
    }
    void TearDown() override
    {
        m_scanner.DropToState(CTwain::kPreSession);
        StandInTest::TearDown();
    }
    // Runs the posted calls until the scan has finished.
    Outcome Finish()
    {
        for (m_outcome.reset(); !m_outcome;) {
            std::unique_lock<std::mutex> lock(m_mutex);
            m_wake.wait(lock, [this] { return !m_posted.empty(); });
            auto call = std::move(m_posted.front());
            m_posted.pop_front();
            lock.unlock();
            call();
        }
        return *m_outcome;
    }
    SaneAcquisition::Poster Poster()
    {
        return [this](std::function<void()> call) {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_posted.push_back(std::move(call));
            m_wake.notify_one();
        };
    }
    SaneAcquisition::Finished Done()
    {
        return [this](Outcome outcome) { m_outcome = outcome; };
    }

    SaneTestBackend m_backend;
    ScannerCommands m_scanner;
    std::vector<std::vector<std::uint8_t>> m_documents;
    std::vector<std::string> m_offered;
    int m_current = -1, m_choice = -1;
    std::string m_acquired;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<std::function<void()>> m_posted;
    std::optional<Outcome> m_outcome;
};

TEST_F(SaneAcquisitionTest, SelectSourceOffersBothKindsAndRemembersTheChoice)
{
    CommandState state;
    m_scanner.OnUpdateCommand(ID_SCAN_ACQUIRE, state);
    EXPECT_FALSE(state.enabled);
    m_choice = 1;
    ASSERT_TRUE(m_scanner.OnCommand(ID_SCAN_SELECT_SOURCE));
    ASSERT_EQ(m_offered.size(), 3u);
    EXPECT_EQ(m_offered[2], "TWAIN source manager");
    EXPECT_EQ(m_settings.GetString("Scanner", "Source", ""), "sane:test:1");
    m_scanner.OnUpdateCommand(ID_SCAN_ACQUIRE, state);
    EXPECT_TRUE(state.enabled);
    ASSERT_TRUE(m_scanner.OnCommand(ID_SCAN_ACQUIRE));
    EXPECT_EQ(m_acquired, "test:1");
    // The next choice starts from the remembered one; TWAIN goes through its own selection.
    m_choice = 2;
    m_scanner.OnCommand(ID_SCAN_SELECT_SOURCE);
    EXPECT_EQ(m_current, 1);
    EXPECT_EQ(m_settings.GetString("Scanner", "Source", ""), "twain");
    EXPECT_TRUE(m_scanner.ChosenSaneDevice().empty());
}

// The end-to-end scan: a scan becomes one document, a preview of the whole glass none; a
// failure is reported with the device named and no document.
TEST_F(SaneAcquisitionTest, ScanBecomesOneDocumentPreviewNoneAndFailuresAreReported)
{
    SaneAcquisition acquisition(m_scanner, Poster());
    EXPECT_FALSE(acquisition.Open("test:9"));
    ASSERT_EQ(m_ui.messages.size(), 1u);
    EXPECT_EQ(m_ui.messages[0].text,
              "The scanner test:9 reports: " + SaneLibrary::Get()->StatusText(SANE_STATUS_INVAL));
    ASSERT_TRUE(acquisition.Open("test:0"));
    SaneScanSettings settings{Mode::kGrey, 8, 100, 0, 0, 20, 10};
    int progressCalls = 0;
    ASSERT_TRUE(acquisition.Scan(
        settings, [&](double) { ++progressCalls; }, Done()));
    EXPECT_FALSE(acquisition.Scan(settings, {}, {})) << "one scan at a time";
    EXPECT_EQ(Finish(), Outcome::kDone);
    ASSERT_EQ(m_documents.size(), 1u);
    EXPECT_EQ(BitmapInfoHeader::Read(m_documents[0].data()).width, 78);
    EXPECT_GT(progressCalls, 0);

    DibBlock preview;
    ASSERT_TRUE(acquisition.Preview(
        settings, 10, [&](const DibBlock& dib) { preview = dib; }, {}, Done()));
    EXPECT_EQ(Finish(), Outcome::kDone);
    EXPECT_EQ(m_documents.size(), 1u);
    // The preview covers the whole glass (300 mm) at the low resolution.
    EXPECT_EQ(BitmapInfoHeader::Read(preview.data()).height, 118);
    EXPECT_EQ(m_ui.messages.size(), 1u);
    if (kSanitized)
        return;
    ASSERT_TRUE(acquisition.Scanner().SetOption("read-return-value", "SANE_STATUS_JAMMED"));
    ASSERT_TRUE(acquisition.Scan({}, {}, Done()));
    EXPECT_EQ(Finish(), Outcome::kFailed);
    EXPECT_EQ(m_documents.size(), 1u);
    ASSERT_EQ(m_ui.messages.size(), 2u);
    EXPECT_EQ(m_ui.messages[1].text,
              "The scanner test:0 reports: " + SaneLibrary::Get()->StatusText(SANE_STATUS_JAMMED));
}

class SaneScannerTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_scanner.Open("test:0")) << m_scanner.Error(); }

    SaneTestBackend m_backend;
    SaneScanner m_scanner;
};

// Each picture the test back end draws, against what scanimage makes of the same settings.
TEST_F(SaneScannerTest, PicturesMatchScanimagePixelForPixel)
{
    const struct {
        SaneScanSettings settings;
        std::vector<std::pair<const char*, const char*>> options;
        const char* scanimage;
    } cases[] = {
        {{Mode::kGrey, 8, 50}, {}, "--mode Gray --depth 8 --resolution 50"},
        {{Mode::kColour, 8, 50}, {}, "--mode Color --depth 8 --resolution 50"},
        {{Mode::kGrey, 16, 50}, {}, "--mode Gray --depth 16 --resolution 50"},
        {{Mode::kColour, 16, 50}, {}, "--mode Color --depth 16 --resolution 50"},
        {{Mode::kLineArt, 0, 75}, {}, "--mode Gray --depth 1 --resolution 75"},
        {{Mode::kColour, 8, 50},
         {{"three-pass", "yes"}, {"three-pass-order", "GBR"}},
         "--mode Color --depth 8 --resolution 50 --three-pass=yes --three-pass-order GBR"},
        {{Mode::kColour, 8, 100, 5, 5, 25, 20},
         {},
         "--mode Color --depth 8 --resolution 100 -l 5 -t 5 -x 20 -y 15"},
        // Last: the back end keeps this one for later openings.
        {{Mode::kGrey, 8, 20},
         {{"hand-scanner", "yes"}},
         "--mode Gray --depth 8 --resolution 20 --hand-scanner=yes"},
    };
    m_scanner.Close();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.scanimage);
        SaneScanner scanner;
        ASSERT_TRUE(scanner.Open("test:0"));
        ASSERT_TRUE(scanner.Apply(c.settings)) << scanner.Error();
        for (const auto& [name, value] : c.options)
            ASSERT_TRUE(scanner.SetOption(name, value)) << scanner.Error();
        const SaneScanResult result = scanner.Scan();
        ASSERT_EQ(result.outcome, Outcome::kDone) << result.message;
        if (kSanitized)
            continue;
        CDib expected;
        ASSERT_TRUE(m_backend.ScanImage(std::string("-d test:0 ") + c.scanimage, expected));
        const CDib scanned(result.dib.data(), result.dib.size());
        ASSERT_EQ(scanned.Width(), expected.Width());
        ASSERT_EQ(scanned.Height(), expected.Height());
        EXPECT_EQ(scanned.BitCount(), c.settings.mode == Mode::kLineArt ? 1
                                      : c.settings.mode == Mode::kGrey  ? 8
                                                                        : 24);
        int wrong = 0;
        for (int y = 0; y < expected.Height(); ++y)
            for (int x = 0; x < expected.Width(); ++x)
                wrong += scanned.PixelAt(x, y) != expected.PixelAt(x, y);
        EXPECT_EQ(wrong, 0);
    }
}

TEST_F(SaneScannerTest, CapabilitiesComeFromTheLibrary)
{
    const SaneCapabilities caps = m_scanner.Capabilities();
    EXPECT_EQ(caps.modes, (std::vector<Mode>{Mode::kColour, Mode::kGrey, Mode::kLineArt}));
    EXPECT_EQ(caps.maxResolution, 1200);
    EXPECT_TRUE(caps.hasArea);
    EXPECT_EQ(caps.bottom, 30) << "the area test.conf sets";
    // Values beyond the device's range are brought within it.
    SaneScanSettings settings;
    settings.resolution = 5000;
    ASSERT_TRUE(m_scanner.Apply(settings));
    EXPECT_FALSE(m_scanner.SetOption("no-such-option", "1"));
    EXPECT_NE(m_scanner.Error().find("no-such-option"), std::string::npos);
}

TEST_F(SaneScannerTest, WorkerScanCancelledHalfWayLeavesTheDeviceUsable)
{
    if (kSanitized)
        GTEST_SKIP() << "the back end's reader is cancelled mid-way";
    ASSERT_TRUE(m_scanner.Apply({Mode::kColour, 8, 300}));
    SaneScanJob job;
    std::promise<SaneScanResult> done;
    double last = 0;
    const auto progress = [&](double fraction) {
        if ((last = fraction) >= 0.5)
            job.Cancel();
    };
    ASSERT_TRUE(job.Start(m_scanner, progress, [&](SaneScanResult r) { done.set_value(r); }));
    const SaneScanResult result = done.get_future().get();
    EXPECT_EQ(result.outcome, Outcome::kCancelled);
    EXPECT_TRUE(result.dib.empty());
    EXPECT_GE(last, 0.5);
    EXPECT_LT(last, 1.0);
    job.Wait();
    std::promise<SaneScanResult> again;
    ASSERT_TRUE(job.Start(m_scanner, {}, [&](SaneScanResult r) { again.set_value(r); }));
    EXPECT_EQ(again.get_future().get().outcome, Outcome::kDone);
}

TEST(SaneLibraryTest, WithoutTheLibraryNothingIsListedAndOpenExplains)
{
    SaneLibrary::Shutdown();
    SaneLibrary::SetLibraryName("libsane-not-installed.so.1");
    std::string error;
    EXPECT_TRUE(SaneScanner::Devices(&error).empty());
    EXPECT_NE(error.find("libsane"), std::string::npos);
    SaneScanner scanner;
    EXPECT_FALSE(scanner.Open("test:0"));
    EXPECT_NE(scanner.Error().find("test:0"), std::string::npos);
    SaneLibrary::Shutdown();
    SaneLibrary::SetLibraryName("libsane.so.1");
}

} // namespace
