#pragma once

#include "tasks/SetTakeTask.h"

// Delete Set: the current set is removed (deleting the only set clears all data).
class SetDeleteTask : public SetTakeTask {
public:
    explicit SetDeleteTask(PlotData* data) : SetTakeTask(data) {}
    const std::string& GetName() const override;

protected:
    std::unique_ptr<DbMemento> Take() override;
};
