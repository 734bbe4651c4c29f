#include "tasks/NewSetTask.h"

#include "model/DbMemento.h"
#include "model/PlotData.h"

NewSetTask::NewSetTask(PlotData* data) : m_data(data) {}

NewSetTask::~NewSetTask() = default;

bool NewSetTask::Execute()
{
    m_undone = 0;
    m_setIndex = m_data->NewSet();
    m_data->SetDataEdited(true);
    return true;
}

bool NewSetTask::Undo()
{
    m_undone = 1;
    m_memento = m_data->DeleteSet(m_setIndex);
    m_data->SetDataEdited(true);
    return true;
}

bool NewSetTask::Redo()
{
    m_undone = 0;
    m_data->Restore(std::move(m_memento));
    m_data->SetDataEdited(true);
    return true;
}

const std::string& NewSetTask::GetName() const
{
    static const std::string name = "Add";
    return name;
}
