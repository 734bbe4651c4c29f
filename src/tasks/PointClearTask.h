#pragma once

#include "tasks/SetTakeTask.h"

// Delete All Data: every set goes into the memento and one empty set named Line 1 is left.
class PointClearTask : public SetTakeTask {
public:
    explicit PointClearTask(PlotData* data) : SetTakeTask(data) {}
    const std::string& GetName() const override;

protected:
    std::unique_ptr<DbMemento> Take() override;
};
