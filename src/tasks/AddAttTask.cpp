#include "tasks/AddAttTask.h"

#include "model/DbSetMgr.h"
#include "tasks/PlotData.h"

AddAttTask::AddAttTask(PlotData* data, const std::string& name, const std::string& value)
    : m_data(data), m_name(name), m_value(value), m_attribute(new DbAttRep(name, value, 1))
{
}

bool AddAttTask::Execute()
{
    m_data->GetSetMgr()->AddAttribute(m_attribute);
    // The attributes are saved with the data: the document has unsaved changes.
    m_data->SetDataEdited(true);
    return true;
}

bool AddAttTask::Redo()
{
    return Execute();
}

bool AddAttTask::Undo()
{
    m_data->GetSetMgr()->DeleteAttribute(m_name);
    m_data->SetDataEdited(true);
    return true;
}

const std::string& AddAttTask::GetName() const
{
    static const std::string name = "Add Attribute";
    return name;
}
