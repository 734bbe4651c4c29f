#pragma once

#include "model/DbAttRep.h"
#include "model/Task.h"

#include <string>

class PlotData;

// Defines a new attribute (active) in the document's master list.
class AddAttTask : public Task {
public:
    AddAttTask(PlotData* data, const std::string& name, const std::string& value);

    bool Undo() override;
    bool Redo() override;
    bool Execute() override;
    const std::string& GetName() const override;

    const DbAttPtr& GetAttribute() const { return m_attribute; }

private:
    PlotData* m_data;
    std::string m_name;
    std::string m_value;
    DbAttPtr m_attribute;
};
