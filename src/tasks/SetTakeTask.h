#pragma once

#include "model/Task.h"

#include <memory>

class DbMemento;
class PlotData;

// The shape shared by the clear and delete tasks: Execute and Redo take something out of
// the set manager into a memento, Undo restores it.
class SetTakeTask : public Task {
public:
    explicit SetTakeTask(PlotData* data);
    ~SetTakeTask() override;

    bool Undo() override;
    bool Redo() override;
    bool Execute() override;

protected:
    // Takes what the task removes; the memento that puts it back.
    virtual std::unique_ptr<DbMemento> Take() = 0;

    PlotData* m_data;

private:
    std::unique_ptr<DbMemento> m_memento;
    int m_undone = 0;
};
