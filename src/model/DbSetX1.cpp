#include "model/DbSetX1.h"

#include "model/DbSetMgr.h"

void DbSetX1::Restore(DbSetMgr* mgr)
{
    if (m_slot < 0 || m_slot >= mgr->GetSlotCount())
        return;
    mgr->m_current = m_slot;
    mgr->m_sets[static_cast<std::size_t>(m_slot)] = std::move(m_list);
    mgr->NotifyData();
}
