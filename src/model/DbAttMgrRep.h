#pragma once

#include "model/DbAttRep.h"
#include "model/Observer.h"

#include <string>

class Archive;
class DbRefTable;

// The attribute manager of a document: the master list of every defined attribute, and
// the list of the active ones that newly collected points share. Lists are copied before
// they change when they may be shared, so points keep the attributes they were collected
// with.
class DbAttMgrRep : public Observer {
public:
    DbAttMgrRep() = default;

    // Appends to the master list and notifies.
    void AddAttribute(const DbAttPtr& att);
    // Removes the entry of that exact name, notifies, and returns it (null when absent).
    DbAttPtr DeleteAttribute(const std::string& name);
    // Puts the attribute in the place of the entry of the same exact name, notifies, and
    // returns the old entry (null when absent).
    DbAttPtr UpdateAttribute(const DbAttPtr& att);
    // The list given to new points: the active master entries, rebuilt when stale.
    DbAttListPtr ListForNewPoints();

    const DbAttList& GetMaster() const { return *m_master; }
    const DbAttListPtr& GetMasterPtr() const { return m_master; }
    // Index of the master entry of that exact name, or -1.
    int FindAttribute(const std::string& name) const;
    bool IsNewListValid() const { return m_newListValid != 0; }

    // Body of the stored record: version and the master list as a shared reference.
    void Serialize(Archive& ar, DbRefTable& refs);

private:
    void PrepareForChange();

    DbAttListPtr m_master;
    int m_newListValid = 0;
    DbAttListPtr m_forNewPoints;
};
