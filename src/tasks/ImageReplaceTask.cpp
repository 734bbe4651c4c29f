#include "tasks/ImageReplaceTask.h"

#include "tasks/PlotData.h"
#include "tasks/PointClearTask.h"

ImageReplaceTask::ImageReplaceTask(PlotData* data, const CDib& image, MappingSource* mapping,
                                   int viewHint, bool keepMapping, std::string name)
    : m_data(data), m_newImage(std::make_unique<CDib>(image)), m_oldImage(std::make_unique<CDib>()),
      m_mapping(mapping), m_viewHint(viewHint), m_keepMapping(keepMapping), m_name(std::move(name))
{
}

ImageReplaceTask::ImageReplaceTask(PlotData* data, std::unique_ptr<CDib> image,
                                   MappingSource* mapping, int viewHint, bool keepMapping,
                                   std::string name)
    : m_data(data), m_newImage(image ? std::move(image) : std::make_unique<CDib>()),
      m_oldImage(std::make_unique<CDib>()), m_mapping(mapping), m_viewHint(viewHint),
      m_keepMapping(keepMapping), m_name(std::move(name))
{
}

ImageReplaceTask::~ImageReplaceTask() = default;

bool ImageReplaceTask::Execute()
{
    if (m_mapping)
        m_before = m_mapping->Snapshot();
    // The pictures change places: the task keeps the old one, the new one is not copied.
    m_data->SwapImage(*m_newImage, m_viewHint);
    std::swap(m_newImage, m_oldImage);
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
    m_data->SwapImage(*m_oldImage, m_viewHint);
    std::swap(m_newImage, m_oldImage);
    return true;
}

bool ImageReplaceTask::Redo()
{
    if (m_pointClear)
        m_pointClear->Redo();
    if (m_after)
        m_after->Restore();
    m_data->SwapImage(*m_newImage, m_viewHint);
    std::swap(m_newImage, m_oldImage);
    return true;
}
