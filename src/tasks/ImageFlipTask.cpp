#include "tasks/ImageFlipTask.h"

#include "tasks/PlotData.h"

bool ImageFlipTask::Execute()
{
    if (m_vertical)
        m_data->FlipImageVertical();
    else
        m_data->FlipImageHorizontal();
    return true;
}

const std::string& ImageFlipTask::GetName() const
{
    static const std::string name = "Flip";
    return name;
}
