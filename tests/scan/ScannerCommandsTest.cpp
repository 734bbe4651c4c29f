#include "scan/ScannerCommands.h"
#include "platform/CommandIds.h"
#include "scan/support/StandIn.h"

#include <gtest/gtest.h>

#include <deque>
#include <utility>

namespace {

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
    // Close Twain without an open source sends nothing.
    const std::size_t calls = StandIn().calls.size();
    frame.OnCommand(ID_SCAN_CLOSE);
    EXPECT_EQ(StandIn().calls.size(), calls);
    EXPECT_TRUE(m_ui.messages.empty());
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
