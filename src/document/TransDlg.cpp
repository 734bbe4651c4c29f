#include "document/TransDlg.h"

#include "mapping/TransformAxisVw.h"
#include "platform/UiServices.h"
#include "tasks/PlotData.h"
#include "tasks/TransTask.h"

TransDlg::TransDlg(PlotData* data) : m_data(data)
{
    m_rep = data->FindRep<TransformAxisVw>();
}

TransDlg::~TransDlg() = default;

void TransDlg::LoadFields()
{
    if (!m_rep)
        return;
    m_xMin = m_rep->m_min.x;
    m_xMax = m_rep->m_max.x;
    m_yMin = m_rep->m_min.y;
    m_yMax = m_rep->m_max.y;
    m_xLog = m_rep->m_xLog;
    m_yLog = m_rep->m_yLog;
}

bool TransDlg::OnOK()
{
    if ((m_xLog && (m_xMin <= 0 || m_xMax <= 0)) || (m_yLog && (m_yMin <= 0 || m_yMax <= 0))) {
        GetUiServices().MessageBox("For logarithmic scales, the limits must not be zero.");
        return false;
    }
    if (!m_rep)
        return true;
    m_rep->m_xLog = m_xLog;
    m_rep->m_max.x = m_xMax;
    m_rep->m_min.x = m_xMin;
    m_rep->m_yLog = m_yLog;
    m_rep->m_max.y = m_yMax;
    m_rep->m_min.y = m_yMin;
    m_data->Execute(std::make_unique<TransTask>(m_data, std::move(m_rep)));
    return true;
}
