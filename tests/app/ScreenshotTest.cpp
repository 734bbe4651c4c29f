// The main window with the sample plot mapped and digitized: the overlays are on screen. When
// KURVO_SCREENSHOT names a file, the window is also saved there as a picture.
#include "support/DesktopSupport.h"

#include "app/CMainFrame.h"
#include "app/DocumentManager.h"
#include "app/ImageViewWidget.h"
#include "app/ViewSplitter.h"
#include "document/CKurvoDoc.h"
#include "document/DocumentHooks.h"
#include "document/TransDlg.h"
#include "mapping/TransformMan.h"
#include "model/DbSetMgr.h"
#include "platform/CommandIds.h"
#include "tasks/PlotData.h"
#include "tasks/TransTask.h"
#include "ui/CDataView.h"
#include "view/CKurvoView.h"

#include <QImage>
#include <QMdiArea>
#include <QMdiSubWindow>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

namespace {

class ScreenshotTest : public ::testing::Test, public DesktopTestBase {};

// The plot area of the sample picture (pixels) and its axes.
constexpr double kLeft = 160, kRight = 1024, kTop = 80, kBottom = 688;
constexpr double kXMin = 0, kXMax = 10, kYMin = -40, kYMax = 60;

QPoint WindowPoint(ImageViewWidget* view, double gx, double gy)
{
    const double px = kLeft + (gx - kXMin) / (kXMax - kXMin) * (kRight - kLeft);
    const double py = kBottom - (gy - kYMin) / (kYMax - kYMin) * (kBottom - kTop);
    return WindowPointOf(view, px, py);
}

TEST_F(ScreenshotTest, SamplePlotWithMappingAndPoints)
{
    Start();
    Frame().resize(1100, 760);
    CKurvoDoc* doc = Docs().OpenDocument(KURVO_SOURCE_DIR "/examples/sample-plot.tif");
    ASSERT_NE(doc, nullptr);
    ProcessEvents();

    // The mapping region over the plot area, then its axis limits.
    PlotData* data = doc->GetPlotData();
    std::unique_ptr<AttributeRep> rep = data->FindRep<TransformMan>();
    auto* man = dynamic_cast<TransformMan*>(rep.get());
    ASSERT_NE(man, nullptr);
    man->DefineOrResize(0, {kLeft, kTop}, {kRight, kBottom});
    ASSERT_TRUE(doc->ExecuteTask(std::make_unique<TransTask>(data, std::move(rep))));
    GetDocumentHooks().runAxisMapping = [](TransDlg& dlg) {
        dlg.m_xMin = kXMin;
        dlg.m_xMax = kXMax;
        dlg.m_yMin = kYMin;
        dlg.m_yMax = kYMax;
        return dlg.OnOK();
    };
    ASSERT_TRUE(Command(ID_EDIT_AXIS_MAPPING));
    ASSERT_TRUE(Command(ID_TOOL_COLLECT));

    ImageViewWidget* view = ActiveView();
    const double circles[][2] = {{0, -30}, {1, -15}, {2, -5.5}, {3, 0},   {4, 2.5},
                                 {5, 5.5}, {6, 6.5}, {8, 7.5},  {10, 7.5}};
    for (const auto& p : circles)
        ClickView(view, WindowPoint(view, p[0], p[1]));
    ASSERT_TRUE(Command(ID_DATA_NEW_SET));
    const double peaks[][2] = {{0, 52}, {1.3, -28}, {2.8, 24}, {4.1, -11}, {5.4, 11}};
    for (const auto& p : peaks)
        ClickView(view, WindowPoint(view, p[0], p[1]));
    ASSERT_EQ(data->GetSetMgr()->GetTotalCount(), 14);
    ASSERT_TRUE(Docs().ActiveSplitter()->SplitColumn(210));
    ProcessEvents();
    view->viewport()->repaint();

    // The points are drawn in the points colour (pure red by default).
    const QImage shown = view->viewport()->grab().toImage();
    int red = 0;
    const QPoint at = WindowPoint(view, 5.4, 11);
    for (int dy = -6; dy <= 6; ++dy)
        for (int dx = -6; dx <= 6; ++dx) {
            const QColor c = shown.pixelColor(at + QPoint(dx, dy));
            red += c.red() > 200 && c.green() < 60 && c.blue() < 60;
        }
    EXPECT_GT(red, 3) << "a red marker at the last point";
    EXPECT_EQ(Docs().ActiveSplitter()->DataView()->topLevelItemCount(), 6);

    // What the document wrote to the status bar (the recording services kept it).
    for (const auto& [pane, text] : m_ui.panes)
        Frame().SetPaneText(pane, QString::fromStdString(text));
    EXPECT_EQ(m_ui.panes[2], "5") << "points in the current set";
    if (const char* out = std::getenv("KURVO_SCREENSHOT")) {
        EXPECT_TRUE(Frame().grab().save(QString::fromLocal8Bit(out)));
    }
}

} // namespace
