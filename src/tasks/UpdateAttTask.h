#pragma once

#include "model/DbAttRep.h"
#include "model/Task.h"

#include <string>

class PlotData;

// Changes the value or the active flag of an attribute, by putting a new record in the
// place of the old one (points keep the record they were collected with).
class UpdateAttTask : public Task {
public:
    UpdateAttTask(PlotData* data, const std::string& name, const std::string& value, int active);

    bool Undo() override;
    bool Redo() override;
    bool Execute() override;
    const std::string& GetName() const override;

private:
    PlotData* m_data;
    DbAttPtr m_previous;
    DbAttPtr m_new;
};
