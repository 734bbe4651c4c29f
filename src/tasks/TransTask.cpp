#include "tasks/TransTask.h"

#include "mapping/TransformMemento.h"
#include "model/DbSetMgr.h"
#include "tasks/PlotData.h"

TransTask::TransTask(PlotData* data, std::unique_ptr<AttributeRep> newState)
    : AttributeTask(data, std::move(newState), data->FindRep<TransformMemento>(), "Transformation")
{
}

void TransTask::OnApplied()
{
    m_data->GetSetMgr()->Recompute(m_data);
}
