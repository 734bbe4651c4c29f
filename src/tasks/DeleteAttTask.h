#pragma once

#include "model/DbAttRep.h"
#include "model/Task.h"

#include <string>

class PlotData;

// Removes an attribute from the master list; points collected with it keep it.
class DeleteAttTask : public Task {
public:
    DeleteAttTask(PlotData* data, const std::string& name);

    bool Undo() override;
    bool Redo() override;
    bool Execute() override;
    const std::string& GetName() const override;

private:
    PlotData* m_data;
    std::string m_name;
    DbAttPtr m_removed;
};
