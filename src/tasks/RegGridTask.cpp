#include "tasks/RegGridTask.h"

#include "mapping/RegGridVw.h"
#include "model/AttributeRep.h"
#include "tasks/PlotData.h"

RegGridTask::RegGridTask(PlotData* data, std::unique_ptr<AttributeRep> newState)
    : AttributeTask(data, std::move(newState), data->FindRep<RegGridVw>(), "Regular Grid")
{
}
