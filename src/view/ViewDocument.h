#pragma once

#include "platform/Geometry.h"

#include <memory>

class CDib;
class CropBox;
class PlotData;
class RegGridData;
class Task;
class TransformData;
class TransformMan;
struct ToolEvent;

// What the image view and its tools need of their document, beyond the platform Document
// (title, views, UpdateAllViews): its data, image, mapping and grid, and the tasks that
// change them.
class ViewDocument {
public:
    virtual ~ViewDocument() = default;

    virtual PlotData* GetPlotData() = 0;
    // The document's image; null or empty when there is none.
    virtual CDib* GetImage() = 0;
    virtual TransformData* GetTransform() = 0;
    virtual RegGridData* GetGrid() = 0;

    virtual bool IsImageLoaded() = 0;
    // The image size, 1 x 1 without an image.
    virtual ISize GetImageSize() = 0;
    // Whether the mapping region is defined, and whether the mapping is complete.
    virtual bool IsMappingDefined() = 0;
    virtual bool IsMappingValid() = 0;
    // The Axis Mapping command (its dialog).
    virtual void OnAxisMapping() = 0;
    // Graph-unit extents of one logical unit at the event's position; false when unmapped.
    virtual bool GetPixelResolution(const ToolEvent& e, DPoint& extent) = 0;

    // The task that installs a changed mapping region (it takes the manipulator).
    virtual std::unique_ptr<Task> MakeTransTask(std::unique_ptr<TransformMan> manipulator) = 0;
    // The task that crops the image to the box's bounding rectangle; null when it cannot.
    virtual std::unique_ptr<Task> MakeCropTask(const CropBox& box) = 0;

    // The view became active: refresh the modified flag and title, make a new transform
    // manager and let the data tell its observers.
    virtual void OnViewActivated() {}
};
