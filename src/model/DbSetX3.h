#pragma once

#include "model/DbMemento.h"
#include "model/DbPrimList.h"

#include <memory>
#include <vector>

// All data of a cleared set manager: every slot with its list, the current slot and the
// name counter.
class DbSetX3 : public DbMemento {
public:
    DbSetX3(std::vector<std::unique_ptr<DbPrimList>> sets, int current, int nameCounter)
        : m_sets(std::move(sets)), m_current(current), m_nameCounter(nameCounter)
    {
    }
    // Replaces whatever the manager holds by the held slots, current slot and counter.
    void Restore(DbSetMgr* mgr) override;

    std::vector<std::unique_ptr<DbPrimList>> m_sets;
    int m_current;
    int m_nameCounter;
};
