#pragma once

#include "image/CDib.h"
#include "mapping/RegGridData.h"
#include "mapping/TransformData.h"
#include "platform/Document.h"
#include "tasks/PlotData.h"
#include "view/ViewDocument.h"

#include <cstdint>
#include <functional>
#include <vector>

// A packed 24-bit (or 8-bit grey) DIB block whose pixel (x, y), counted from the top-left,
// has the colour colourOf(x, y) (0x00BBGGRR).
std::vector<std::uint8_t> MakeDibBlock(int width, int height, int bitCount,
                                       const std::function<Colour(int, int)>& colourOf);
// A colour that differs between neighbouring pixels on both axes.
Colour PatternColour(int x, int y);

// The document the view tests drive: the program's data with its image, mapping and grid,
// and its mapping and crop tasks. Whether the mapping is complete and what the Axis Mapping
// command does are the test's to decide.
class ViewTestDoc : public Document, public ViewDocument {
public:
    PlotData* GetPlotData() override { return &data; }
    CDib* GetImage() override { return data.GetImage(); }
    TransformData* GetTransform() override { return data.GetTransform(); }
    RegGridData* GetGrid() override { return data.GetGrid(); }
    bool IsImageLoaded() override { return data.HasImage(); }
    ISize GetImageSize() override
    {
        return IsImageLoaded() ? ISize{GetImage()->Width(), GetImage()->Height()} : ISize{1, 1};
    }
    bool IsMappingDefined() override { return transform().GetRegion().IsDefined(); }
    bool IsMappingValid() override { return mappingValid && IsMappingDefined(); }
    void OnAxisMapping() override { onAxisMapping(); }
    bool GetPixelResolution(const ToolEvent& e, DPoint& extent) override;
    std::unique_ptr<Task> MakeTransTask(std::unique_ptr<TransformMan> manipulator) override;
    std::unique_ptr<Task> MakeCropTask(const CropBox& box) override;
    void OnViewActivated() override { ++activations; }

    TransformData& transform() { return *data.GetTransform(); }
    void SetImage(int width, int height, int bitCount = 24);
    // The region as an axis-parallel rectangle with graph limits: x from left to right, y from
    // bottom (max pixel y) to top.
    void DefineRegion(DPoint topLeft, DPoint bottomRight, DPoint graphMin, DPoint graphMax);
    // Grid snapping on both axes with the given steps in graph units.
    void SetGridSnap(double stepX, double stepY);

    PlotData data{this};
    bool mappingValid = true;
    int activations = 0;
    std::function<void()> onAxisMapping = [] {};
};
