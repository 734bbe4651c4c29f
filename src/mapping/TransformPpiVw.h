#pragma once

#include "model/AttributeRep.h"
#include "platform/Geometry.h"

class TransformData;

// The pixel-mapping view of the transform: aspect ratio, pixels per graph unit and origin.
// Notifying it switches the transform to pixel mapping with these values.
class TransformPpiVw : public AttributeRep {
public:
    // The attribute this representation presents, and its key there.
    using Data = TransformData;
    static const std::string kKey;

    explicit TransformPpiVw(TransformData* data);

    void Load() override;
    void Reset() override;
    const std::string& GetKey() const override { return kKey; }

    double m_aspect = 1.0;
    double m_pointsPerUnit = 1.0;
    DPoint m_origin;

private:
    TransformData* m_data;
};
