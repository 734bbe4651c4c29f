#include "tasks/ImageReplaceTask.h"

#include "tasks/PlotData.h"
#include "tasks/PointClearTask.h"

ImageReplaceTask::ImageReplaceTask(PlotData* data, const CDib& image, MappingSource* mapping,
                                   int viewHint, bool keepMapping, std::string name)
    : m_data(data), m_newImage(std::make_unique<CDib>(image)), m_oldImage(std::make_unique<CDib>()),
      m_mapping(mapping), m_viewHint(viewHint), m_keepMapping(keepMapping), m_name(std::move(name))
{
}

ImageReplaceTask::~ImageReplaceTask() = default;

bool ImageReplaceTask::Execute()
{
    if (m_mapping)
        m_before = m_mapping->Snapshot();
    m_oldImage = std::make_unique<CDib>(*m_data->GetImage());
    m_data->SetImage(*m_newImage, m_viewHint);
    if (m_mapping) {
        m_after = m_mapping->Snapshot();
        if (m_after && !m_keepMapping)
            m_after->Reset();
    }
    m_pointClear = std::make_unique<PointClearTask>(m_data);
    m_pointClear->Execute();
    return true;
}

bool ImageReplaceTask::Undo()
{
    if (m_pointClear)
        m_pointClear->Undo();
    if (m_before)
        m_before->Restore();
    m_data->SetImage(*m_oldImage, m_viewHint);
    return true;
}

bool ImageReplaceTask::Redo()
{
    if (m_pointClear)
        m_pointClear->Redo();
    if (m_after)
        m_after->Restore();
    m_data->SetImage(*m_newImage, m_viewHint);
    return true;
}
