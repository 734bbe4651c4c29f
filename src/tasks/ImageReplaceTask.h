#pragma once

#include "image/CDib.h"
#include "image/MappingSource.h"
#include "model/Task.h"

#include <memory>
#include <string>

class PlotData;
class PointClearTask;

// Replaces the document's image by another picture: all collected points are removed and the
// mapping is reset unless it is kept; undo puts back the old image, the points and the
// mapping.
class ImageReplaceTask : public Task {
public:
    ~ImageReplaceTask() override;

    bool Execute() override;
    bool Undo() override;
    bool Redo() override;
    const std::string& GetName() const override { return m_name; }

protected:
    // image: the new picture (copied). mapping: the document's mapping, not owned; null when
    // the document has none. viewHint: what the views are told of the new image.
    ImageReplaceTask(PlotData* data, const CDib& image, MappingSource* mapping, int viewHint,
                     bool keepMapping, std::string name);
    // The same, taking over a picture made for the task (a large scan is not copied twice).
    ImageReplaceTask(PlotData* data, std::unique_ptr<CDib> image, MappingSource* mapping,
                     int viewHint, bool keepMapping, std::string name);

private:
    PlotData* m_data;
    std::unique_ptr<CDib> m_newImage;
    std::unique_ptr<CDib> m_oldImage;
    std::unique_ptr<MappingState> m_before;
    std::unique_ptr<MappingState> m_after;
    std::unique_ptr<PointClearTask> m_pointClear;
    MappingSource* m_mapping;
    int m_viewHint;
    bool m_keepMapping;
    std::string m_name;
};
