#include "view/TrackMgr.h"
#include "mapping/SnapCheckGroup.h"
#include "mapping/SnapTolerance.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A tool that writes down what reaches it, and the tolerance its modifier click ran under.
class LogTool : public Tool {
public:
    void BeginTracking(ToolEvent& e) override { Log("begin", e); }
    void KeepTracking(ToolEvent& e) override { Log("keep", e); }
    void EndTracking(ToolEvent& e) override { Log("end", e); }
    void Move(ToolEvent& e) override { Log("move", e); }
    void MoveRaw(ToolEvent& e) override { Log("raw", e); }
    void ModifierClick(ToolEvent& e, int phase) override
    {
        Log("modifier" + std::to_string(phase), e);
        toleranceInModifier = SnapTolerance::Current();
    }
    void Log(const std::string& what, const ToolEvent& e)
    {
        calls.push_back(what);
        last = e.scaled;
    }
    std::vector<std::string> calls;
    DPoint last;
    double toleranceInModifier = -1.0;
};

// Snaps to (10, 10) when the position lies within the tolerance in force.
class PointSnap : public SnapCheck {
public:
    bool Check(DPoint& p) override
    {
        seen = SnapTolerance::Current();
        const bool near = std::abs(p.x - 10) <= seen && std::abs(p.y - 10) <= seen;
        if (near)
            p = {10, 10};
        return near;
    }
    double seen = 0.0;
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

TEST(TrackMgrTest, SnapUsesTheXToleranceRaisedToTheEpsilonAndRestoresTheProcessTolerance)
{
    TrackMgr mgr;
    LogTool tool;
    mgr.SetTool(&tool);
    auto check = std::make_unique<PointSnap>();
    PointSnap* snap = check.get();
    mgr.AddSnapCheck(std::move(check));
    mgr.EnableSnap(true);
    const double before = SnapTolerance::Current();
    ToolEvent e = At(12, 12);
    e.tolerance = {2.5, 0.1};
    mgr.Move(e);
    EXPECT_EQ(snap->seen, 2.5);
    EXPECT_EQ(tool.last, (DPoint{10, 10}));
    EXPECT_EQ(SnapTolerance::Current(), before);
    ToolEvent tiny = At(3, 3);
    tiny.tolerance = {0.0, 0.0};
    mgr.Move(tiny);
    EXPECT_EQ(snap->seen, SnapTolerance::MachineEpsilon());
    // Shift skips the snap.
    ToolEvent shifted = At(11, 11);
    shifted.shift = 1;
    mgr.Move(shifted);
    EXPECT_EQ(tool.last, (DPoint{11, 11}));
}

} // namespace
