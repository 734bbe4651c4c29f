#pragma once

#include "model/Task.h"

#include <memory>

class DbMemento;
class PlotData;

// New Data Set: a new empty set named "Line %d" with the next free number becomes current.
class NewSetTask : public Task {
public:
    explicit NewSetTask(PlotData* data);
    ~NewSetTask() override;

    bool Undo() override;
    bool Redo() override;
    bool Execute() override;
    const std::string& GetName() const override;

private:
    PlotData* m_data;
    int m_undone = 0;
    std::unique_ptr<DbMemento> m_memento;
    int m_setIndex = 0;
    int m_previous = -1; // the set current before the new one
};
