#pragma once

#include "platform/Colour.h"

#include <cstdint>

// The user settings the image view and its tools read (filled from the preferences).
struct ViewSettings {
    Colour gridColour = 0xC8C8C8;
    Colour boxColour = 255;
    Colour ptsColour = 255;
    Colour cropColour = 0xFF0000;
    int pickTol = 2;
    int zoomType = 2;
    int allowCaching = 1;
    int cacheSize = 3;
    // The system window colour, shown around an image smaller than the window.
    Colour windowColour = kWhite;
    // Display copies larger than this are not made: the view then samples the visible part
    // of the image itself, so memory stays bounded at any zoom.
    std::uint64_t maxDisplayCopyBytes = std::uint64_t{32} << 20;
};
