#pragma once

#include "mapping/TransformBoxRep.h"
#include "mapping/TransformData.h"

// A complete copy of the transform, region included; notifying it puts every field back.
// The undo records of mapping changes keep one.
class TransformMemento : public TransformBoxRep {
public:
    // The attribute this representation presents, and its key there.
    using Data = TransformData;
    static const std::string kKey;

    explicit TransformMemento(TransformData* data);

    void Load() override;
    void Reset() override;
    const std::string& GetKey() const override { return kKey; }

    // The kept state; its region is the working box.
    TransformData::State GetState() const;

    int m_mode = TransformData::kAxisMapping;
    double m_pointsPerUnit = 1.0;
    double m_aspect = 1.0;
    int m_valid = 1;
    int m_xLog = 0;
    int m_yLog = 0;
    DPoint m_min;
    DPoint m_max;
};
