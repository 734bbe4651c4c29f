#include "model/DbSetX2.h"

#include "model/DbSetMgr.h"

void DbSetX2::Restore(DbSetMgr* mgr)
{
    if (m_slot < 0)
        return;
    if (m_slot >= mgr->GetSlotCount())
        mgr->m_sets.resize(static_cast<std::size_t>(m_slot) + 1);
    mgr->m_current = m_slot;
    mgr->m_sets[static_cast<std::size_t>(m_slot)] = std::move(m_list);
    mgr->NotifyData();
}
