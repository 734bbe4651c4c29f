#include "tasks/AddPointsTask.h"
#include "model/DbPoint.h"
#include "model/DbPrimList.h"
#include "model/DbSetMgr.h"
#include "platform/Document.h"
#include "tasks/PlotData.h"

#include <gtest/gtest.h>

namespace {

// Many points go in as one entry of the history: undo takes them all out, redo puts them back
// in their order, after the points the set already held; without a set nothing changes.
TEST(AddPointsTask, OneUndoableStep)
{
    Document doc;
    PlotData data(&doc);
    data.NewSet();
    DbSetMgr& sets = *data.GetSetMgr();
    auto firstX = [&](int i) {
        return static_cast<DbPoint*>(sets.GetCurrentSet()->GetAt(i))->m_pixel.x;
    };
    ASSERT_TRUE(data.Execute(std::make_unique<AddPointsTask>(&data, std::vector<DPoint>{{1, 1}})));
    const std::vector<DPoint> pixels{{10, 1}, {11, 2}, {12, 3}};
    const std::vector<DPoint> graph{{0.5, 7}, {1.0, 8}, {1.5, 9}};
    ASSERT_TRUE(data.Execute(std::make_unique<AddPointsTask>(&data, pixels, graph)));
    EXPECT_EQ(data.GetTaskCount(), 2);
    EXPECT_EQ(data.UndoName(), "Extract");
    for (int round = 0; round < 2; ++round) {
        ASSERT_EQ(sets.GetCurrentCount(), 4);
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(firstX(i + 1), pixels[static_cast<std::size_t>(i)].x);
            EXPECT_EQ(static_cast<DbPoint*>(sets.GetCurrentSet()->GetAt(i + 1))->m_graph,
                      graph[static_cast<std::size_t>(i)]);
        }
        ASSERT_TRUE(data.Undo());
        EXPECT_EQ(sets.GetCurrentCount(), 1);
        EXPECT_EQ(firstX(0), 1);
        ASSERT_TRUE(data.Redo());
    }
    PlotData empty(&doc);
    ASSERT_EQ(empty.GetSetMgr()->GetCurrentSet(), nullptr);
    std::unique_ptr<Task> orphan = std::make_unique<AddPointsTask>(&empty, pixels);
    EXPECT_FALSE(empty.Execute(orphan));
    EXPECT_NE(orphan, nullptr);
}

} // namespace
