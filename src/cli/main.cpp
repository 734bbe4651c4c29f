// kurvo-cli: the headless front end of Kurvo.
#include <cstdio>
#include <cstring>
#include <string>

namespace {

const char* const kUsage =
    "Usage: kurvo-cli COMMAND [ARGUMENTS]\n"
    "\n"
    "Commands:\n"
    "  --help       show this text\n"
    "  --version    show the program's version\n";

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
    std::fprintf(stderr, "kurvo-cli: unknown command '%s'\n\n%s", command.c_str(), kUsage);
    return 2;
}
