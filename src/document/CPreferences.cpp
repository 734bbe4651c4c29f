#include "document/CPreferences.h"

#include <algorithm>

#include "platform/Profile.h"

namespace {

constexpr int kDefZoomType = CPreferences::ZoomMedium;
constexpr int kDefPickTol = 3;
constexpr int kDefSortData = 1;
constexpr int kDefSaveReference = 0;
constexpr int kDefReuseMappingData = 0;
constexpr int kDefAllowCaching = 1;
constexpr int kDefMagnifierFactor = 6;
constexpr int kDefCacheSize = 3;
constexpr int kDefUncertaintyColumns = 0;
constexpr Colour kDefBoxColor = 0x0000FF;
constexpr Colour kDefCropColor = 0x000000;
constexpr Colour kDefGridColor = 0xC8C8C8;
constexpr Colour kDefPtsColor = 0x0000FF;

CPreferences* g_preferences = nullptr;

// Colours are kept as the 32-bit pattern of the stored integer.
Colour ReadColour(const Profile& profile, const std::string& section, const char* key, Colour def)
{
    return static_cast<Colour>(profile.GetInt(section, key, static_cast<int>(def)));
}

void WriteColour(Profile& profile, const std::string& section, const char* key, Colour value)
{
    profile.WriteInt(section, key, static_cast<int>(value));
}

} // namespace

CPreferences::CPreferences()
    : m_section("Settings"), m_zoomType(kDefZoomType), m_pickTol(kDefPickTol),
      m_sortData(kDefSortData), m_saveReference(kDefSaveReference),
      m_reuseMappingData(kDefReuseMappingData), m_allowCaching(kDefAllowCaching),
      m_magnifierFactor(kDefMagnifierFactor), m_cacheSize(kDefCacheSize),
      m_uncertaintyColumns(kDefUncertaintyColumns), m_boxColor(kDefBoxColor),
      m_cropColor(kDefCropColor), m_gridColor(kDefGridColor), m_ptsColor(kDefPtsColor)
{
}

void CPreferences::LoadSettings(const Profile& profile)
{
    const std::string& s = m_section;
    m_zoomType = profile.GetInt(s, "ZoomType", kDefZoomType);
    m_pickTol = profile.GetInt(s, "PickTol", kDefPickTol);
    m_sortData = profile.GetInt(s, "SortData", kDefSortData);
    m_saveReference = profile.GetInt(s, "SaveReference", kDefSaveReference);
    m_reuseMappingData = profile.GetInt(s, "ReuseMappingData", kDefReuseMappingData);
    m_allowCaching = profile.GetInt(s, "AllowCaching", kDefAllowCaching);
    m_cacheSize = profile.GetInt(s, "CacheSize", kDefCacheSize);
    m_uncertaintyColumns = profile.GetInt(s, "UncertaintyColumns", kDefUncertaintyColumns);
    m_boxColor = ReadColour(profile, s, "BoxColor", kDefBoxColor);
    m_cropColor = ReadColour(profile, s, "CropColor", kDefCropColor);
    m_gridColor = ReadColour(profile, s, "GridColor", kDefGridColor);
    m_ptsColor = ReadColour(profile, s, "PtsColor", kDefPtsColor);
    m_magnifierFactor =
        std::clamp(profile.GetInt(s, "MagnifierFactor", kDefMagnifierFactor), 4, 12);
}

void CPreferences::SaveSettings(Profile& profile) const
{
    const std::string& s = m_section;
    profile.WriteInt(s, "ZoomType", m_zoomType);
    profile.WriteInt(s, "SortData", m_sortData);
    profile.WriteInt(s, "SaveReference", m_saveReference);
    profile.WriteInt(s, "ReuseMappingData", m_reuseMappingData);
    profile.WriteInt(s, "AllowCaching", m_allowCaching);
    profile.WriteInt(s, "CacheSize", m_cacheSize);
    WriteColour(profile, s, "BoxColor", m_boxColor);
    WriteColour(profile, s, "CropColor", m_cropColor);
    WriteColour(profile, s, "GridColor", m_gridColor);
    WriteColour(profile, s, "PtsColor", m_ptsColor);
    profile.WriteInt(s, "UncertaintyColumns", m_uncertaintyColumns);
    profile.WriteInt(s, "MagnifierFactor", m_magnifierFactor);
}

CPreferences& GetPreferences()
{
    if (g_preferences)
        return *g_preferences;
    static CPreferences defaults;
    return defaults;
}

void SetPreferences(CPreferences* preferences)
{
    g_preferences = preferences;
}
