#include "tasks/MovePointsTask.h"

#include "model/DbPoint.h"
#include "model/DbSetMgr.h"
#include "tasks/PlotData.h"

MovePointsTask::MovePointsTask(PlotData* data, std::vector<Move> moves)
    : m_data(data), m_moves(std::move(moves))
{
}

bool MovePointsTask::Apply(bool forward)
{
    if (!m_data || m_moves.empty())
        return false;
    for (const Move& m : m_moves) {
        m.point->m_pixel = forward ? m.to : m.from;
        m.point->Recompute(m_data);
    }
    m_data->SetDataEdited(true);
    m_data->SetViewHint(PlotData::kHintData);
    m_data->GetSetMgr()->Notify(DataHint());
    return true;
}

bool MovePointsTask::Execute()
{
    return Apply(true);
}

bool MovePointsTask::Redo()
{
    return Apply(true);
}

bool MovePointsTask::Undo()
{
    return Apply(false);
}

const std::string& MovePointsTask::GetName() const
{
    static const std::string name = "Move Points";
    return name;
}
