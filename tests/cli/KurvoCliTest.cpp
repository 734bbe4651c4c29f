#include "document/CKurvoDoc.h"
#include "image/BmpFile.h"
#include "image/CDib.h"
#include "image/DibUtil.h"
#include "image/support/TestDibs.h"
#include "image/support/TestTiff.h"
#include "platform/Archive.h"
#include "support/TempDir.h"
#include "support/TestPdf.h"
#include "tasks/PlotData.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <tuple>

#include <sys/stat.h>
#include <sys/wait.h>

namespace {

const std::string kCli = std::string(KURVO_BINARY_DIR) + "/bin/kurvo-cli";
const std::string kSample = "'" + std::string(KURVO_SOURCE_DIR) + "/examples/sample-plot.kvx'";

// kurvo-cli's standard output and error, and its exit code.
struct CliRun {
    std::string out, err;
    int code = -1;
};

class Cli : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(std::filesystem::exists(kCli)) << "build kurvo-cli first";
        std::ofstream(m_dir.File("notes.txt")) << "just some words";
        ASSERT_TRUE(WriteTestPdf(m_dir.File("two.pdf"), {{72, 144, ""}, {144, 72, ""}}));
    }
    // The quoted path of a file in the temporary folder.
    std::string Q(const std::string& name) const { return "'" + m_dir.File(name) + "'"; }
    CliRun Run(const std::string& args) const
    {
        CliRun r;
        FILE* p = popen(("'" + kCli + "' " + args + " 2>" + Q("stderr.txt")).c_str(), "r");
        if (!p)
            return r;
        char buf[512];
        for (size_t n; (n = fread(buf, 1, sizeof buf, p)) > 0;)
            r.out.append(buf, n);
        const int status = pclose(p);
        r.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        std::ifstream in(m_dir.File("stderr.txt"));
        r.err.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        return r;
    }
    TempDir m_dir;
};

TEST_F(Cli, UsageErrorsExitWithTwo)
{
    const std::string pdf = " " + Q("two.pdf");
    for (const std::string& args :
         {std::string("info"), std::string("export only-one-argument"),
          std::string("frobnicate a b"), "info --page" + pdf, "info --page 0" + pdf,
          "info --dpi 7x" + pdf, "info --page 1 --page 2" + pdf,
          "info " + Q("notes.txt") + " --page 1", "extract " + kSample + " -",
          "extract " + kSample + " --colour red -",
          "extract " + kSample + " --colour '#000000' --method snake -",
          "extract " + kSample + " --colour '#000000' --area 9:3 -",
          "extract " + kSample + " --colour '#000000' --step -1 -"}) {
        const CliRun r = Run(args);
        EXPECT_EQ(r.code, 2) << args;
        EXPECT_EQ(r.out, "") << args;
    }
}

// Files that are no pictures (folders, pipes and devices too, named directly or by a project's
// image reference), pictures cut short and absent pages: every command fails with the
// program's message, neither aborting nor waiting.
TEST_F(Cli, FailuresExitWithOneAndTheProgramsMessage)
{
    const std::string fifo = m_dir.File("pipe");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    CKurvoDoc doc;
    ASSERT_TRUE(doc.OnNewDocument());
    doc.GetPlotData()->SetImagePath(m_dir.Path().string());
    doc.GetPlotData()->SetSaveReference(true);
    Archive ar;
    doc.Serialize(ar);
    ASSERT_TRUE(ar.SaveFile(m_dir.File("ref.kvx")));
    // A TIFF whose directory is sound and whose strip libtiff cannot decode.
    ASSERT_TRUE(testdibs::WriteUndecodableTiff(m_dir.File("cut.tif")));
    EXPECT_EQ(Run("info " + Q("cut.tif")).code, 0) << "the directory alone is read";

    std::vector<std::pair<std::string, std::string>> cases = {
        {"export " + Q("notes.txt") + " -",
         "Unknown file type detected...\nNot a known image or restart  file."},
        {"image " + Q("cut.tif") + " " + Q("out.bmp"), m_dir.File("cut.tif") + " Error: "},
        {"info " + Q("two.pdf") + " --page 3", ""},
    };
    for (const std::string& path :
         {m_dir.Path().string(), fifo, std::string("/dev/zero"), m_dir.File("ref.kvx")})
        for (const std::string command : {"info '", "export '", "image '"})
            cases.push_back(
                {command + path + "' " + (command == "info '" ? "" : Q("out.bmp")), ""});
    for (const auto& [args, message] : cases) {
        const CliRun r = Run(args);
        EXPECT_EQ(r.code, 1) << args;
        EXPECT_NE(r.err.find("kurvo-cli: " + message), std::string::npos) << args << r.err;
        EXPECT_EQ(r.out, "") << args;
    }
}

TEST_F(Cli, BitmapProjectExportAndImageRoundTrip)
{
    BitmapInfoHeader h;
    h.bitCount = 8;
    const DibBlock dib = *MakeDib(h, 16, 9, nullptr);
    ASSERT_TRUE(WriteBmpFile(m_dir.File("scan.bmp"), dib.data(), dib.size()));
    ASSERT_EQ(Run("project " + Q("scan.bmp") + " " + Q("p.kvx")).code, 0);
    CliRun r = Run("info " + Q("p.kvx"));
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.find("File Name: p.kvx\nFile Format: BMP\nImage Width: 16\nImage Height: 9\n"),
              std::string::npos)
        << r.out;
    // The project holds one empty set: its name line only.
    r = Run("export " + Q("p.kvx") + " -");
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, "Line 1\n");
    r = Run("export " + Q("p.kvx") + " " + Q("out.csv"));
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, "kurvo-cli: No points to save!\n");
    EXPECT_FALSE(std::filesystem::exists(m_dir.File("out.csv")));
    ASSERT_EQ(Run("image " + Q("p.kvx") + " " + Q("back.bmp")).code, 0);
    CDib back;
    ASSERT_TRUE(back.LoadFile(m_dir.File("back.bmp")));
    EXPECT_EQ(back.Block(), dib);
}

// The bundled sample project: its two curves and its ring markers come out by colour, each
// as the export writes a set, the values on the curves that drew them.
TEST_F(Cli, ExtractTheSamplePlotByColour)
{
    const auto rising = [](double t) { return 42 * (1 - std::exp(-t / 2.2)) - 30; };
    const struct {
        std::string options;
        std::function<double(double)> truth;
        std::size_t minimum, maximum;
        double tolerance;
    } cases[] = {
        {"--colour '#1E46BE'",
         [](double t) { return 48 * std::exp(-t / 3.2) * std::cos(2 * M_PI * t / 2.7) + 4; }, 800,
         900, 0.2},
        {"--colour '#c82828' --step 0.25", rising, 30, 41, 0.3},
        {"--colour '#148C3C' --method markers --area 20:200 --box 140,60,1060,730", rising, 21, 21,
         0.05},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.options);
        const CliRun r = Run("extract " + kSample + " " + c.options + " " + Q("out.csv"));
        ASSERT_EQ(r.code, 0) << r.err;
        std::ifstream in(m_dir.File("out.csv"));
        std::string line;
        std::getline(in, line); // the set's name
        std::getline(in, line); // the column titles
        std::size_t n = 0;
        for (double x, y; in >> x && in.ignore(1) && in >> y; ++n) {
            EXPECT_NEAR(y, c.truth(x), c.tolerance) << " at " << x;
            if (c.options.find("--step 0.25") != std::string::npos) {
                EXPECT_EQ(x, std::round(x * 4) / 4); // the steps exactly
            }
        }
        EXPECT_GE(n, c.minimum);
        EXPECT_LE(n, c.maximum);
    }
}

// info reads only the header, and says what opening the picture says; --page and --dpi choose
// a PDF's page, and a project of a page keeps it.
TEST_F(Cli, InfoFromTheHeaderMatchesTheOpenedPicture)
{
    using namespace testdibs;
    const auto tiff = [&](const char* name, const TiffImage& s) {
        EXPECT_TRUE(WriteTiff(m_dir.File(name), s, TiffRows(s)));
        return std::string(name);
    };
    const auto bmp = [&](const char* name, int bits) {
        const DibBlock dib = Make(9, 5, bits);
        EXPECT_TRUE(WriteBmpFile(m_dir.File(name), dib.data(), dib.size()));
        return std::string(name);
    };
    const std::string names[] = {
        tiff("grey16.tif", {9, 5, 16, 1}),
        tiff("rgb.tif", {9, 5, 8, 3, PHOTOMETRIC_RGB, COMPRESSION_LZW}),
        tiff("tiled.tif", {19, 16, 8, 3, PHOTOMETRIC_RGB, COMPRESSION_LZW, 1, 0, true}),
        tiff("bw.tif", {9, 5, 1}),
        bmp("p4.bmp", 4),
        bmp("c32.bmp", 32),
        "two.pdf",
        "two.pdf#page=2&dpi=30",
    };
    for (const std::string& name : names) {
        CKurvoDoc doc;
        ASSERT_TRUE(doc.OnOpenDocument(m_dir.File(name))) << name;
        std::string opened = doc.ImageInfo();
        opened.erase(std::remove(opened.begin(), opened.end(), '\r'), opened.end());
        const CliRun r = Run("info " + Q(name));
        EXPECT_EQ(r.code, 0) << name;
        EXPECT_EQ(r.out, opened) << name;
    }
    const CliRun r = Run("info --page 2 " + Q("two.pdf") + " --dpi 50");
    EXPECT_EQ(r.code, 0);
    EXPECT_NE(r.out.find("PDF, page 2 of 2 at 50 dpi\nImage Width: 100\nImage Height: 50\n"),
              std::string::npos)
        << r.out;
    ASSERT_EQ(Run("project --page 2 " + Q("two.pdf") + " " + Q("p.kvx")).code, 0);
    EXPECT_NE(Run("info " + Q("p.kvx")).out.find("Image Width: 600\nImage Height: 300\n"),
              std::string::npos);
}

// kurvo-cli scan with libsane's test back end, configured in the test's own folder.
TEST_F(Cli, ScanListsDevicesAndScansInEachModeToBitmapOrProject)
{
    std::ofstream(m_dir.File("dll.conf")) << "test\n";
    std::ofstream(m_dir.File("test.conf"))
        << "number_of_devices 2\ntest-picture \"Color pattern\"\nbr_x 40.0\nbr_y 30.0\n";
    setenv("SANE_CONFIG_DIR", m_dir.Path().c_str(), 1);
    // libsane's test back end leaks a string and is unloaded by sane_exit, so a sanitized
    // kurvo-cli cannot tell its leak from one of its own: leaks are not checked here (the
    // scanner tests check the scanner code for leaks).
    const char* asan = std::getenv("ASAN_OPTIONS");
    const std::string saved = asan ? asan : "";
    setenv("ASAN_OPTIONS", (saved + ":detect_leaks=0").c_str(), 1);

    const CliRun list = Run("scan --list");
    EXPECT_EQ(list.code, 0) << list.err;
    EXPECT_EQ(list.out.rfind("test:0\t", 0), 0u) << list.out;
    EXPECT_NE(list.out.find("\ntest:1\t"), std::string::npos);
    for (const auto& [args, width, height, bits] :
         {std::tuple{"--mode color --resolution 100", 157, 118, 24},
          {"--mode gray --resolution 50", 78, 59, 8},
          {"--mode lineart --resolution 50", 78, 59, 1}}) {
        SCOPED_TRACE(args);
        const CliRun run = Run("scan test:0 " + Q("out.bmp") + " " + args);
        ASSERT_EQ(run.code, 0) << run.err;
        const std::optional<DibBlock> dib = ReadBmpFile(m_dir.File("out.bmp"));
        ASSERT_TRUE(dib);
        const BitmapInfoHeader h = BitmapInfoHeader::Read(dib->data());
        EXPECT_EQ(std::tuple(h.width, h.height, int(h.bitCount)), std::tuple(width, height, bits));
    }
    ASSERT_EQ(Run("scan test:1 " + Q("out.kvx") + " --resolution 50").code, 0);
    CKurvoDoc doc;
    ASSERT_TRUE(doc.OnOpenDocument(m_dir.File("out.kvx")));
    EXPECT_TRUE(doc.IsImageLoaded());

    std::filesystem::remove(m_dir.File("out.bmp"));
    const CliRun missing = Run("scan test:5 " + Q("out.bmp"));
    EXPECT_EQ(missing.code, 1);
    EXPECT_NE(missing.err.find("test:5"), std::string::npos) << missing.err;
    for (const std::string& args : {"scan test:0 " + Q("out.txt"), std::string("scan test:0"),
                                    "scan test:0 " + Q("out.bmp") + " --mode sepia"})
        EXPECT_EQ(Run(args).code, 2) << args;
    EXPECT_FALSE(std::filesystem::exists(m_dir.File("out.bmp")));
    setenv("ASAN_OPTIONS", saved.c_str(), 1);
}

} // namespace
