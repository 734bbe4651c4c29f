#include "platform/CommandIds.h"
#include "scan/ScannerCommands.h"
#include "scan/support/StandIn.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <deque>
#include <fstream>
#include <functional>
#include <iterator>
#include <thread>
#include <utility>

namespace {

using standin::MakeDib;
using Bytes = std::vector<std::uint8_t>;

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

// Callback events, however they arrive, wake the shell and wait for its dispatch.
TEST_F(StandInTest, CallbackEventsAreHandledOnlyWhenTheShellDispatches)
{
    const struct {
        const char* name;
        std::function<void(ProbeTwain&)> announce; // after the source is enabled
        std::size_t dibs;
        int state;
    } cases[] = {
        {"announced inside the enable request", nullptr, 1, 5},
        {"announced from another thread",
         [](ProbeTwain&) { std::thread([] { StandInAnnounce(MSG_XFERREADY); }).join(); }, 1, 5},
        {"left for a source disabled since",
         [](ProbeTwain& t) { StandInAnnounce(MSG_XFERREADY), t.DisableSource(); }, 0, 4},
        {"close request closes the source only",
         [](ProbeTwain&) { StandInAnnounce(MSG_CLOSEDSREQ); }, 0, 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        OfferImages(1);
        StandIn().readyInsideEnable = !c.announce;
        std::atomic<int> wakeups{0};
        CTwain::SourceEvents().SetNotifier([&] { ++wakeups; });
        ProbeTwain twain;
        ASSERT_TRUE(twain.BeginAcquire());
        if (c.announce)
            c.announce(twain);
        EXPECT_EQ(wakeups.load(), 1);
        EXPECT_TRUE(twain.dibs.empty()) << "nothing happens before the shell dispatches";
        twain.DispatchSourceEvents();
        EXPECT_EQ(twain.dibs.size(), c.dibs);
        EXPECT_EQ(twain.GetState(), c.state);
        EXPECT_EQ(CTwain::SourceEvents().Size(), 0u);
        CTwain::SourceEvents().SetNotifier(nullptr);
    }
}

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

// A failed step (or a negotiation the program refuses) is reported and the acquisition returns
// to the state it started in.
TEST_F(StandInTest, AcquireFailureReportsTheStepAndReturnsToTheStartingState)
{
    const struct {
        TW_UINT16 dat, msg; // 0: the program refuses the negotiation
        int startState, error;
    } cases[] = {{DAT_PARENT, MSG_OPENDSM, 1, 0},
                 {DAT_PARENT, MSG_OPENDSM, 2, 0},
                 {DAT_IDENTITY, MSG_OPENDS, 2, 1},
                 {DAT_IDENTITY, MSG_OPENDS, 3, 1},
                 {0, 0, 3, 1},
                 {DAT_USERINTERFACE, MSG_ENABLEDS, 2, 2},
                 {DAT_USERINTERFACE, MSG_ENABLEDS, 3, 2}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.dat << " from " << c.startState);
        SetUp();
        ProbeTwain twain;
        ASSERT_TRUE(c.startState < 2 || twain.LoadSourceManager());
        ASSERT_TRUE(c.startState < 3 || twain.OpenSourceManager());
        if (c.dat != 0)
            StandIn().FailOn(DG_CONTROL, c.dat, c.msg, TWRC_FAILURE, TWCC_OPERATIONERROR);
        twain.negotiateAnswer = c.dat != 0;
        EXPECT_FALSE(twain.BeginAcquire());
        EXPECT_EQ(twain.errors, std::vector<int>{c.error});
        EXPECT_EQ(twain.GetState(), c.startState);
        EXPECT_EQ(StandIn().level, c.startState == 3 ? 3 : 2);
    }
}

// Select Source asks the user even without a default source and returns to its state; a step
// down stops at a step that fails, and the manager loads again after.
TEST_F(StandInTest, SelectSourceAndDropToStateReturnWhereTheyStarted)
{
    StandIn().hasDefaultSource = false;
    ProbeTwain twain;
    ASSERT_TRUE(twain.LoadSourceManager());
    EXPECT_TRUE(twain.SelectSource());
    EXPECT_EQ(twain.GetState(), 2);
    EXPECT_EQ(StandIn().level, 2);
    ASSERT_TRUE(twain.OpenSourceManager());
    StandIn().userSelectResult = TWRC_CANCEL;
    EXPECT_FALSE(twain.SelectSource());
    EXPECT_EQ(twain.GetState(), 3);
    EXPECT_TRUE(twain.errors.empty());

    StandIn().hasDefaultSource = true;
    twain.states.clear();
    ASSERT_TRUE(twain.BeginAcquire());
    StandIn().FailOn(DG_CONTROL, DAT_IDENTITY, MSG_CLOSEDS);
    EXPECT_FALSE(twain.DropToState(1));
    EXPECT_EQ(twain.GetState(), 4);
    StandIn().failArmed = false;
    EXPECT_TRUE(twain.DropToState(1));
    EXPECT_EQ(StandIn().level, 2);
    EXPECT_TRUE(twain.IsTwainAvailable()) << "the outcome of the first lookup still counts";
    EXPECT_TRUE(twain.OpenSourceManager());
    EXPECT_EQ(twain.states, (std::vector<int>{4, 5, 4, 3, 2, 1, 2, 3}));
}

// Image i as the program received it: the native bitmap, the file without its 14-byte file
// header, or the memory rows in order.
Bytes Received(const ProbeTwain& twain, int mechanism, std::size_t i)
{
    Bytes bytes;
    if (mechanism == TWSX_NATIVE && i < twain.dibs.size()) {
        bytes = twain.dibs[i];
    } else if (mechanism == TWSX_FILE && i < twain.filesDone.size()) {
        std::ifstream in(twain.filesDone[i], std::ios::binary);
        bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        bytes.erase(bytes.begin(), bytes.begin() + std::min<std::size_t>(bytes.size(), 14));
    } else if (mechanism == TWSX_MEMORY && i < twain.memImages.size()) {
        for (const auto& [row, data] : twain.memImages[i])
            bytes.insert(bytes.end(), data.begin(), data.end());
    }
    return bytes;
}

TEST_F(StandInTest, EachMechanismDeliversEveryImageTheSourceOffersWhole)
{
    for (const int mechanism : {TWSX_NATIVE, TWSX_FILE, TWSX_MEMORY}) {
        SCOPED_TRACE(mechanism);
        SetUp();
        OfferImages(2, 6, 7, 8);
        StandIn().images[1].bits = 24;
        StandIn().memRowsPerStrip = 3;
        ProbeTwain twain;
        twain.SetTransferMechanism(mechanism);
        AcquireAndAnnounce(twain);
        EXPECT_EQ(StandIn().xferMech, static_cast<TW_UINT32>(mechanism));
        EXPECT_EQ(twain.states, (std::vector<int>{2, 3, 4, 5, 6, 7, 6, 7, 5}));
        for (std::size_t i = 0; i < 2; ++i) {
            const standin::Image& image = StandIn().images[i];
            Bytes expected = MakeDib(image);
            if (mechanism == TWSX_MEMORY) // the pixel rows alone
                expected.erase(expected.begin(),
                               expected.end() -
                                   standin::Stride(image.width, image.bits) * image.height);
            EXPECT_EQ(Received(twain, mechanism, i), expected) << "image " << i;
        }
        EXPECT_EQ(StandIn().fileFormatSet, mechanism == TWSX_FILE ? TWFF_TIFF : 0xFFFF)
            << "the program's choice";
        EXPECT_EQ(twain.memDone, std::vector<bool>(mechanism == TWSX_MEMORY ? 2 : 0, true));
    }
}

// An acquisition of three images, scripted to go wrong; the images delivered whole, the
// completion reports (delivered or not) and the pending images given up. Every acquisition
// must end with the source enabled, whatever went wrong.
TEST_F(StandInTest, TransfersThatGoWrongEndWithTheSourceEnabled)
{
    const auto cancelSecond = [](standin::State& s, ProbeTwain&) {
        s.images[1].result = TWRC_CANCEL;
    };
    const struct {
        const char* name;
        int mechanism;
        std::function<void(standin::State&, ProbeTwain&)> script;
        std::size_t delivered, reports, resets;
    } cases[] = {
        {"cancelled native image is skipped", TWSX_NATIVE, cancelSecond, 2, 2, 0},
        {"cancelled file is skipped", TWSX_FILE, cancelSecond, 2, 3, 0},
        {"cancelled memory image is skipped", TWSX_MEMORY, cancelSecond, 2, 3, 0},
        {"short native block is dropped", TWSX_NATIVE,
         [](standin::State& s, ProbeTwain&) { s.images[0].truncated = true; }, 2, 2, 0},
        {"failed transfer gives up instead of looping", TWSX_NATIVE,
         [](standin::State& s, ProbeTwain&) { s.images[0].result = TWRC_FAILURE; }, 0, 0, 1},
        {"file refused by the program sets nothing up", TWSX_FILE,
         [](standin::State&, ProbeTwain& t) { t.fileReadyAnswer = false; }, 0, 0, 1},
        {"file setup refused by the source is reported", TWSX_FILE,
         [](standin::State& s, ProbeTwain&) { s.FailOn(DG_CONTROL, DAT_SETUPFILEXFER, MSG_SET); },
         0, 1, 1},
        {"memory strip claiming extra rows is clipped", TWSX_MEMORY,
         [](standin::State& s, ProbeTwain&) {
             s.images[0].height = 20; // taller than the buffer holds
             s.memRowsPerStrip = 4;
             s.memExtraRowsClaimed = 100;
         },
         3, 3, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        OfferImages(3, 6, 5, 8); // 8 bytes a row, 64-byte buffer
        ProbeTwain twain;
        twain.SetTransferMechanism(c.mechanism);
        c.script(StandIn(), twain);
        AcquireAndAnnounce(twain);
        const auto whole = std::count(twain.memDone.begin(), twain.memDone.end(), true) +
                           std::count_if(twain.filesDone.begin(), twain.filesDone.end(),
                                         [](const std::string& f) { return !f.empty(); });
        EXPECT_EQ(twain.dibs.size() + static_cast<std::size_t>(whole), c.delivered);
        EXPECT_EQ(twain.dibs.size() + twain.memDone.size() + twain.filesDone.size(), c.reports);
        EXPECT_EQ(StandIn().CountCalls(DG_CONTROL, DAT_PENDINGXFERS, MSG_RESET), c.resets);
        EXPECT_EQ(twain.GetState(), 5);
    }
}

// The memory transfers' buffer takes the source's preference within reason, or none at all.
TEST(TwainTransfers, XferBufferSizeFollowsThePreferenceWithinReason)
{
    const TW_UINT32 cases[][4] = {{16, 4096, 1024, 1024},
                                  {16, 4096, 0, 4096}, // no preference: capped
                                  {16, 0xFFFFFFFFu, 0xFFFFFFFFu, 65536},
                                  {200000, 0xFFFFFFFFu, 0, 200000},
                                  {16, 4096, 0xF0000000u, 0}}; // absurd
    for (const auto& c : cases) {
        ProbeTwain twain;
        TW_MEMORY memory{};
        EXPECT_EQ(twain.AllocXferBuffer(c[0], c[1], c[2], memory), c[3] != 0) << c[2];
        EXPECT_EQ(+memory.Length, c[3]);
        EXPECT_EQ(memory.TheMem != nullptr, c[3] != 0);
        EXPECT_EQ(+memory.Flags, c[3] != 0 ? TWMF_APPOWNS | TWMF_POINTER : 0u);
        twain.FreeXferBuffer(memory);
    }
}

// The packed bitmap a native transfer hands over: a 6 x 4 bitmap of a depth (8 bits: 256
// colours, rows of 8 bytes) with header fields set and its block cut to a length (0: 100 bytes
// follow it); the size measured (kOwn: the bitmap's own), 0 for refused.
TEST(TwainTransfers, PackedDibSizeMeasuresSoundBitmapsAndRefusesTheRest)
{
    constexpr std::size_t kOwn = ~std::size_t{0}, kWhole = 40 + 1024 + 4 * 8;
    const struct {
        const char* name;
        std::uint16_t bits;
        std::vector<std::pair<std::size_t, std::uint32_t>> fields;
        std::size_t length, size;
    } cases[] = {
        {"one bit", 1, {}, 0, kOwn},
        {"24 bits", 24, {}, 0, kOwn},
        {"bit fields add three masks", 32, {{16, 3}}, 0, 40 + 12 + 4 * 24},
        {"top-down rows count as their magnitude", 8, {{8, 0xFFFFFFFCu}}, 0, kWhole},
        {"used colours shorten the table", 8, {{32, 16}}, 0, 40 + 16 * 4 + 4 * 8},
        {"run length takes its stated size", 8, {{16, 1}, {20, 6}}, 0, 40 + 1024 + 6},
        {"exactly the bitmap", 8, {}, kWhole, kWhole},
        {"shorter than a header", 8, {}, 39, 0},
        {"pixels cut short", 8, {}, kWhole - 1, 0},
        {"colour table cut short", 8, {}, 140, 0},
        {"small header size", 8, {{0, 12}}, 0, 0},
        {"huge header size", 8, {{0, 0x7FFFFFF0u}}, 0, 0},
        {"negative width", 8, {{4, 0xFFFFFFFAu}}, 0, 0},
        {"lowest height", 8, {{8, 0x80000000u}}, 0, 0},
        {"seven bits", 8, {{12, 0x00070001u}}, 0, 0},
        {"more colours than bits allow", 8, {{32, 257}}, 0, 0},
        {"unknown compression", 8, {{16, 4}}, 0, 0},
        {"run length of the wrong depth", 8, {{16, 2}}, 0, 0},
        {"run length larger than the block", 8, {{16, 1}, {20, 0xFFFFFFF0u}}, 0, 0},
        {"dimensions that overflow", 8, {{4, 0x7FFFFFFFu}, {8, 0x7FFFFFFFu}}, 0, 0},
    };
    for (const auto& c : cases) {
        Bytes dib = MakeDib(standin::Image{6, 4, c.bits});
        const std::size_t own = dib.size();
        for (const auto& [at, value] : c.fields)
            standin::Put32(dib, at, value);
        dib.resize(c.length != 0 ? c.length : own + 100);
        EXPECT_EQ(TwainTransfers::PackedDibSize(dib.data(), dib.size()),
                  c.size == kOwn ? own : c.size)
            << c.name;
    }
}

// ---- the frame's scanner commands

// The frame as the shell builds it: documents are recorded, posted commands wait in a queue
// until the test lets the frame's event loop run.
class Frame : public ScannerCommands {
public:
    Frame()
    {
        SetNewDocumentHandler([this](const std::vector<std::uint8_t>& dib) {
            if (onDocument)
                onDocument();
            if (documentsOpen)
                documents.push_back(dib);
            return documentsOpen;
        });
        SetCommandPoster([this](CommandId id) { posted.push_back(id); });
        OnCreateFrame(nullptr);
    }
    ~Frame() override { DropToState(kPreSession); }

    bool Enabled(CommandId id)
    {
        CommandState state;
        EXPECT_TRUE(OnUpdateCommand(id, state));
        return state.enabled;
    }
    // Selects a source and starts an acquisition that the source answers with a transfer.
    void SelectAndScan()
    {
        ASSERT_TRUE(OnCommand(ID_SCAN_SELECT_SOURCE) && OnCommand(ID_SCAN_ACQUIRE));
        ASSERT_EQ(GetState(), kSourceEnabled);
        ASSERT_TRUE(StandInAnnounce(MSG_XFERREADY));
        DispatchSourceEvents();
    }

    std::vector<std::vector<std::uint8_t>> documents;
    bool documentsOpen = true;
    std::deque<CommandId> posted;
    std::function<void()> onDocument;
    std::function<void(int)> onState;

protected:
    void StateChanged(int state) override
    {
        if (onState)
            onState(state);
    }
};

using ScannerCommandsTest = StandInTest;

TEST_F(ScannerCommandsTest, WithoutASourceManagerOnlyCloseTwainStaysEnabled)
{
    TempDir empty;
    m_settings.WriteString("Settings", "TwainDirectory", empty.Path().string());
    Frame frame;
    EXPECT_FALSE(frame.Enabled(ID_SCAN_SELECT_SOURCE) || frame.Enabled(ID_SCAN_ACQUIRE));
    EXPECT_TRUE(frame.Enabled(ID_SCAN_CLOSE));
    CommandState state;
    EXPECT_FALSE(frame.OnUpdateCommand(ID_FILE_OPEN, state) || frame.OnCommand(ID_FILE_OPEN));
}

TEST_F(ScannerCommandsTest, AcquireIsEnabledOnceASourceWasConfirmed)
{
    Frame frame;
    EXPECT_TRUE(frame.Enabled(ID_SCAN_SELECT_SOURCE));
    // Once confirmed, a source stays selected after a later cancel.
    for (const auto& [answer, selected] : {std::pair<TW_UINT16, bool>{TWRC_CANCEL, false},
                                           {TWRC_SUCCESS, true},
                                           {TWRC_CANCEL, true}}) {
        StandIn().userSelectResult = answer;
        frame.OnCommand(ID_SCAN_SELECT_SOURCE);
        EXPECT_EQ(frame.Enabled(ID_SCAN_ACQUIRE), selected) << answer;
        EXPECT_EQ(frame.GetState(), 3);
    }
    // A manager that will not open is reported once.
    frame.DropToState(2);
    StandIn().FailOn(DG_CONTROL, DAT_PARENT, MSG_OPENDSM);
    frame.OnCommand(ID_SCAN_SELECT_SOURCE);
    ASSERT_EQ(m_ui.messages.size(), 1u);
    EXPECT_EQ(m_ui.messages[0].text, "A TWAIN error occurred.");
    EXPECT_EQ(m_ui.messages[0].icon, MsgIcon::Information);
}

// Each image becomes a document and Close Twain is posted; a second acquisition needs no new
// selection; an image no document takes is reported and posts nothing.
TEST_F(ScannerCommandsTest, EachImageBecomesADocumentAndTheSourceClosesAfter)
{
    OfferImages(2);
    Frame frame;
    frame.SelectAndScan();
    ASSERT_EQ(frame.documents.size(), 2u);
    EXPECT_EQ(frame.documents[1], standin::MakeDib(StandIn().images[1]));
    EXPECT_EQ(frame.posted, std::deque<CommandId>(2, ID_SCAN_CLOSE));
    EXPECT_EQ(StandIn().showUI, 1);
    EXPECT_STREQ(StandIn().appIdentity.ProductName, "Kurvo");
    for (; !frame.posted.empty(); frame.posted.pop_front())
        frame.OnCommand(frame.posted.front());
    EXPECT_TRUE(m_ui.messages.empty());
    EXPECT_EQ(frame.GetState(), 3) << "the source closes, the manager stays open";

    frame.documentsOpen = false;
    ASSERT_TRUE(frame.OnCommand(ID_SCAN_ACQUIRE));
    ASSERT_TRUE(StandInAnnounce(MSG_XFERREADY));
    frame.DispatchSourceEvents();
    ASSERT_EQ(m_ui.messages.size(), 2u);
    EXPECT_EQ(m_ui.messages[0].text, "Unable to open new document!");
    EXPECT_TRUE(frame.posted.empty());

    frame.OnDestroyFrame();
    EXPECT_EQ(frame.GetState(), 1);
    EXPECT_EQ(StandIn().level, 2);
}

TEST_F(ScannerCommandsTest, CloseTwainIsRefusedWhileImagesArePendingOrTransferring)
{
    OfferImages(2);
    Frame frame;
    std::vector<int> statesAtClose;
    frame.onState = [&](int state) {
        if (state >= CTwain::kTransferReady) {
            statesAtClose.push_back(state);
            frame.OnCommand(ID_SCAN_CLOSE);
        }
    };
    frame.SelectAndScan();
    EXPECT_EQ(statesAtClose, (std::vector<int>{6, 7, 6, 7}));
    EXPECT_EQ(m_ui.messages.size(), 4u);
    EXPECT_EQ(m_ui.messages[0].text, "Unable to close TWAIN source!");
    EXPECT_EQ(frame.documents.size(), 2u) << "the acquisition goes on";
    EXPECT_EQ(frame.GetState(), 5);
}

TEST_F(ScannerCommandsTest, ModalLoopInsideAHookDoesNotHandleEventsOutOfTurn)
{
    OfferImages(2);
    Frame frame;
    std::vector<int> statesAfterNestedDispatch;
    frame.onDocument = [&] {
        if (frame.documents.empty()) {
            // The source asks to close while the first image is handed over, and a message
            // box's event loop wakes the frame's dispatching again.
            CTwain::SourceEvents().Push(MSG_CLOSEDSREQ);
            frame.DispatchSourceEvents();
            statesAfterNestedDispatch.push_back(frame.GetState());
        }
    };
    frame.SelectAndScan();
    EXPECT_EQ(statesAfterNestedDispatch, std::vector<int>{6});
    EXPECT_EQ(frame.documents.size(), 2u);
    EXPECT_EQ(frame.GetState(), 3) << "the close request is handled in its turn";
    EXPECT_EQ(CTwain::SourceEvents().Size(), 0u);
}

} // namespace
