#pragma once

#include "model/Task.h"

#include <memory>

class DbPrim;
class PlotData;

// Adds one primitive (a collected point, an attribute entry) to the current set. While
// done the set owns the primitive; while undone the task does.
class PrimTask : public Task {
public:
    PrimTask(PlotData* data, std::unique_ptr<DbPrim> prim);
    ~PrimTask() override;

    bool Undo() override;
    bool Redo() override;
    bool Execute() override;
    const std::string& GetName() const override;

    DbPrim* GetPrim() const { return m_prim; }
    int GetSetIndex() const { return m_setIndex; }

private:
    PlotData* m_data;
    DbPrim* m_prim;
    // The primitive while the task owns it (before Execute and while undone).
    std::unique_ptr<DbPrim> m_owned;
    int m_setIndex = 0;
};
