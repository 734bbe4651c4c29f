#include "app/KurvoViewDocument.h"

#include "document/CKurvoDoc.h"
#include "document/TransformMappingSource.h"
#include "image/CDib.h"
#include "image/ImageCropTask.h"
#include "mapping/CropBox.h"
#include "mapping/TransformData.h"
#include "mapping/TransformMan.h"
#include "model/DbSetMgr.h"
#include "model/PlotData.h"
#include "platform/CommandIds.h"
#include "tasks/TransTask.h"

#include <cmath>

KurvoViewDocument::KurvoViewDocument(CKurvoDoc* doc) : m_doc(doc) {}

KurvoViewDocument::~KurvoViewDocument() = default;

PlotData* KurvoViewDocument::GetPlotData() { return m_doc->GetPlotData(); }

CDib* KurvoViewDocument::GetImage()
{
    PlotData* data = m_doc->GetPlotData();
    return data ? data->GetImage() : nullptr;
}

TransformData* KurvoViewDocument::GetTransform()
{
    PlotData* data = m_doc->GetPlotData();
    return data ? data->GetTransform() : nullptr;
}

RegGridData* KurvoViewDocument::GetGrid()
{
    PlotData* data = m_doc->GetPlotData();
    return data ? data->GetGrid() : nullptr;
}

bool KurvoViewDocument::IsImageLoaded() { return m_doc->IsImageLoaded(); }

ISize KurvoViewDocument::GetImageSize() { return m_doc->GetImageSize(); }

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

void KurvoViewDocument::OnAxisMapping() { m_doc->OnCommand(ID_EDIT_AXIS_MAPPING); }

bool KurvoViewDocument::GetPixelResolution(const ToolEvent& e, DPoint& extent)
{
    PlotData* data = m_doc->GetPlotData();
    if (!data)
        return false;
    const DPoint r = data->PixelResolution(e, 2);
    // An unmapped position answers (0, 0); a zero extent answers not-a-number.
    if ((r.x == 0.0 && r.y == 0.0) || std::isnan(r.x) || std::isnan(r.y))
        return false;
    extent = r;
    return true;
}

std::unique_ptr<Task> KurvoViewDocument::MakeTransTask(std::unique_ptr<TransformMan> manipulator)
{
    PlotData* data = m_doc->GetPlotData();
    if (!data || !manipulator)
        return nullptr;
    return std::make_unique<TransTask>(data, std::move(manipulator));
}

std::unique_ptr<Task> KurvoViewDocument::MakeCropTask(const CropBox& box)
{
    PlotData* data = m_doc->GetPlotData();
    if (!data || !m_doc->IsImageLoaded())
        return nullptr;
    IPoint origin;
    ISize size;
    if (!box.GetBoundingRect(origin, size))
        return nullptr;
    CDib cropped(*data->GetImage());
    if (!cropped.Crop(origin.x, origin.y, size.cx, size.cy))
        return nullptr;
    if (!m_mapping || m_mappingData != data) {
        m_mapping = std::make_unique<TransformMappingSource>(data->GetTransform());
        m_mappingData = data;
    }
    return std::make_unique<ImageCropTask>(data, cropped, m_mapping.get());
}

void KurvoViewDocument::OnViewActivated()
{
    PlotData* data = m_doc->GetPlotData();
    if (!data)
        return;
    m_doc->SetModifiedFlag(m_doc->IsModified());
    // The data-sets bar and the data list follow the document whose view is active.
    data->NotifyAll();
}
