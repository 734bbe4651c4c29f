#include "tasks/UpdateAttTask.h"

#include "model/DbSetMgr.h"
#include "tasks/PlotData.h"

UpdateAttTask::UpdateAttTask(PlotData* data, const std::string& name, const std::string& value,
                             int active)
    : m_data(data), m_previous(nullptr), m_new(new DbAttRep(name, value, active))
{
}

bool UpdateAttTask::Execute()
{
    m_previous = m_data->GetSetMgr()->UpdateAttribute(m_new);
    // The attributes are saved with the data: the document has unsaved changes.
    m_data->SetDataEdited(true);
    return true;
}

bool UpdateAttTask::Redo()
{
    m_data->GetSetMgr()->UpdateAttribute(m_new);
    m_data->SetDataEdited(true);
    return true;
}

bool UpdateAttTask::Undo()
{
    if (m_previous.Get())
        m_data->GetSetMgr()->UpdateAttribute(m_previous);
    m_data->SetDataEdited(true);
    return true;
}

const std::string& UpdateAttTask::GetName() const
{
    static const std::string name = "Update Attribute";
    return name;
}
