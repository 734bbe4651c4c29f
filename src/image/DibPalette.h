#pragma once

#include "platform/Colour.h"

#include <vector>

// The logical palette built from a DIB: its colour table entries, or the halftone palette of
// the screen for a true-colour DIB. This platform draws in true colour, so the palette is
// kept for what it says about the image rather than realised on a device.
class DibPalette {
public:
    // Forgets the entries (the "system object" of the palette).
    void Delete();
    void SetEntries(std::vector<Colour> entries);
    void SetHalftone();

    bool IsCreated() const { return m_created; }
    bool IsHalftone() const { return m_halftone; }
    // The palette version word of a logical palette.
    static constexpr int kVersion = 0x300;
    const std::vector<Colour>& Entries() const { return m_entries; }
    int EntryCount() const { return static_cast<int>(m_entries.size()); }

private:
    bool m_created = false;
    bool m_halftone = false;
    std::vector<Colour> m_entries;
};
