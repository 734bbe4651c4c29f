#include "tasks/SetClearTask.h"

#include "model/DbMemento.h"
#include "model/DbSetMgr.h"
#include "model/DbSetX1.h"
#include "model/DbSetX3.h"
#include "tasks/PlotData.h"

std::unique_ptr<DbMemento> SetClearTask::Take()
{
    return m_data->ClearCurrentSet();
}

const std::string& SetClearTask::GetName() const
{
    static const std::string name = "Clear Set";
    return name;
}
