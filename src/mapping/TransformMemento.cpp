#include "mapping/TransformMemento.h"

const std::string TransformMemento::kKey = "ViewMementoTransformData";

TransformMemento::TransformMemento(TransformData* data) : TransformBoxRep(data)
{
}

void TransformMemento::Load()
{
    const TransformData::State s = m_data->GetState();
    m_mode = s.mode;
    m_pointsPerUnit = s.pointsPerUnit;
    m_aspect = s.aspect;
    m_valid = s.valid;
    m_xLog = s.xLog;
    m_yLog = s.yLog;
    m_min = s.min;
    m_max = s.max;
    m_box.CopyRegion(s.region);
}

void TransformMemento::Reset()
{
    m_data->ResetToDefaults();
    Load();
}

TransformData::State TransformMemento::GetState() const
{
    TransformData::State s;
    s.mode = m_mode;
    s.pointsPerUnit = m_pointsPerUnit;
    s.aspect = m_aspect;
    s.valid = m_valid;
    s.xLog = m_xLog;
    s.yLog = m_yLog;
    s.min = m_min;
    s.max = m_max;
    s.region.CopyRegion(m_box);
    return s;
}
