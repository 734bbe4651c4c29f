// kurvo-cli: the headless front end of Kurvo.
#include "document/ImageInfoText.h"
#include "image/CDib.h"
#include "platform/HeadlessUiServices.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace {

// Messages meant for a message box go to standard error with their title.
class CliUiServices : public HeadlessUiServices {
public:
    MsgResult MessageBox(const std::string& text, const std::string& caption, MsgButtons buttons,
                         MsgIcon icon) override
    {
        std::fprintf(stderr, "kurvo-cli: %s: %s\n", caption.c_str(), text.c_str());
        return HeadlessUiServices(nullptr).MessageBox(text, caption, buttons, icon);
    }
};

// Prints the image information of an image file; 1 when it is not a readable image.
int ImageInfo(const std::string& path)
{
    CDib image;
    if (!image.LoadFile(path)) {
        std::fprintf(stderr, "kurvo-cli: '%s' is not a readable image\n", path.c_str());
        return 1;
    }
    std::string text = ImageInfoText(path, image, false);
    // The text's line ends are those of the dialog; a terminal takes plain newlines.
    std::string out;
    for (char c : text)
        if (c != '\r')
            out += c;
    std::fputs(out.c_str(), stdout);
    return 0;
}

const char* const kUsage =
    "Usage: kurvo-cli COMMAND [ARGUMENTS]\n"
    "\n"
    "Commands:\n"
    "  --help       show this text\n"
    "  --version    show the program's version\n"
    "  --image-info FILE\n"
    "               describe an image file (Windows bitmap or TIFF)\n";

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    const std::string command = argv[1];
    if (command == "--help" || command == "-h") {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (command == "--version") {
        std::printf("kurvo-cli %s\n", KURVO_VERSION);
        return 0;
    }
    if (command == "--image-info") {
        if (argc != 3) {
            std::fputs(kUsage, stderr);
            return 2;
        }
        CliUiServices services;
        SetUiServices(&services);
        const int rc = ImageInfo(argv[2]);
        SetUiServices(nullptr);
        return rc;
    }
    std::fprintf(stderr, "kurvo-cli: unknown command '%s'\n\n%s", command.c_str(), kUsage);
    return 2;
}
