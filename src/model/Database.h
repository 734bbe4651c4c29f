#pragma once

#include <memory>
#include <string>
#include <vector>

class Task;

// The undo and redo history of a document. Tasks before the position are done (the undo
// list, most recent last); tasks from the position on are undone (the redo list). The
// history owns its tasks and has no length limit.
class Database {
public:
    Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;
    virtual ~Database();

    virtual bool CanUndo() const;
    virtual bool CanRedo() const;
    virtual bool Undo();
    virtual bool Redo();
    // Performs the task. On success the history takes it (the pointer is emptied) and the
    // redo list is discarded; on failure nothing changes and the caller keeps the task.
    virtual bool Execute(std::unique_ptr<Task>& task);
    // The same, for a task the caller does not want back: it is deleted when it fails.
    bool Execute(std::unique_ptr<Task>&& task);
    virtual std::string UndoName() const;
    virtual std::string RedoName() const;
    virtual void ClearTasks();
    // Runs after every change of the history once no batch is open.
    virtual void OnTasksChanged();
    virtual void BeginBatch();
    virtual void EndBatch();

    int GetTaskCount() const { return static_cast<int>(m_tasks.size()); }
    int GetPosition() const { return m_position; }
    int GetNesting() const { return m_nesting; }
    Task* GetTask(int i) const { return m_tasks[static_cast<std::size_t>(i)].get(); }

private:
    void EndBatchAndNotify();

    std::vector<std::unique_ptr<Task>> m_tasks;
    int m_position = 0;
    int m_nesting = 0;
};
