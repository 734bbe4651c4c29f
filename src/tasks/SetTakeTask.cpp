#include "tasks/SetTakeTask.h"

#include "model/DbMemento.h"
#include "tasks/PlotData.h"

SetTakeTask::SetTakeTask(PlotData* data) : m_data(data)
{
}

SetTakeTask::~SetTakeTask() = default;

bool SetTakeTask::Execute()
{
    m_undone = 0;
    m_memento = Take();
    // What a project save would write changed: the document counts as modified.
    m_data->SetDataEdited(true);
    return true;
}

bool SetTakeTask::Redo()
{
    return Execute();
}

bool SetTakeTask::Undo()
{
    m_undone = 1;
    m_data->Restore(std::move(m_memento));
    m_data->SetDataEdited(true);
    return true;
}
