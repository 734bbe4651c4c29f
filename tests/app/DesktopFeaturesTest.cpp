// The rest of the desktop around documents: the command line, options, extraction, printing
// and scanning into new documents.
#include "support/DesktopSupport.h"

#include "app/ExtractPanel.h"
#include "app/ImageViewWidget.h"
#include "app/SaneAcquireDialog.h"
#include "document/CKurvoDoc.h"
#include "document/CPreferences.h"
#include "document/DocumentHooks.h"
#include "image/CDib.h"
#include "model/DbSetMgr.h"
#include "platform/CommandIds.h"
#include "scan/CTwain.h"
#include "scan/SaneLibrary.h"
#include "scan/dsm/StandInDsmControl.h"
#include "support/TempDir.h"
#include "tasks/PlotData.h"
#include "ui/DataSetsBox.h"
#include "view/CKurvoView.h"

#include <QMdiArea>
#include <QMouseEvent>
#include <QPushButton>
#include <QThread>

#ifdef QT_PRINTSUPPORT_LIB
#include "app/AppPrinter.h"

#include <QPrintDialog>
#include <QPrinter>
#endif

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <thread>
#include <tuple>

namespace {

class DesktopFeaturesTest : public ::testing::Test, public DesktopTestBase {
protected:
    void SetUp() override
    {
        m_bmp = m_dir.File("plot.bmp");
        ASSERT_TRUE(WriteTestBmp(m_bmp, 64, 48));
    }

    TempDir m_dir;
    std::string m_bmp;
};

// A folder named on the command line, or a file that is neither picture nor project opened
// later, is reported; the program runs on with no window and no sets left of it.
TEST_F(DesktopFeaturesTest, FilesThatDoNotOpenLeaveTheProgramRunningWithoutThem)
{
    Start({QStringLiteral("kurvo"), QString::fromStdString(m_dir.File(""))});
    EXPECT_EQ(m_ui.messages.size(), 1u);
    const std::string junk = m_dir.File("junk.kvx");
    std::ofstream(junk) << "definitely not a plot";
    EXPECT_FALSE(m_app->OpenDocumentFile(junk));
    ProcessEvents();
    EXPECT_EQ(m_ui.messages.size(), 2u);
    EXPECT_EQ(Docs().DocumentCount(), 0);
    EXPECT_TRUE(Frame().MdiArea()->subWindowList().isEmpty());
    EXPECT_EQ(Frame().SetsBox()->ObservedCount(), 0);
    EXPECT_TRUE(Frame().isVisible());
}

// A project on the command line opens at start. Data > Extract... on it previews off the
// user-interface thread and adds its points as one undoable step. Options take effect in the
// open views at once, not in the next window only.
TEST_F(DesktopFeaturesTest, CommandLineProjectExtractionAndOptions)
{
    GetPreferences().m_allowCaching = 1;
    const std::string project = std::string(KURVO_SOURCE_DIR) + "/examples/sample-plot.kvx";
    Start({QStringLiteral("kurvo"), QString::fromStdString(project)});
    ASSERT_EQ(Docs().DocumentCount(), 1);
    EXPECT_EQ(ActiveDoc()->GetPathName(), project);
    EXPECT_EQ(m_app->RecentFiles().At(0), project);
    ASSERT_GT(CDib::GetCacheSize(), 0);
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

    // The user turns caching off in the Options dialog.
    GetDocumentHooks().runOptions = [] {
        GetPreferences().m_allowCaching = 0;
        return true;
    };
    ASSERT_TRUE(Command(ID_EDIT_OPTIONS));
    EXPECT_EQ(CDib::GetCacheSize(), 0);
}

#ifdef QT_PRINTSUPPORT_LIB
// What Print Setup chose (here a landscape page, printed to a PDF file) is what Print uses;
// the view is left at its zoom. A document without an image has nothing to print.
TEST_F(DesktopFeaturesTest, PrintUsesThePageChosenInPrintSetup)
{
    Start();
    ASSERT_TRUE(Command(ID_FILE_NEW));
    EXPECT_FALSE(Enabled(ID_FILE_PRINT));
    ASSERT_NE(Docs().OpenDocument(m_bmp), nullptr);
    ProcessEvents();
    const double zoom = ActiveView()->GetView()->GetZoom();
    const std::string pdf = m_dir.File("setup.pdf");
    QPrinter& setup = AppPrinter();
    setup.setOutputFormat(QPrinter::PdfFormat);
    setup.setOutputFileName(QString::fromStdString(pdf));
    setup.setPageOrientation(QPageLayout::Landscape);
    WhenShown<QPrintDialog>([](QPrintDialog* dialog) { dialog->accept(); });
    ASSERT_TRUE(Command(ID_FILE_PRINT));
    std::ifstream in(pdf, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_GT(bytes.size(), 1000u) << "a page with a picture on it";
    std::smatch box;
    ASSERT_TRUE(
        std::regex_search(bytes, box, std::regex(R"(/MediaBox \[0 0 ([0-9.]+) ([0-9.]+)\])")))
        << "a PDF page was written";
    EXPECT_GT(std::stod(box[1]), std::stod(box[2])) << "the page is landscape";
    EXPECT_DOUBLE_EQ(ActiveView()->GetView()->GetZoom(), zoom);
}

#endif

#ifdef KURVO_STANDIN_DSM
class ScannerDesktopTest : public DesktopFeaturesTest {
protected:
    void SetUp() override
    {
        DesktopFeaturesTest::SetUp();
        // No SANE device: Select Source goes straight to the TWAIN source's selection.
        std::ofstream(m_dir.File("dll.conf")) << "";
        setenv("SANE_CONFIG_DIR", m_dir.Path().c_str(), 1);
        SaneLibrary::Shutdown();
        ASSERT_TRUE(standin::Loaded());
        standin::Loaded()->reset();
        m_profile->WriteString("Settings", "TwainDirectory",
                               std::filesystem::path(KURVO_STANDIN_DSM).parent_path().string());
        CTwain::ResetAvailability();
        CTwain::SourceEvents().Clear();
        Start();
    }
    void TearDown() override
    {
        m_app.reset();
        ProcessEvents();
        CTwain::ResetAvailability();
        CTwain::SourceEvents().Clear();
    }
};

TEST_F(ScannerDesktopTest, ThreeScannedImagesBecomeThreeDocumentsThatCannotBeUndone)
{
    // Widths 7, 8 and 9; the second in colour.
    standin::Loaded()->state()->images = {
        {7, 5, 8, TWRC_XFERDONE, 31}, {8, 5, 24, TWRC_XFERDONE, 62}, {9, 5, 8, TWRC_XFERDONE, 93}};
    ASSERT_TRUE(Command(ID_SCAN_SELECT_SOURCE));
    ASSERT_TRUE(Command(ID_SCAN_ACQUIRE));
    EXPECT_EQ(Frame().Scanner().GetState(), CTwain::kSourceEnabled);

    // The source announces from its own side; the frame handles it on its own thread.
    ASSERT_TRUE(standin::Loaded()->announce(MSG_XFERREADY));
    ProcessEvents();
    ASSERT_EQ(Docs().DocumentCount(), 3);
    for (int i = 0; i < 3; ++i) {
        CKurvoDoc* doc = Docs().Document(i);
        SCOPED_TRACE(i);
        EXPECT_EQ(doc->GetImageSize().cx, 7 + i);
        EXPECT_FALSE(doc->GetPlotData()->CanUndo());
    }
    EXPECT_EQ(Frame().Scanner().GetState(), CTwain::kSourceManagerOpen)
        << "the posted Close Twain closed the source and kept the manager";
    EXPECT_TRUE(m_ui.messages.empty());
}
#endif

// File > Acquire on libsane's test device: Scan in the dialog makes one new document whose
// image cannot be undone, and the dialog closes.
TEST_F(DesktopFeaturesTest, TheAcquireDialogScansFromASaneDeviceIntoANewDocument)
{
    std::ofstream(m_dir.File("dll.conf")) << "test\n";
    std::ofstream(m_dir.File("test.conf")) << "br_x 20.0\nbr_y 10.0\nresolution 100\n";
    setenv("SANE_CONFIG_DIR", m_dir.Path().c_str(), 1);
    SaneLibrary::Shutdown();
    Start();
    m_profile->WriteInt("Scanner", "Resolution", 100);
    SaneAcquireDialog dialog(Frame().Scanner(), *m_profile, "test:0", &Frame());
    dialog.show();
    auto* scan = dialog.findChild<QPushButton*>(QStringLiteral("ScanButton"));
    ASSERT_TRUE(scan && scan->isEnabled());
    scan->click();
    for (int i = 0; i < 500 && dialog.isVisible(); ++i) {
        ProcessEvents();
        QThread::msleep(10);
    }
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    ASSERT_EQ(Docs().DocumentCount(), 1);
    EXPECT_EQ(Docs().Document(0)->GetImageSize().cx, 78);
    EXPECT_FALSE(Docs().Document(0)->GetPlotData()->CanUndo());
    EXPECT_TRUE(m_ui.messages.empty());
}

} // namespace
