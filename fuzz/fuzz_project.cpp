#include "FuzzMain.h"

#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

std::string g_path;

} // namespace

// The inputs go through a file in a folder of this process's own. Images a project refers to
// by bare name are looked for in the current folder: run the program from an empty one.
extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    QuietUiServices();
    const std::filesystem::path base =
        std::filesystem::exists("/dev/shm") ? "/dev/shm" : std::filesystem::temp_directory_path();
    const std::filesystem::path dir = base / ("kurvo-fuzz-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    g_path = (dir / "input.kvx").string();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    return FuzzVerdict(FeedProject(data, size, g_path));
}
