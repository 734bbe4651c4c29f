#pragma once

#include "model/util/SimpleArray.h"
#include "model/util/SmartPtr.h"

#include <string>

// One name/value attribute of the points. Shared between points, lists and undo records;
// never changed in place once shared (a change puts a new record in its place).
class DbAttRep {
public:
    DbAttRep() = default;
    DbAttRep(std::string name, std::string value, int active = 1)
        : m_active(active), m_name(std::move(name)), m_value(std::move(value))
    {
    }

    // Non-zero: newly collected points receive the attribute.
    int m_active = 1;
    // Export column during an export; scratch, not stored.
    int m_column = 0;
    std::string m_name;
    std::string m_value;
};

using DbAttPtr = SmartPtr<DbAttRep>;
// A list of shared attributes, itself shared between the points collected with it.
using DbAttList = SimpleArray<DbAttPtr>;
using DbAttListPtr = SmartPtr<DbAttList>;
