#pragma once

#include "tasks/AttributeTask.h"

// A change of the document's mapping ("Transformation"): the new state is a transform
// representation; the old one a memento of the whole transform. The points' graph positions
// follow each state.
class TransTask : public AttributeTask {
public:
    TransTask(PlotData* data, std::unique_ptr<AttributeRep> newState);

protected:
    void OnApplied() override;
};
