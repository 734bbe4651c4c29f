#include "document/OptionsDlg.h"

#include "document/CPreferences.h"
#include "tasks/PlotData.h"

#include <algorithm>

namespace {

OptionsDlg::Runner& TheRunner()
{
    static OptionsDlg::Runner runner;
    return runner;
}

} // namespace

void OptionsDlg::Load(const CPreferences& prefs)
{
    m_sortData = prefs.m_sortData;
    m_saveBitmapCopy = prefs.m_saveReference ? 0 : 1;
    m_reuseMappingData = prefs.m_reuseMappingData;
    m_allowCaching = prefs.m_allowCaching;
    m_uncertaintyColumns = prefs.m_uncertaintyColumns;
    m_magnifierFactor = prefs.m_magnifierFactor;
}

void OptionsDlg::Store(CPreferences& prefs) const
{
    prefs.m_sortData = m_sortData;
    prefs.m_saveReference = m_saveBitmapCopy ? 0 : 1;
    prefs.m_reuseMappingData = m_reuseMappingData;
    prefs.m_allowCaching = m_allowCaching;
    prefs.m_uncertaintyColumns = m_uncertaintyColumns;
    prefs.m_magnifierFactor = std::clamp(m_magnifierFactor, 4, 12);
}

bool OptionsDlg::Run(CPreferences& prefs, PlotData* activeData)
{
    OptionsDlg dialog;
    dialog.Load(prefs);
    const Runner& runner = TheRunner();
    if (!runner || !runner(dialog))
        return false;
    dialog.Store(prefs);
    if (activeData)
        activeData->ApplyPreferences(prefs.m_saveReference != 0, prefs.m_sortData != 0);
    prefs.Notify(DataHint());
    return true;
}

void OptionsDlg::SetRunner(Runner runner)
{
    TheRunner() = std::move(runner);
}
