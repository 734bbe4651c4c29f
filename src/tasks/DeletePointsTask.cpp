#include "tasks/DeletePointsTask.h"

#include "model/DbPrim.h"
#include "model/DbPrimList.h"
#include "model/DbSetMgr.h"
#include "tasks/PlotData.h"

#include <unordered_set>

DeletePointsTask::DeletePointsTask(PlotData* data, std::vector<DbPrim*> prims)
    : m_data(data), m_prims(std::move(prims))
{
}

DeletePointsTask::~DeletePointsTask() = default;

bool DeletePointsTask::Execute()
{
    if (!m_data)
        return false;
    // One walk over the sets finds every entry, in set order.
    DbSetMgr* sets = m_data->GetSetMgr();
    std::unordered_set<const DbPrim*> wanted(m_prims.begin(), m_prims.end());
    for (int slot = 0; slot < sets->GetSlotCount(); ++slot)
        if (const DbPrimList* set = sets->GetSet(slot))
            for (int i = 0; i < set->GetCount(); ++i)
                if (wanted.contains(set->GetAt(i)))
                    m_entries.push_back({set->GetAt(i), slot, i, nullptr});
    if (m_entries.empty())
        return false;
    return Remove();
}

bool DeletePointsTask::Remove()
{
    // From the back, so that the positions taken still hold for the entries before.
    DbSetMgr* sets = m_data->GetSetMgr();
    // The entries leave the selection all at once rather than one by one.
    sets->SetSelection({});
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
