#include "view/ViewSettings.h"

#include "document/CPreferences.h"

ViewSettings ViewSettings::FromPreferences(const CPreferences& prefs)
{
    ViewSettings s;
    s.gridColour = prefs.m_gridColor;
    s.boxColour = prefs.m_boxColor;
    s.ptsColour = prefs.m_ptsColor;
    s.cropColour = prefs.m_cropColor;
    s.pickTol = prefs.m_pickTol;
    s.zoomType = prefs.m_zoomType;
    s.allowCaching = prefs.m_allowCaching;
    s.cacheSize = prefs.m_cacheSize;
    return s;
}
