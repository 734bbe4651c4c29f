#pragma once

#include "model/Task.h"

#include <memory>
#include <vector>

class DbPrim;
class PlotData;

// Removes entries (points, attribute entries) from their sets. While done the task owns
// them; Undo puts each back into its set at its old position, attributes untouched, and
// selects them again.
class DeletePointsTask : public Task {
public:
    DeletePointsTask(PlotData* data, std::vector<DbPrim*> prims);
    ~DeletePointsTask() override;

    bool Undo() override;
    bool Redo() override;
    bool Execute() override;
    const std::string& GetName() const override;

private:
    struct Entry {
        DbPrim* prim;
        int slot;
        int index;
        std::unique_ptr<DbPrim> owned;
    };
    bool Remove();

    PlotData* m_data;
    std::vector<DbPrim*> m_prims;
    // In set order: slot, then position.
    std::vector<Entry> m_entries;
};
