#pragma once

#include "model/DbMemento.h"
#include "model/DbPrimList.h"

#include <memory>

// A deleted set: the removed list and the slot it leaves empty.
class DbSetX2 : public DbMemento {
public:
    DbSetX2(std::unique_ptr<DbPrimList> list, int slot) : m_list(std::move(list)), m_slot(slot) {}
    // Puts the held list back into its (empty) slot and makes it current.
    void Restore(DbSetMgr* mgr) override;

    std::unique_ptr<DbPrimList> m_list;
    int m_slot;
};
