#pragma once

#include "view/ViewDocument.h"

#include <memory>

class CKurvoDoc;
class PlotData;
class TransformMappingSource;

// The image view's door into a CKurvoDoc: its data, image, mapping and grid, the Axis
// Mapping command and the tasks the mapping and crop tools hand back.
class KurvoViewDocument : public ViewDocument {
public:
    explicit KurvoViewDocument(CKurvoDoc* doc);
    ~KurvoViewDocument() override;

    CKurvoDoc* GetDocument() const { return m_doc; }

    PlotData* GetPlotData() override;
    CDib* GetImage() override;
    TransformData* GetTransform() override;
    RegGridData* GetGrid() override;
    bool IsImageLoaded() override;
    ISize GetImageSize() override;
    bool IsMappingDefined() override;
    bool IsMappingValid() override;
    void OnAxisMapping() override;
    bool GetPixelResolution(const ToolEvent& e, DPoint& extent) override;
    std::unique_ptr<Task> MakeTransTask(std::unique_ptr<TransformMan> manipulator) override;
    std::unique_ptr<Task> MakeCropTask(const CropBox& box) override;
    void OnViewActivated() override;

private:
    CKurvoDoc* m_doc;
    // The crop task snapshots the mapping when it runs, after MakeCropTask returned: the
    // source it reads lives here, made again when the document made new data.
    std::unique_ptr<TransformMappingSource> m_mapping;
    PlotData* m_mappingData = nullptr;
};
