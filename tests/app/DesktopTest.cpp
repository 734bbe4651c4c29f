// The desktop program end to end: documents opened, mapped, digitized, listed, switched,
// saved, printed, extracted from and scanned into, through the real frame, windows, views and
// bars, and the command line and options around them.
#include "support/WhenShown.h"

#include "app/CChildFrame.h"
#include "app/CKurvoApp.h"
#include "app/CMainFrame.h"
#include "app/DialogForms.h"
#include "app/DocumentManager.h"
#include "app/ExtractPanel.h"
#include "app/ImageViewWidget.h"
#include "app/SaneAcquireDialog.h"
#include "app/ViewSplitter.h"
#include "document/CKurvoDoc.h"
#include "document/CPreferences.h"
#include "document/DocumentHooks.h"
#include "document/TransDlg.h"
#include "image/CDib.h"
#include "model/DbPoint.h"
#include "model/DbPrimList.h"
#include "model/DbSetMgr.h"
#include "platform/CommandIds.h"
#include "platform/Profile.h"
#include "platform/RecordingUiServices.h"
#include "scan/CTwain.h"
#include "scan/SaneLibrary.h"
#include "scan/dsm/StandInDsmControl.h"
#include "support/TempDir.h"
#include "tasks/PlotData.h"
#include "ui/AttGenDlg.h"
#include "ui/CDataView.h"
#include "ui/DataSetsBox.h"
#include "view/CKurvoView.h"

#include <QAction>
#include <QImage>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QPushButton>
#include <QThread>
#include <QToolBar>

#ifdef QT_PRINTSUPPORT_LIB
#include "app/AppPrinter.h"

#include <QPrintDialog>
#include <QPrinter>
#endif

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <thread>
#include <tuple>

namespace {

// Runs the event loop until nothing is left to do now (posted events, deferred deletes,
// zero timers).
void ProcessEvents()
{
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }
}

// Left button press and release at a position of a widget.
void Click(QWidget* target, QPoint at)
{
    const QPointF local(at), global(target->mapToGlobal(at));
    QMouseEvent press(QEvent::MouseButtonPress, local, global, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(target, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, local, global, Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(target, &release);
}

// The point of the image view's client area that shows the image pixel (px, py).
QPoint WindowPointOf(ImageViewWidget* view, double px, double py)
{
    CKurvoView* v = view->GetView();
    const IPoint off = v->GetCentringOffset();
    const IPoint scroll = v->GetScrollPos();
    return QPoint(ToolEvent::WindowOf(px, v->GetZoom()) + off.x - scroll.x,
                  ToolEvent::WindowOf(py, v->GetZoom()) + off.y - scroll.y);
}

// The whole desktop program on an empty profile and recording services, started by each test
// (some with a command line or settings of their own), and a white 101 x 101 bitmap with a
// dark diagonal. Documents, windows and bars are the real ones.
class DesktopTest : public ::testing::Test {
protected:
    DesktopTest()
    {
        auto profile = std::make_unique<MemoryProfile>();
        m_profile = profile.get();
        m_app = std::make_unique<CKurvoApp>(std::move(profile), &m_ui);
    }
    ~DesktopTest() override
    {
        m_app.reset();
        ProcessEvents();
    }
    void SetUp() override
    {
        QImage image(101, 101, QImage::Format_RGB32);
        image.fill(Qt::white);
        for (int y = 0; y < 101; ++y)
            image.setPixel(y, y, qRgb(0x20, 0x20, 0x20));
        ASSERT_TRUE(image.save(QString::fromStdString(m_bmp), "BMP"));
    }

    void Start(const QStringList& arguments = {QStringLiteral("kurvo")})
    {
        ASSERT_TRUE(m_app->InitInstance(arguments));
        RemoveDialogForms(); // the tests answer the dialogs themselves
        ProcessEvents();
    }
    CMainFrame& Frame() { return *m_app->MainFrame(); }
    DocumentManager& Docs() { return *m_app->Documents(); }
    CKurvoDoc* ActiveDoc() { return Docs().ActiveDocument(); }
    ImageViewWidget* ActiveView() { return Docs().ActiveView(); }
    // Sends a command along the frame's route, as a menu entry would.
    bool Command(int id)
    {
        const bool routed = Frame().RouteCommand(static_cast<CommandId>(id));
        ProcessEvents();
        return routed;
    }
    bool Enabled(int id) { return Frame().QueryCommand(static_cast<CommandId>(id)).enabled; }

    RecordingUiServices m_ui;
    MemoryProfile* m_profile = nullptr;
    std::unique_ptr<CKurvoApp> m_app;
    TempDir m_dir;
    std::string m_bmp = m_dir.File("plot.bmp");
};

// A user's whole session on one plot. The bitmap opens fitted in its window; buttons, captions
// and panes follow each change as it happens (handling the events already posted is enough);
// clicks collect points; the list split off on the left shows them
// and a click on a row selects its point. Closing asks to save; Yes writes every point.
TEST_F(DesktopTest, DigitizingAPlotFromOpeningToSaving)
{
    Start();
    auto button = [this](CommandId bar, CommandId id) -> QAction* {
        for (QAction* a : Frame().Bar(bar)->actions())
            if (a->data().toInt() == id)
                return a;
        return nullptr;
    };
    QAction* undo = button(ID_VIEW_STANDARD_BAR, ID_EDIT_UNDO);
    QAction* paste = button(ID_VIEW_STANDARD_BAR, ID_EDIT_PASTE);
    QAction* collect = button(ID_VIEW_DIGITIZE_BAR, ID_TOOL_COLLECT);
    QAction* map = button(ID_VIEW_DIGITIZE_BAR, ID_TOOL_MAP);
    ASSERT_TRUE(undo && paste && collect && map);
    CKurvoDoc* doc = Docs().OpenDocument(m_bmp);
    ASSERT_NE(doc, nullptr);
    ProcessEvents();
    ImageViewWidget* view = ActiveView();
    EXPECT_TRUE(view->GetView()->IsFitted());
    // The canvas is what the window shows: the dark diagonal is on it.
    const QImage shown = view->viewport()->grab().toImage();
    EXPECT_LT(qGray(shown.pixel(WindowPointOf(view, 50, 50))), 128);
    EXPECT_GT(qGray(shown.pixel(WindowPointOf(view, 80, 20))), 200);
    EXPECT_EQ(m_app->RecentFiles().Size(), 0) << "only the application's Open enters the list";
    QWidget* window = Docs().WindowsOf(doc)[0];
    EXPECT_FALSE(undo->isEnabled());
    EXPECT_FALSE(window->windowTitle().endsWith('*'));

    // The whole image is mapped to 0..100 on both axes.
    ASSERT_TRUE(Command(ID_EDIT_MAP_FULL));
    EXPECT_TRUE(undo->isEnabled());
    EXPECT_TRUE(window->windowTitle().endsWith('*'));
    GetDocumentHooks().runAxisMapping = [](TransDlg& dlg) {
        dlg.m_xMin = dlg.m_yMin = 0;
        dlg.m_xMax = dlg.m_yMax = 100;
        return dlg.OnOK();
    };
    ASSERT_TRUE(Command(ID_EDIT_AXIS_MAPPING));
    ASSERT_TRUE(Command(ID_TOOL_COLLECT));
    EXPECT_TRUE(collect->isChecked());
    EXPECT_FALSE(map->isChecked()) << "only the tool in use is checked";

    for (double x : {10, 50, 70})
        Click(view->viewport(), WindowPointOf(view, x, 100 - x));
    ProcessEvents();
    ASSERT_EQ(doc->GetPlotData()->GetSetMgr()->GetCurrentCount(), 3);
    EXPECT_EQ(m_ui.panes[2], "3");

    // The list opens on the left, once, and neither pane may be too narrow.
    ViewSplitter* splitter = Docs().ActiveSplitter();
    ASSERT_NE(splitter, nullptr);
    EXPECT_EQ(splitter->sizes().front(), 0) << "the image view alone at first";
    EXPECT_FALSE(splitter->SplitColumn(ViewSplitter::kMinPane - 1));
    EXPECT_FALSE(splitter->SplitColumn(splitter->width() - ViewSplitter::kMinPane));
    ASSERT_TRUE(splitter->SplitColumn(150));
    EXPECT_EQ(splitter->indexOf(splitter->ImageView()), 1) << "the image keeps the right";
    EXPECT_FALSE(splitter->SplitColumn(200)) << "split once only";
    CDataView* list = splitter->DataView();
    ASSERT_EQ(list->topLevelItemCount(), 4);
    ASSERT_TRUE(Command(ID_EDIT_UNDO));
    EXPECT_EQ(list->topLevelItemCount(), 3);
    EXPECT_EQ(m_ui.panes[2], "2");
    ASSERT_TRUE(Command(ID_EDIT_REDO));
    EXPECT_EQ(list->topLevelItemCount(), 4);

    // A click on a row selects its point and hands the focus on to the view; the header row
    // selects nothing.
    bool activated = false;
    QObject::connect(list, &CDataView::activateNextPane, [&] { activated = true; });
    DbSetMgr* sets = doc->GetPlotData()->GetSetMgr();
    Click(list->viewport(), list->visualItemRect(list->topLevelItem(2)).center());
    EXPECT_TRUE(activated);
    ASSERT_EQ(sets->GetSelection().size(), 1u);
    EXPECT_EQ(sets->GetSelection()[0], sets->GetCurrentSet()->GetAt(1));
    Click(list->viewport(), list->visualItemRect(list->topLevelItem(0)).center());
    EXPECT_TRUE(sets->GetSelection().empty());
    // F6 moves between the two panes, while there are two.
    Frame().activateWindow();
    splitter->ImageView()->setFocus();
    ASSERT_TRUE(Command(ID_NEXT_PANE));
    EXPECT_TRUE(list->hasFocus());
    ASSERT_TRUE(Command(ID_PREV_PANE));
    EXPECT_TRUE(splitter->ImageView()->hasFocus());
    splitter->Unsplit();
    EXPECT_EQ(splitter->sizes().front(), 0);
    EXPECT_FALSE(Enabled(ID_NEXT_PANE));

    EXPECT_FALSE(paste->isEnabled());
    ASSERT_TRUE(Command(ID_EDIT_COPY));
    EXPECT_TRUE(paste->isEnabled());

    // A second window closes without asking. Closing the document, its last window or the
    // program asks; Cancel, or a cancelled save, keeps it all.
    ASSERT_TRUE(Command(ID_WINDOW_NEW));
    ASSERT_EQ(doc->GetViews().size(), 2u);
    EXPECT_EQ(Docs().WindowsOf(doc)[1]->windowTitle().toStdString(), doc->GetTitle() + ":2");
    Docs().WindowsOf(doc)[1]->parentWidget()->close();
    ProcessEvents();
    EXPECT_EQ(doc->GetViews().size(), 1u);
    EXPECT_TRUE(m_ui.messages.empty());
    m_ui.messageAnswers = {MsgResult::Cancel, MsgResult::Cancel, MsgResult::Cancel, MsgResult::Yes,
                           MsgResult::Yes};
    m_ui.promptAnswers = {std::nullopt, m_dir.File("kept")};
    Command(ID_FILE_CLOSE);
    Docs().WindowsOf(doc).front()->parentWidget()->close();
    Frame().close();
    Command(ID_FILE_CLOSE);
    ASSERT_EQ(m_ui.messages.size(), 4u);
    EXPECT_EQ(m_ui.messages[0].text, "Save changes to plot?");
    EXPECT_EQ(m_ui.messages[0].buttons, MsgButtons::YesNoCancel);
    EXPECT_EQ(Docs().DocumentCount(), 1);
    EXPECT_TRUE(Frame().isVisible());
    // Yes to the program's close saves under the name given.
    EXPECT_TRUE(Frame().close());
    ProcessEvents();
    EXPECT_EQ(Docs().DocumentCount(), 0);
    // With the last document gone the panes speak of none.
    EXPECT_EQ(m_ui.panes[2], "");
    EXPECT_EQ(m_ui.panes[4], "");
    const std::string csv = m_dir.File("kept.csv");
    std::ifstream written(csv, std::ios::binary);
    EXPECT_EQ(std::count(std::istreambuf_iterator<char>(written), {}, '\n'), 6)
        << "name, header, three points, blank";
    // An export is no recent file.
    for (int i = 0; i < m_app->RecentFiles().Size(); ++i)
        EXPECT_NE(m_app->RecentFiles().At(i), csv);
}

// The sets box and the attribute window show the active document's data; a choice in the box
// makes the set current, and a deleted set leaves the box at once.
TEST_F(DesktopTest, TheBoxAndTheAttributesFollowTheActiveDocument)
{
    Start();
    auto* attributes = Frame().findChild<AttGenDlg*>();
    ASSERT_NE(attributes, nullptr);
    EXPECT_EQ(attributes->GetPlotData(), nullptr);
    CKurvoDoc* first = Docs().OpenDocument(m_bmp);
    ASSERT_NE(first, nullptr);
    ASSERT_TRUE(Command(ID_DATA_NEW_SET));
    ASSERT_TRUE(Command(ID_DATA_NEW_SET));
    DataSetsBox* box = Frame().SetsBox();
    EXPECT_EQ(box->count(), 3);

    ASSERT_TRUE(Command(ID_FILE_NEW));
    CKurvoDoc* second = ActiveDoc();
    ASSERT_NE(second, first);
    EXPECT_EQ(box->count(), 1);
    EXPECT_EQ(box->currentText(), "Line 1");
    EXPECT_EQ(attributes->GetPlotData(), second->GetPlotData());

    QMdiSubWindow* firstWindow =
        qobject_cast<QMdiSubWindow*>(Docs().WindowsOf(first).front()->parentWidget());
    Frame().MdiArea()->setActiveSubWindow(firstWindow);
    ProcessEvents();
    EXPECT_EQ(ActiveDoc(), first);
    ASSERT_EQ(box->count(), 3);
    EXPECT_EQ(box->currentText(), "Line 3");
    EXPECT_EQ(attributes->GetPlotData(), first->GetPlotData());
    emit box->activated(1);
    DbSetMgr* sets = first->GetPlotData()->GetSetMgr();
    EXPECT_EQ(sets->GetCurrent(), 1);
    ASSERT_TRUE(Command(ID_DATA_DELETE_SET));
    ASSERT_EQ(box->count(), 2);
    EXPECT_EQ(box->itemText(1), "Line 3");
    EXPECT_EQ(box->SlotAt(1), 2) << "the entries keep their slots, not their positions";
    EXPECT_EQ(second->GetPlotData()->GetSetMgr()->GetSetCount(), 1);

    // Closing the active document hands the list to the one that remains; an unmodified
    // document closes without asking.
    m_ui.messageAnswers.push_back(MsgResult::No);
    ASSERT_TRUE(Command(ID_FILE_CLOSE));
    EXPECT_EQ(box->count(), 1);
    EXPECT_EQ(attributes->GetPlotData(), second->GetPlotData());
    ASSERT_TRUE(Command(ID_FILE_CLOSE));
    EXPECT_EQ(attributes->GetPlotData(), nullptr);
    EXPECT_EQ(m_ui.messages.size(), 1u);
}

// A folder named on the command line, or a file that is neither picture nor project opened
// later, is reported; the program runs on with no window and no sets left of it.
TEST_F(DesktopTest, FilesThatDoNotOpenLeaveTheProgramRunningWithoutThem)
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
TEST_F(DesktopTest, CommandLineProjectExtractionAndOptions)
{
    GetPreferences().m_allowCaching = 1;
    const std::string project = std::string(KURVO_SOURCE_DIR) + "/examples/sample-plot.kvx";
    Start({QStringLiteral("kurvo"), QString::fromStdString(project)});
    ASSERT_EQ(Docs().DocumentCount(), 1);
    EXPECT_EQ(ActiveDoc()->GetPathName(), project);
    EXPECT_EQ(m_app->RecentFiles().At(0), project);
    ASSERT_GT(CDib::GetCacheSize(), 0);
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
TEST_F(DesktopTest, PrintUsesThePageChosenInPrintSetup)
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
class ScannerDesktopTest : public DesktopTest {
protected:
    void SetUp() override
    {
        DesktopTest::SetUp();
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
TEST_F(DesktopTest, TheAcquireDialogScansFromASaneDeviceIntoANewDocument)
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

// The README picture: when KURVO_SCREENSHOT names a file, the window is saved there
// (scripts/screenshot.sh).
class ScreenshotTest : public DesktopTest {};

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
