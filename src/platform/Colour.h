#pragma once

#include <cstdint>

// A colour as the program stores it: red in the low byte, then green, then blue (0x00BBGGRR).
using Colour = std::uint32_t;

constexpr Colour MakeColour(std::uint8_t r, std::uint8_t g, std::uint8_t b)
{
    return static_cast<Colour>(r) | (static_cast<Colour>(g) << 8) | (static_cast<Colour>(b) << 16);
}
constexpr std::uint8_t RedOf(Colour c)
{
    return static_cast<std::uint8_t>(c);
}
constexpr std::uint8_t GreenOf(Colour c)
{
    return static_cast<std::uint8_t>(c >> 8);
}
constexpr std::uint8_t BlueOf(Colour c)
{
    return static_cast<std::uint8_t>(c >> 16);
}

// Canvas pixels are 0xFFRRGGBB words, the layout a QImage of format RGB32 reads in place.
constexpr std::uint32_t ColourToPixel(Colour c)
{
    return 0xFF000000u | (static_cast<std::uint32_t>(RedOf(c)) << 16) |
           (static_cast<std::uint32_t>(GreenOf(c)) << 8) | BlueOf(c);
}
constexpr Colour PixelToColour(std::uint32_t p)
{
    return MakeColour(static_cast<std::uint8_t>(p >> 16), static_cast<std::uint8_t>(p >> 8),
                      static_cast<std::uint8_t>(p));
}

constexpr Colour kBlack = MakeColour(0, 0, 0);
constexpr Colour kWhite = MakeColour(255, 255, 255);
