#include "model/TaskSet.h"

TaskSet::TaskSet(Database* owner, std::string name) : m_owner(owner), m_name(std::move(name))
{
}

TaskSet::~TaskSet() = default;

void TaskSet::Add(std::unique_ptr<Task> task)
{
    if (task)
        m_members.push_back(std::move(task));
}

bool TaskSet::Execute()
{
    bool result = false;
    for (auto& member : m_members) {
        result = member->Execute();
        if (!result)
            return false;
    }
    return result;
}

bool TaskSet::Undo()
{
    m_undone = 1;
    bool result = false;
    for (auto it = m_members.rbegin(); it != m_members.rend(); ++it) {
        result = (*it)->Undo();
        if (!result)
            return false;
    }
    return result;
}

bool TaskSet::Redo()
{
    m_undone = 0;
    bool result = false;
    for (auto& member : m_members) {
        result = member->Redo();
        if (!result)
            return false;
    }
    return result;
}
