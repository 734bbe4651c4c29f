#include "image/DibPalette.h"

#include <utility>

void DibPalette::Delete()
{
    m_created = false;
    m_halftone = false;
    m_entries.clear();
}

void DibPalette::SetEntries(std::vector<Colour> entries)
{
    m_entries = std::move(entries);
    m_halftone = false;
    m_created = true;
}

void DibPalette::SetHalftone()
{
    // The halftone palette stands for the screen's colour cube: 6 x 6 x 6 evenly spaced colours.
    m_entries.clear();
    for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 6; ++g)
            for (int b = 0; b < 6; ++b)
                m_entries.push_back(MakeColour(static_cast<std::uint8_t>(r * 51),
                                               static_cast<std::uint8_t>(g * 51),
                                               static_cast<std::uint8_t>(b * 51)));
    m_halftone = true;
    m_created = true;
}
