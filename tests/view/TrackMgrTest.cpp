#include "view/TrackMgr.h"
#include "mapping/SnapCheckGroup.h"
#include "mapping/SnapTolerance.h"
#include "platform/RecordingUiServices.h"
#include "view/AntsProc.h"
#include "view/HeadlessViewHost.h"
#include "view/TimerProc.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A tool that writes down what reaches it.
class LogTool : public Tool {
public:
    explicit LogTool(std::string name = "T") : m_name(std::move(name)) {}
    void BeginTracking(ToolEvent& e) override { Log("begin", e); }
    void KeepTracking(ToolEvent& e) override { Log("keep", e); }
    void EndTracking(ToolEvent& e) override { Log("end", e); }
    void Move(ToolEvent& e) override { Log("move", e); }
    void MoveRaw(ToolEvent& e) override { Log("raw", e); }
    void Accept(ToolEvent& e) override { Log("accept", e); }
    void Cancel(ToolEvent& e) override { Log("cancel", e); }
    void ModifierClick(ToolEvent& e, int phase) override
    {
        Log("modifier" + std::to_string(phase), e);
        toleranceInModifier = SnapTolerance::Current();
    }
    void Activate(ToolEvent& e) override { Log("activate", e); }
    void Deactivate(ToolEvent& e) override { Log("deactivate", e); }
    void GetScrollDirection(IPoint& d) override { d = {-1, -1}; }

    void Log(const std::string& what, const ToolEvent& e)
    {
        calls.push_back(what);
        positions.push_back(e.scaled);
    }

    std::string m_name;
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
        if (std::abs(p.x - m_target.x) <= seenTolerance &&
            std::abs(p.y - m_target.y) <= seenTolerance) {
            p = m_target;
            return true;
        }
        return false;
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
    void SetUp() override
    {
        mgr.SetTool(&tool);
        ToolEvent e;
        mgr.Activate(e);
        tool.calls.clear();
        tool.positions.clear();
    }
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

TEST_F(TrackMgrTest, NoToolIgnoresEverything)
{
    TrackMgr empty;
    ToolEvent e = At(1, 1);
    empty.BeginTracking(e);
    EXPECT_EQ(empty.GetState(), TrackMgr::kIdle);
    empty.KeepTracking(e);
    empty.EndTracking(e);
    IPoint d{0, 0};
    empty.GetScrollDirection(d);
    EXPECT_EQ(d, (IPoint{1, 1}));
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

TEST_F(TrackMgrTest, TemporaryToolsReturnToTheToolFromBeforeTheFirstSwitch)
{
    LogTool pan("pan");
    LogTool zoom("zoom");
    mgr.SetTemporaryTool(&pan);
    mgr.SetTemporaryTool(&zoom);
    EXPECT_EQ(mgr.GetTool(), &zoom);
    EXPECT_EQ(mgr.GetSavedTool(), &tool);
    mgr.SetTemporaryTool(nullptr);
    EXPECT_EQ(mgr.GetTool(), &tool);
    EXPECT_EQ(mgr.GetSavedTool(), nullptr);
    // SetTool forgets the saved tool: ending a temporary switch then leaves no tool.
    mgr.SetTemporaryTool(&pan);
    mgr.SetTool(&zoom);
    mgr.SetTemporaryTool(nullptr);
    EXPECT_EQ(mgr.GetTool(), nullptr);
}

// ---------------------------------------------------------------- timers

class CountingProc : public TimerProc {
public:
    int Tick() override { return ++ticks; }
    int ticks = 0;
};

class TimerTest : public ::testing::Test {
protected:
    void SetUp() override { SetUiServices(&ui); }
    void TearDown() override { SetUiServices(nullptr); }
    RecordingUiServices ui;
    HeadlessViewHost host;
};

TEST_F(TimerTest, IdsAreTheSmallestFreeOnesAndTheRegistryGrows)
{
    std::vector<std::unique_ptr<CountingProc>> procs;
    for (int i = 0; i < 40; ++i) {
        procs.push_back(std::make_unique<CountingProc>());
        procs.back()->Start(&host);
        EXPECT_EQ(procs.back()->GetId(), i + 1);
    }
    for (auto& p : procs)
        EXPECT_EQ(TimerProc::Lookup(p->GetId()), p.get());
    procs[1]->Stop();
    EXPECT_EQ(TimerProc::Lookup(2), nullptr);
    CountingProc d;
    d.Start(&host);
    EXPECT_EQ(d.GetId(), 2);
    EXPECT_EQ(TimerProc::Lookup(2), &d);
    // Starting a running procedure does nothing and answers 1.
    EXPECT_EQ(d.Start(&host), 1);
    EXPECT_EQ(d.GetId(), 2);
    procs.clear(); // destroying a procedure stops it
    EXPECT_EQ(ui.timers.size(), 1u);
    EXPECT_EQ(TimerProc::Lookup(5), nullptr);
}

TEST_F(TimerTest, SetPeriodRestartsOnlyARunningTimer)
{
    CountingProc p;
    EXPECT_EQ(p.SetPeriod(40), 500);
    EXPECT_FALSE(p.IsRunning());
    EXPECT_TRUE(ui.timers.empty());
    p.Start(&host);
    ASSERT_EQ(ui.timers.size(), 1u);
    EXPECT_EQ(ui.timers.begin()->second.periodMs, 40);
    const int platformBefore = ui.timers.begin()->first;
    EXPECT_EQ(p.SetPeriod(25), 40);
    ASSERT_EQ(ui.timers.size(), 1u);
    EXPECT_NE(ui.timers.begin()->first, platformBefore);
    EXPECT_EQ(ui.timers.begin()->second.periodMs, 25);
    EXPECT_EQ(p.GetId(), 1);
    ui.FireTimer(ui.timers.begin()->first);
    EXPECT_EQ(p.ticks, 1);
    EXPECT_EQ(p.Stop(), 1);
    EXPECT_EQ(p.Stop(), 1);
    EXPECT_TRUE(ui.timers.empty());
}

} // namespace
