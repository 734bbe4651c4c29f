#pragma once

#include <string>

// An undoable change. The data base performs it with Execute, then Undo and Redo alternate.
// A task owns what it needs to undo and redo itself.
class Task {
public:
    virtual ~Task() = default;
    virtual bool Undo() = 0;
    virtual bool Redo() = 0;
    virtual bool Execute() = 0;
    virtual bool CanUndo() { return true; }
    virtual bool CanRedo() { return true; }
    // The task's name ("Add", "Transformation", ...); the empty string by default.
    virtual const std::string& GetName() const;
};
