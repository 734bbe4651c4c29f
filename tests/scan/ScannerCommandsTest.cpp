#include "scan/ScannerCommands.h"
#include "image/CDib.h"
#include "scan/support/StandIn.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <deque>

namespace {

// The frame as the shell will build it: documents are recorded, posted commands wait in a
// queue until the test lets the frame's event loop run.
class Frame : public ScannerCommands {
public:
    Frame()
    {
        SetNewDocumentHandler([this](const std::vector<std::uint8_t>& dib) {
            if (onDocument)
                onDocument();
            if (!documentsOpen)
                return false;
            documents.push_back(dib);
            return true;
        });
        SetCommandPoster([this](CommandId id) { posted.push_back(id); });
    }
    ~Frame() override { DropToState(kPreSession); }

    // Carries out the posted commands, as the event loop would after the current event.
    void RunPosted()
    {
        while (!posted.empty()) {
            CommandId id = posted.front();
            posted.pop_front();
            OnCommand(id);
        }
    }
    bool Enabled(CommandId id)
    {
        CommandState state;
        EXPECT_TRUE(OnUpdateCommand(id, state));
        return state.enabled;
    }

    std::vector<std::vector<std::uint8_t>> documents;
    bool documentsOpen = true;
    std::deque<CommandId> posted;
    std::function<void()> onDocument;
    // Runs inside a memory transfer, while the source is transferring.
    std::function<void()> duringTransfer;
    std::vector<int> statesSeenDuringTransfer;

protected:
    bool MemXferBuffer(TW_UINT32 firstRow, const TW_IMAGEMEMXFER& xfer) override
    {
        statesSeenDuringTransfer.push_back(GetState());
        if (duringTransfer)
            duringTransfer();
        return ScannerCommands::MemXferBuffer(firstRow, xfer);
    }
};

class ScannerCommandsTest : public StandInTest {
protected:
    // Selects a source and starts an acquisition that the source answers with a transfer.
    void SelectAndScan(Frame& frame)
    {
        frame.OnCreateFrame(nullptr);
        ASSERT_TRUE(frame.OnCommand(ScannerCommands::kSelectSource));
        ASSERT_TRUE(frame.OnCommand(ScannerCommands::kAcquire));
        ASSERT_EQ(frame.GetState(), 5);
        ASSERT_TRUE(StandInAnnounce(MSG_XFERREADY));
        frame.DispatchSourceEvents();
    }
};

TEST_F(ScannerCommandsTest, WithoutASourceManagerBothCommandsStayDisabled)
{
    TempDir empty;
    m_settings.WriteString("Settings", "TwainDirectory", empty.Path().string());
    Frame frame;
    frame.OnCreateFrame(nullptr);
    EXPECT_FALSE(frame.Enabled(ScannerCommands::kSelectSource));
    EXPECT_FALSE(frame.Enabled(ScannerCommands::kAcquire));
    EXPECT_STREQ(frame.AppIdentity().ProductName, "Kurvo") << "the identity is set regardless";
}

TEST_F(ScannerCommandsTest, CancelledSelectionLeavesAcquireAsItWasAndTheManagerOpen)
{
    Frame frame;
    frame.OnCreateFrame(nullptr);
    EXPECT_TRUE(frame.Enabled(ScannerCommands::kSelectSource));
    EXPECT_FALSE(frame.Enabled(ScannerCommands::kAcquire));
    // Once confirmed, a source stays selected after a later cancel.
    const std::pair<TW_UINT16, bool> steps[] = {
        {TWRC_CANCEL, false}, {TWRC_SUCCESS, true}, {TWRC_CANCEL, true}};
    for (const auto& [answer, selected] : steps) {
        StandIn().userSelectResult = answer;
        frame.OnCommand(ScannerCommands::kSelectSource);
        EXPECT_EQ(frame.IsSourceSelected(), selected) << answer;
        EXPECT_EQ(frame.Enabled(ScannerCommands::kAcquire), selected) << answer;
        EXPECT_EQ(frame.GetState(), 3);
    }
    EXPECT_TRUE(m_ui.messages.empty());
}

TEST_F(ScannerCommandsTest, EachOfThreeImagesBecomesADocumentAndTheSourceClosesAfter)
{
    OfferImages(3, 5, 3, 8);
    StandIn().images[1].bits = 24;
    StandIn().images[2].bits = 1;
    Frame frame;
    SelectAndScan(frame);

    ASSERT_EQ(frame.documents.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(frame.documents[i], standin::MakeDib(StandIn().images[i])) << "image " << i;
        // What a document makes of the bytes it is handed.
        CDib image(frame.documents[i].data(), frame.documents[i].size());
        ASSERT_FALSE(image.IsEmpty()) << "image " << i;
        EXPECT_EQ(image.Width(), StandIn().images[i].width);
        EXPECT_EQ(image.Height(), StandIn().images[i].height);
    }
    EXPECT_EQ(frame.posted, (std::deque<CommandId>(3, ScannerCommands::kCloseTwain)));
    EXPECT_EQ(StandIn().xferMech, TWSX_NATIVE);
    EXPECT_EQ(StandIn().showUI, 1);
    EXPECT_STREQ(StandIn().appIdentity.Version.Info, "1.2");
    EXPECT_EQ(frame.GetState(), 5);

    frame.RunPosted();
    EXPECT_TRUE(m_ui.messages.empty());
    EXPECT_EQ(frame.GetState(), 3) << "the source closes, the manager stays open";
    EXPECT_FALSE(StandIn().sourceOpen);

    // A second acquisition needs no new selection.
    OfferImages(1);
    ASSERT_TRUE(frame.OnCommand(ScannerCommands::kAcquire));
    ASSERT_TRUE(StandInAnnounce(MSG_XFERREADY));
    frame.DispatchSourceEvents();
    EXPECT_EQ(frame.documents.size(), 4u);
}

TEST_F(ScannerCommandsTest, ImageWithoutADocumentIsReportedAndNothingIsPosted)
{
    OfferImages(2);
    Frame frame;
    frame.documentsOpen = false;
    SelectAndScan(frame);
    ASSERT_EQ(m_ui.messages.size(), 2u);
    EXPECT_EQ(m_ui.messages[0].text, "Unable to open new document!");
    EXPECT_TRUE(frame.posted.empty());
    EXPECT_EQ(frame.GetState(), 5);
}

TEST_F(ScannerCommandsTest, FailedAcquireShowsOneTwainErrorAndRestoresTheState)
{
    Frame frame;
    frame.OnCreateFrame(nullptr);
    frame.OnCommand(ScannerCommands::kSelectSource);
    StandIn().FailOn(DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDS);
    frame.OnCommand(ScannerCommands::kAcquire);
    ASSERT_EQ(m_ui.messages.size(), 1u);
    EXPECT_EQ(m_ui.messages[0].text, "A TWAIN error occurred.");
    EXPECT_EQ(m_ui.messages[0].icon, MsgIcon::Information);
    EXPECT_EQ(m_ui.messages[0].buttons, MsgButtons::Ok);
    EXPECT_EQ(frame.GetState(), 3);
    EXPECT_FALSE(StandIn().sourceOpen);
}

TEST_F(ScannerCommandsTest, SelectWithAManagerThatWillNotOpenIsReportedOnce)
{
    Frame frame;
    frame.OnCreateFrame(nullptr);
    StandIn().FailOn(DG_CONTROL, DAT_PARENT, MSG_OPENDSM);
    frame.OnCommand(ScannerCommands::kSelectSource);
    ASSERT_EQ(m_ui.messages.size(), 1u);
    EXPECT_EQ(m_ui.messages[0].text, "A TWAIN error occurred.");
    EXPECT_EQ(StandIn().CountCalls(DG_CONTROL, DAT_IDENTITY, MSG_USERSELECT), 0u);
    EXPECT_EQ(frame.GetState(), 2);
    EXPECT_FALSE(frame.IsSourceSelected());
}

TEST_F(ScannerCommandsTest, CloseTwainWhileImagesArePendingIsRefused)
{
    OfferImages(2);
    Frame frame;
    std::vector<int> statesAtClose;
    frame.onDocument = [&] {
        if (frame.documents.empty()) { // the first image, the second still pending
            statesAtClose.push_back(frame.GetState());
            frame.OnCommand(ScannerCommands::kCloseTwain);
            statesAtClose.push_back(frame.GetState());
        }
    };
    SelectAndScan(frame);
    EXPECT_EQ(statesAtClose, (std::vector<int>{6, 6}));
    ASSERT_EQ(m_ui.messages.size(), 1u);
    EXPECT_EQ(m_ui.messages[0].text, "Unable to close TWAIN source!");
    EXPECT_EQ(frame.documents.size(), 2u) << "the acquisition goes on";
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
    SelectAndScan(frame);
    EXPECT_EQ(statesAfterNestedDispatch, std::vector<int>{6});
    EXPECT_EQ(frame.documents.size(), 2u);
    EXPECT_EQ(frame.GetState(), 3) << "the close request is handled in its turn";
    EXPECT_EQ(CTwain::SourceEvents().Size(), 0u);
}

TEST_F(ScannerCommandsTest, CloseTwainDuringATransferIsRefused)
{
    OfferImages(1, 4, 2, 8);
    Frame frame;
    frame.duringTransfer = [&] { frame.OnCommand(ScannerCommands::kCloseTwain); };
    frame.OnCreateFrame(nullptr); // puts the mechanism back to native
    frame.SetTransferMechanism(TWSX_MEMORY);
    frame.OnCommand(ScannerCommands::kSelectSource);
    ASSERT_TRUE(frame.OnCommand(ScannerCommands::kAcquire));
    ASSERT_TRUE(StandInAnnounce(MSG_XFERREADY));
    frame.DispatchSourceEvents();

    ASSERT_FALSE(frame.statesSeenDuringTransfer.empty());
    EXPECT_EQ(frame.statesSeenDuringTransfer[0], 7);
    ASSERT_FALSE(m_ui.messages.empty());
    EXPECT_EQ(m_ui.messages[0].text, "Unable to close TWAIN source!");
    EXPECT_EQ(frame.GetState(), 5) << "the transfer finished normally";
}

TEST_F(ScannerCommandsTest, CloseTwainBelowState4ChangesNothing)
{
    Frame frame;
    frame.OnCreateFrame(nullptr);
    frame.OnCommand(ScannerCommands::kSelectSource);
    std::size_t calls = StandIn().calls.size();
    frame.OnCommand(ScannerCommands::kCloseTwain);
    EXPECT_EQ(frame.GetState(), 3);
    EXPECT_EQ(StandIn().calls.size(), calls);
    EXPECT_TRUE(m_ui.messages.empty());
}

TEST_F(ScannerCommandsTest, DestroyingTheFrameClosesAndUnloadsEverything)
{
    Frame frame;
    frame.OnCreateFrame(nullptr);
    frame.OnCommand(ScannerCommands::kSelectSource);
    ASSERT_TRUE(frame.OnCommand(ScannerCommands::kAcquire));
    frame.OnDestroyFrame();
    EXPECT_EQ(frame.GetState(), 1);
    EXPECT_FALSE(StandIn().enabled);
    EXPECT_FALSE(StandIn().sourceOpen);
    EXPECT_FALSE(StandIn().dsmOpen);
}

} // namespace
