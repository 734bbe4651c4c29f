#include "tasks/DeleteAttTask.h"

#include "model/DbSetMgr.h"
#include "tasks/PlotData.h"

DeleteAttTask::DeleteAttTask(PlotData* data, const std::string& name)
    : m_data(data), m_name(name), m_removed(nullptr)
{
}

bool DeleteAttTask::Execute()
{
    m_removed = m_data->GetSetMgr()->DeleteAttribute(m_name);
    // The attributes are saved with the data: the document has unsaved changes.
    m_data->SetDataEdited(true);
    return true;
}

bool DeleteAttTask::Redo()
{
    return Execute();
}

bool DeleteAttTask::Undo()
{
    if (m_removed.Get())
        m_data->GetSetMgr()->AddAttribute(m_removed);
    m_data->SetDataEdited(true);
    return true;
}

const std::string& DeleteAttTask::GetName() const
{
    static const std::string name = "Delete Attribute";
    return name;
}
