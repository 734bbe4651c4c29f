#pragma once

#include "image/CDib.h"
#include "image/MappingSource.h"
#include "model/Task.h"

#include <memory>

class PlotData;
class PointClearTask;

// Replaces the document's image by a cropped copy: all collected points are removed and the
// mapping is reset; undo puts back the old image, the points and the mapping.
class ImageCropTask : public Task {
public:
    // image: the cropped picture (copied). mapping: the document's mapping, not owned; null
    // when the document has none.
    ImageCropTask(PlotData* data, const CDib& image, MappingSource* mapping = nullptr);
    ~ImageCropTask() override;

    bool Execute() override;
    bool Undo() override;
    bool Redo() override;
    const std::string& GetName() const override;

private:
    PlotData* m_data;
    std::unique_ptr<CDib> m_newImage;
    std::unique_ptr<CDib> m_oldImage;
    std::unique_ptr<MappingState> m_before;
    std::unique_ptr<MappingState> m_after;
    std::unique_ptr<PointClearTask> m_pointClear;
    MappingSource* m_mapping;
};
