#pragma once

#include "mapping/RegGridSettings.h"
#include "model/AttributeRep.h"

class RegGridData;

// A copy of the grid settings: what the grid dialog edits and the grid undo record keeps.
// Notifying it writes the settings back into the grid data.
class RegGridVw : public AttributeRep {
public:
    // The attribute this representation presents, and its key there.
    using Data = RegGridData;
    static const std::string kKey;

    explicit RegGridVw(RegGridData* data);

    void Load() override;
    // The grid has nothing to reset beyond the view: both load the settings.
    void Reset() override;
    const std::string& GetKey() const override { return kKey; }

    RegGridSettings m_settings;

private:
    RegGridData* m_data;
};
