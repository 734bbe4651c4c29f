#include "scan/support/StandIn.h"

#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <ostream>
#include <thread>

namespace {

// ---- loading the source manager

TEST_F(StandInTest, LibraryNotFoundOrUnusableFailsUntilLookedForAgain)
{
    TempDir empty;
    std::ofstream(m_files.File("libtwaindsm.so")) << "not a shared library";
    for (const std::string& folder : {empty.Path().string(), m_files.Path().string()}) {
        m_settings.WriteString("Settings", "TwainDirectory", folder);
        CTwain::ResetAvailability();
        ProbeTwain twain;
        EXPECT_FALSE(twain.BeginAcquire());
        EXPECT_EQ(twain.errors, std::vector<int>{CTwain::kErrorOpenManager});
        TW_STATUS status{};
        EXPECT_FALSE(twain.CallSourceManager(DG_CONTROL, DAT_STATUS, MSG_GET, &status));
        EXPECT_EQ(twain.GetConditionCode(), TWCC_SEQERROR);
        // The setting now names the right folder (with a slash), but the first answer stands.
        m_settings.WriteString("Settings", "TwainDirectory", StandInFolder() + "/");
        EXPECT_FALSE(twain.IsTwainAvailable());
        CTwain::ResetAvailability();
        EXPECT_TRUE(twain.IsTwainAvailable());
    }
}

// ---- source events

// Callback events, however they arrive, wake the shell and wait for its dispatch.
struct EventCase {
    const char* name;
    void (*announce)(ProbeTwain& twain); // after the source is enabled
    std::size_t dibs;
    int state;
};

void PrintTo(const EventCase& c, std::ostream* os)
{
    *os << c.name;
}

class CallbackEventTest : public StandInTest, public ::testing::WithParamInterface<EventCase> {};

TEST_P(CallbackEventTest, IsHandledOnlyWhenTheShellDispatches)
{
    OfferImages(1);
    StandIn().readyInsideEnable = GetParam().announce == nullptr;
    std::atomic<int> wakeups{0};
    CTwain::SourceEvents().SetNotifier([&] { ++wakeups; });
    ProbeTwain twain;
    ASSERT_TRUE(twain.BeginAcquire());
    if (GetParam().announce)
        GetParam().announce(twain);
    EXPECT_EQ(wakeups.load(), 1);
    EXPECT_TRUE(twain.dibs.empty()) << "nothing happens before the shell dispatches";
    twain.DispatchSourceEvents();
    EXPECT_EQ(twain.dibs.size(), GetParam().dibs);
    EXPECT_EQ(twain.GetState(), GetParam().state);
    EXPECT_EQ(CTwain::SourceEvents().Size(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Events, CallbackEventTest,
    ::testing::Values(EventCase{"AnnouncedInsideTheEnableRequest", nullptr, 1, 5},
                      EventCase{"AnnouncedFromAnotherThread",
                                [](ProbeTwain&) {
                                    std::thread([] { StandInAnnounce(MSG_XFERREADY); }).join();
                                },
                                1, 5},
                      EventCase{"LeftForASourceDisabledSince",
                                [](ProbeTwain& twain) {
                                    StandInAnnounce(MSG_XFERREADY);
                                    twain.DisableSource();
                                },
                                0, 4},
                      EventCase{"CloseRequestClosesTheSourceOnly",
                                [](ProbeTwain&) { StandInAnnounce(MSG_CLOSEDSREQ); }, 0, 3}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(StandInTest, SourceAnsweringEventsServesWithoutACallback)
{
    OfferImages(2);
    StandIn().supportsCallback = false;
    ProbeTwain twain;
    int nativeEvent = 0;
    EXPECT_FALSE(twain.ProcessSourceMessage(&nativeEvent)) << "nothing to offer below state 5";
    ASSERT_TRUE(twain.BeginAcquire()) << "a refused callback is no failure";
    EXPECT_FALSE(twain.ProcessSourceMessage(&nativeEvent)) << "an event the source does not claim";

    StandIn().eventAnswers = {MSG_NULL, MSG_XFERREADY, MSG_CLOSEDSREQ};
    EXPECT_TRUE(twain.ProcessSourceMessage(&nativeEvent)); // consumed, nothing to do
    EXPECT_TRUE(twain.dibs.empty());
    EXPECT_TRUE(twain.ProcessSourceMessage(&nativeEvent));
    EXPECT_EQ(twain.dibs.size(), 2u);
    EXPECT_EQ(twain.GetState(), 5);
    EXPECT_TRUE(twain.ProcessSourceMessage(&nativeEvent));
    EXPECT_EQ(twain.GetState(), 3);
}

// ---- failures, condition codes, operations out of turn

struct StepFailure {
    const char* name;
    TW_UINT16 dat; // 0: the program refuses the negotiation instead
    TW_UINT16 msg;
    int startState;
    int error;
};

void PrintTo(const StepFailure& c, std::ostream* os)
{
    *os << c.name;
}

class AcquireFailureTest : public StandInTest, public ::testing::WithParamInterface<StepFailure> {};

TEST_P(AcquireFailureTest, ReportsTheStepAndReturnsToTheStartingState)
{
    const StepFailure& f = GetParam();
    ProbeTwain twain;
    if (f.startState >= 2) {
        ASSERT_TRUE(twain.LoadSourceManager());
    }
    if (f.startState >= 3) {
        ASSERT_TRUE(twain.OpenSourceManager());
    }
    if (f.dat != 0)
        StandIn().FailOn(DG_CONTROL, f.dat, f.msg, TWRC_FAILURE, TWCC_OPERATIONERROR);
    twain.negotiateAnswer = f.dat != 0;

    EXPECT_FALSE(twain.BeginAcquire());
    EXPECT_EQ(twain.errors, std::vector<int>{f.error});
    EXPECT_EQ(twain.GetState(), f.startState);
    EXPECT_EQ(StandIn().dsmOpen, f.startState >= 3);
    EXPECT_FALSE(StandIn().sourceOpen);
    EXPECT_FALSE(StandIn().enabled);
}

INSTANTIATE_TEST_SUITE_P(
    Steps, AcquireFailureTest,
    ::testing::Values(StepFailure{"OpenManagerFrom1", DAT_PARENT, MSG_OPENDSM, 1, 0},
                      StepFailure{"OpenManagerFrom2", DAT_PARENT, MSG_OPENDSM, 2, 0},
                      StepFailure{"OpenSourceFrom2", DAT_IDENTITY, MSG_OPENDS, 2, 1},
                      StepFailure{"OpenSourceFrom3", DAT_IDENTITY, MSG_OPENDS, 3, 1},
                      StepFailure{"NegotiationRefused", 0, 0, 3, 1},
                      StepFailure{"EnableFrom2", DAT_USERINTERFACE, MSG_ENABLEDS, 2, 2},
                      StepFailure{"EnableFrom3", DAT_USERINTERFACE, MSG_ENABLEDS, 3, 2}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(StandInTest, ConditionCodeComesFromManagerOrSourceAndLeavesTheFailedResult)
{
    ProbeTwain twain;
    ASSERT_TRUE(twain.LoadSourceManager());
    EXPECT_EQ(twain.GetConditionCode(), TWCC_SEQERROR);
    ASSERT_TRUE(twain.OpenSourceManager());
    StandIn().FailOn(DG_CONTROL, DAT_IDENTITY, MSG_OPENDS, TWRC_FAILURE, TWCC_NODS);
    EXPECT_FALSE(twain.OpenDefaultSource());
    EXPECT_EQ(twain.GetLastResult(), TWRC_FAILURE) << "not the answer of the status request";
    EXPECT_EQ(StandIn().CountCalls(DG_CONTROL, DAT_STATUS, MSG_GET), 1u);
    EXPECT_FALSE(StandIn().calls.back().toSource) << "in state 3 the manager is asked";

    StandIn().failArmed = false;
    ASSERT_TRUE(twain.OpenDefaultSource());
    StandIn().condition = TWCC_BADCAP;
    EXPECT_EQ(twain.GetConditionCode(), TWCC_BADCAP);
    EXPECT_TRUE(StandIn().calls.back().toSource);
    StandIn().FailOn(DG_CONTROL, DAT_STATUS, MSG_GET);
    EXPECT_EQ(twain.GetConditionCode(), TWCC_BUMMER);
}

TEST_F(StandInTest, OperationsOutsideTheirStatesSendNothing)
{
    ProbeTwain twain;
    ASSERT_TRUE(twain.OpenSourceManager());
    std::size_t calls = StandIn().calls.size();
    EXPECT_FALSE(twain.SetCapOneValue(ICAP_XFERMECH, TWTY_UINT16, TWSX_FILE));
    EXPECT_EQ(twain.errors, std::vector<int>{CTwain::kErrorCapability});
    EXPECT_FALSE(twain.EnableSource());
    EXPECT_EQ(StandIn().calls.size(), calls);

    ASSERT_TRUE(twain.BeginAcquire());
    calls = StandIn().calls.size();
    EXPECT_TRUE(twain.BeginAcquire()) << "already enabled";
    EXPECT_TRUE(twain.EndXfer());
    EXPECT_TRUE(twain.CancelXfers());
    EXPECT_FALSE(twain.UnloadSourceManager()) << "only from state 2";
    EXPECT_EQ(StandIn().calls.size(), calls);
    EXPECT_EQ(twain.GetState(), 5);
}

TEST_F(StandInTest, ContainerAllocationIsRetriedWhileTheUserAsks)
{
    ProbeTwain twain;
    ASSERT_TRUE(twain.OpenSourceManager());
    ASSERT_TRUE(twain.OpenDefaultSource());
    twain.containerFailures = -1;
    m_ui.messageAnswers = {MsgResult::Retry, MsgResult::Cancel};
    EXPECT_FALSE(twain.SetCapOneValue(ICAP_XFERMECH, TWTY_UINT16, TWSX_FILE));
    EXPECT_FALSE(StandIn().mechSet) << "a cancel sends nothing";
    twain.containerFailures = 1;
    m_ui.messageAnswers = {MsgResult::Retry};
    EXPECT_TRUE(twain.SetCapOneValue(ICAP_XFERMECH, TWTY_UINT16, TWSX_MEMORY));
    EXPECT_EQ(StandIn().xferMech, TWSX_MEMORY);
    ASSERT_EQ(m_ui.messages.size(), 3u);
    EXPECT_EQ(m_ui.messages[2].text, "Internal error while preparing for TWAIN acquire.");
    EXPECT_EQ(m_ui.messages[2].buttons, MsgButtons::RetryCancel);
}

// ---- selecting a source, stepping down

TEST_F(StandInTest, SelectSourceAnswersTheUsersChoiceAndReturnsToItsState)
{
    StandIn().hasDefaultSource = false;
    ProbeTwain twain;
    ASSERT_TRUE(twain.LoadSourceManager());
    EXPECT_TRUE(twain.SelectSource()) << "the user is asked even without a default";
    EXPECT_EQ(twain.GetState(), 2);
    EXPECT_FALSE(StandIn().dsmOpen);

    ASSERT_TRUE(twain.OpenSourceManager());
    StandIn().userSelectResult = TWRC_CANCEL;
    EXPECT_FALSE(twain.SelectSource());
    EXPECT_EQ(twain.GetState(), 3);
    EXPECT_TRUE(twain.errors.empty());
}

TEST_F(StandInTest, DropToStateStopsAtAStepThatFailsAndTheManagerLoadsAgainAfter)
{
    ProbeTwain twain;
    ASSERT_TRUE(twain.BeginAcquire());
    StandIn().FailOn(DG_CONTROL, DAT_IDENTITY, MSG_CLOSEDS);
    EXPECT_FALSE(twain.DropToState(1));
    EXPECT_EQ(twain.GetState(), 4);
    EXPECT_EQ(StandIn().CountCalls(DG_CONTROL, DAT_PARENT, MSG_CLOSEDSM), 0u);
    StandIn().failArmed = false;
    EXPECT_TRUE(twain.DropToState(1));
    EXPECT_FALSE(StandIn().dsmOpen);
    EXPECT_TRUE(twain.IsTwainAvailable()) << "the outcome of the first lookup still counts";
    EXPECT_TRUE(twain.OpenSourceManager());
    EXPECT_EQ(twain.states, (std::vector<int>{2, 3, 4, 5, 4, 3, 2, 1, 2, 3}));
}

} // namespace
