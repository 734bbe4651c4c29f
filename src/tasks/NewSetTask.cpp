#include "tasks/NewSetTask.h"

#include "model/DbMemento.h"
#include "model/DbSetMgr.h"
#include "tasks/PlotData.h"

NewSetTask::NewSetTask(PlotData* data) : m_data(data)
{
}

NewSetTask::~NewSetTask() = default;

bool NewSetTask::Execute()
{
    m_undone = 0;
    m_previous = m_data->GetSetMgr()->GetCurrent();
    m_setIndex = m_data->NewSet();
    m_data->SetDataEdited(true);
    return true;
}

bool NewSetTask::Undo()
{
    m_undone = 1;
    DbSetMgr* sets = m_data->GetSetMgr();
    const bool wasCurrent = sets->GetCurrent() == m_setIndex;
    m_memento = m_data->DeleteSet(m_setIndex);
    // Taking the current set away makes a neighbour current; the user gets back the set that
    // was current before this one was added.
    if (wasCurrent && m_previous != m_setIndex && m_previous != sets->GetCurrent() &&
        sets->GetSet(m_previous))
        sets->SetCurrent(m_previous);
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
