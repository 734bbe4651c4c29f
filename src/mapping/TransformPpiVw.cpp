#include "mapping/TransformPpiVw.h"

#include "mapping/TransformData.h"

const std::string TransformPpiVw::kKey = "ViewPPITransformData";

TransformPpiVw::TransformPpiVw(TransformData* data) : m_data(data)
{
    Attach(data);
}

void TransformPpiVw::Load()
{
    m_aspect = m_data->GetAspect();
    if (m_data->GetMode() == TransformData::kPixelMapping) {
        m_pointsPerUnit = m_data->GetPointsPerUnit();
    } else {
        // What the axis limits amount to across the region's width.
        double w, h;
        m_data->GetRegion().GetSize(w, h);
        m_pointsPerUnit = w / (m_data->GetMax().x - m_data->GetMin().x);
    }
    m_origin = m_data->GetRegion().GraphNodes()[6];
}

void TransformPpiVw::Reset()
{
    m_data->ResetToDefaults();
    Load();
}
