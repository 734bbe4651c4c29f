#pragma once

#include "model/Task.h"
#include "platform/Geometry.h"

#include <memory>
#include <string>
#include <vector>

class DbPrim;
class PlotData;

// Adds many points (image pixels, mapped through the document's transform) to the current set
// at once: one entry in the undo history, one change notice. While done the set owns the
// points; while undone the task does.
class AddPointsTask : public Task {
public:
    // graph, when it holds a position for each pixel, is kept in place of the transform's
    // (an extraction's exact X steps) until the mapping changes.
    AddPointsTask(PlotData* data, const std::vector<DPoint>& pixels,
                  const std::vector<DPoint>& graph = {}, std::string name = "Extract");
    ~AddPointsTask() override;

    bool Undo() override;
    bool Redo() override;
    bool Execute() override;
    const std::string& GetName() const override { return m_name; }

    int GetCount() const { return static_cast<int>(m_prims.size()); }
    int GetSetIndex() const { return m_setIndex; }

private:
    bool Add(int slot);

    PlotData* m_data;
    std::string m_name;
    std::vector<DbPrim*> m_prims;
    // The points while the task owns them (before Execute and while undone).
    std::vector<std::unique_ptr<DbPrim>> m_owned;
    int m_setIndex = -1;
};
