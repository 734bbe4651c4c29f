#include "tasks/DeletePointsTask.h"

#include "model/DbPrim.h"
#include "model/DbSetMgr.h"
#include "tasks/PlotData.h"

#include <algorithm>

DeletePointsTask::DeletePointsTask(PlotData* data, std::vector<DbPrim*> prims)
    : m_data(data), m_prims(std::move(prims))
{
}

DeletePointsTask::~DeletePointsTask() = default;

bool DeletePointsTask::Execute()
{
    if (!m_data)
        return false;
    DbSetMgr* sets = m_data->GetSetMgr();
    for (DbPrim* p : m_prims) {
        Entry e{p, 0, 0, nullptr};
        const bool dup = std::any_of(m_entries.begin(), m_entries.end(),
                                     [p](const Entry& x) { return x.prim == p; });
        if (!dup && sets->Locate(p, e.slot, e.index))
            m_entries.push_back(std::move(e));
    }
    if (m_entries.empty())
        return false;
    std::sort(m_entries.begin(), m_entries.end(), [](const Entry& a, const Entry& b) {
        return a.slot != b.slot ? a.slot < b.slot : a.index < b.index;
    });
    return Remove();
}

bool DeletePointsTask::Remove()
{
    // From the back, so that the positions taken still hold for the entries before.
    DbSetMgr* sets = m_data->GetSetMgr();
    for (auto it = m_entries.rbegin(); it != m_entries.rend(); ++it)
        it->owned = sets->RemovePrim(it->prim, it->slot);
    m_data->SetDataEdited(true);
    m_data->SetViewHint(PlotData::kHintData);
    // The lists of the sets hear of it once.
    sets->Notify(DataHint());
    return true;
}

bool DeletePointsTask::Redo()
{
    return !m_entries.empty() && Remove();
}

bool DeletePointsTask::Undo()
{
    DbSetMgr* sets = m_data->GetSetMgr();
    std::vector<DbPrim*> back;
    for (Entry& e : m_entries)
        if (e.owned && sets->InsertPrim(e.owned, e.slot, e.index))
            back.push_back(e.prim);
    m_data->SetDataEdited(true);
    m_data->SetViewHint(PlotData::kHintData);
    // Selecting them tells the lists, unless they were selected already.
    if (sets->GetSelection() == back)
        sets->Notify(DataHint());
    else
        sets->SetSelection(back);
    return back.size() == m_entries.size();
}

const std::string& DeletePointsTask::GetName() const
{
    static const std::string name = "Delete Points";
    return name;
}
