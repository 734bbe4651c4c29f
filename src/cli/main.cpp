// kurvo-cli: the headless front end of Kurvo.
//
//   kurvo-cli info FILE           the image information of FILE (an image or a project)
//   kurvo-cli export FILE OUT     all data sets of FILE as Save writes OUT's format (.txt,
//                                 .csv); OUT "-" writes the clipboard text to standard output
//   kurvo-cli image FILE OUT.bmp  the image of FILE as a Windows bitmap (or OUT.png, a PNG)
//   kurvo-cli project IMAGE OUT.kvx   IMAGE as a new project with the image embedded
//
// A PDF gives its first page at 300 dpi; --page N and --dpi D choose another page and
// resolution.
//
// Failures exit 1 with the program's message on standard error; usage errors exit 2.
#include "document/CKurvoDoc.h"
#include "document/ImageInfoText.h"
#include "document/PointsExport.h"
#include "document/SaveFormat.h"
#include "image/PdfFile.h"
#include "image/PictureHeader.h"
#include "platform/HeadlessUiServices.h"
#include "tasks/PlotData.h"

#include <charconv>
#include <clocale>
#include <cstdio>
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
    "\n"
    "Options for a PDF FILE or IMAGE:\n"
    "  --page N               the page to open (from 1; default 1)\n"
    "  --dpi D                the resolution to render it at (10 ... 2400; default 300)\n"
    "\n"
    "  --help                 show this text\n"
    "  --version              show the program's version\n";

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
    if (command == "--version") {
        std::printf("kurvo-cli %s\n", KURVO_VERSION);
        return 0;
    }
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
