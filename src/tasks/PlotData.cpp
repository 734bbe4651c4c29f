#include "tasks/PlotData.h"

#include "image/CDib.h"
#include "mapping/RegGridData.h"
#include "mapping/TransformData.h"

#include "model/DbMemento.h"
#include "model/DbSetMgr.h"
#include "model/DbSetX1.h"
#include "model/DbSetX3.h"
#include "platform/Document.h"
#include "platform/ToolEvent.h"

#include <cmath>

PlotData::PlotData(Document* document)
    : m_document(document), m_setMgr(std::make_unique<DbSetMgr>()),
      m_transform(std::make_unique<TransformData>()),
      m_grid(std::make_unique<RegGridData>(m_transform.get())), m_image(std::make_unique<CDib>())
{
    m_setMgr->SetMapping(this);
}

PlotData::~PlotData()
{
    m_grid.reset();
    m_transform.reset();
    m_image.reset();
    m_setMgr.reset();
    ClearTasks();
}

void PlotData::SetImage(std::unique_ptr<CDib> image)
{
    m_image = image ? std::move(image) : std::make_unique<CDib>();
    m_imageReplaced = 1;
    m_imageMatchesPath = false;
}

void PlotData::SetImagePath(const std::string& path)
{
    if (path != m_imagePath)
        m_imageMatchesPath = false;
    m_imagePath = path;
}

void PlotData::SetImageFile(const std::string& path)
{
    m_imagePath = path;
    m_imageMatchesPath = true;
}

bool PlotData::HasImage() const
{
    return m_image && !m_image->IsEmpty();
}

void PlotData::ClearChangeFlags()
{
    m_imageEdited = 0;
    m_dataEdited = 0;
    m_imageReplaced = 0;
}

void PlotData::ApplyPreferences(bool saveReference, bool sortData)
{
    m_saveReference = saveReference;
    if (GetSortFlag() != sortData) {
        m_sortFlag = sortData;
        m_setMgr->Notify(DataHint());
    }
}

int PlotData::NewSet()
{
    return m_setMgr->NewSet();
}

std::unique_ptr<DbSetX3> PlotData::ClearAll()
{
    return m_setMgr->ClearAll();
}

std::unique_ptr<DbSetX1> PlotData::ClearCurrentSet()
{
    return m_setMgr->ClearCurrentSet();
}

std::unique_ptr<DbMemento> PlotData::DeleteSet(int slot)
{
    return m_setMgr->DeleteSet(slot);
}

void PlotData::Restore(std::unique_ptr<DbMemento> memento)
{
    m_setMgr->Restore(std::move(memento));
}

void PlotData::SelectSet(int slot)
{
    m_setMgr->SetCurrent(slot);
    m_viewHint = kHintOverlay;
    OnTasksChanged();
}

int PlotData::AddPrim(std::unique_ptr<DbPrim>& prim, int slot)
{
    m_dataEdited = 1;
    m_viewHint = kHintData;
    return m_setMgr->AddPrim(prim, slot);
}

std::unique_ptr<DbPrim> PlotData::RemovePrim(const DbPrim* prim, int slot)
{
    std::unique_ptr<DbPrim> removed = m_setMgr->RemovePrim(prim, slot);
    m_dataEdited = 1;
    m_viewHint = kHintData;
    // The lists of the set (data list, data-sets bar) hear of a removal as of an addition,
    // so an undone point leaves them too.
    if (removed)
        m_setMgr->Notify(DataHint());
    return removed;
}

void PlotData::NotifyAll()
{
    m_setMgr->Notify(DataHint());
    m_setMgr->GetAttMgr().Notify(DataHint());
}

bool PlotData::PixelToGraph(const DPoint& pixel, DPoint& graph) const
{
    return m_transform->PixelToGraph(pixel, graph);
}

bool PlotData::PixelJacobian(const DPoint& pixel, double j[4]) const
{
    return m_transform->PixelJacobian(pixel, j);
}

AttributeData& PlotData::AttributeOf(const TransformData*) const
{
    return *m_transform;
}

AttributeData& PlotData::AttributeOf(const RegGridData*) const
{
    return *m_grid;
}

namespace {
// r to digits + 1 significant digits, halves away from zero; 0 gives NaN.
double Significant(double r, int digits)
{
    const double k = std::floor(std::log10(r)) - digits;
    const double unit = std::pow(10.0, k);
    return std::round(r / unit) * unit;
}
} // namespace

DPoint PlotData::PixelResolution(const ToolEvent& e, int digits) const
{
    DPoint g, g2;
    if (!m_transform->PixelToGraph(e.scaled, g))
        return {0.0, 0.0};
    // The next window pixel down and to the right.
    const DPoint q{ToolEvent::ImageOf(e.logical.x + 1, e.scale),
                   ToolEvent::ImageOf(e.logical.y + 1, e.scale)};
    if (!m_transform->PixelToGraph(q, g2))
        return {0.0, 0.0};
    return {Significant(std::fabs(g.x - g2.x), digits), Significant(std::fabs(g.y - g2.y), digits)};
}

void PlotData::OnTasksChanged()
{
    if (m_document)
        m_document->SetModifiedFlag(m_imageEdited || m_dataEdited || m_imageReplaced);
}

void PlotData::FlipImageHorizontal()
{
    m_image->FlipHorizontal();
    m_imageEdited = 1;
    m_imageMatchesPath = false;
    m_viewHint = kHintImage;
}

void PlotData::FlipImageVertical()
{
    m_image->FlipVertical();
    m_imageEdited = 1;
    m_imageMatchesPath = false;
    m_viewHint = kHintImage;
}

void PlotData::RotateImage(int angle)
{
    m_image->Rotate(angle);
    m_imageEdited = 1;
    m_imageMatchesPath = false;
    m_viewHint = kHintImage;
}

void PlotData::SwapImage(CDib& image, int hint)
{
    m_image->Swap(image);
    m_imageReplaced = 1;
    m_imageMatchesPath = false;
    m_viewHint = hint;
}

void PlotData::SetImage(const CDib& image, int hint)
{
    m_image->Assign(image);
    m_imageReplaced = 1;
    m_imageMatchesPath = false;
    m_viewHint = hint;
}
