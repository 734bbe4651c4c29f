#pragma once

#include <string>

// The saved placement of the main window, kept as the settings value "WindowPos":
// flags, show command, minimized position, maximized position and the normal rectangle,
// written "%u,%u,%d,%d,%d,%d,%d,%d,%d,%d".
struct WindowPlacement {
    static constexpr unsigned kRestoreMaximized = 2; // flag: the window was maximized
    static constexpr unsigned kShowNormal = 1;
    static constexpr unsigned kShowMinimized = 2;
    static constexpr unsigned kShowMaximized = 3;

    unsigned m_flags = 0;
    unsigned m_showCmd = kShowNormal;
    int m_minX = -1;
    int m_minY = -1;
    int m_maxX = -1;
    int m_maxY = -1;
    int m_left = 0;
    int m_top = 0;
    int m_right = 0;
    int m_bottom = 0;

    std::string Format() const;
    // True when the text holds exactly ten numbers in that form (blanks allowed around
    // them); the placement is untouched otherwise.
    static bool Parse(const std::string& text, WindowPlacement& out);
};
