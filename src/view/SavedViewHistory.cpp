#include "view/SavedViewHistory.h"

void SavedViewHistory::Push(SavedView v, int automatic)
{
    v.automatic = automatic;
    while (m_views.GetSize() > m_index + 1)
        m_views.Pop();
    ++m_index;
    m_views.Push(v);
}

bool SavedViewHistory::TopDiffersFrom(const SavedView& current) const
{
    if (m_index < 0 || m_index != m_views.GetSize() - 1)
        return false;
    const SavedView& v = m_views[m_index];
    return v.zoom != current.zoom || v.scrollX != current.scrollX || v.scrollY != current.scrollY;
}

std::optional<SavedView> SavedViewHistory::Next()
{
    if (m_index + 1 >= m_views.GetSize())
        return std::nullopt;
    ++m_index;
    const SavedView v = m_views[m_index];
    if (v.automatic) {
        // The automatic entry is the top one: Previous pushed it.
        if (m_index == m_views.GetSize() - 1)
            m_views.Pop();
        --m_index;
    }
    return v;
}

std::optional<SavedView> SavedViewHistory::Previous(const SavedView& current)
{
    if (m_index < 0)
        return std::nullopt;
    if (TopDiffersFrom(current))
        Push(current, 1);
    if (m_index < 1)
        return std::nullopt;
    --m_index;
    return m_views[m_index];
}

bool SavedViewHistory::CanGoPrevious(const SavedView& current) const
{
    return m_index >= 1 || TopDiffersFrom(current);
}
