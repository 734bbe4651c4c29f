#pragma once

#include "model/AttributeRep.h"
#include "platform/Geometry.h"

class TransformData;

// The axis-mapping view of the transform: corner limits and logarithmic flags. Notifying it
// switches the transform to axis mapping with these values.
class TransformAxisVw : public AttributeRep {
public:
    // The attribute this representation presents, and its key there.
    using Data = TransformData;
    static const std::string kKey;

    explicit TransformAxisVw(TransformData* data);

    void Load() override;
    void Reset() override;
    const std::string& GetKey() const override { return kKey; }

    DPoint m_min;
    DPoint m_max;
    int m_xLog = 0;
    int m_yLog = 0;

private:
    TransformData* m_data;
};
