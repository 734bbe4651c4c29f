#pragma once

#include "model/Task.h"

#include <memory>
#include <string>

class AttributeRep;
class PlotData;

// A change of one of the document's attributes, the mapping or the grid. The new state is a
// representation filled by its creator (a dialog, a region tool, a command); the old one is
// taken from the attribute when the task is made. Applying a state hands it to its attribute.
class AttributeTask : public Task {
public:
    ~AttributeTask() override;

    bool Undo() override;
    bool Redo() override;
    bool Execute() override;
    const std::string& GetName() const override { return m_name; }

protected:
    AttributeTask(PlotData* data, std::unique_ptr<AttributeRep> newState,
                  std::unique_ptr<AttributeRep> oldState, std::string name);
    // What follows from a new state besides the attribute itself.
    virtual void OnApplied() {}

    PlotData* m_data;

private:
    bool Apply(AttributeRep* state);

    std::unique_ptr<AttributeRep> m_new;
    std::unique_ptr<AttributeRep> m_old;
    std::string m_name;
};
