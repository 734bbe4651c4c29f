#include "scan/SaneAcquisition.h"
#include "image/DibUtil.h"
#include "platform/CommandIds.h"
#include "scan/SaneLibrary.h"
#include "scan/ScannerCommands.h"
#include "scan/support/SaneTestBackend.h"
#include "scan/support/StandIn.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>

namespace {

using Outcome = SaneScanResult::Outcome;

// The frame's scanner with the SANE test back end beside the stand-in TWAIN manager; calls
// posted to the user-interface thread wait until the test runs them.
class SaneAcquisitionTest : public StandInTest {
protected:
    void SetUp() override
    {
        StandInTest::SetUp();
        m_scanner.SetSettings(&m_settings);
        m_scanner.SetNewDocumentHandler([this](const std::vector<std::uint8_t>& dib) {
            m_documents.push_back(dib);
            return true;
        });
        m_scanner.SetSourceChooser([this](const std::vector<std::string>& labels, int current) {
            m_offered = labels;
            m_current = current;
            return m_choice;
        });
        m_scanner.SetSaneAcquirer([this](const std::string& device) { m_acquired = device; });
    }
    void TearDown() override
    {
        m_scanner.DropToState(CTwain::kPreSession);
        StandInTest::TearDown();
    }
    // Runs the posted calls until the scan has finished.
    Outcome Finish()
    {
        while (!m_outcome) {
            std::unique_lock<std::mutex> lock(m_mutex);
            m_wake.wait(lock, [this] { return !m_posted.empty(); });
            auto call = std::move(m_posted.front());
            m_posted.pop_front();
            lock.unlock();
            call();
        }
        return *m_outcome;
    }
    SaneAcquisition::Poster Poster()
    {
        return [this](std::function<void()> call) {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_posted.push_back(std::move(call));
            m_wake.notify_one();
        };
    }
    SaneAcquisition::Finished Done()
    {
        return [this](Outcome outcome) { m_outcome = outcome; };
    }

    SaneTestBackend m_backend;
    ScannerCommands m_scanner;
    std::vector<std::vector<std::uint8_t>> m_documents;
    std::vector<std::string> m_offered;
    int m_current = -1, m_choice = -1;
    std::string m_acquired;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<std::function<void()>> m_posted;
    std::optional<Outcome> m_outcome;
};

TEST_F(SaneAcquisitionTest, SelectSourceOffersBothKindsAndRemembersTheChoice)
{
    CommandState state;
    m_scanner.OnUpdateCommand(ID_SCAN_ACQUIRE, state);
    EXPECT_FALSE(state.enabled);
    m_choice = 1;
    ASSERT_TRUE(m_scanner.OnCommand(ID_SCAN_SELECT_SOURCE));
    ASSERT_EQ(m_offered.size(), 3u);
    EXPECT_EQ(m_offered[2], "TWAIN source manager");
    EXPECT_EQ(m_settings.GetString("Scanner", "Source", ""), "sane:test:1");
    m_scanner.OnUpdateCommand(ID_SCAN_ACQUIRE, state);
    EXPECT_TRUE(state.enabled);
    ASSERT_TRUE(m_scanner.OnCommand(ID_SCAN_ACQUIRE));
    EXPECT_EQ(m_acquired, "test:1");
    // The next choice starts from the remembered one; TWAIN goes through its own selection.
    m_choice = 2;
    m_scanner.OnCommand(ID_SCAN_SELECT_SOURCE);
    EXPECT_EQ(m_current, 1);
    EXPECT_EQ(m_settings.GetString("Scanner", "Source", ""), "twain");
    EXPECT_TRUE(m_scanner.ChosenSaneDevice().empty());
}

TEST_F(SaneAcquisitionTest, ScanBecomesOneDocumentAndPreviewNone)
{
    SaneAcquisition acquisition(m_scanner, Poster());
    ASSERT_TRUE(acquisition.Open("test:0"));
    SaneScanSettings settings{SaneScanSettings::Mode::kGrey, 8, 100, 0, 0, 20, 10};
    int progressCalls = 0;
    ASSERT_TRUE(acquisition.Scan(
        settings, [&](double) { ++progressCalls; }, Done()));
    EXPECT_FALSE(acquisition.Scan(settings, {}, {})) << "one scan at a time";
    EXPECT_EQ(Finish(), Outcome::kDone);
    ASSERT_EQ(m_documents.size(), 1u);
    EXPECT_EQ(BitmapInfoHeader::Read(m_documents[0].data()).width, 78);
    EXPECT_GT(progressCalls, 0);

    m_outcome.reset();
    DibBlock preview;
    ASSERT_TRUE(acquisition.Preview(
        settings, 10, [&](const DibBlock& dib) { preview = dib; }, {}, Done()));
    EXPECT_EQ(Finish(), Outcome::kDone);
    EXPECT_EQ(m_documents.size(), 1u);
    // The preview covers the whole glass (300 mm) at the low resolution.
    EXPECT_EQ(BitmapInfoHeader::Read(preview.data()).height, 118);
    EXPECT_TRUE(m_ui.messages.empty());
}

TEST_F(SaneAcquisitionTest, FailuresAreReportedWithoutADocument)
{
    SaneAcquisition acquisition(m_scanner, Poster());
    EXPECT_FALSE(acquisition.Open("test:9"));
    ASSERT_EQ(m_ui.messages.size(), 1u);
    EXPECT_EQ(m_ui.messages[0].text,
              "The scanner test:9 reports: " + SaneLibrary::Get()->StatusText(SANE_STATUS_INVAL));
    if (UnderAddressSanitizer())
        return;
    ASSERT_TRUE(acquisition.Open("test:0"));
    ASSERT_TRUE(acquisition.Scanner().SetOption("read-return-value", "SANE_STATUS_JAMMED"));
    ASSERT_TRUE(acquisition.Scan({}, {}, Done()));
    EXPECT_EQ(Finish(), Outcome::kFailed);
    EXPECT_TRUE(m_documents.empty());
    ASSERT_EQ(m_ui.messages.size(), 2u);
    EXPECT_EQ(m_ui.messages[1].text,
              "The scanner test:0 reports: " + SaneLibrary::Get()->StatusText(SANE_STATUS_JAMMED));
}

} // namespace
