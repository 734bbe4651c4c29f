// kurvo-cli: the headless front end of Kurvo.
//
//   kurvo-cli info FILE           the image information of FILE (an image or a project)
//   kurvo-cli export FILE OUT     all data sets of FILE as Save writes OUT's format (.txt,
//                                 .csv); OUT "-" writes the clipboard text to standard output
//   kurvo-cli image FILE OUT.bmp  the image of FILE as a Windows bitmap
//   kurvo-cli project IMAGE OUT.kvx   IMAGE as a new project with the image embedded
//   kurvo-cli scan DEVICE OUT.kvx|OUT.bmp [--mode M] [--resolution R]
//                                 a picture scanned through SANE, as a new project or bitmap
//   kurvo-cli scan --list         the SANE devices, one a line: name, tab, description
//
// Failures exit 1 with the program's message on standard error; usage errors exit 2.
#include "document/CKurvoDoc.h"
#include "document/PointsExport.h"
#include "document/SaveFormat.h"
#include "document/ScannedImage.h"
#include "platform/HeadlessUiServices.h"
#include "scan/SaneLibrary.h"
#include "scan/SaneScanner.h"
#include "tasks/PlotData.h"

#include <clocale>
#include <cstdio>
#include <cstdlib>
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
    "  image FILE OUT.bmp     write the image of FILE as a Windows bitmap\n"
    "  project IMAGE OUT.kvx  save IMAGE as a new project with the image embedded\n"
    "  scan DEVICE OUT [--mode color|gray|lineart] [--resolution DPI]\n"
    "                         scan a picture from a SANE device into OUT (.kvx or .bmp)\n"
    "  scan --list            list the SANE devices\n"
    "  --help                 show this text\n"
    "  --version              show the program's version\n";

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
    if (FormatFromPath(out, -1) != kFormatBitmap) {
        std::fputs("kurvo-cli: the output of image must end in .bmp\n", stderr);
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
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty())
        return Usage();
    const std::string& command = args[0];
    if (command == "--help" || command == "-h") {
        std::fputs(kUsage, stdout);
        return 0;
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

    CliUiServices services;
    SetUiServices(&services);
    int rc = 1;
    {
        CKurvoDoc doc;
        if (doc.OnOpenDocument(args[1])) {
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
