#pragma once

#include "mapping/TransformBoxRep.h"

// The manipulation view of the transform used by the region tools and the document: the
// mapping values and a working copy of the region. Notifying it hands the working region to
// the transform, which keeps its pixel scale when it is in pixel mapping.
class TransformMan : public TransformBoxRep {
public:
    // The attribute this representation presents, and its key there.
    using Data = TransformData;
    static const std::string kKey;

    explicit TransformMan(TransformData* data);

    void Load() override;
    void Reset() override;
    const std::string& GetKey() const override { return kKey; }

    double m_aspect = 1.0;
    double m_pointsPerUnit = 1.0;
    DPoint m_min;
    DPoint m_max;
    int m_xLog = 0;
    int m_yLog = 0;
};
