#pragma once

#include "mapping/Box.h"

#include <memory>

class PlotData;
class Task;

// The box the crop tool draws: the rectangle the image is to be cropped to. A fresh drag
// always starts a new axis-aligned rectangle; the corners can be saved and put back.
class CropBox : public Box {
public:
    CropBox() = default;

    // A new rectangle from the drag when nothing was picked or the box is undefined,
    // otherwise the edges or corner picked follow the drag.
    void ResizeByDrag(int hitCode, DPoint from, DPoint to) override;

    // Keeps the four pixel corners, and puts them back (the angle becomes 0).
    void SaveCorners();
    void RestoreCorners();

    // The bounding rectangle of the corners in whole pixels: origin rounded, size rounded
    // plus one. False (and nothing written) when the box is undefined.
    bool GetBoundingRect(IPoint& origin, ISize& size) const;

    // The task that crops the document's image to the bounding rectangle; null when the box
    // is undefined, the document has no image, or the rectangle holds none or all of it.
    std::unique_ptr<Task> CreateCropTask(PlotData* data) const;

private:
    DPoint m_saved[4];
};
