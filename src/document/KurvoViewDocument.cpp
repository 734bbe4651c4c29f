#include "document/KurvoViewDocument.h"

#include "document/CKurvoDoc.h"
#include "document/CPreferences.h"
#include "image/CDib.h"
#include "mapping/TransformData.h"
#include "mapping/TransformMan.h"
#include "platform/CommandIds.h"
#include "platform/ToolEvent.h"
#include "tasks/PlotData.h"
#include "tasks/TransTask.h"
#include "view/CropBox.h"

KurvoViewDocument::KurvoViewDocument(CKurvoDoc* doc) : m_doc(doc)
{
}

PlotData* KurvoViewDocument::GetPlotData()
{
    return m_doc ? m_doc->GetPlotData() : nullptr;
}

CDib* KurvoViewDocument::GetImage()
{
    PlotData* data = GetPlotData();
    return data ? data->GetImage() : nullptr;
}

TransformData* KurvoViewDocument::GetTransform()
{
    PlotData* data = GetPlotData();
    return data ? data->GetTransform() : nullptr;
}

RegGridData* KurvoViewDocument::GetGrid()
{
    PlotData* data = GetPlotData();
    return data ? data->GetGrid() : nullptr;
}

bool KurvoViewDocument::IsImageLoaded()
{
    return m_doc && m_doc->IsImageLoaded();
}

ISize KurvoViewDocument::GetImageSize()
{
    return m_doc ? m_doc->GetImageSize() : ISize{1, 1};
}

bool KurvoViewDocument::IsMappingDefined()
{
    TransformData* t = GetTransform();
    return t && t->GetRegion().IsDefined();
}

bool KurvoViewDocument::IsMappingValid()
{
    TransformData* t = GetTransform();
    return t && t->GetRegion().IsDefined() && t->GetValid() != 0;
}

void KurvoViewDocument::OnAxisMapping()
{
    if (m_doc)
        m_doc->OnCommand(ID_EDIT_AXIS_MAPPING);
}

bool KurvoViewDocument::GetPixelResolution(const ToolEvent& e, DPoint& extent)
{
    PlotData* data = GetPlotData();
    DPoint graph;
    if (!data || !data->GetTransform() || !data->GetTransform()->PixelToGraph(e.scaled, graph))
        return false;
    // The tools ask for two digits below the leading one.
    extent = data->PixelResolution(e, 2);
    return true;
}

std::unique_ptr<Task> KurvoViewDocument::MakeTransTask(std::unique_ptr<TransformMan> manipulator)
{
    PlotData* data = GetPlotData();
    if (!data || !manipulator)
        return nullptr;
    return std::make_unique<TransTask>(data, std::move(manipulator));
}

std::unique_ptr<Task> KurvoViewDocument::MakeCropTask(const CropBox& box)
{
    return box.CreateCropTask(GetPlotData());
}

void KurvoViewDocument::OnViewActivated()
{
    if (!m_doc)
        return;
    m_doc->SetModifiedFlag(m_doc->IsModified());
    if (PlotData* data = GetPlotData())
        data->NotifyAll();
}

ViewSettings ViewSettingsFromPreferences(const CPreferences& prefs)
{
    ViewSettings s;
    s.gridColour = prefs.m_gridColor;
    s.boxColour = prefs.m_boxColor;
    s.ptsColour = prefs.m_ptsColor;
    s.cropColour = prefs.m_cropColor;
    s.pickTol = prefs.m_pickTol;
    s.zoomType = prefs.m_zoomType;
    s.allowCaching = prefs.m_allowCaching;
    s.cacheSize = prefs.m_cacheSize;
    return s;
}
