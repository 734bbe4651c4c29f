#pragma once

#include "image/CDib.h"
#include "image/MappingSource.h"
#include "model/Task.h"

#include <memory>

class PlotData;
class PointClearTask;

// Replaces the document's image by a pasted picture: all collected points are removed and the
// mapping is reset unless it is to be reused; undo puts back the old image, the points and
// the mapping. The view fits the new image to the window.
class ImagePasteTask : public Task {
public:
    // image: the pasted picture (copied). mapping: the document's mapping, not owned; null
    // when the document has none. reuseMapping: the "ReuseMappingData" preference, which
    // keeps the mapping in force.
    ImagePasteTask(PlotData* data, const CDib& image, MappingSource* mapping = nullptr,
                   bool reuseMapping = false);
    ~ImagePasteTask() override;

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
    bool m_reuseMapping;
};
