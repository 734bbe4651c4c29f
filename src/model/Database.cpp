#include "model/Database.h"

#include "model/Task.h"

Database::Database() = default;

Database::~Database() = default;

bool Database::CanUndo() const
{
    return !m_tasks.empty() && m_position > 0;
}

bool Database::CanRedo() const
{
    return !m_tasks.empty() && m_position < static_cast<int>(m_tasks.size());
}

void Database::EndBatchAndNotify()
{
    EndBatch();
    if (m_nesting == 0)
        OnTasksChanged();
}

bool Database::Execute(std::unique_ptr<Task>& task)
{
    if (!task)
        return false;
    BeginBatch();
    const bool done = task->Execute();
    if (done) {
        // The redo list is discarded: its tasks (and what they own) are deleted.
        m_tasks.resize(static_cast<std::size_t>(m_position));
        m_tasks.push_back(std::move(task));
        m_position = static_cast<int>(m_tasks.size());
    }
    EndBatchAndNotify();
    return done;
}

bool Database::Execute(std::unique_ptr<Task>&& task)
{
    std::unique_ptr<Task> held = std::move(task);
    return Execute(held);
}

bool Database::Undo()
{
    if (m_position < 1)
        return false;
    BeginBatch();
    --m_position;
    const bool result = m_tasks[static_cast<std::size_t>(m_position)]->Undo();
    EndBatchAndNotify();
    return result;
}

bool Database::Redo()
{
    if (m_position >= static_cast<int>(m_tasks.size()))
        return false;
    BeginBatch();
    Task* task = m_tasks[static_cast<std::size_t>(m_position)].get();
    ++m_position;
    const bool result = task->Redo();
    EndBatchAndNotify();
    return result;
}

std::string Database::UndoName() const
{
    return CanUndo() ? m_tasks[static_cast<std::size_t>(m_position - 1)]->GetName() : std::string();
}

std::string Database::RedoName() const
{
    return CanRedo() ? m_tasks[static_cast<std::size_t>(m_position)]->GetName() : std::string();
}

void Database::ClearTasks()
{
    m_tasks.clear();
    m_position = 0;
}

void Database::OnTasksChanged()
{
}

void Database::BeginBatch()
{
    ++m_nesting;
}

void Database::EndBatch()
{
    --m_nesting;
}
