#include "view/TrackMgr.h"
#include "mapping/SnapCheckGroup.h"
#include "mapping/SnapTolerance.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A tool that writes down what reaches it.
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
        positions.push_back(e.scaled);
    }
    std::vector<std::string> calls;
    std::vector<DPoint> positions;
    double toleranceInModifier = -1.0;
};

// Snaps to a fixed point when the position lies within the tolerance in force.
class PointSnap : public SnapCheck {
public:
    PointSnap(DPoint target, std::vector<std::string>* order, std::string name)
        : m_target(target), m_order(order), m_name(std::move(name))
    {
    }
    bool Check(DPoint& p) override
    {
        m_order->push_back(m_name);
        seenTolerance = SnapTolerance::Current();
        const bool near = std::abs(p.x - m_target.x) <= seenTolerance &&
                          std::abs(p.y - m_target.y) <= seenTolerance;
        if (near)
            p = m_target;
        return near;
    }
    DPoint m_target;
    std::vector<std::string>* m_order;
    std::string m_name;
    double seenTolerance = 0.0;
};

ToolEvent At(double x, double y, double tol = 3.0)
{
    ToolEvent e;
    e.scaled = {x, y};
    e.tolerance = {tol, tol};
    return e;
}

class TrackMgrTest : public ::testing::Test {
protected:
    void SetUp() override { mgr.SetTool(&tool); }
    TrackMgr mgr;
    LogTool tool;
    std::vector<std::string> order;
};

TEST_F(TrackMgrTest, GestureRunsThroughTheStatesAndASwitchOfToolEndsIt)
{
    ToolEvent e = At(1, 1);
    mgr.BeginTracking(e);
    EXPECT_EQ(mgr.GetState(), TrackMgr::kBegan);
    mgr.KeepTracking(e);
    EXPECT_EQ(mgr.GetState(), TrackMgr::kTracking);
    mgr.EndTracking(e);
    EXPECT_EQ(mgr.GetState(), TrackMgr::kIdle);
    EXPECT_EQ(tool.calls, (std::vector<std::string>{"begin", "keep", "end"}));
    mgr.BeginTracking(e);
    mgr.KeepTracking(e);
    LogTool other;
    mgr.SetTool(&other);
    EXPECT_EQ(mgr.GetState(), TrackMgr::kIdle);
}

TEST_F(TrackMgrTest, ControlPressOrReleaseMakesAModifierClick)
{
    ToolEvent e = At(1, 1);
    e.control = 1;
    mgr.BeginTracking(e);
    EXPECT_EQ(mgr.GetState(), TrackMgr::kModifierClick);
    // The modifier click runs under the smallest tolerance, restored afterwards.
    EXPECT_EQ(tool.toleranceInModifier, SnapTolerance::MachineEpsilon());
    ToolEvent plain = At(2, 2);
    mgr.KeepTracking(plain);
    mgr.KeepTracking(plain);
    mgr.EndTracking(plain);
    EXPECT_EQ(mgr.GetState(), TrackMgr::kModifierClick);
    EXPECT_EQ(tool.calls, (std::vector<std::string>{"modifier1"}));
    mgr.Move(plain);
    EXPECT_EQ(mgr.GetState(), TrackMgr::kIdle);
    EXPECT_EQ(tool.calls, (std::vector<std::string>{"modifier1", "raw", "move"}));
    // A control release ends a plain gesture through the modifier click.
    mgr.BeginTracking(plain);
    mgr.EndTracking(e);
    EXPECT_EQ(tool.calls.back(), "modifier3");
    EXPECT_EQ(mgr.GetState(), TrackMgr::kIdle);
}

TEST_F(TrackMgrTest, LastAddedSnapCheckIsAskedFirstAndDecides)
{
    auto a = std::make_unique<PointSnap>(DPoint{10, 10}, &order, "A");
    auto b = std::make_unique<PointSnap>(DPoint{11, 11}, &order, "B");
    mgr.AddSnapCheck(std::move(a));
    mgr.AddSnapCheck(std::move(b));
    mgr.EnableSnap(true);
    ToolEvent e = At(10.5, 10.5);
    mgr.BeginTracking(e);
    EXPECT_EQ(order, (std::vector<std::string>{"B"}));
    ASSERT_EQ(tool.positions.size(), 1u);
    EXPECT_EQ(tool.positions[0], (DPoint{11, 11}));
    // Pixel and logical positions are left as they were.
    EXPECT_EQ(e.logical, (IPoint{0, 0}));
}

TEST_F(TrackMgrTest, SnapUsesTheXToleranceAndRestoresTheProcessTolerance)
{
    auto check = std::make_unique<PointSnap>(DPoint{10, 10}, &order, "A");
    PointSnap* raw = check.get();
    mgr.AddSnapCheck(std::move(check));
    mgr.EnableSnap(true);
    const double before = SnapTolerance::Current();
    ToolEvent e = At(12, 12);
    e.tolerance = {2.5, 0.1};
    mgr.Move(e);
    EXPECT_EQ(raw->seenTolerance, 2.5);
    EXPECT_EQ(tool.positions.back(), (DPoint{10, 10}));
    EXPECT_EQ(SnapTolerance::Current(), before);
    // A tolerance below the epsilon is raised to it.
    ToolEvent tiny = At(3, 3);
    tiny.tolerance = {0.0, 0.0};
    mgr.Move(tiny);
    EXPECT_EQ(raw->seenTolerance, SnapTolerance::MachineEpsilon());
}

} // namespace
