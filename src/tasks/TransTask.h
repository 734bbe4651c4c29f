#pragma once

#include "model/Task.h"

#include <memory>

class AttributeRep;
class PlotData;

// A change of the document's mapping: the new state is a transform representation filled
// by its creator (a mapping dialog, a region tool, the full-size command); the old state is
// a memento of the whole transform taken when the task is made.
class TransTask : public Task {
public:
    TransTask(PlotData* data, std::unique_ptr<AttributeRep> newState);
    ~TransTask() override;

    bool Undo() override;
    bool Redo() override;
    bool Execute() override;
    const std::string& GetName() const override;

private:
    // Hands a state to the transform, then the points follow the new mapping.
    bool Apply(AttributeRep* state);

    PlotData* m_data;
    std::unique_ptr<AttributeRep> m_new;
    std::unique_ptr<AttributeRep> m_old;
};
