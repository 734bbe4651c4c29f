#include "tasks/AddPointsTask.h"

#include "model/DbPoint.h"
#include "model/DbPrimList.h"
#include "model/DbSetMgr.h"
#include "tasks/PlotData.h"

AddPointsTask::AddPointsTask(PlotData* data, const std::vector<DPoint>& pixels,
                             const std::vector<DPoint>& graph, std::string name)
    : m_data(data), m_name(std::move(name))
{
    m_owned.reserve(pixels.size());
    for (std::size_t i = 0; i < pixels.size(); ++i) {
        auto point = std::make_unique<DbPoint>(pixels[i]);
        point->Recompute(m_data);
        if (graph.size() == pixels.size())
            point->m_graph = graph[i];
        m_prims.push_back(point.get());
        m_owned.push_back(std::move(point));
    }
}

AddPointsTask::~AddPointsTask() = default;

bool AddPointsTask::Add(int slot)
{
    DbSetMgr* mgr = m_data->GetSetMgr();
    if (m_owned.empty() || !mgr)
        return false;
    if (slot < 0)
        slot = mgr->GetCurrent();
    DbPrimList* set = mgr->GetSet(slot);
    if (!set)
        return false; // no current set: the task keeps its points
    for (auto& prim : m_owned) {
        prim->SetAttributes(mgr->GetAttMgr().ListForNewPoints());
        set->Append(std::move(prim));
    }
    m_owned.clear();
    m_setIndex = slot;
    m_data->SetDataEdited(true);
    m_data->SetViewHint(PlotData::kHintData);
    m_data->NotifyAll();
    return true;
}

bool AddPointsTask::Execute()
{
    return Add(-1);
}

bool AddPointsTask::Redo()
{
    return Add(m_setIndex);
}

bool AddPointsTask::Undo()
{
    DbSetMgr* mgr = m_data->GetSetMgr();
    DbPrimList* set = mgr ? mgr->GetSet(m_setIndex) : nullptr;
    if (!set || !m_owned.empty())
        return false;
    // Newest first, so each removal finds its point at the end of the list.
    std::vector<std::unique_ptr<DbPrim>> taken(m_prims.size());
    for (std::size_t i = m_prims.size(); i-- > 0;) {
        taken[i] = set->Remove(m_prims[i]);
        if (!taken[i]) {
            // Put back what was taken so the set stays as it was.
            for (std::size_t j = i + 1; j < m_prims.size(); ++j)
                set->Append(std::move(taken[j]));
            return false;
        }
    }
    m_owned = std::move(taken);
    m_data->SetDataEdited(true);
    m_data->SetViewHint(PlotData::kHintData);
    m_data->NotifyAll();
    return true;
}
