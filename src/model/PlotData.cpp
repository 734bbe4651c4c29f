#include "model/PlotData.h"

#include "image/CDib.h"
#include "model/DbMemento.h"
#include "model/DbSetMgr.h"
#include "model/DbSetX1.h"
#include "model/DbSetX3.h"
#include "platform/Document.h"

PlotData::PlotData(Document* document)
    : m_document(document), m_setMgr(std::make_unique<DbSetMgr>()),
      m_image(std::make_unique<CDib>())
{
}

PlotData::~PlotData()
{
    // The sets go before the history, as the tasks may still refer to them while they die.
    m_setMgr.reset();
    ClearTasks();
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

int PlotData::NewSet() { return m_setMgr->NewSet(); }

std::unique_ptr<DbSetX3> PlotData::ClearAll() { return m_setMgr->ClearAll(); }

std::unique_ptr<DbSetX1> PlotData::ClearCurrentSet() { return m_setMgr->ClearCurrentSet(); }

std::unique_ptr<DbMemento> PlotData::DeleteSet(int slot) { return m_setMgr->DeleteSet(slot); }

void PlotData::Restore(std::unique_ptr<DbMemento> memento) { m_setMgr->Restore(std::move(memento)); }

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
    return removed;
}

void PlotData::NotifyAll()
{
    m_setMgr->Notify(DataHint());
    m_setMgr->GetAttMgr().Notify(DataHint());
}

bool PlotData::PixelToGraph(const DPoint& pixel, DPoint& graph) const
{
    // Without a mapping, graph units are image pixels.
    graph = pixel;
    return true;
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
    m_viewHint = kHintImage;
}

void PlotData::FlipImageVertical()
{
    m_image->FlipVertical();
    m_imageEdited = 1;
    m_viewHint = kHintImage;
}

void PlotData::RotateImage(int angle)
{
    m_image->Rotate(angle);
    m_imageEdited = 1;
    m_viewHint = kHintImage;
}

void PlotData::SetImage(const CDib& image, int hint)
{
    m_image->Assign(image);
    m_imageReplaced = 1;
    m_viewHint = hint;
}
