#pragma once

#include "tasks/ImageReplaceTask.h"
#include "tasks/PlotData.h"

// Replaces the document's image by a cropped copy ("Crop Image"); the mapping is reset.
class ImageCropTask : public ImageReplaceTask {
public:
    // image: the cropped picture (copied). mapping: the document's mapping, not owned; null
    // when the document has none.
    ImageCropTask(PlotData* data, const CDib& image, MappingSource* mapping = nullptr)
        : ImageReplaceTask(data, image, mapping, PlotData::kHintImage, false, "Crop Image")
    {
    }
};
