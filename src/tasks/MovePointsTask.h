#pragma once

#include "model/Task.h"
#include "platform/Geometry.h"

#include <vector>

class DbPoint;
class PlotData;

// Moves points to new image positions; each stays in its set, at its position in the set,
// with its attributes. Undo puts them back where they were.
class MovePointsTask : public Task {
public:
    struct Move {
        DbPoint* point;
        DPoint from;
        DPoint to;
    };

    MovePointsTask(PlotData* data, std::vector<Move> moves);

    bool Undo() override;
    bool Redo() override;
    bool Execute() override;
    const std::string& GetName() const override;

private:
    bool Apply(bool forward);

    PlotData* m_data;
    std::vector<Move> m_moves;
};
