#pragma once

#include "model/Task.h"

#include <memory>

class AttributeRep;
class PlotData;

// A change of the document's grid: the new settings come in a grid view filled by the grid
// dialog; the old ones are a grid view taken when the task is made.
class RegGridTask : public Task {
public:
    RegGridTask(PlotData* data, std::unique_ptr<AttributeRep> newState);
    ~RegGridTask() override;

    bool Undo() override;
    bool Redo() override;
    bool Execute() override;
    const std::string& GetName() const override;

private:
    bool Apply(AttributeRep* state);

    PlotData* m_data;
    std::unique_ptr<AttributeRep> m_new;
    std::unique_ptr<AttributeRep> m_old;
};
