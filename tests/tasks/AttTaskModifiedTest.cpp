#include "model/DbSetMgr.h"
#include "model/PlotData.h"
#include "platform/Document.h"
#include "tasks/AddAttTask.h"
#include "tasks/DeleteAttTask.h"
#include "tasks/UpdateAttTask.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

// Attributes are part of what a project file saves, so every attribute change, done,
// undone or redone, must leave the document marked as changed.
struct AttTaskCase {
    const char* label;
    std::function<std::unique_ptr<Task>(PlotData*)> make;
};

class AttTaskModified : public ::testing::TestWithParam<AttTaskCase> {
protected:
    void SetUp() override
    {
        data = std::make_unique<PlotData>(&doc);
        data->NewSet();
        ASSERT_TRUE(data->Execute(std::make_unique<AddAttTask>(data.get(), "a", "1")));
        Saved();
    }
    // What a successful save leaves behind.
    void Saved()
    {
        data->ClearChangeFlags();
        doc.SetModifiedFlag(false);
    }
    Document doc;
    std::unique_ptr<PlotData> data;
};

TEST_P(AttTaskModified, ExecuteUndoAndRedoMarkTheDocument)
{
    ASSERT_TRUE(data->Execute(GetParam().make(data.get())));
    EXPECT_TRUE(doc.IsModified());
    Saved();
    ASSERT_TRUE(data->Undo());
    EXPECT_TRUE(doc.IsModified());
    Saved();
    ASSERT_TRUE(data->Redo());
    EXPECT_TRUE(doc.IsModified());
}

INSTANTIATE_TEST_SUITE_P(
    Tasks, AttTaskModified,
    ::testing::Values(
        AttTaskCase{"Add", [](PlotData* d) { return std::make_unique<AddAttTask>(d, "b", "2"); }},
        AttTaskCase{"Delete", [](PlotData* d) { return std::make_unique<DeleteAttTask>(d, "a"); }},
        AttTaskCase{"Update",
                    [](PlotData* d) { return std::make_unique<UpdateAttTask>(d, "a", "9", 0); }}),
    [](const ::testing::TestParamInfo<AttTaskCase>& info) { return info.param.label; });

} // namespace
