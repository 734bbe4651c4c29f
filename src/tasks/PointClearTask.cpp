#include "tasks/PointClearTask.h"

#include "model/DbMemento.h"
#include "model/DbSetMgr.h"
#include "model/DbSetX1.h"
#include "model/DbSetX3.h"
#include "tasks/PlotData.h"

std::unique_ptr<DbMemento> PointClearTask::Take()
{
    return m_data->ClearAll();
}

const std::string& PointClearTask::GetName() const
{
    static const std::string name = "Clear Data";
    return name;
}
