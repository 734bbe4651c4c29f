// kurvo-cli: the headless front end of Kurvo.
//
//   kurvo-cli info FILE           the image information of FILE (an image or a project)
//   kurvo-cli export FILE OUT     all data sets of FILE as Save writes OUT's format (.txt,
//                                 .csv); OUT "-" writes the clipboard text to standard output
//   kurvo-cli image FILE OUT.bmp  the image of FILE as a Windows bitmap (or OUT.png, a PNG)
//   kurvo-cli project IMAGE OUT.kvx   IMAGE as a new project with the image embedded
//   kurvo-cli extract PROJECT.kvx --colour '#RRGGBB' [options] OUT
//                                 points found by colour through the project's mapping,
//                                 written as export writes them
//   kurvo-cli scan DEVICE OUT.kvx|OUT.bmp [--mode M] [--resolution R]
//                                 a picture scanned through SANE, as a new project or bitmap
//   kurvo-cli scan --list         the SANE devices, one a line: name, tab, description
//
// A PDF gives its first page at 300 dpi; --page N and --dpi D choose another page and
// resolution.
//
// Failures exit 1 with the program's message on standard error; usage errors exit 2.
#include "document/CKurvoDoc.h"
#include "document/ImageInfoText.h"
#include "document/PointsExport.h"
#include "document/SaveFormat.h"
#include "document/ScannedImage.h"
#include "extract/Extract.h"
#include "image/PdfFile.h"
#include "image/PictureHeader.h"
#include "model/DbSetMgr.h"
#include "model/DbSetX3.h"
#include "platform/HeadlessUiServices.h"
#include "scan/SaneLibrary.h"
#include "scan/SaneScanner.h"
#include "tasks/AddPointsTask.h"
#include "tasks/PlotData.h"

#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

namespace {

// Message boxes become lines on standard error; those of libtiff carry their title.
class CliUiServices : public HeadlessUiServices {
public:
    CliUiServices() : HeadlessUiServices(nullptr) {}
    MsgResult MessageBox(const std::string& text, const std::string& caption, MsgButtons buttons,
                         MsgIcon icon) override
    {
        if (caption.empty() || caption == "Kurvo")
            std::fprintf(stderr, "kurvo-cli: %s\n", text.c_str());
        else
            std::fprintf(stderr, "kurvo-cli: %s: %s\n", caption.c_str(), text.c_str());
        return HeadlessUiServices::MessageBox(text, caption, buttons, icon);
    }
};

const char* const kUsage =
    "Usage: kurvo-cli COMMAND [ARGUMENTS]\n"
    "\n"
    "Commands:\n"
    "  info FILE              describe the image of FILE (a picture or a project)\n"
    "  export FILE OUT        write all data sets of FILE to OUT (.txt points only, .csv\n"
    "                         comma separated); OUT - writes tab-separated text to stdout\n"
    "  image FILE OUT.bmp     write the image of FILE as a Windows bitmap (OUT.png: a PNG)\n"
    "  project IMAGE OUT.kvx  save IMAGE as a new project with the image embedded\n"
    "  extract PROJECT --colour '#RRGGBB' [OPTIONS] OUT\n"
    "                         extract points of one colour through the project's mapping\n"
    "                         and write them as export does (kurvo-cli extract --help)\n"
    "  scan DEVICE OUT [--mode color|gray|lineart] [--resolution DPI]\n"
    "                         scan a picture from a SANE device into OUT (.kvx or .bmp)\n"
    "  scan --list            list the SANE devices\n"
    "\n"
    "Options for a PDF FILE or IMAGE:\n"
    "  --page N               the page to open (from 1; default 1)\n"
    "  --dpi D                the resolution to render it at (10 ... 2400; default 300)\n"
    "\n"
    "  --help                 show this text\n"
    "  --version              show the program's version\n";

const char* const kExtractUsage =
    "Usage: kurvo-cli extract PROJECT.kvx --colour '#RRGGBB' [OPTIONS] OUT.csv|OUT.txt|-\n"
    "\n"
    "Finds the points drawn in one colour inside the project's mapping region and writes\n"
    "them in graph units, as export writes a data set (- prints tab-separated text).\n"
    "\n"
    "Options:\n"
    "  --colour '#RRGGBB'     the colour to extract (required)\n"
    "  --tolerance N          how far (RGB distance, 0-442) a pixel may be from the colour;\n"
    "                         anti-aliased edges blending it with the paper count too\n"
    "                         (default 60)\n"
    "  --method curve|window|markers\n"
    "                         curve: one point per X step on the line of that colour\n"
    "                         (default); window: the centroid of each cell of matching\n"
    "                         pixels; markers: the centre of each blob of matching pixels\n"
    "  --step X               curve: the X step in graph units; log:D steps by D decades\n"
    "                         (default: one pixel of the region's width)\n"
    "  --join N               curve: bridge gaps up to N pixels (default 0: gaps stay open)\n"
    "  --window WxH           window: the cell size in pixels (default 8x8)\n"
    "  --area MIN:MAX         markers: the blob area in pixels (default 5:400); larger blobs\n"
    "                         (touching markers) are counted as merged, not reported\n"
    "  --box X0,Y0,X1,Y1      look only inside this box of image pixels\n"
    "\n"
    "The number of points (and of merged blobs) is reported on standard error.\n";

// Takes "--page N" and "--dpi D" out of args; false for a malformed or repeated option.
bool TakePageOptions(std::vector<std::string>& args, int* page, int* dpi)
{
    for (std::size_t i = 0; i < args.size();) {
        int* target = args[i] == "--page" ? page : args[i] == "--dpi" ? dpi : nullptr;
        if (!target) {
            ++i;
            continue;
        }
        if (*target != 0 || i + 1 >= args.size())
            return false;
        const std::string& text = args[i + 1];
        const std::from_chars_result r =
            std::from_chars(text.data(), text.data() + text.size(), *target);
        if (r.ec != std::errc() || r.ptr != text.data() + text.size() || *target < 1)
            return false;
        args.erase(args.begin() + static_cast<std::ptrdiff_t>(i),
                   args.begin() + static_cast<std::ptrdiff_t>(i + 2));
    }
    return true;
}

int Usage()
{
    std::fputs(kUsage, stderr);
    return 2;
}

std::string WithoutCarriageReturns(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (char c : text)
        if (c != '\r')
            out += c;
    return out;
}

int Info(CKurvoDoc& doc)
{
    if (!doc.IsImageLoaded()) {
        std::fputs("kurvo-cli: the file holds no image\n", stderr);
        return 1;
    }
    std::fputs(WithoutCarriageReturns(doc.ImageInfo()).c_str(), stdout);
    return 0;
}

int Export(CKurvoDoc& doc, const std::string& out)
{
    if (out == "-") {
        const std::string text = PointsText(*doc.GetPlotData(), kClipSeparator);
        std::fwrite(text.data(), 1, text.size(), stdout);
        return std::fflush(stdout) == 0 ? 0 : 1;
    }
    const int format = FormatFromPath(out, -1);
    if (format != kFormatText && format != kFormatCsv) {
        std::fputs("kurvo-cli: the output of export must end in .txt or .csv\n", stderr);
        return 2;
    }
    return doc.OnSaveDocument(out) ? 0 : 1;
}

int Image(CKurvoDoc& doc, const std::string& out)
{
    const int format = FormatFromPath(out, -1);
    if (format != kFormatBitmap && format != kFormatPng) {
        std::fputs("kurvo-cli: the output of image must end in .bmp or .png\n", stderr);
        return 2;
    }
    return doc.OnSaveDocument(out) ? 0 : 1;
}

int Project(CKurvoDoc& doc, const std::string& out)
{
    if (FormatFromPath(out, -1) != kFormatProject) {
        std::fputs("kurvo-cli: the output of project must end in .kvx\n", stderr);
        return 2;
    }
    if (!doc.IsImageLoaded()) {
        std::fputs("kurvo-cli: the file holds no image\n", stderr);
        return 1;
    }
    doc.GetPlotData()->SetSaveReference(false);
    return doc.OnSaveDocument(out) ? 0 : 1;
}

bool ParseNumber(const std::string& text, double& out)
{
    char* end = nullptr;
    out = std::strtod(text.c_str(), &end);
    return !text.empty() && end && *end == '\0' && std::isfinite(out);
}

// Two numbers joined by sep ("8x8", "5:400").
bool ParsePair(const std::string& text, char sep, double& a, double& b)
{
    const auto at = text.find(sep);
    return at != std::string::npos && ParseNumber(text.substr(0, at), a) &&
           ParseNumber(text.substr(at + 1), b);
}

// The options of extract; false (with a message) on a usage error.
bool ParseExtract(const std::vector<std::string>& args, ExtractOptions& o, std::string& project,
                  std::string& out)
{
    std::vector<std::string> files;
    bool haveColour = false;
    auto fail = [](const std::string& message) {
        std::fprintf(stderr, "kurvo-cli: %s\n", message.c_str());
        return false;
    };
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a.size() < 2 || a.compare(0, 2, "--") != 0) {
            files.push_back(a);
            continue;
        }
        if (i + 1 >= args.size())
            return fail(a + " needs a value");
        const std::string& v = args[++i];
        double x = 0, y = 0;
        if (a == "--colour" || a == "--color") {
            if (!ParseColour(v, o.colour))
                return fail("--colour takes #RRGGBB, not " + v);
            haveColour = true;
        } else if (a == "--tolerance") {
            if (!ParseNumber(v, x) || x < 0 || x > 442)
                return fail("--tolerance takes a number from 0 to 442");
            o.tolerance = x;
        } else if (a == "--method") {
            if (v == "curve")
                o.method = ExtractOptions::kCurve;
            else if (v == "window")
                o.method = ExtractOptions::kWindow;
            else if (v == "markers")
                o.method = ExtractOptions::kMarkers;
            else
                return fail("--method takes curve, window or markers");
        } else if (a == "--step") {
            o.logStep = v.compare(0, 4, "log:") == 0;
            if (!ParseNumber(o.logStep ? v.substr(4) : v, x) || x <= 0)
                return fail("--step takes a positive number or log:DECADES");
            o.step = x;
        } else if (a == "--join") {
            if (!ParseNumber(v, x) || x < 0)
                return fail("--join takes a number of pixels");
            o.joinGaps = x;
        } else if (a == "--window") {
            if (!ParsePair(v, 'x', x, y) || x < 1 || y < 1 || x > 1e5 || y > 1e5)
                return fail("--window takes WxH in pixels");
            o.windowWidth = static_cast<int>(x);
            o.windowHeight = static_cast<int>(y);
        } else if (a == "--area") {
            if (!ParsePair(v, ':', x, y) || x < 0 || y < x || y > 2e9)
                return fail("--area takes MIN:MAX in pixels");
            o.minArea = static_cast<int>(x);
            o.maxArea = static_cast<int>(y);
        } else if (a == "--box") {
            double c[4];
            std::string rest = v;
            for (int k = 0; k < 4; ++k) {
                const auto at = k < 3 ? rest.find(',') : rest.size();
                if (at == std::string::npos || !ParseNumber(rest.substr(0, at), c[k]) ||
                    std::fabs(c[k]) > 1e9)
                    return fail("--box takes X0,Y0,X1,Y1 in image pixels");
                rest = k < 3 ? rest.substr(at + 1) : "";
            }
            o.box = {static_cast<int>(c[0]), static_cast<int>(c[1]), static_cast<int>(c[2]),
                     static_cast<int>(c[3])};
            o.box.Normalize();
        } else {
            return fail("unknown option " + a);
        }
    }
    if (!haveColour)
        return fail("extract needs --colour");
    if (files.size() != 2)
        return fail("extract takes one project and one output");
    project = files[0];
    out = files[1];
    return true;
}

int ExtractPoints(CKurvoDoc& doc, const ExtractOptions& options, const std::string& out)
{
    if (out != "-") {
        const int format = FormatFromPath(out, -1);
        if (format != kFormatText && format != kFormatCsv) {
            std::fputs("kurvo-cli: the output of extract must end in .txt or .csv\n", stderr);
            return 2;
        }
    }
    PlotData& data = *doc.GetPlotData();
    if (!doc.IsImageLoaded()) {
        std::fputs("kurvo-cli: the file holds no image\n", stderr);
        return 1;
    }
    const ExtractResult r = Extract(*data.GetImage(), *data.GetTransform(), options);
    if (!r.error.empty()) {
        std::fprintf(stderr, "kurvo-cli: %s\n", r.error.c_str());
        return 1;
    }
    if (options.method == ExtractOptions::kMarkers)
        std::fprintf(stderr, "kurvo-cli: %zu points, %d merged blobs\n", r.pixels.size(),
                     r.mergedBlobs);
    else
        std::fprintf(stderr, "kurvo-cli: %zu points\n", r.pixels.size());
    // The project is not written back: its sets make way for the one extracted.
    data.ClearAll();
    if (!r.pixels.empty() &&
        !data.Execute(std::make_unique<AddPointsTask>(&data, r.pixels, r.graph)))
        return 1;
    return Export(doc, out);
}

int ListScanners()
{
    std::string error;
    const std::vector<SaneDevice> devices = SaneScanner::Devices(&error);
    if (!error.empty()) {
        std::fprintf(stderr, "kurvo-cli: %s\n", error.c_str());
        return 1;
    }
    for (const SaneDevice& device : devices)
        std::printf("%s\t%s %s %s\n", device.name.c_str(), device.vendor.c_str(),
                    device.model.c_str(), device.type.c_str());
    return 0;
}

int Scan(const std::vector<std::string>& args)
{
    const std::string& device = args[1];
    const std::string& out = args[2];
    const int format = FormatFromPath(out, -1);
    if (format != kFormatProject && format != kFormatBitmap) {
        std::fputs("kurvo-cli: the output of scan must end in .kvx or .bmp\n", stderr);
        return 2;
    }
    SaneScanSettings settings;
    for (std::size_t i = 3; i < args.size(); i += 2) {
        if (i + 1 >= args.size())
            return Usage();
        const std::string& value = args[i + 1];
        if (args[i] == "--mode" && (value == "color" || value == "colour"))
            settings.mode = SaneScanSettings::Mode::kColour;
        else if (args[i] == "--mode" && (value == "gray" || value == "grey"))
            settings.mode = SaneScanSettings::Mode::kGrey;
        else if (args[i] == "--mode" && value == "lineart")
            settings.mode = SaneScanSettings::Mode::kLineArt;
        else if (args[i] == "--resolution" && std::atof(value.c_str()) > 0)
            settings.resolution = std::atof(value.c_str());
        else
            return Usage();
    }
    SaneScanner scanner;
    if (!scanner.Open(device) || !scanner.Apply(settings)) {
        std::fprintf(stderr, "kurvo-cli: %s\n", scanner.Error().c_str());
        return 1;
    }
    SaneScanResult result = scanner.Scan();
    scanner.Close();
    if (result.outcome != SaneScanResult::Outcome::kDone) {
        std::fprintf(stderr, "kurvo-cli: %s\n", result.message.c_str());
        return 1;
    }
    CKurvoDoc doc;
    if (!doc.OnNewDocument() || !TakeScannedImage(doc, std::move(result.dib))) {
        std::fputs("kurvo-cli: the scanner's picture could not be taken\n", stderr);
        return 1;
    }
    doc.GetPlotData()->SetSaveReference(false);
    return doc.OnSaveDocument(out) ? 0 : 1;
}

// The scanner commands, with the library shut down after them.
int ScanCommand(const std::vector<std::string>& args)
{
    CliUiServices services;
    SetUiServices(&services);
    const bool list = args.size() == 2 && args[1] == "--list";
    const int rc = list                                       ? ListScanners()
                   : args.size() >= 3 && args.size() % 2 == 1 ? Scan(args)
                                                              : Usage();
    SaneLibrary::Shutdown();
    SetUiServices(nullptr);
    return rc;
}

} // namespace

int main(int argc, char** argv)
{
    std::setlocale(LC_ALL, "");
    std::setlocale(LC_NUMERIC, "C");
    std::vector<std::string> args(argv + 1, argv + argc);
    int page = 0;
    int dpi = 0;
    if (args.empty() || !TakePageOptions(args, &page, &dpi))
        return Usage();
    const std::string& command = args[0];
    if (command == "--help" || command == "-h") {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (command == "extract") {
        if (args.size() == 2 && (args[1] == "--help" || args[1] == "-h")) {
            std::fputs(kExtractUsage, stdout);
            return 0;
        }
        ExtractOptions options;
        std::string project, out;
        if (!ParseExtract(args, options, project, out)) {
            std::fputs(kExtractUsage, stderr);
            return 2;
        }
        CliUiServices services;
        SetUiServices(&services);
        int rc = 1;
        {
            CKurvoDoc doc;
            if (doc.OnOpenDocument(project)) {
                doc.SetPathName(project);
                rc = ExtractPoints(doc, options, out);
            }
        }
        SetUiServices(nullptr);
        return rc;
    }
    if (command == "--version") {
        std::printf("kurvo-cli %s\n", KURVO_VERSION);
        return 0;
    }
    if (command == "scan")
        return ScanCommand(args);
    const bool known =
        (command == "info" && args.size() == 2) ||
        ((command == "export" || command == "image" || command == "project") && args.size() == 3);
    if (!known)
        return Usage();

    std::string source = args[1];
    if (page != 0 || dpi != 0) {
        if (!IsPdfFile(source)) {
            std::fputs("kurvo-cli: --page and --dpi are for PDF files\n", stderr);
            return 2;
        }
        source = PdfPagePath(source, page != 0 ? page : 1, dpi != 0 ? dpi : kPdfDefaultDpi);
    }

    // A picture's information comes from its header: a large scan is not decoded for it.
    if (command == "info") {
        if (const std::optional<PictureHeader> header = ReadPictureHeader(source)) {
            std::fputs(WithoutCarriageReturns(ImageInfoText(source, *header)).c_str(), stdout);
            return 0;
        }
    }

    CliUiServices services;
    SetUiServices(&services);
    int rc = 1;
    {
        CKurvoDoc doc;
        if (doc.OnOpenDocument(source)) {
            doc.SetPathName(args[1]);
            if (command == "info")
                rc = Info(doc);
            else if (command == "export")
                rc = Export(doc, args[2]);
            else if (command == "image")
                rc = Image(doc, args[2]);
            else
                rc = Project(doc, args[2]);
        }
    }
    SetUiServices(nullptr);
    return rc;
}
