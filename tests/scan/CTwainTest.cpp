#include "scan/support/StandIn.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <fstream>
#include <iterator>
#include <ostream>
#include <thread>

namespace {

using standin::MakeDib;

std::vector<std::uint8_t> ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class TwainLoadTest : public StandInTest {};

TEST_F(TwainLoadTest, FindsTheSourceManagerInTheConfiguredFolderWithOrWithoutASlash)
{
    for (const char* slash : {"", "/"}) {
        m_settings.WriteString("Settings", "TwainDirectory", StandInFolder() + slash);
        CTwain::ResetAvailability();
        ProbeTwain twain;
        EXPECT_TRUE(twain.IsTwainAvailable()) << slash;
        EXPECT_EQ(twain.GetState(), 2);
        EXPECT_EQ(twain.GetStateName(), "2(SOURCE_MANAGER_LOADED)");
    }
}

TEST_F(TwainLoadTest, MissingLibraryIsRememberedUntilTheOutcomeIsForgotten)
{
    TempDir empty;
    m_settings.WriteString("Settings", "TwainDirectory", empty.Path().string());
    ProbeTwain twain;
    EXPECT_FALSE(twain.IsTwainAvailable());
    EXPECT_EQ(twain.GetState(), 1);

    // The setting now names the right folder, but the first answer stands.
    m_settings.WriteString("Settings", "TwainDirectory", StandInFolder());
    EXPECT_FALSE(twain.IsTwainAvailable());
    EXPECT_EQ(twain.GetState(), 1);

    CTwain::ResetAvailability();
    EXPECT_TRUE(twain.IsTwainAvailable());
}

TEST_F(TwainLoadTest, FileThatIsNoLibraryLeavesTwainUnavailable)
{
    TempDir dir;
    std::ofstream(dir.File("libtwaindsm.so")) << "not a shared library";
    m_settings.WriteString("Settings", "TwainDirectory", dir.Path().string());
    ProbeTwain twain;
    EXPECT_FALSE(twain.IsTwainAvailable());
    EXPECT_FALSE(twain.BeginAcquire());
    EXPECT_EQ(twain.errors, std::vector<int>{CTwain::kErrorOpenManager});
    EXPECT_EQ(twain.GetState(), 1);
}

TEST_F(TwainLoadTest, UnloadedManagerIsLoadedAgainWhenNeeded)
{
    ProbeTwain twain;
    ASSERT_TRUE(twain.OpenSourceManager());
    EXPECT_TRUE(twain.DropToState(1));
    EXPECT_EQ(twain.GetState(), 1);
    EXPECT_FALSE(StandIn().dsmOpen);
    EXPECT_TRUE(twain.IsTwainAvailable()) << "the outcome of the first lookup still counts";
    EXPECT_TRUE(twain.OpenSourceManager());
    EXPECT_EQ(twain.GetState(), 3);
    EXPECT_EQ(twain.states, (std::vector<int>{2, 3, 2, 1, 2, 3}));
}

TEST_F(TwainLoadTest, TripletsWithoutASourceManagerDoNothing)
{
    TempDir empty;
    m_settings.WriteString("Settings", "TwainDirectory", empty.Path().string());
    ProbeTwain twain;
    TW_STATUS status{};
    EXPECT_FALSE(twain.CallSourceManager(DG_CONTROL, DAT_STATUS, MSG_GET, &status));
    EXPECT_EQ(twain.GetState(), 1);
    EXPECT_EQ(twain.GetConditionCode(), TWCC_SEQERROR);
}

// ---- identity

TEST_F(StandInTest, AnnouncedIdentityCarriesTheProgramsNamesAndProtocol)
{
    ProbeTwain twain;
    twain.SetAppIdentity(1, 2, 1, 1, "1.2", "Kurvo", "Kurvo", "Kurvo");
    ASSERT_TRUE(twain.OpenSourceManager());
    const TW_IDENTITY& seen = StandIn().appIdentity;
    EXPECT_EQ(+seen.Id, 0u);
    EXPECT_EQ(seen.Version.MajorNum, 1);
    EXPECT_EQ(seen.Version.MinorNum, 2);
    EXPECT_EQ(seen.Version.Language, 1);
    EXPECT_EQ(seen.Version.Country, 1);
    EXPECT_STREQ(seen.Version.Info, "1.2");
    EXPECT_EQ(seen.ProtocolMajor, 1);
    EXPECT_EQ(seen.ProtocolMinor, 8);
    EXPECT_EQ(+seen.SupportedGroups, 3u);
    EXPECT_STREQ(seen.Manufacturer, "Kurvo");
    EXPECT_STREQ(seen.ProductFamily, "Kurvo");
    EXPECT_STREQ(seen.ProductName, "Kurvo");
}

TEST_F(StandInTest, LongIdentityTextsAreCutAtThirtyTwoCharacters)
{
    ProbeTwain twain;
    std::string longName(40, 'x');
    twain.SetAppIdentity(1, 0, 1, 1, longName, longName, "Family", longName);
    const TW_IDENTITY& id = twain.AppIdentity();
    EXPECT_EQ(std::string(id.ProductName), std::string(32, 'x'));
    EXPECT_EQ(std::string(id.Version.Info), std::string(32, 'x'));
    EXPECT_EQ(id.ProductName[32], '\0');
    EXPECT_EQ(id.ProductName[33], '\0');
    EXPECT_STREQ(id.ProductFamily, "Family");
}

// ---- acquisition, transfers

class AcquireTest : public StandInTest {
protected:
    // File transfers go to a folder of the test's own.
    void SetUp() override
    {
        StandInTest::SetUp();
        StandIn().fileFolder = m_files.Path().string();
    }
    // Opens and enables the source and lets it announce a transfer through the callback.
    void AcquireAndAnnounce(ProbeTwain& twain)
    {
        ASSERT_TRUE(twain.BeginAcquire());
        ASSERT_EQ(twain.GetState(), 5);
        ASSERT_TRUE(StandInAnnounce(MSG_XFERREADY));
        twain.DispatchSourceEvents();
    }

    TempDir m_files;
};

TEST_F(AcquireTest, ThreeNativeImagesArriveAsPackedBitmapsInOrder)
{
    OfferImages(3, 5, 3, 8);
    StandIn().images[1].bits = 24;
    StandIn().images[2].height = -4; // top-down
    ProbeTwain twain;
    AcquireAndAnnounce(twain);

    ASSERT_EQ(twain.dibs.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i)
        EXPECT_EQ(twain.dibs[i], MakeDib(StandIn().images[i])) << "image " << i;
    EXPECT_EQ(twain.GetState(), 5);
    EXPECT_EQ(twain.states, (std::vector<int>{2, 3, 4, 5, 6, 7, 6, 7, 6, 7, 5}));
    EXPECT_EQ(StandIn().xferMech, TWSX_NATIVE);
    EXPECT_EQ(StandIn().capItemType, TWTY_UINT16);
    EXPECT_EQ(StandIn().showUI, 1);
    EXPECT_EQ(StandIn().productNameAsked, "") << "the default source is asked for";

    EXPECT_TRUE(twain.CloseSource());
    EXPECT_EQ(twain.GetState(), 3);
    EXPECT_FALSE(StandIn().sourceOpen);
}

TEST_F(AcquireTest, CheckStatusOnEnableCountsAsEnabledAndShowUIOffReachesTheSource)
{
    OfferImages(1);
    StandIn().enableResult = TWRC_CHECKSTATUS;
    ProbeTwain twain;
    twain.SetShowUI(false);
    EXPECT_TRUE(twain.BeginAcquire());
    EXPECT_EQ(StandIn().showUI, 0);
    EXPECT_EQ(twain.GetState(), 5);
    EXPECT_TRUE(twain.errors.empty());
    EXPECT_EQ(twain.GetLastResult(), TWRC_CHECKSTATUS);
}

TEST_F(AcquireTest, EventAnnouncedInsideTheEnableRequestWaitsForTheQueue)
{
    OfferImages(2);
    StandIn().readyInsideEnable = true;
    ProbeTwain twain;
    ASSERT_TRUE(twain.BeginAcquire());
    EXPECT_EQ(twain.GetState(), 5) << "nothing is transferred inside the enable request";
    EXPECT_TRUE(twain.dibs.empty());
    EXPECT_EQ(CTwain::SourceEvents().Size(), 1u);

    twain.DispatchSourceEvents();
    EXPECT_EQ(twain.dibs.size(), 2u);
    EXPECT_EQ(CTwain::SourceEvents().Size(), 0u);
}

TEST_F(AcquireTest, EventFromAnotherThreadWakesTheShellAndIsHandledOnDispatch)
{
    OfferImages(1);
    ProbeTwain twain;
    ASSERT_TRUE(twain.BeginAcquire());
    std::atomic<int> wakeups{0};
    std::thread::id wakeThread;
    CTwain::SourceEvents().SetNotifier([&] {
        wakeThread = std::this_thread::get_id();
        ++wakeups;
    });
    std::thread source([] { StandInAnnounce(MSG_XFERREADY); });
    std::thread::id sourceThread = source.get_id();
    source.join();
    EXPECT_EQ(wakeups.load(), 1);
    EXPECT_EQ(wakeThread, sourceThread);
    EXPECT_TRUE(twain.dibs.empty()) << "nothing happens before the shell dispatches";

    twain.DispatchSourceEvents();
    EXPECT_EQ(twain.dibs.size(), 1u);
}

TEST_F(AcquireTest, EventsLeftForAClosedSourceAreDropped)
{
    OfferImages(1);
    ProbeTwain twain;
    ASSERT_TRUE(twain.BeginAcquire());
    CTwain::SourceEvents().Push(MSG_XFERREADY);
    ASSERT_TRUE(twain.DisableSource());
    twain.DispatchSourceEvents();
    EXPECT_TRUE(twain.dibs.empty());
    EXPECT_EQ(CTwain::SourceEvents().Size(), 0u);
    EXPECT_EQ(twain.GetState(), 4);
}

TEST_F(AcquireTest, CloseRequestThroughTheCallbackClosesTheSourceOnly)
{
    ProbeTwain twain;
    ASSERT_TRUE(twain.BeginAcquire());
    ASSERT_TRUE(StandInAnnounce(MSG_CLOSEDSREQ));
    twain.DispatchSourceEvents();
    EXPECT_EQ(twain.closeRequests, 1);
    EXPECT_EQ(twain.GetState(), 3);
    EXPECT_FALSE(StandIn().sourceOpen);
    EXPECT_TRUE(StandIn().dsmOpen);

    // A second acquisition opens the default source again.
    OfferImages(1);
    ASSERT_TRUE(twain.BeginAcquire());
    ASSERT_TRUE(StandInAnnounce(MSG_XFERREADY));
    twain.DispatchSourceEvents();
    EXPECT_EQ(twain.dibs.size(), 1u);
}

TEST_F(AcquireTest, SourceAnsweringEventsServesWithoutACallback)
{
    OfferImages(2);
    StandIn().supportsCallback = false;
    StandIn().eventAnswers = {MSG_NULL, MSG_XFERREADY, MSG_CLOSEDSREQ};
    ProbeTwain twain;
    int nativeEvent = 0;
    EXPECT_FALSE(twain.ProcessSourceMessage(&nativeEvent)) << "nothing to offer below state 5";
    ASSERT_TRUE(twain.BeginAcquire());
    EXPECT_EQ(twain.GetState(), 5) << "a refused callback is no failure";
    EXPECT_FALSE(StandInAnnounce(MSG_XFERREADY));

    EXPECT_TRUE(twain.ProcessSourceMessage(&nativeEvent)); // consumed, nothing to do
    EXPECT_TRUE(twain.dibs.empty());
    EXPECT_TRUE(twain.ProcessSourceMessage(&nativeEvent));
    EXPECT_EQ(twain.dibs.size(), 2u);
    EXPECT_EQ(twain.GetState(), 5);
    EXPECT_TRUE(twain.ProcessSourceMessage(&nativeEvent));
    EXPECT_EQ(twain.closeRequests, 1);
    EXPECT_EQ(twain.GetState(), 3);
    EXPECT_FALSE(twain.ProcessSourceMessage(&nativeEvent));
}

TEST_F(AcquireTest, EventTheSourceDoesNotClaimIsNotConsumed)
{
    ProbeTwain twain;
    ASSERT_TRUE(twain.BeginAcquire());
    int nativeEvent = 0;
    std::size_t before = StandIn().CountCalls(DG_CONTROL, DAT_EVENT, MSG_PROCESSEVENT);
    EXPECT_FALSE(twain.ProcessSourceMessage(&nativeEvent));
    EXPECT_EQ(StandIn().CountCalls(DG_CONTROL, DAT_EVENT, MSG_PROCESSEVENT), before + 1);
    EXPECT_EQ(twain.GetState(), 5);
}

TEST_F(AcquireTest, ShortNativeBlockIsDroppedAndTheNextImageStillArrives)
{
    OfferImages(2);
    StandIn().images[0].truncated = true;
    ProbeTwain twain;
    AcquireAndAnnounce(twain);
    ASSERT_EQ(twain.dibs.size(), 1u);
    EXPECT_EQ(twain.dibs[0], MakeDib(StandIn().images[1]));
    EXPECT_EQ(twain.GetState(), 5);
}

TEST_F(AcquireTest, FailedTransferGivesUpThePendingImagesInsteadOfLooping)
{
    OfferImages(2);
    StandIn().images[0].result = TWRC_FAILURE;
    ProbeTwain twain;
    AcquireAndAnnounce(twain);
    EXPECT_TRUE(twain.dibs.empty());
    EXPECT_EQ(twain.GetState(), 5);
    EXPECT_EQ(twain.transfers, 1);
    EXPECT_EQ(StandIn().CountCalls(DG_CONTROL, DAT_PENDINGXFERS, MSG_RESET), 1u);
}

TEST_F(AcquireTest, FileTransferWritesEachImageWhereTheSourceProposes)
{
    OfferImages(2);
    ProbeTwain twain;
    twain.SetTransferMechanism(TWSX_FILE);
    AcquireAndAnnounce(twain);

    EXPECT_EQ(StandIn().xferMech, TWSX_FILE);
    ASSERT_EQ(twain.filesDone.size(), 2u);
    EXPECT_EQ(twain.filesDone[0], m_files.File("image1.bmp"));
    EXPECT_EQ(twain.filesDone[1], m_files.File("image2.bmp"));
    EXPECT_EQ(StandIn().fileFormatSet, TWFF_BMP);
    std::vector<std::uint8_t> file = ReadFile(m_files.File("image2.bmp"));
    std::vector<std::uint8_t> dib = MakeDib(StandIn().images[1]);
    ASSERT_EQ(file.size(), 14 + dib.size());
    EXPECT_TRUE(std::equal(dib.begin(), dib.end(), file.begin() + 14));
    EXPECT_TRUE(twain.dibs.empty());
    EXPECT_EQ(twain.GetState(), 5);
}

TEST_F(AcquireTest, FileFormatChosenByTheProgramIsSentToTheSource)
{
    OfferImages(1);
    ProbeTwain twain;
    twain.SetTransferMechanism(TWSX_FILE);
    twain.fileFormatWanted = TWFF_TIFF;
    AcquireAndAnnounce(twain);
    EXPECT_EQ(StandIn().fileFormatSet, TWFF_TIFF);
}

TEST_F(AcquireTest, FileTransferRefusedByTheProgramEndsTheAcquisitionCleanly)
{
    OfferImages(2);
    ProbeTwain twain;
    twain.SetTransferMechanism(TWSX_FILE);
    twain.fileReadyAnswer = false;
    AcquireAndAnnounce(twain);
    EXPECT_EQ(StandIn().CountCalls(DG_CONTROL, DAT_SETUPFILEXFER, MSG_SET), 0u);
    EXPECT_TRUE(StandIn().filesWritten.empty());
    EXPECT_EQ(twain.GetState(), 5);
}

TEST_F(AcquireTest, FailedFileSetupReportsNoFile)
{
    OfferImages(1);
    StandIn().FailOn(DG_CONTROL, DAT_SETUPFILEXFER, MSG_SET);
    ProbeTwain twain;
    twain.SetTransferMechanism(TWSX_FILE);
    AcquireAndAnnounce(twain);
    EXPECT_EQ(twain.filesDone, std::vector<std::string>{""});
    EXPECT_EQ(twain.GetState(), 5);
}

TEST_F(AcquireTest, MemoryTransferDeliversEveryRowOnceInStrips)
{
    OfferImages(2, 6, 7, 8);
    StandIn().memRowsPerStrip = 3;
    ProbeTwain twain;
    twain.SetTransferMechanism(TWSX_MEMORY);
    AcquireAndAnnounce(twain);

    EXPECT_EQ(StandIn().xferMech, TWSX_MEMORY);
    ASSERT_EQ(twain.memImages.size(), 2u);
    EXPECT_EQ(twain.memDone, (std::vector<bool>{true, true}));
    for (std::size_t i = 0; i < 2; ++i) {
        const standin::Image& image = StandIn().images[i];
        ASSERT_EQ(twain.memImages[i].size(), 7u) << "image " << i;
        for (auto& [row, bytes] : twain.memImages[i]) {
            ASSERT_EQ(bytes.size(), standin::Stride(6, 8));
            for (std::size_t c = 0; c < bytes.size(); ++c)
                ASSERT_EQ(bytes[c], standin::PixelByte(image, row, static_cast<std::uint32_t>(c)))
                    << "image " << i << " row " << row << " byte " << c;
        }
    }
    EXPECT_EQ(StandIn().bufferFlagsSeen, TWMF_APPOWNS | TWMF_POINTER);
    EXPECT_EQ(+twain.bufferGiven.Length, 64u);
    EXPECT_EQ(twain.GetState(), 5);
}

TEST_F(AcquireTest, MemoryStripClaimingMoreRowsThanItHoldsIsClipped)
{
    OfferImages(1, 6, 5, 8); // 8 bytes a row, 64-byte buffer: at most 8 rows fit
    StandIn().memRowsPerStrip = 4;
    StandIn().memExtraRowsClaimed = 100;
    ProbeTwain twain;
    twain.SetTransferMechanism(TWSX_MEMORY);
    AcquireAndAnnounce(twain);
    ASSERT_EQ(twain.memImages.size(), 1u);
    ASSERT_FALSE(twain.memImages[0].empty());
    EXPECT_LT(twain.memImages[0].rbegin()->first, 5u) << "no row beyond the image";
    EXPECT_EQ(twain.memImages[0].size(), 5u);
    EXPECT_EQ(twain.memDone, std::vector<bool>{true});
    EXPECT_EQ(twain.GetState(), 5);
}

struct BufferCase {
    TW_UINT32 minimum, maximum, preferred;
    bool ok;
    TW_UINT32 length;
};

void PrintTo(const BufferCase& c, std::ostream* os)
{
    *os << "min " << c.minimum << " max " << c.maximum << " preferred " << c.preferred;
}

class XferBufferTest : public ::testing::TestWithParam<BufferCase> {};

TEST_P(XferBufferTest, SizeFollowsThePreferenceWithinReason)
{
    const BufferCase& c = GetParam();
    TW_MEMORY memory{};
    struct Access : ProbeTwain {
        using ProbeTwain::AllocXferBuffer;
        using ProbeTwain::FreeXferBuffer;
    } access;
    EXPECT_EQ(access.AllocXferBuffer(c.minimum, c.maximum, c.preferred, memory), c.ok);
    EXPECT_EQ(+memory.Length, c.ok ? c.length : 0u);
    EXPECT_EQ(memory.TheMem != nullptr, c.ok);
    if (c.ok) {
        EXPECT_EQ(+memory.Flags, TWMF_APPOWNS | TWMF_POINTER);
    }
    access.FreeXferBuffer(memory);
    EXPECT_TRUE(memory.TheMem == nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, XferBufferTest,
    ::testing::Values(BufferCase{16, 4096, 1024, true, 1024},
                      BufferCase{16, 4096, 0, true, 4096}, // no preference: capped
                      BufferCase{16, 0xFFFFFFFFu, 0xFFFFFFFFu, true, 65536},
                      BufferCase{200000, 0xFFFFFFFFu, 0, true, 200000},
                      BufferCase{16, 4096, 0xF0000000u, false, 0})); // absurd preference

// The three mechanisms must skip a cancelled image and go on with the next.
class CancelledTransferTest : public AcquireTest, public ::testing::WithParamInterface<int> {};

TEST_P(CancelledTransferTest, CancelledImageIsSkippedAndTheNextOneFollows)
{
    OfferImages(3);
    StandIn().images[1].result = TWRC_CANCEL;
    ProbeTwain twain;
    twain.SetTransferMechanism(GetParam());
    AcquireAndAnnounce(twain);

    std::size_t delivered = 0;
    switch (GetParam()) {
    case TWSX_NATIVE:
        delivered = twain.dibs.size();
        if (delivered == 2) {
            EXPECT_EQ(twain.dibs[1], MakeDib(StandIn().images[2]));
        }
        break;
    case TWSX_FILE:
        delivered = StandIn().filesWritten.size();
        EXPECT_EQ(twain.filesDone.size(), 3u);
        break;
    case TWSX_MEMORY:
        delivered =
            static_cast<std::size_t>(std::count(twain.memDone.begin(), twain.memDone.end(), true));
        break;
    }
    EXPECT_EQ(delivered, 2u);
    EXPECT_EQ(StandIn().CountCalls(DG_CONTROL, DAT_PENDINGXFERS, MSG_ENDXFER), 3u);
    EXPECT_EQ(twain.GetState(), 5);
}

INSTANTIATE_TEST_SUITE_P(Mechanisms, CancelledTransferTest,
                         ::testing::Values(TWSX_NATIVE, TWSX_FILE, TWSX_MEMORY));

// ---- failures on the way to an enabled source

struct StepFailure {
    const char* name;
    TW_UINT16 dat;
    TW_UINT16 msg;
    int startState;
    int error;
};

void PrintTo(const StepFailure& f, std::ostream* os)
{
    *os << f.name;
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
    ASSERT_EQ(twain.GetState(), f.startState);
    StandIn().FailOn(DG_CONTROL, f.dat, f.msg, TWRC_FAILURE, TWCC_OPERATIONERROR);

    EXPECT_FALSE(twain.BeginAcquire());
    EXPECT_EQ(twain.errors, std::vector<int>{f.error});
    EXPECT_EQ(twain.GetState(), f.startState);
    EXPECT_EQ(StandIn().dsmOpen, f.startState >= 3);
    EXPECT_FALSE(StandIn().sourceOpen);
    EXPECT_FALSE(StandIn().enabled);
}

INSTANTIATE_TEST_SUITE_P(
    Steps, AcquireFailureTest,
    ::testing::Values(StepFailure{"OpenManagerFrom2", DAT_PARENT, MSG_OPENDSM, 2, 0},
                      StepFailure{"OpenManagerFrom1", DAT_PARENT, MSG_OPENDSM, 1, 0},
                      StepFailure{"OpenSourceFrom2", DAT_IDENTITY, MSG_OPENDS, 2, 1},
                      StepFailure{"OpenSourceFrom3", DAT_IDENTITY, MSG_OPENDS, 3, 1},
                      StepFailure{"EnableFrom2", DAT_USERINTERFACE, MSG_ENABLEDS, 2, 2},
                      StepFailure{"EnableFrom3", DAT_USERINTERFACE, MSG_ENABLEDS, 3, 2}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(StandInTest, RefusedNegotiationCountsAsAFailedOpen)
{
    ProbeTwain twain;
    twain.negotiateAnswer = false;
    ASSERT_TRUE(twain.OpenSourceManager());
    EXPECT_FALSE(twain.BeginAcquire());
    EXPECT_EQ(twain.errors, std::vector<int>{CTwain::kErrorOpenSource});
    EXPECT_EQ(twain.GetState(), 3);
    EXPECT_FALSE(StandIn().sourceOpen);
}

TEST_F(StandInTest, FailedCallKeepsItsOwnResultAfterTheConditionIsFetched)
{
    ProbeTwain twain;
    ASSERT_TRUE(twain.OpenSourceManager());
    StandIn().FailOn(DG_CONTROL, DAT_IDENTITY, MSG_OPENDS, TWRC_FAILURE, TWCC_NODS);
    EXPECT_FALSE(twain.OpenDefaultSource());
    EXPECT_EQ(twain.GetLastResult(), TWRC_FAILURE);
    EXPECT_EQ(StandIn().CountCalls(DG_CONTROL, DAT_STATUS, MSG_GET), 1u);
    EXPECT_EQ(StandIn().calls.back().dat, DAT_STATUS);
    EXPECT_FALSE(StandIn().calls.back().toSource) << "in state 3 the manager is asked";
}

TEST_F(StandInTest, ConditionCodeComesFromManagerOrSource)
{
    ProbeTwain twain;
    ASSERT_TRUE(twain.LoadSourceManager());
    EXPECT_EQ(twain.GetConditionCode(), TWCC_SEQERROR);
    ASSERT_TRUE(twain.OpenSourceManager());
    StandIn().condition = TWCC_NODS;
    EXPECT_EQ(twain.GetConditionCode(), TWCC_NODS);
    ASSERT_TRUE(twain.OpenDefaultSource());
    StandIn().condition = TWCC_BADCAP;
    EXPECT_EQ(twain.GetConditionCode(), TWCC_BADCAP);
    EXPECT_TRUE(StandIn().calls.back().toSource);
    StandIn().FailOn(DG_CONTROL, DAT_STATUS, MSG_GET);
    EXPECT_EQ(twain.GetConditionCode(), TWCC_BUMMER);
}

// ---- capabilities

TEST_F(StandInTest, CapabilityOrEnableOutsideState4SendsNothing)
{
    ProbeTwain twain;
    ASSERT_TRUE(twain.OpenSourceManager());
    EXPECT_FALSE(twain.SetCapOneValue(ICAP_XFERMECH, TWTY_UINT16, TWSX_FILE));
    EXPECT_EQ(twain.errors, std::vector<int>{CTwain::kErrorCapability});
    EXPECT_EQ(StandIn().CountCalls(DG_CONTROL, DAT_CAPABILITY, MSG_SET), 0u);
    EXPECT_FALSE(twain.EnableSource());
    EXPECT_EQ(StandIn().CountCalls(DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDS), 0u);
}

TEST_F(StandInTest, ContainerAllocationIsRetriedWhileTheUserAsksAndCancelSendsNothing)
{
    ProbeTwain twain;
    ASSERT_TRUE(twain.OpenSourceManager());
    ASSERT_TRUE(twain.OpenDefaultSource());
    twain.containerFailures = -1;
    m_ui.messageAnswers = {MsgResult::Retry, MsgResult::Cancel};
    EXPECT_FALSE(twain.SetCapOneValue(ICAP_XFERMECH, TWTY_UINT16, TWSX_MEMORY));
    EXPECT_EQ(m_ui.messages.size(), 2u);
    EXPECT_FALSE(StandIn().mechSet);

    m_ui.messages.clear();
    twain.containerFailures = 2;
    m_ui.messageAnswers = {MsgResult::Retry, MsgResult::Retry};
    EXPECT_TRUE(twain.SetCapOneValue(ICAP_XFERMECH, TWTY_UINT16, TWSX_MEMORY));
    ASSERT_EQ(m_ui.messages.size(), 2u);
    EXPECT_EQ(m_ui.messages[0].text, "Internal error while preparing for TWAIN acquire.");
    EXPECT_EQ(m_ui.messages[0].buttons, MsgButtons::RetryCancel);
    EXPECT_EQ(m_ui.messages[0].icon, MsgIcon::Warning);
    EXPECT_EQ(StandIn().xferMech, TWSX_MEMORY);
}

// ---- selecting a source, stepping down

TEST_F(StandInTest, SelectSourceAnswersTheUsersChoiceAndReturnsToItsState)
{
    ProbeTwain twain;
    ASSERT_TRUE(twain.LoadSourceManager());
    EXPECT_TRUE(twain.SelectSource());
    EXPECT_EQ(twain.GetState(), 2);
    EXPECT_FALSE(StandIn().dsmOpen);

    StandIn().userSelectResult = TWRC_CANCEL;
    EXPECT_FALSE(twain.SelectSource());
    EXPECT_EQ(twain.GetState(), 2);
    EXPECT_TRUE(twain.errors.empty());
}

TEST_F(StandInTest, SelectSourceWithoutADefaultStillAsksTheUser)
{
    StandIn().hasDefaultSource = false;
    ProbeTwain twain;
    ASSERT_TRUE(twain.OpenSourceManager());
    EXPECT_TRUE(twain.SelectSource());
    EXPECT_EQ(StandIn().CountCalls(DG_CONTROL, DAT_IDENTITY, MSG_USERSELECT), 1u);
    EXPECT_EQ(twain.GetState(), 3);
}

TEST_F(StandInTest, DropToStateStopsAtAStepThatFails)
{
    ProbeTwain twain;
    ASSERT_TRUE(twain.BeginAcquire());
    StandIn().FailOn(DG_CONTROL, DAT_IDENTITY, MSG_CLOSEDS);
    EXPECT_FALSE(twain.DropToState(1));
    EXPECT_EQ(twain.GetState(), 4);
    EXPECT_EQ(StandIn().CountCalls(DG_CONTROL, DAT_PARENT, MSG_CLOSEDSM), 0u);
    StandIn().failArmed = false;
    EXPECT_TRUE(twain.DropToState(1));
    EXPECT_EQ(twain.GetState(), 1);
}

TEST_F(StandInTest, AcquireEndAndCancelOutsideTheirStatesSendNothing)
{
    ProbeTwain twain;
    ASSERT_TRUE(twain.BeginAcquire());
    std::size_t calls = StandIn().calls.size();
    EXPECT_TRUE(twain.BeginAcquire()) << "already enabled";
    EXPECT_TRUE(twain.EndXfer());
    EXPECT_TRUE(twain.CancelXfers());
    EXPECT_EQ(StandIn().calls.size(), calls);
    EXPECT_FALSE(twain.UnloadSourceManager()) << "only from state 2";
    EXPECT_EQ(twain.GetState(), 5);
}

} // namespace
