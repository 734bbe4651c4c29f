#include "document/FileWriter.h"

#include <cstdio>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string TemporaryNameBeside(const std::string& path)
{
    static std::mt19937 rng(std::random_device{}());
    char suffix[32];
    std::snprintf(suffix, sizeof suffix, ".kurvo-%08x.tmp", static_cast<unsigned>(rng()));
    return path + suffix;
}

} // namespace

bool WriteFileSafely(const std::string& path, const std::function<bool(const std::string&)>& writer)
{
    if (path.empty())
        return false;
    const std::string temp = TemporaryNameBeside(path);
    if (!writer(temp)) {
        std::remove(temp.c_str());
        return false;
    }
    // Keep the permissions of a file being replaced.
    struct stat st;
    if (::stat(path.c_str(), &st) == 0)
        ::chmod(temp.c_str(), st.st_mode & 07777);
    if (std::rename(temp.c_str(), path.c_str()) != 0) {
        std::remove(temp.c_str());
        return false;
    }
    return true;
}

bool WriteFileSafely(const std::string& path, const void* data, std::size_t size)
{
    return WriteFileSafely(path, [&](const std::string& temp) {
        std::FILE* f = std::fopen(temp.c_str(), "wb");
        if (!f)
            return false;
        bool ok = size == 0 || std::fwrite(data, 1, size, f) == size;
        ok = std::fflush(f) == 0 && ok;
        ok = ::fsync(::fileno(f)) == 0 && ok;
        return std::fclose(f) == 0 && ok;
    });
}
