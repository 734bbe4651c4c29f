// The main window with the sample project digitized, as the README shows it. When
// KURVO_SCREENSHOT names a file, the window is saved there as a picture
// (scripts/screenshot.sh).
#include "support/DesktopSupport.h"

#include "app/ImageViewWidget.h"
#include "app/ViewSplitter.h"
#include "document/CKurvoDoc.h"
#include "model/DbPoint.h"
#include "model/DbPrimList.h"
#include "model/DbSetMgr.h"
#include "platform/CommandIds.h"
#include "tasks/PlotData.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

namespace {

// What scripts/make-sample-plot.py draws: the plot frame on the page, the data range it
// shows, and the page turned by 1.6 degrees about the centre of the 1100 x 850 scan.
constexpr double kLeft = 170, kTop = 90, kRight = 1030, kBottom = 700;
constexpr double kXMin = 0, kXMax = 10, kYMin = -40, kYMax = 60;
constexpr double kAngle = 1.6, kCx = 550, kCy = 425;

// The picture coordinate (pixel i centred on i) of a graph value, through the page's turn.
DPoint Picture(double gx, double gy)
{
    const double s = kLeft + (gx - kXMin) / (kXMax - kXMin) * (kRight - kLeft);
    const double t = kBottom - (gy - kYMin) / (kYMax - kYMin) * (kBottom - kTop);
    const double a = kAngle * std::acos(-1.0) / 180;
    return {kCx + std::cos(a) * (s - kCx) - std::sin(a) * (t - kCy) - 0.5,
            kCy + std::sin(a) * (s - kCx) + std::cos(a) * (t - kCy) - 0.5};
}

class ScreenshotTest : public ::testing::Test, public DesktopTestBase {};

// The project's region lies on the turned frame: clicks on the curves drawn there give their
// graph values.
TEST_F(ScreenshotTest, SampleProjectWithPointsClickedOnItsCurves)
{
    Start();
    Frame().resize(1100, 760);
    CKurvoDoc* doc = Docs().OpenDocument(KURVO_SOURCE_DIR "/examples/sample-plot.kvx");
    ASSERT_NE(doc, nullptr);
    ProcessEvents();
    ASSERT_TRUE(Command(ID_TOOL_COLLECT));

    // Clicks on the ring markers, then on the damped curve at its turning points.
    ImageViewWidget* view = ActiveView();
    auto click = [&](double gx, double gy) {
        const DPoint p = Picture(gx, gy);
        Click(view->viewport(), WindowPointOf(view, p.x, p.y));
    };
    for (double t = 0; t <= 10; t += 1.5)
        click(t, 42.0 * (1.0 - std::exp(-t / 2.2)) - 30.0);
    ASSERT_TRUE(Command(ID_DATA_NEW_SET));
    auto damped = [](double t) {
        return 48.0 * std::exp(-t / 3.2) * std::cos(2.0 * std::acos(-1.0) * t / 2.7) + 4.0;
    };
    for (double t : {0.0, 1.3, 2.7, 4.05, 5.4, 6.75})
        click(t, damped(t));
    // Each point's graph value is within a pixel of what was drawn there (a pixel is 1/86
    // of a unit in X and 1/6.1 in Y).
    DbSetMgr* sets = doc->GetPlotData()->GetSetMgr();
    ASSERT_EQ(sets->GetTotalCount(), 13);
    const DbPrimList* curve = sets->GetCurrentSet();
    for (int i = 0; i < curve->GetCount(); ++i) {
        const auto* p = static_cast<const DbPoint*>(curve->GetAt(i));
        EXPECT_NEAR(p->m_graph.y, damped(p->m_graph.x), 0.2) << i;
    }

    ASSERT_TRUE(Docs().ActiveSplitter()->SplitColumn(210));
    ProcessEvents();
    for (const auto& [pane, text] : m_ui.panes)
        Frame().SetPaneText(pane, QString::fromStdString(text));
    if (const char* out = std::getenv("KURVO_SCREENSHOT")) {
        EXPECT_TRUE(Frame().grab().save(QString::fromLocal8Bit(out)));
    }
}

} // namespace
