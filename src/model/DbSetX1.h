#pragma once

#include "model/DbMemento.h"
#include "model/DbPrimList.h"

#include <memory>

// The contents of a cleared set: the removed list with its primitives and its slot.
class DbSetX1 : public DbMemento {
public:
    DbSetX1(std::unique_ptr<DbPrimList> list, int slot) : m_list(std::move(list)), m_slot(slot) {}
    // Makes the slot current and puts the held list back in place of the empty one.
    void Restore(DbSetMgr* mgr) override;

    std::unique_ptr<DbPrimList> m_list;
    int m_slot;
};
