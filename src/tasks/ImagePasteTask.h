#pragma once

#include "tasks/ImageReplaceTask.h"
#include "tasks/PlotData.h"

// Replaces the document's image by a pasted picture ("Paste Image"); the view fits the new
// image to the window.
class ImagePasteTask : public ImageReplaceTask {
public:
    // image: the pasted picture (copied). mapping: the document's mapping, not owned; null
    // when the document has none. reuseMapping: the "ReuseMappingData" preference, which
    // keeps the mapping in force.
    ImagePasteTask(PlotData* data, const CDib& image, MappingSource* mapping = nullptr,
                   bool reuseMapping = false)
        : ImageReplaceTask(data, image, mapping, PlotData::kHintImageReplaced, reuseMapping,
                           "Paste Image")
    {
    }
    ImagePasteTask(PlotData* data, std::unique_ptr<CDib> image, MappingSource* mapping,
                   bool reuseMapping)
        : ImageReplaceTask(data, std::move(image), mapping, PlotData::kHintImageReplaced,
                           reuseMapping, "Paste Image")
    {
    }
};
