#include "mapping/TransformAxisVw.h"

#include "mapping/TransformData.h"

const std::string TransformAxisVw::kKey = "ViewAxisTransformData";

TransformAxisVw::TransformAxisVw(TransformData* data) : m_data(data)
{
    Attach(data);
}

void TransformAxisVw::Load()
{
    m_min = m_data->GetMin();
    m_max = m_data->GetMax();
    m_xLog = m_data->GetXLog();
    m_yLog = m_data->GetYLog();
}

void TransformAxisVw::Reset()
{
    m_data->ResetToDefaults();
    Load();
}
