#include "model/Task.h"
#include "model/TaskSet.h"
#include "platform/Document.h"
#include "tasks/PlotData.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A task that logs what happens to it, including its deletion.
class LogTask : public Task {
public:
    LogTask(std::vector<std::string>* log, std::string id, bool ok)
        : m_log(log), m_id(std::move(id)), m_ok(ok)
    {
    }
    ~LogTask() override { m_log->push_back("~" + m_id); }
    bool Execute() override { return Note("do"); }
    bool Undo() override { return Note("undo"); }
    bool Redo() override { return Note("redo"); }
    const std::string& GetName() const override { return m_id; }

private:
    bool Note(const char* what)
    {
        m_log->push_back(std::string(what) + " " + m_id);
        return m_ok;
    }
    std::vector<std::string>* m_log;
    std::string m_id;
    bool m_ok;
};

class History : public ::testing::Test {
protected:
    std::unique_ptr<Task> Make(const std::string& id, bool ok = true)
    {
        return std::make_unique<LogTask>(&log, id, ok);
    }
    std::vector<std::string> log;
    Database db;
};

// Undo and redo stop at the ends; a new task discards the redo list, a failed one records
// nothing, keeps the redo list and stays with the caller; clearing deletes both lists.
TEST_F(History, UndoRedoAndNewTasks)
{
    EXPECT_FALSE(db.Undo() || db.Redo());
    db.Execute(Make("A"));
    db.Execute(Make("B"));
    EXPECT_TRUE(db.Undo() && db.Undo());
    EXPECT_FALSE(db.Undo());
    EXPECT_TRUE(db.Redo());
    EXPECT_EQ(db.UndoName() + db.RedoName(), "AB");
    std::unique_ptr<Task> bad = Make("bad", false);
    EXPECT_FALSE(db.Execute(bad));
    ASSERT_NE(bad, nullptr);
    EXPECT_TRUE(db.CanRedo());
    bad.reset();
    log.clear();
    ASSERT_TRUE(db.Execute(Make("C")));
    EXPECT_EQ(log, (std::vector<std::string>{"do C", "~B"}));
    EXPECT_FALSE(db.Redo());
    db.Undo();
    db.ClearTasks();
    EXPECT_FALSE(db.CanUndo() || db.CanRedo());
    EXPECT_EQ(log.size(), 5u) << "A and C deleted";
}

// A set undoes backwards and redoes forwards; it stops at its first failing task, and an empty
// set fails and is not recorded.
TEST_F(History, TaskSetOrderAndFailures)
{
    auto set = std::make_unique<TaskSet>(nullptr);
    for (const char* id : {"A", "B", "C"})
        set->Add(Make(id));
    ASSERT_TRUE(db.Execute(std::move(set)));
    db.Undo();
    db.Redo();
    EXPECT_EQ(log, (std::vector<std::string>{"do A", "do B", "do C", "undo C", "undo B", "undo A",
                                             "redo A", "redo B", "redo C"}));
    log.clear();
    TaskSet failing(nullptr, "Rename");
    failing.Add(Make("A"));
    failing.Add(Make("B", false));
    failing.Add(Make("C"));
    EXPECT_FALSE(failing.Execute());
    EXPECT_EQ(log, (std::vector<std::string>{"do A", "do B"}));
    EXPECT_FALSE(failing.Undo()) << "B fails again, before A is reached";
    EXPECT_EQ(log.back(), "undo B");
    std::unique_ptr<Task> empty = std::make_unique<TaskSet>(nullptr);
    EXPECT_FALSE(db.Execute(empty));
    EXPECT_EQ(db.GetTaskCount(), 1);
}

// The document's modified flag follows the change flags once the outermost batch closes.
TEST(PlotDataHistory, ModifiedFlagWaitsForTheBatch)
{
    Document doc;
    PlotData data(&doc);
    struct Flagging : Task {
        PlotData* d;
        explicit Flagging(PlotData* data) : d(data) {}
        bool Execute() override { return d->SetDataEdited(true), true; }
        bool Undo() override { return true; }
        bool Redo() override { return true; }
    };
    data.BeginBatch();
    data.Execute(std::make_unique<Flagging>(&data));
    EXPECT_FALSE(doc.IsModified());
    data.EndBatch();
    data.OnTasksChanged();
    EXPECT_TRUE(doc.IsModified());
    data.ClearChangeFlags();
    data.Undo();
    EXPECT_FALSE(doc.IsModified());
}

} // namespace
