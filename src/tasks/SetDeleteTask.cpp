#include "tasks/SetDeleteTask.h"

#include "model/DbMemento.h"
#include "model/DbSetMgr.h"
#include "model/DbSetX1.h"
#include "model/DbSetX3.h"
#include "tasks/PlotData.h"

std::unique_ptr<DbMemento> SetDeleteTask::Take()
{
    return m_data->DeleteSet(m_data->GetSetMgr()->GetCurrent());
}

const std::string& SetDeleteTask::GetName() const
{
    static const std::string name = "Delete Set";
    return name;
}
