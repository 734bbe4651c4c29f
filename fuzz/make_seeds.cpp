// Writes a small starting corpus for every fuzz program: well-formed files of each kind the
// readers handle, made by the program's own writers where it has them.
//   fuzz_make_seeds OUTPUT_FOLDER
// makes OUTPUT_FOLDER/<program>/ for bmp, embedded_block, tiff, project, archive_string, png
// and pdf (the JPEG, GIF and WebP programs start from the kept findings and what they find).

#include "fuzz/support/SeedFiles.h"

#include "platform/HeadlessUiServices.h"
#include "platform/UiServices.h"

#include <cstdio>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

void Save(const fs::path& path, const Bytes& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fputs("usage: fuzz_make_seeds OUTPUT_FOLDER\n", stderr);
        return 2;
    }
    static HeadlessUiServices quiet(nullptr);
    SetUiServices(&quiet);
    const fs::path out = fs::absolute(argv[1]);
    const fs::path scratch = out / ".scratch";
    fs::create_directories(scratch);
    auto write = [&](const std::string& program, const auto& seeds) {
        fs::create_directories(out / program);
        for (const auto& [name, bytes] : seeds)
            if (!bytes.empty())
                Save(out / program / name, bytes);
        std::printf("%s: %zu seeds\n", program.c_str(), seeds.size());
    };
    write("bmp", BmpSeeds());
    write("embedded_block", BlockSeeds());
    write("tiff", TiffSeeds(scratch));
    write("project", ProjectSeeds(scratch));
    write("archive_string", StringSeeds());
    write("png", PngSeeds(scratch));
    write("pdf", PdfSeeds());
    fs::remove_all(scratch);
    return 0;
}
