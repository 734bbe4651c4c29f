#include "mapping/SnapCheckGroup.h"

bool SnapCheckGroup::Check(DPoint& point)
{
    for (int i = m_checks.GetSize() - 1; i >= 0; --i) {
        if (m_checks[i]->Check(point))
            return true;
    }
    return false;
}

void SnapCheckGroup::Add(std::unique_ptr<SnapCheck> check)
{
    if (check)
        m_checks.Add(std::move(check));
}

std::unique_ptr<SnapCheck> SnapCheckGroup::Remove(SnapCheck* check)
{
    for (int i = 0; i < m_checks.GetSize(); ++i) {
        if (m_checks[i].get() == check) {
            std::unique_ptr<SnapCheck> taken = std::move(m_checks[i]);
            m_checks.RemoveAt(i);
            return taken;
        }
    }
    return nullptr;
}
