#include "app/WindowPlacement.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>

std::string WindowPlacement::Format() const
{
    char buf[160];
    std::snprintf(buf, sizeof buf, "%u,%u,%d,%d,%d,%d,%d,%d,%d,%d", m_flags, m_showCmd, m_minX,
                  m_minY, m_maxX, m_maxY, m_left, m_top, m_right, m_bottom);
    return buf;
}

bool WindowPlacement::Parse(const std::string& text, WindowPlacement& out)
{
    long long values[10];
    const char* p = text.c_str();
    for (int i = 0; i < 10; ++i) {
        while (*p == ' ' || *p == '\t')
            ++p;
        if (*p == '\0' || *p == ',')
            return false;
        char* end = nullptr;
        errno = 0;
        long long v = std::strtoll(p, &end, 10);
        if (end == p || errno != 0)
            return false;
        // The first two are unsigned words, the rest signed 32-bit coordinates.
        if (i < 2 ? (v < 0 || v > UINT_MAX) : (v < INT_MIN || v > INT_MAX))
            return false;
        values[i] = v;
        p = end;
        while (*p == ' ' || *p == '\t')
            ++p;
        if (i < 9) {
            if (*p != ',')
                return false;
            ++p;
        }
    }
    while (*p == ' ' || *p == '\t' || *p == '\r' || *p == '\n')
        ++p;
    if (*p != '\0')
        return false;
    out.m_flags = static_cast<unsigned>(values[0]);
    out.m_showCmd = static_cast<unsigned>(values[1]);
    out.m_minX = static_cast<int>(values[2]);
    out.m_minY = static_cast<int>(values[3]);
    out.m_maxX = static_cast<int>(values[4]);
    out.m_maxY = static_cast<int>(values[5]);
    out.m_left = static_cast<int>(values[6]);
    out.m_top = static_cast<int>(values[7]);
    out.m_right = static_cast<int>(values[8]);
    out.m_bottom = static_cast<int>(values[9]);
    return true;
}
