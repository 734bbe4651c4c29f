// Data > Extract... on the sample project: the panel previews off the user-interface thread and
// adds its points as one undoable step.
#include "support/DesktopSupport.h"

#include "app/ExtractPanel.h"
#include "document/CKurvoDoc.h"
#include "model/DbSetMgr.h"
#include "platform/CommandIds.h"
#include "tasks/PlotData.h"

#include <QPushButton>

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace {

class ExtractPanelTest : public ::testing::Test, public DesktopTestBase {};

TEST_F(ExtractPanelTest, PreviewThenAddAsOneUndoableStep)
{
    Start({QStringLiteral("kurvo"),
           QString::fromStdString(std::string(KURVO_SOURCE_DIR) + "/examples/sample-plot.kvx")});
    ASSERT_NE(ActiveDoc(), nullptr);
    ASSERT_TRUE(Enabled(ID_DATA_EXTRACT));
    ASSERT_TRUE(Command(ID_DATA_EXTRACT));
    auto* panel = Frame().findChild<ExtractPanel*>();
    ASSERT_NE(panel, nullptr);
    ASSERT_TRUE(panel->isVisible());
    panel->SetColour(0x1E46BE); // the damped oscillation
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while ((panel->IsRunning() || panel->CandidateCount() < 800) &&
           std::chrono::steady_clock::now() < deadline) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    EXPECT_EQ(panel->CandidateCount(), 860) << panel->StatusText().toStdString();
    EXPECT_TRUE(panel->StatusText().startsWith(QStringLiteral("860 points")));

    DbSetMgr& sets = *ActiveDoc()->GetPlotData()->GetSetMgr();
    panel->findChild<QPushButton*>(QStringLiteral("add"))->click();
    EXPECT_EQ(sets.GetCurrentCount(), 860);
    ASSERT_TRUE(Command(ID_EDIT_UNDO));
    EXPECT_EQ(sets.GetCurrentCount(), 0);
    panel->close();
}

} // namespace
