#include "tasks/PrimTask.h"

#include "model/DbPrim.h"
#include "tasks/PlotData.h"

PrimTask::PrimTask(PlotData* data, std::unique_ptr<DbPrim> prim)
    : m_data(data), m_prim(prim.get()), m_owned(std::move(prim))
{
    if (m_prim)
        m_prim->Recompute(m_data);
}

PrimTask::~PrimTask() = default;

bool PrimTask::Execute()
{
    if (!m_owned)
        return false;
    const int slot = m_data->AddPrim(m_owned, -1);
    if (slot < 0)
        return false; // no current set: the task keeps its primitive
    m_setIndex = slot;
    return true;
}

bool PrimTask::Redo()
{
    if (!m_owned)
        return false;
    return m_data->AddPrim(m_owned, m_setIndex) >= 0;
}

bool PrimTask::Undo()
{
    m_owned = m_data->RemovePrim(m_prim, m_setIndex);
    return m_owned != nullptr;
}

const std::string& PrimTask::GetName() const
{
    static const std::string name = "Add";
    return name;
}
