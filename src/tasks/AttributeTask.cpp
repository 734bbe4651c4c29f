#include "tasks/AttributeTask.h"

#include "model/AttributeRep.h"
#include "tasks/PlotData.h"

AttributeTask::AttributeTask(PlotData* data, std::unique_ptr<AttributeRep> newState,
                             std::unique_ptr<AttributeRep> oldState, std::string name)
    : m_data(data), m_new(std::move(newState)), m_old(std::move(oldState)), m_name(std::move(name))
{
}

AttributeTask::~AttributeTask() = default;

bool AttributeTask::Apply(AttributeRep* state)
{
    if (!state)
        return false;
    state->Notify(DataHint());
    OnApplied();
    // The mapping and the grid are part of what is saved.
    m_data->SetDataEdited(true);
    m_data->ResetViewHint();
    return true;
}

bool AttributeTask::Execute()
{
    return Apply(m_new.get());
}

bool AttributeTask::Redo()
{
    return Apply(m_new.get());
}

bool AttributeTask::Undo()
{
    return Apply(m_old.get());
}
