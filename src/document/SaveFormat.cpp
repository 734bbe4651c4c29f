#include "document/SaveFormat.h"

#include <algorithm>
#include <cctype>
#include <iterator>

namespace {

const char* const kExtensions[] = {".kvx", ".txt", ".csv", ".bmp", ".png"};

std::string Lower(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

} // namespace

int FormatFromPath(const std::string& path, int def)
{
    const std::string lower = Lower(path);
    const auto dot = lower.rfind('.');
    // Only the file name has an extension: a dot in a folder name does not count.
    const auto slash = lower.find_last_of("/\\");
    if (dot == std::string::npos || (slash != std::string::npos && slash > dot))
        return def;
    for (int format = 0; format < static_cast<int>(std::size(kExtensions)); ++format)
        if (lower.compare(dot, std::string::npos, kExtensions[format]) == 0)
            return format;
    return def;
}

const char* FormatExtension(int format)
{
    if (format < 0 || format >= static_cast<int>(std::size(kExtensions)))
        return "";
    return kExtensions[format];
}

std::string StripExtension(const std::string& name, const char* const* extensions, int count)
{
    const auto dot = name.rfind('.');
    if (dot == std::string::npos)
        return name;
    // A dot inside a folder name is no extension.
    const auto slash = name.find_last_of("/\\");
    if (slash != std::string::npos && slash > dot)
        return name;
    const std::string ext = Lower(name.substr(dot));
    for (int i = 0; i < count; ++i)
        if (ext == extensions[i])
            return name.substr(0, dot);
    return name;
}

std::string StripKnownExtension(const std::string& name)
{
    static const char* const known[] = {".kvx", ".txt", ".bmp", ".tif", ".csv", ".png"};
    return StripExtension(name, known, static_cast<int>(std::size(known)));
}
