#include "tasks/RegGridTask.h"

#include "model/AttributeRep.h"
#include "tasks/PlotData.h"

RegGridTask::RegGridTask(PlotData* data, std::unique_ptr<AttributeRep> newState)
    : m_data(data), m_new(std::move(newState)),
      m_old(data->FindRep("AttRegGrid", "ViewDialogRegGrid"))
{
}

RegGridTask::~RegGridTask() = default;

bool RegGridTask::Apply(AttributeRep* state)
{
    if (!state)
        return false;
    state->Notify(DataHint());
    // The grid is part of what is saved.
    m_data->SetDataEdited(true);
    m_data->ResetViewHint();
    return true;
}

bool RegGridTask::Execute()
{
    return Apply(m_new.get());
}

bool RegGridTask::Redo()
{
    return Apply(m_new.get());
}

bool RegGridTask::Undo()
{
    return Apply(m_old.get());
}

const std::string& RegGridTask::GetName() const
{
    static const std::string name = "Regular Grid";
    return name;
}
