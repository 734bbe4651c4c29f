#include "document/RecentFileList.h"

#include "platform/Profile.h"

#include <algorithm>

namespace {

const char* const kSection = "Recent File List";
constexpr std::size_t kMenuPathLength = 48;

std::string SlotKey(int slot)
{
    return "File" + std::to_string(slot + 1);
}

// Keeps the end of a long path: "…/folder/name" with at least the whole file name.
std::string Shorten(const std::string& path)
{
    if (path.size() <= kMenuPathLength)
        return path;
    std::size_t cut = path.size() - kMenuPathLength;
    std::size_t slash = path.find('/', cut);
    std::size_t lastSlash = path.rfind('/');
    if (slash == std::string::npos || (lastSlash != std::string::npos && slash > lastSlash))
        slash = lastSlash;
    if (slash == std::string::npos || slash == 0)
        return path;
    return "..." + path.substr(slash);
}

} // namespace

RecentFileList::RecentFileList(int capacity) : m_capacity(std::max(capacity, 0))
{
}

void RecentFileList::Load(const Profile& profile)
{
    m_paths.clear();
    for (int slot = 0; slot < m_capacity; ++slot) {
        std::string path = profile.GetString(kSection, SlotKey(slot), "");
        if (path.empty() || std::find(m_paths.begin(), m_paths.end(), path) != m_paths.end())
            continue;
        m_paths.push_back(path);
    }
}

void RecentFileList::Save(Profile& profile) const
{
    for (int slot = 0; slot < m_capacity; ++slot)
        profile.WriteString(kSection, SlotKey(slot), slot < Size() ? m_paths[slot] : "");
}

void RecentFileList::Add(const std::string& path)
{
    if (path.empty() || m_capacity == 0)
        return;
    m_paths.erase(std::remove(m_paths.begin(), m_paths.end(), path), m_paths.end());
    m_paths.insert(m_paths.begin(), path);
    if (Size() > m_capacity)
        m_paths.resize(static_cast<std::size_t>(m_capacity));
}

void RecentFileList::Remove(int index)
{
    if (index >= 0 && index < Size())
        m_paths.erase(m_paths.begin() + index);
}

std::string RecentFileList::At(int index) const
{
    return index >= 0 && index < Size() ? m_paths[index] : std::string();
}

std::string RecentFileList::MenuText(int index) const
{
    if (index < 0 || index >= Size())
        return std::string();
    std::string text = "&" + std::to_string(index + 1) + " ";
    for (char c : Shorten(m_paths[index])) {
        text += c;
        if (c == '&')
            text += '&';
    }
    return text;
}
