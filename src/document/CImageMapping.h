#pragma once

#include "platform/Geometry.h"

#include <memory>

class PlotData;
class TransformPpiVw;

// The "Pixel Mapping" dialog without its form: aspect ratio, pixels per unit length and
// origin, applied on OK as one undoable mapping task.
class CImageMapping {
public:
    static constexpr int kTemplateId = 142;
    enum ControlId {
        kIdAspect = 1014,
        kIdPointsPerUnit = 1015,
        kIdXOrigin = 1016,
        kIdYOrigin = 1017,
    };

    explicit CImageMapping(PlotData* data);
    ~CImageMapping();
    CImageMapping(const CImageMapping&) = delete;
    CImageMapping& operator=(const CImageMapping&) = delete;

    void LoadFields();
    // Refuses an aspect ratio or points per length that is not above zero with a message
    // and stays open (false); otherwise executes the mapping task and closes (true).
    bool OnOK();
    void OnCancel() {}
    bool HasRepresentation() const { return m_rep != nullptr; }

    double m_aspect = 1.0;
    double m_pointsPerUnit = 1.0;
    DPoint m_origin;

private:
    PlotData* m_data;
    std::unique_ptr<TransformPpiVw> m_rep;
};
