// Data > Extract... on the sample project: the panel previews off the user-interface thread and
// adds its points as one undoable step.
#include "support/DesktopSupport.h"

#include "app/ExtractPanel.h"
#include "app/ImageViewWidget.h"
#include "document/CKurvoDoc.h"
#include "model/DbSetMgr.h"
#include "platform/CommandIds.h"
#include "tasks/PlotData.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPushButton>

#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <tuple>

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
    auto settle = [panel](int atLeast) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        do {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            std::this_thread::sleep_for(std::chrono::milliseconds(150));
        } while ((panel->IsRunning() || panel->CandidateCount() < atLeast) &&
                 std::chrono::steady_clock::now() < deadline);
    };
    settle(800);
    EXPECT_EQ(panel->CandidateCount(), 860) << panel->StatusText().toStdString();
    EXPECT_TRUE(panel->StatusText().startsWith(QStringLiteral("860 points")));

    DbSetMgr& sets = *ActiveDoc()->GetPlotData()->GetSetMgr();
    panel->findChild<QPushButton*>(QStringLiteral("add"))->click();
    EXPECT_EQ(sets.GetCurrentCount(), 860);
    ASSERT_TRUE(Command(ID_EDIT_UNDO));
    EXPECT_EQ(sets.GetCurrentCount(), 0);

    // A box dragged in the view over the left part of the plot keeps the curve's left part.
    panel->findChild<QPushButton*>(QStringLiteral("dragBox"))->click();
    QWidget* viewport = ActiveView()->viewport();
    const QPoint from = WindowPointOf(ActiveView(), 100, 40);
    const QPoint to = WindowPointOf(ActiveView(), 450, 800);
    for (auto [type, at, buttons] : {std::tuple{QEvent::MouseButtonPress, from, Qt::LeftButton},
                                     std::tuple{QEvent::MouseMove, (from + to) / 2, Qt::LeftButton},
                                     std::tuple{QEvent::MouseButtonRelease, to, Qt::NoButton}}) {
        QMouseEvent event(type, QPointF(at), QPointF(viewport->mapToGlobal(at)), Qt::LeftButton,
                          buttons, Qt::NoModifier);
        QApplication::sendEvent(viewport, &event);
    }
    const auto pumpUntil = std::chrono::steady_clock::now() + std::chrono::milliseconds(400);
    while (std::chrono::steady_clock::now() < pumpUntil) // past the preview's delay
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    settle(1);
    EXPECT_GT(panel->CandidateCount(), 100);
    EXPECT_LT(panel->CandidateCount(), 500);
    EXPECT_FALSE(panel->findChild<QPushButton*>(QStringLiteral("dragBox"))->isChecked());
    EXPECT_EQ(sets.GetCurrentCount(), 0); // the drag was the box's, not a tool's
    panel->close();
}

} // namespace
