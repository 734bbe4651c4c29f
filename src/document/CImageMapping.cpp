#include "document/CImageMapping.h"

#include "mapping/TransformPpiVw.h"
#include "platform/UiServices.h"
#include "tasks/PlotData.h"
#include "tasks/TransTask.h"

CImageMapping::CImageMapping(PlotData* data) : m_data(data)
{
    m_rep = data->FindRep<TransformPpiVw>();
}

CImageMapping::~CImageMapping() = default;

void CImageMapping::LoadFields()
{
    if (!m_rep)
        return;
    m_aspect = m_rep->m_aspect;
    m_pointsPerUnit = m_rep->m_pointsPerUnit;
    m_origin = m_rep->m_origin;
}

bool CImageMapping::OnOK()
{
    // A zero (or negative) scale would put the region's corners at infinity.
    if (!(m_aspect > 0) || !(m_pointsPerUnit > 0)) {
        GetUiServices().MessageBox(
            "The aspect ratio and the points per length must be greater than zero.");
        return false;
    }
    if (!m_rep)
        return true;
    m_rep->m_aspect = m_aspect;
    m_rep->m_pointsPerUnit = m_pointsPerUnit;
    m_rep->m_origin = m_origin;
    m_data->Execute(std::make_unique<TransTask>(m_data, std::move(m_rep)));
    return true;
}
