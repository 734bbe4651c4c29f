#pragma once

#include "mapping/SnapCheck.h"
#include "model/AttributeRep.h"

class RegGridData;

// The grid as a snap check of an image view: snaps through the grid data and its transform
// as they are at the moment of the check.
class RegGridSnap : public SnapCheck, public AttributeRep {
public:
    // The attribute this representation presents, and its key there.
    using Data = RegGridData;
    static const std::string kKey;

    explicit RegGridSnap(RegGridData* data);

    bool Check(DPoint& point) override;

    void Load() override {}
    void Reset() override {}
    const std::string& GetKey() const override { return kKey; }

private:
    RegGridData* m_data;
};
