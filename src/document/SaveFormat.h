#pragma once

#include <string>

// The forms a document can be saved in, in the order of the save dialog's filter list.
enum SaveFormat {
    kFormatProject = 0, // ".kvx"
    kFormatText = 1,    // ".txt", points only, values separated by a space
    kFormatCsv = 2,     // ".csv", values separated by ", "
    kFormatBitmap = 3,  // ".bmp", the image alone
    kFormatPng = 4,     // ".png", the image alone
};

// The format named by the extension of the path's file name (any letter case): what follows
// its last dot. Paths without one or with another extension give the default; dots in
// folder names do not count.
int FormatFromPath(const std::string& path, int def);
// The default extension of a format (".kvx", ".txt", ".csv", ".bmp", ".png").
const char* FormatExtension(int format);
// The name without its extension when that is one of the given ones (any letter case).
std::string StripExtension(const std::string& name, const char* const* extensions, int count);
// Strips ".kvx", ".txt", ".bmp", ".tif", ".csv" or ".png".
std::string StripKnownExtension(const std::string& name);
