#include "tasks/TransTask.h"

#include "model/AttributeRep.h"
#include "model/DbSetMgr.h"
#include "tasks/PlotData.h"

TransTask::TransTask(PlotData* data, std::unique_ptr<AttributeRep> newState)
    : m_data(data), m_new(std::move(newState)),
      m_old(data->FindRep("AttTransform", "ViewMementoTransformData"))
{
}

TransTask::~TransTask() = default;

bool TransTask::Apply(AttributeRep* state)
{
    if (!state)
        return false;
    state->Notify(DataHint());
    // Graph positions derive from the mapping; the mapping is part of what is saved.
    m_data->GetSetMgr()->Recompute(m_data);
    m_data->SetDataEdited(true);
    m_data->ResetViewHint();
    return true;
}

bool TransTask::Execute()
{
    return Apply(m_new.get());
}

bool TransTask::Redo()
{
    return Apply(m_new.get());
}

bool TransTask::Undo()
{
    return Apply(m_old.get());
}

const std::string& TransTask::GetName() const
{
    static const std::string name = "Transformation";
    return name;
}
