#pragma once

#include "tasks/AttributeTask.h"

// A change of the document's grid ("Regular Grid"): the new settings come in a grid view
// filled by the grid dialog; the old ones are a grid view taken when the task is made.
class RegGridTask : public AttributeTask {
public:
    RegGridTask(PlotData* data, std::unique_ptr<AttributeRep> newState);
};
