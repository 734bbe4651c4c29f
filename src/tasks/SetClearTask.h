#pragma once

#include "tasks/SetTakeTask.h"

// Clear Set: the current set keeps its name and slot and loses its entries.
class SetClearTask : public SetTakeTask {
public:
    explicit SetClearTask(PlotData* data) : SetTakeTask(data) {}
    const std::string& GetName() const override;

protected:
    std::unique_ptr<DbMemento> Take() override;
};
