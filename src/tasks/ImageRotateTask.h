#pragma once

#include "model/Task.h"

class PlotData;

// Turns the document's image by 90, 180 or 270 degrees clockwise; undo turns it back.
class ImageRotateTask : public Task {
public:
    ImageRotateTask(PlotData* data, int angle) : m_data(data), m_angle(angle) {}

    bool Execute() override;
    bool Undo() override;
    bool Redo() override { return Execute(); }
    const std::string& GetName() const override;

private:
    PlotData* m_data;
    int m_angle;
};
