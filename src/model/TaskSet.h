#pragma once

#include "model/Task.h"

#include <memory>
#include <string>
#include <vector>

class Database;

// Tasks that undo and redo as one: executed and redone in insertion order, undone in
// reverse order. Owns its members.
class TaskSet : public Task {
public:
    explicit TaskSet(Database* owner, std::string name = "Task Set");
    ~TaskSet() override;

    bool Undo() override;
    bool Redo() override;
    bool Execute() override;
    bool CanUndo() override { return m_undone == 0; }
    bool CanRedo() override { return m_undone == 1; }
    const std::string& GetName() const override { return m_name; }
    virtual void Add(std::unique_ptr<Task> task);

    int GetCount() const { return static_cast<int>(m_members.size()); }

private:
    Database* m_owner;
    std::vector<std::unique_ptr<Task>> m_members;
    int m_undone = 0;
    std::string m_name;
};
