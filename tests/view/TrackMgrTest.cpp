#include "view/TrackMgr.h"
#include "mapping/SnapTolerance.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A tool that writes down what reaches it, and the tolerance its modifier click ran under.
class LogTool : public Tool {
public:
    void BeginTracking(ToolEvent&) override { calls.push_back("begin"); }
    void KeepTracking(ToolEvent&) override { calls.push_back("keep"); }
    void EndTracking(ToolEvent&) override { calls.push_back("end"); }
    void Move(ToolEvent&) override { calls.push_back("move"); }
    void MoveRaw(ToolEvent&) override { calls.push_back("raw"); }
    void ModifierClick(ToolEvent&, int phase) override
    {
        calls.push_back("modifier" + std::to_string(phase));
        toleranceInModifier = SnapTolerance::Current();
    }
    std::vector<std::string> calls;
    double toleranceInModifier = -1.0;
};

ToolEvent At(double x, double y, bool control = false)
{
    ToolEvent e;
    e.scaled = {x, y};
    e.tolerance = {3, 3};
    e.control = control;
    return e;
}

using Calls = std::vector<std::string>;

TEST(TrackMgrTest, ControlPressOrReleaseMakesAModifierClickThatSwallowsTheGesture)
{
    TrackMgr mgr;
    LogTool tool;
    mgr.SetTool(&tool);
    ToolEvent control = At(1, 1, true), plain = At(2, 2);
    mgr.BeginTracking(control);
    // The modifier click runs under the smallest tolerance.
    EXPECT_EQ(tool.toleranceInModifier, SnapTolerance::MachineEpsilon());
    mgr.KeepTracking(plain);
    mgr.EndTracking(plain);
    EXPECT_EQ(mgr.GetState(), TrackMgr::kModifierClick);
    mgr.Move(plain);
    EXPECT_EQ(mgr.GetState(), TrackMgr::kIdle);
    EXPECT_EQ(tool.calls, (Calls{"modifier1", "raw", "move"}));
    // A control release ends a plain gesture through the modifier click.
    tool.calls.clear();
    mgr.BeginTracking(plain);
    mgr.KeepTracking(plain);
    mgr.EndTracking(control);
    EXPECT_EQ(tool.calls, (Calls{"begin", "keep", "modifier3"}));
    EXPECT_EQ(mgr.GetState(), TrackMgr::kIdle);
    // A switch of tool ends a gesture.
    mgr.BeginTracking(plain);
    LogTool other;
    mgr.SetTool(&other);
    EXPECT_EQ(mgr.GetState(), TrackMgr::kIdle);
}

} // namespace
