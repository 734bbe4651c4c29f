#pragma once

#include "mapping/SnapCheck.h"
#include "model/util/SimpleArray.h"

#include <memory>

// An ordered set of snap checks, owned. The check added last is asked first, and the first
// one that moves the point decides: at most one check moves a point.
class SnapCheckGroup : public SnapCheck {
public:
    bool Check(DPoint& point) override;

    void Add(std::unique_ptr<SnapCheck> check);
    // Takes a check out of the group and hands it back; null when it is not a member.
    std::unique_ptr<SnapCheck> Remove(SnapCheck* check);
    int GetSize() const { return m_checks.GetSize(); }

private:
    SimpleArray<std::unique_ptr<SnapCheck>> m_checks;
};
