#include "tasks/ImageCropTask.h"

#include "tasks/PlotData.h"
#include "tasks/PointClearTask.h"

ImageCropTask::ImageCropTask(PlotData* data, const CDib& image, MappingSource* mapping)
    : m_data(data), m_newImage(std::make_unique<CDib>(image)), m_oldImage(std::make_unique<CDib>()),
      m_mapping(mapping)
{
}

ImageCropTask::~ImageCropTask() = default;

bool ImageCropTask::Execute()
{
    if (m_mapping)
        m_before = m_mapping->Snapshot();
    m_oldImage = std::make_unique<CDib>(*m_data->GetImage());
    m_data->SetImage(*m_newImage, PlotData::kHintImage);
    if (m_mapping) {
        m_after = m_mapping->Snapshot();
        if (m_after)
            m_after->Reset();
    }
    m_pointClear = std::make_unique<PointClearTask>(m_data);
    m_pointClear->Execute();
    return true;
}

bool ImageCropTask::Undo()
{
    if (m_pointClear)
        m_pointClear->Undo();
    if (m_before)
        m_before->Restore();
    m_data->SetImage(*m_oldImage, PlotData::kHintImage);
    return true;
}

bool ImageCropTask::Redo()
{
    if (m_pointClear)
        m_pointClear->Redo();
    if (m_after)
        m_after->Restore();
    m_data->SetImage(*m_newImage, PlotData::kHintImage);
    return true;
}

const std::string& ImageCropTask::GetName() const
{
    static const std::string name = "Crop Image";
    return name;
}
