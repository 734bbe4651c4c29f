#include "tasks/ImageRotateTask.h"

#include "tasks/PlotData.h"

bool ImageRotateTask::Execute()
{
    m_data->RotateImage(m_angle);
    return true;
}

bool ImageRotateTask::Undo()
{
    m_data->RotateImage(360 - m_angle);
    return true;
}

const std::string& ImageRotateTask::GetName() const
{
    static const std::string name = "Rotate";
    return name;
}
