#pragma once

#include "model/DbPrim.h"

class DbSetMgr;

// What a set operation removed, kept so that its undo can put it back. A memento owns what
// it holds until Restore hands it back to the set manager.
class DbMemento : public DbPrim {
public:
    virtual void Restore(DbSetMgr* mgr) = 0;
};
