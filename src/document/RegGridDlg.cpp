#include "document/RegGridDlg.h"

#include "mapping/RegGridVw.h"
#include "platform/UiServices.h"
#include "tasks/PlotData.h"
#include "tasks/RegGridTask.h"

RegGridDlg::RegGridDlg(PlotData* data) : m_data(data)
{
    m_rep = data->FindRep<RegGridVw>();
}

RegGridDlg::~RegGridDlg() = default;

void RegGridDlg::LoadFields()
{
    if (!m_rep)
        return;
    const RegGridSettings& s = m_rep->m_settings;
    m_snapX = s.snapX;
    m_snapY = s.snapY;
    m_originX = s.originX;
    m_stepX = s.stepX;
    m_originY = s.originY;
    m_stepY = s.stepY;
    m_showX = s.showX;
    m_showY = s.showY;
}

bool RegGridDlg::OnOK()
{
    // A step matters only on an axis that snaps: X alone may snap while Y's step is 0.
    if ((m_snapX && m_stepX == 0) || (m_snapY && m_stepY == 0)) {
        GetUiServices().MessageBox("The grid step must not be zero.");
        return false;
    }
    if (!m_rep)
        return true;
    RegGridSettings& s = m_rep->m_settings;
    s.snapX = m_snapX;
    s.snapY = m_snapY;
    s.originX = m_originX;
    s.stepX = m_stepX;
    s.originY = m_originY;
    s.stepY = m_stepY;
    s.showX = m_showX;
    s.showY = m_showY;
    m_data->Execute(std::make_unique<RegGridTask>(m_data, std::move(m_rep)));
    return true;
}
