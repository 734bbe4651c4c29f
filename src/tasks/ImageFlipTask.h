#pragma once

#include "model/Task.h"

class PlotData;

// Flips the document's image; undo and redo flip it again.
class ImageFlipTask : public Task {
public:
    // vertical: 0 mirrors left and right, 1 top and bottom.
    ImageFlipTask(PlotData* data, int vertical) : m_data(data), m_vertical(vertical) {}

    bool Execute() override;
    bool Undo() override { return Execute(); }
    bool Redo() override { return Execute(); }
    const std::string& GetName() const override;

private:
    PlotData* m_data;
    int m_vertical;
};
