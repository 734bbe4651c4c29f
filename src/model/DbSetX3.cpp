#include "model/DbSetX3.h"

#include "model/DbSetMgr.h"

void DbSetX3::Restore(DbSetMgr* mgr)
{
    mgr->m_sets = std::move(m_sets);
    mgr->m_current = m_current;
    mgr->m_nameCounter = m_nameCounter;
    m_sets.clear();
    mgr->NotifyData();
}
