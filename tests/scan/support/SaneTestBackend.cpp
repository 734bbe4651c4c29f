#include "scan/support/SaneTestBackend.h"

#include "image/DibUtil.h"
#include "scan/SaneLibrary.h"

#include <cstdio>
#include <cstdlib>
#include <dlfcn.h>
#include <filesystem>
#include <fstream>
#include <string>

// The test back end's own leaks (libsane frees neither its option strings nor its buffers
// at sane_exit); anything of the program's stays reported.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libsane-test.so\n";
}

bool UnderAddressSanitizer()
{
#if defined(__SANITIZE_ADDRESS__)
    return true;
#else
    return false;
#endif
}

SaneTestBackend::SaneTestBackend()
{
    // Under the sanitizer, the back end libsane loads from the folder beside it is kept mapped
    // after sane_exit.
    Dl_info info{};
    if (void* sane = UnderAddressSanitizer() ? dlopen("libsane.so.1", RTLD_NOW) : nullptr) {
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

SaneTestBackend::~SaneTestBackend()
{
    SaneLibrary::Shutdown();
}

bool SaneTestBackend::ScanImage(const std::string& arguments, int& width, int& height,
                                int& channels, std::vector<std::uint8_t>& samples) const
{
    const std::string out = m_config.File("scanimage.pnm");
    const std::string command = "SANE_CONFIG_DIR='" + m_config.Path().string() +
                                "' scanimage --format=pnm " + arguments + " > '" + out +
                                "' 2>/dev/null";
    if (std::system(command.c_str()) != 0)
        return false;
    std::ifstream in(out, std::ios::binary);
    // Header fields, past the comment lines scanimage writes.
    const auto field = [&in] {
        std::string token;
        while (in >> token && token[0] == '#')
            std::getline(in, token);
        return token;
    };
    const std::string magic = field();
    width = std::atoi(field().c_str());
    height = std::atoi(field().c_str());
    const int maxValue = magic == "P4" ? 1 : std::atoi(field().c_str());
    in.get();
    channels = magic == "P6" ? 3 : 1;
    const std::size_t count = static_cast<std::size_t>(width) * height * channels;
    samples.assign(count, 0);
    if (magic == "P4") {
        const std::size_t row = (static_cast<std::size_t>(width) + 7) / 8;
        std::vector<char> bits(row * height);
        in.read(bits.data(), static_cast<std::streamsize>(bits.size()));
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                samples[y * width + x] = (bits[y * row + x / 8] >> (7 - x % 8)) & 1 ? 0 : 255;
    } else {
        const int bytes = maxValue > 255 ? 2 : 1;
        std::vector<unsigned char> raw(count * bytes);
        in.read(reinterpret_cast<char*>(raw.data()), static_cast<std::streamsize>(raw.size()));
        // Sixteen-bit PNM samples are big-endian: the first byte is the high one.
        for (std::size_t i = 0; i < count; ++i)
            samples[i] = raw[i * bytes];
    }
    return bool(in);
}

void DibPixel(const std::vector<std::uint8_t>& dib, int x, int y, std::uint8_t rgb[3])
{
    const BitmapInfoHeader h = BitmapInfoHeader::Read(dib.data());
    const std::uint8_t* row =
        FindDibBits(dib.data()) + (h.height - 1 - y) * DibRowBytes(dib.data());
    const std::uint8_t* table = dib.data() + h.size;
    if (h.bitCount == 24) {
        for (int c = 0; c < 3; ++c)
            rgb[c] = row[3 * x + 2 - c];
        return;
    }
    const int index = h.bitCount == 8 ? row[x] : (row[x / 8] >> (7 - x % 8)) & 1;
    for (int c = 0; c < 3; ++c)
        rgb[c] = table[4 * index + 2 - c];
}
