#pragma once

#include "model/Observer.h"
#include "platform/Colour.h"

#include <string>

class Profile;

// The user's persistent settings. One object is owned by the application for its whole run
// and reached through GetPreferences(). Observers are told after the Options dialog has
// changed it.
class CPreferences : public Observer {
public:
    // Zoom rates of the Zoom In / Zoom Out commands and tools.
    enum ZoomRate { ZoomFast = 1, ZoomMedium = 2, ZoomSlow = 3 };

    CPreferences();

    // Reads every value from the settings section; absent values take their defaults.
    void LoadSettings(const Profile& profile);
    // Writes every value except "PickTol", which is only ever read.
    void SaveSettings(Profile& profile) const;

    std::string m_section;
    int m_zoomType;
    int m_pickTol;
    int m_sortData;
    int m_saveReference;
    int m_reuseMappingData;
    int m_allowCaching;
    // The magnifier's enlargement, 4 to 12.
    int m_magnifierFactor;
    int m_cacheSize;
    // The text and CSV exports add the columns dX and dY (half a pixel in graph units).
    int m_uncertaintyColumns;
    Colour m_boxColor;
    Colour m_cropColor;
    Colour m_gridColor;
    Colour m_ptsColor;
};

// The preferences of this process: the application's once it has installed them, otherwise
// an object holding the defaults.
CPreferences& GetPreferences();
// Installs the application's preferences (not owned); null puts the default object back.
void SetPreferences(CPreferences* preferences);
