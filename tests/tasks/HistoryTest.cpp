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
    LogTask(std::vector<std::string>* log, std::string id, bool ok = true)
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
    EXPECT_FALSE(db.Undo());
    EXPECT_FALSE(db.Redo());
    db.Execute(Make("A"));
    db.Execute(Make("B"));
    EXPECT_TRUE(db.Undo());
    EXPECT_TRUE(db.Undo());
    EXPECT_FALSE(db.Undo());
    EXPECT_EQ(db.RedoName(), "A");
    EXPECT_TRUE(db.Redo());
    EXPECT_EQ(db.UndoName(), "A");
    EXPECT_EQ(db.RedoName(), "B");
    std::unique_ptr<Task> bad = Make("bad", false);
    EXPECT_FALSE(db.Execute(bad));
    ASSERT_NE(bad, nullptr);
    EXPECT_TRUE(db.CanRedo());
    bad.reset();
    log.clear();
    ASSERT_TRUE(db.Execute(Make("C")));
    EXPECT_EQ(log, (std::vector<std::string>{"do C", "~B"}));
    EXPECT_EQ(db.GetTaskCount(), 2);
    EXPECT_FALSE(db.Redo());
    db.Undo();
    db.ClearTasks();
    EXPECT_EQ(db.GetTaskCount(), 0);
    EXPECT_FALSE(db.CanUndo() || db.CanRedo());
    EXPECT_EQ(std::count(log.begin(), log.end(), "~A") + std::count(log.begin(), log.end(), "~C"),
              2);
}

TEST_F(History, TaskSetUndoesBackwardsAndRedoesForwards)
{
    auto set = std::make_unique<TaskSet>(nullptr);
    set->Add(Make("A"));
    set->Add(Make("B"));
    set->Add(Make("C"));
    EXPECT_EQ(set->GetName(), "Task Set");
    ASSERT_TRUE(db.Execute(std::move(set)));
    db.Undo();
    db.Redo();
    EXPECT_EQ(log, (std::vector<std::string>{"do A", "do B", "do C", "undo C", "undo B", "undo A",
                                             "redo A", "redo B", "redo C"}));
}

// A set stops at the first failing task; an empty set fails and is not recorded.
TEST_F(History, TaskSetStopsAtTheFirstFailure)
{
    TaskSet set(nullptr, "Rename");
    set.Add(Make("A"));
    set.Add(Make("B", false));
    set.Add(Make("C"));
    EXPECT_FALSE(set.Execute());
    EXPECT_EQ(log, (std::vector<std::string>{"do A", "do B"}));
    EXPECT_EQ(set.GetName(), "Rename");
    EXPECT_TRUE(set.CanUndo());
    EXPECT_FALSE(set.Undo()); // B fails again, before A is reached
    EXPECT_TRUE(set.CanRedo());
    std::unique_ptr<Task> empty = std::make_unique<TaskSet>(nullptr);
    EXPECT_FALSE(db.Execute(empty));
    EXPECT_EQ(db.GetTaskCount(), 0);
}

// The document's modified flag follows the change flags once the outermost batch closes.
TEST(PlotDataHistory, ModifiedFlagWaitsForTheBatch)
{
    Document doc;
    PlotData data(&doc);
    struct Flagging : Task {
        PlotData* d;
        explicit Flagging(PlotData* data) : d(data) {}
        bool Execute() override
        {
            d->SetDataEdited(true);
            return true;
        }
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
