#pragma once

#include "view/ViewDocument.h"
#include "view/ViewSettings.h"

class CKurvoDoc;
class CPreferences;

// The settings the image view and its tools read, as the user's preferences give them.
ViewSettings ViewSettingsFromPreferences(const CPreferences& prefs);

// The program's document as its image view sees it.
class KurvoViewDocument : public ViewDocument {
public:
    explicit KurvoViewDocument(CKurvoDoc* doc);

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

    CKurvoDoc* GetDocument() const { return m_doc; }

private:
    CKurvoDoc* m_doc;
};
