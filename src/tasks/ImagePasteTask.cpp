#include "tasks/ImagePasteTask.h"

#include "tasks/PlotData.h"
#include "tasks/PointClearTask.h"

ImagePasteTask::ImagePasteTask(PlotData* data, const CDib& image, MappingSource* mapping,
                               bool reuseMapping)
    : m_data(data), m_newImage(std::make_unique<CDib>(image)), m_oldImage(std::make_unique<CDib>()),
      m_mapping(mapping), m_reuseMapping(reuseMapping)
{
}

ImagePasteTask::~ImagePasteTask() = default;

bool ImagePasteTask::Execute()
{
    if (m_mapping)
        m_before = m_mapping->Snapshot();
    m_oldImage = std::make_unique<CDib>(*m_data->GetImage());
    m_data->SetImage(*m_newImage, PlotData::kHintImageReplaced);
    if (m_mapping) {
        m_after = m_mapping->Snapshot();
        if (m_after && !m_reuseMapping)
            m_after->Reset();
    }
    m_pointClear = std::make_unique<PointClearTask>(m_data);
    m_pointClear->Execute();
    return true;
}

bool ImagePasteTask::Undo()
{
    if (m_pointClear)
        m_pointClear->Undo();
    if (m_before)
        m_before->Restore();
    m_data->SetImage(*m_oldImage, PlotData::kHintImageReplaced);
    return true;
}

bool ImagePasteTask::Redo()
{
    if (m_pointClear)
        m_pointClear->Redo();
    if (m_after)
        m_after->Restore();
    m_data->SetImage(*m_newImage, PlotData::kHintImageReplaced);
    return true;
}

const std::string& ImagePasteTask::GetName() const
{
    static const std::string name = "Paste Image";
    return name;
}
