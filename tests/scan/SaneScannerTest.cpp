#include "scan/SaneScanner.h"
#include "image/DibUtil.h"
#include "scan/SaneLibrary.h"
#include "scan/SaneScanJob.h"
#include "scan/support/SaneTestBackend.h"

#include <gtest/gtest.h>

#include <future>
#include <utility>

namespace {

using Mode = SaneScanSettings::Mode;
using Outcome = SaneScanResult::Outcome;

class SaneScannerTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_scanner.Open("test:0")) << m_scanner.Error(); }

    SaneTestBackend m_backend;
    SaneScanner m_scanner;
};

struct PictureCase {
    const char* name;
    SaneScanSettings settings;
    std::vector<std::pair<const char*, const char*>> options;
    const char* scanimage;
};

// Each picture the test back end draws, against what scanimage makes of the same settings.
TEST_F(SaneScannerTest, PicturesMatchScanimagePixelForPixel)
{
    const std::vector<PictureCase> cases = {
        {"grey 8", {Mode::kGrey, 8, 50}, {}, "--mode Gray --depth 8 --resolution 50"},
        {"colour 8", {Mode::kColour, 8, 50}, {}, "--mode Color --depth 8 --resolution 50"},
        {"grey 16", {Mode::kGrey, 16, 50}, {}, "--mode Gray --depth 16 --resolution 50"},
        {"colour 16", {Mode::kColour, 16, 50}, {}, "--mode Color --depth 16 --resolution 50"},
        {"line art", {Mode::kLineArt, 0, 75}, {}, "--mode Gray --depth 1 --resolution 75"},
        {"three-pass",
         {Mode::kColour, 8, 50},
         {{"three-pass", "yes"}, {"three-pass-order", "GBR"}},
         "--mode Color --depth 8 --resolution 50 --three-pass=yes --three-pass-order GBR"},
        {"area",
         {Mode::kColour, 8, 100, 5, 5, 25, 20},
         {},
         "--mode Color --depth 8 --resolution 100 -l 5 -t 5 -x 20 -y 15"},
        // Last: the back end keeps this one for later openings.
        {"unknown length",
         {Mode::kGrey, 8, 20},
         {{"hand-scanner", "yes"}},
         "--mode Gray --depth 8 --resolution 20 --hand-scanner=yes"},
    };
    m_scanner.Close();
    for (const PictureCase& c : cases) {
        SCOPED_TRACE(c.name);
        SaneScanner scanner;
        ASSERT_TRUE(scanner.Open("test:0"));
        ASSERT_TRUE(scanner.Apply(c.settings)) << scanner.Error();
        for (const auto& [name, value] : c.options)
            ASSERT_TRUE(scanner.SetOption(name, value)) << scanner.Error();
        const SaneScanResult result = scanner.Scan();
        ASSERT_EQ(result.outcome, Outcome::kDone) << result.message;
        if (UnderAddressSanitizer())
            continue;
        int width = 0, height = 0, channels = 0;
        std::vector<std::uint8_t> expected;
        ASSERT_TRUE(m_backend.ScanImage(std::string("-d test:0 ") + c.scanimage, width, height,
                                        channels, expected));
        const BitmapInfoHeader header = BitmapInfoHeader::Read(result.dib.data());
        ASSERT_EQ(header.width, width);
        ASSERT_EQ(header.height, height);
        EXPECT_EQ(header.bitCount, c.settings.mode == Mode::kLineArt ? 1 : channels * 8);
        int wrong = 0;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                std::uint8_t rgb[3];
                DibPixel(result.dib, x, y, rgb);
                for (int k = 0; k < 3; ++k)
                    wrong += rgb[k] != expected[(y * width + x) * channels + k % channels];
            }
        EXPECT_EQ(wrong, 0);
    }
}

TEST_F(SaneScannerTest, DevicesAndCapabilitiesComeFromTheLibrary)
{
    const std::vector<SaneDevice> devices = SaneScanner::Devices();
    ASSERT_EQ(devices.size(), 2u);
    EXPECT_EQ(devices[1].name, "test:1");
    const SaneCapabilities caps = m_scanner.Capabilities();
    EXPECT_EQ(caps.modes, (std::vector<Mode>{Mode::kColour, Mode::kGrey, Mode::kLineArt}));
    EXPECT_EQ(caps.maxResolution, 1200);
    EXPECT_TRUE(caps.hasArea);
    EXPECT_EQ(caps.areaHeight, 300);
    EXPECT_EQ(caps.bottom, 30) << "the area test.conf sets";
    // Values beyond the device's range are brought within it.
    SaneScanSettings settings;
    settings.resolution = 5000;
    ASSERT_TRUE(m_scanner.Apply(settings));
    EXPECT_FALSE(m_scanner.SetOption("no-such-option", "1"));
    EXPECT_NE(m_scanner.Error().find("no-such-option"), std::string::npos);
}

// Every status the back end can be told to answer sane_read with ends the scan with a
// message naming the device and the library's text, and no picture.
TEST_F(SaneScannerTest, ReadFailuresGiveTheDeviceAndStatusAndNoPicture)
{
    if (UnderAddressSanitizer())
        GTEST_SKIP() << "the back end's reader is cancelled mid-way";
    const std::pair<const char*, SANE_Status> failures[] = {
        {"SANE_STATUS_DEVICE_BUSY", SANE_STATUS_DEVICE_BUSY},
        {"SANE_STATUS_JAMMED", SANE_STATUS_JAMMED},
        {"SANE_STATUS_COVER_OPEN", SANE_STATUS_COVER_OPEN},
        {"SANE_STATUS_NO_DOCS", SANE_STATUS_NO_DOCS},
        {"SANE_STATUS_IO_ERROR", SANE_STATUS_IO_ERROR},
    };
    for (const auto& [value, status] : failures) {
        ASSERT_TRUE(m_scanner.SetOption("read-return-value", value)) << m_scanner.Error();
        const SaneScanResult result = m_scanner.Scan();
        EXPECT_EQ(result.outcome, Outcome::kFailed) << value;
        EXPECT_TRUE(result.dib.empty());
        EXPECT_EQ(result.message,
                  "The scanner test:0 reports: " + SaneLibrary::Get()->StatusText(status));
    }
    ASSERT_TRUE(m_scanner.SetOption("read-return-value", "Default"));
    EXPECT_EQ(m_scanner.Scan().outcome, Outcome::kDone) << "the device is usable after";
}

TEST_F(SaneScannerTest, WorkerScanCancelledHalfWayLeavesTheDeviceUsable)
{
    if (UnderAddressSanitizer())
        GTEST_SKIP() << "the back end's reader is cancelled mid-way";
    SaneScanSettings settings{Mode::kColour, 8, 300};
    ASSERT_TRUE(m_scanner.Apply(settings));
    SaneScanJob job;
    std::promise<SaneScanResult> done;
    double last = 0;
    ASSERT_TRUE(job.Start(
        m_scanner,
        [&](double fraction) {
            last = fraction;
            if (fraction >= 0.5)
                job.Cancel();
        },
        [&](SaneScanResult result) { done.set_value(std::move(result)); }));
    const SaneScanResult result = done.get_future().get();
    EXPECT_EQ(result.outcome, Outcome::kCancelled);
    EXPECT_TRUE(result.dib.empty());
    EXPECT_GE(last, 0.5);
    EXPECT_LT(last, 1.0);
    job.Wait();

    std::promise<SaneScanResult> again;
    ASSERT_TRUE(job.Start(m_scanner, {}, [&](SaneScanResult r) { again.set_value(std::move(r)); }));
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
