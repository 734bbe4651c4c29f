#include "mapping/TransformMan.h"

#include "mapping/TransformData.h"

const std::string TransformMan::kKey = "ViewManipTransformData";

TransformMan::TransformMan(TransformData* data) : TransformBoxRep(data)
{
}

void TransformMan::Load()
{
    m_aspect = m_data->GetAspect();
    m_pointsPerUnit = m_data->GetPointsPerUnit();
    m_min = m_data->GetMin();
    m_max = m_data->GetMax();
    m_xLog = m_data->GetXLog();
    m_yLog = m_data->GetYLog();
    m_box.CopyRegion(m_data->GetRegion());
}

void TransformMan::Reset()
{
    m_data->ResetToDefaults();
    Load();
}
