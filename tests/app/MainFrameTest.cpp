#include "app/CChildFrame.h"
#include "app/CKurvoApp.h"
#include "app/CMainFrame.h"
#include "app/WindowPlacement.h"
#include "document/CommandTable.h"
#include "platform/CommandIds.h"
#include "platform/Profile.h"
#include "platform/RecordingUiServices.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QStatusBar>
#include <QToolBar>
#include <QUrl>

#include <gtest/gtest.h>

#include <set>

namespace {

// A command target that handles a fixed set of commands and records what reached it.
struct FakeTarget : CommandTarget {
    explicit FakeTarget(std::set<CommandId> ids, bool on = true)
        : handles(std::move(ids)), enabled(on)
    {
    }
    bool OnCommand(CommandId id) override
    {
        commands.push_back(id);
        return handles.count(id) != 0;
    }
    bool OnUpdateCommand(CommandId id, CommandState& state) override
    {
        return handles.count(id) && (state.Enable(enabled), true);
    }
    std::vector<CommandId> commands;
    std::set<CommandId> handles;
    bool enabled;
};

class MainFrameTest : public ::testing::Test {
protected:
    MainFrameTest() : m_frame(m_profile) { m_frame.resize(900, 700); }

    CChildFrame* OpenChild(const QString& title, CommandTarget* view = nullptr)
    {
        auto* child = new CChildFrame(new QWidget, view ? view : &m_none, &m_none);
        child->setWindowTitle(title);
        m_frame.AddChildFrame(child);
        return child;
    }

    MemoryProfile m_profile;
    FakeTarget m_none{{}};
    CMainFrame m_frame;
};

// Commands go to the view, then its document, then the frame, then the application; the
// first that handles a command ends the route. Nobody answering, or a handler disabling
// the command, means it is not carried out.
TEST_F(MainFrameTest, CommandsTravelViewDocumentFrameApplication)
{
    FakeTarget app({ID_FILE_NEW, ID_VIEW_ZOOMIN, ID_EDIT_UNDO, ID_TOOL_PAN});
    m_frame.SetAppTarget(&app);
    EXPECT_FALSE(m_frame.QueryCommand(ID_VIEW_FIT).enabled);
    EXPECT_FALSE(m_frame.RouteCommand(ID_VIEW_FIT));
    FakeTarget view({ID_VIEW_ZOOMIN, ID_VIEW_ACTUAL});
    FakeTarget doc({ID_EDIT_UNDO, ID_VIEW_ZOOMIN});
    FakeTarget disabled({ID_VIEW_FIT}, false);
    m_frame.AddChildFrame(new CChildFrame(new QWidget, &view, &doc));

    EXPECT_TRUE(m_frame.RouteCommand(ID_VIEW_ZOOMIN));
    EXPECT_EQ(view.commands, (std::vector<CommandId>{ID_VIEW_ZOOMIN}));
    EXPECT_TRUE(doc.commands.empty());
    EXPECT_TRUE(m_frame.RouteCommand(ID_EDIT_UNDO));
    EXPECT_EQ(doc.commands, (std::vector<CommandId>{ID_EDIT_UNDO}));
    EXPECT_TRUE(m_frame.RouteCommand(ID_FILE_NEW));
    EXPECT_EQ(app.commands, (std::vector<CommandId>{ID_FILE_NEW}));
    // The frame's own commands stop at the frame.
    EXPECT_TRUE(m_frame.RouteCommand(ID_VIEW_STATUS_BAR));
    EXPECT_EQ(app.commands.size(), 1u);

    OpenChild("Disabled", &disabled);
    EXPECT_FALSE(m_frame.RouteCommand(ID_VIEW_FIT));
    EXPECT_TRUE(disabled.commands.empty());
}

// Every accelerator, pressed in the frame, takes its command along the route (the view is
// first and answers for them all).
TEST_F(MainFrameTest, EveryAcceleratorReachesItsCommand)
{
    std::set<CommandId> ids;
    for (const auto& acc : CommandTable::Accelerators())
        ids.insert(acc.id);
    FakeTarget view(ids);
    CChildFrame* child = OpenChild("Plot", &view);
    m_frame.show();
    QApplication::setActiveWindow(&m_frame);
    child->setFocus();
    QApplication::processEvents();
    for (const auto& acc : CommandTable::Accelerators()) {
        SCOPED_TRACE(acc.keys);
        const QKeyCombination key = QKeySequence(QString::fromStdString(acc.keys))[0];
        QKeyEvent press(QEvent::KeyPress, key.key(), key.keyboardModifiers());
        view.commands.clear();
        QApplication::sendEvent(child, &press);
        EXPECT_EQ(view.commands, std::vector<CommandId>{acc.id});
    }
}

// A document window brings the full menu, every command in it with its context help. Every
// command with a prompt is in a menu, but for those reached otherwise, and every button shows
// its icon. New windows open maximized only after a maximized one; the maximized title joins the
// caption. The Window menu lists the windows and activates the one chosen.
TEST_F(MainFrameTest, DocumentWindowsMenusBarsAndTheCaption)
{
    m_frame.show();
    EXPECT_EQ(m_frame.menuBar()->actions().size(), CommandTable::NoDocumentMenu().size());
    CChildFrame* one = OpenChild("R&D");
    EXPECT_EQ(m_frame.menuBar()->actions().size(), CommandTable::DocumentMenu().size());
    int commands = 0;
    for (QAction* action : m_frame.findChildren<QAction*>())
        if (action->data().toInt() != 0 && !action->isSeparator()) {
            ++commands;
            EXPECT_FALSE(action->whatsThis().isEmpty()) << action->text().toStdString();
        }
    EXPECT_GT(commands, 60);
    std::set<int> inMenus;
    for (QMenu* menu : m_frame.findChildren<QMenu*>())
        for (QAction* action : menu->actions())
            inMenus.insert(action->data().toInt());
    // Reached otherwise: the data-set list is a box on its bar, the bars' own menu toggles
    // the attribute bar, the window and help keys, and printing without a dialog.
    const std::set<CommandId> elsewhere = {
        ID_DATA_SELECT_SET,   ID_NEXT_PANE, ID_PREV_PANE, ID_HELP,        ID_CONTEXT_HELP,
        ID_FILE_PRINT_DIRECT, ID_DATA_SORT, ID_EDIT_CUT,  ID_DATA_NEW_SET};
    for (CommandId id = 32768; id < 60000; ++id)
        if (!CommandTable::Text(id).empty() && !elsewhere.count(id)) {
            EXPECT_TRUE(inMenus.count(id)) << CommandTable::ToolTip(id);
        }
    for (QToolBar* bar : m_frame.findChildren<QToolBar*>())
        for (QAction* button : bar->actions())
            EXPECT_TRUE(button->data().toInt() == 0 || !button->icon().isNull())
                << button->text().toStdString();
    ASSERT_TRUE(m_frame.MdiArea()->currentSubWindow()->isMaximized());
    EXPECT_EQ(m_frame.windowTitle(), "Kurvo - [R&D]");
    one->setWindowTitle("R&D*");
    EXPECT_EQ(m_frame.windowTitle(), "Kurvo - [R&D*]");
    OpenChild("Two");
    EXPECT_TRUE(m_frame.MdiArea()->currentSubWindow()->isMaximized());

    m_frame.MdiArea()->currentSubWindow()->showNormal();
    QApplication::processEvents();
    EXPECT_EQ(m_frame.windowTitle(), "Kurvo");
    OpenChild("Three");
    EXPECT_FALSE(m_frame.MdiArea()->currentSubWindow()->isMaximized());
    QMenu* window = m_frame.WindowMenu();
    ASSERT_NE(window, nullptr);
    emit window->aboutToShow();
    emit window->aboutToShow(); // entries are replaced, not added twice
    ASSERT_EQ(window->actions().size(), 8);
    QAction* first = window->actions()[5];
    EXPECT_EQ(first->text(), "&1 R&&D*");
    EXPECT_FALSE(first->isChecked());
    EXPECT_TRUE(window->actions()[7]->isChecked());
    first->trigger();
    EXPECT_EQ(m_frame.ActiveChild(), one);
    m_frame.MdiArea()->closeAllSubWindows();
    QApplication::processEvents();
    EXPECT_EQ(m_frame.menuBar()->actions().size(), 3);

    // Bar commands show and hide their bars; stray panes are ignored.
    QToolBar* digitize = m_frame.Bar(ID_VIEW_DIGITIZE_BAR);
    ASSERT_NE(digitize, nullptr);
    EXPECT_TRUE(m_frame.QueryCommand(ID_VIEW_DIGITIZE_BAR).checked);
    EXPECT_TRUE(m_frame.RouteCommand(ID_VIEW_DIGITIZE_BAR));
    EXPECT_FALSE(digitize->isVisible());
    EXPECT_FALSE(m_frame.QueryCommand(ID_VIEW_DIGITIZE_BAR).checked);
    EXPECT_TRUE(m_frame.RouteCommand(ID_VIEW_STATUS_BAR));
    EXPECT_FALSE(m_frame.statusBar()->isVisible());

    m_frame.SetPaneText(2, "17");
    m_frame.SetPaneText(9, "ignored");
    EXPECT_EQ(m_frame.Pane(2)->text(), "17");
}

// A document window that refuses to close keeps the program; closing maximized stores the
// restore flag and the normal rectangle, and the next start opens maximized over it.
TEST_F(MainFrameTest, ClosingMaximizedStoresThePlacementAndARefusingWindowKeepsTheProgram)
{
    struct Stubborn : CChildFrame {
        Stubborn() : CChildFrame(nullptr, nullptr, nullptr) {}
        bool refuse = true;
        void closeEvent(QCloseEvent* e) override { e->setAccepted(!refuse); }
    };
    m_frame.setGeometry(40, 50, 700, 500);
    m_frame.show();
    QApplication::processEvents();
    const QRect normal = m_frame.geometry();
    m_frame.showMaximized();
    QApplication::processEvents();
    auto* child = new Stubborn;
    m_frame.AddChildFrame(child);
    EXPECT_FALSE(m_frame.close());
    EXPECT_TRUE(m_frame.isVisible());
    child->refuse = false;
    EXPECT_TRUE(m_frame.close());
    EXPECT_FALSE(m_frame.isVisible());

    // Flags, show command, minimized and maximized corners, the normal rectangle's edges.
    EXPECT_EQ(m_profile.GetString("Settings", "WindowPos", ""),
              QString::asprintf("2,3,-1,-1,-1,-1,%d,%d,%d,%d", normal.left(), normal.top(),
                                normal.right() + 1, normal.bottom() + 1)
                  .toStdString());

    CMainFrame again(m_profile);
    again.ShowWithPlacement(WindowPlacement::kShowNormal);
    QApplication::processEvents();
    EXPECT_TRUE(again.isMaximized());
    again.showNormal();
    QApplication::processEvents();
    EXPECT_EQ(again.geometry().size(), normal.size());
}

// A normal placement (blanks allowed) is restored; a malformed value, or one that would put
// the window off every screen or give it a silly size, leaves the window where it was.
TEST(StoredPlacement, IsRestoredOnlyWhenWellFormedAndSane)
{
    const QRect restored(30, 40, 600, 480), kept(10, 20, 640, 480);
    for (auto [text, expected] : {std::pair{"0,1,-1,-1,-1,-1,30,40,630,520", restored},
                                  {" 0, 1,-1,-1,-1,-1, 30,40,630,520 \n", restored},
                                  {"garbage", kept},
                                  {"", kept},
                                  {"0,1,-1,-1,-1,-1,50000,50000,50800,50600", kept},
                                  {"0,1,-1,-1,-1,-1,100,100,90,90", kept},
                                  {"0,1,-1,-1,-1,-1,30,40,630", kept},
                                  {"0,1,-1,-1,-1,-1,30,40,630,520,50", kept},
                                  {"0,1,-1,-1,-1,-1,30,40,630,520x", kept},
                                  {"0,1,,-1,-1,-1,30,40,630,520", kept},
                                  {"-2,1,-1,-1,-1,-1,30,40,630,520", kept},
                                  {"0,1,-1,-1,-1,-1,30,40,630,4294967816", kept},
                                  {"4294967296,1,-1,-1,-1,-1,30,40,630,520", kept}}) {
        SCOPED_TRACE(text);
        MemoryProfile profile;
        profile.WriteString("Settings", "WindowPos", text);
        CMainFrame frame(profile);
        frame.setGeometry(kept);
        frame.ShowWithPlacement(WindowPlacement::kShowNormal);
        QApplication::processEvents();
        EXPECT_FALSE(frame.isMaximized());
        // A window left where it was keeps its corner; its size is the frame's own.
        const QRect shown = frame.geometry();
        EXPECT_EQ(expected == kept ? QRect(shown.topLeft(), kept.size()) : shown, expected);
    }
}

// Files dropped on the frame go to its handler one by one, local files only; without a
// handler the frame takes no drops.
TEST_F(MainFrameTest, DroppedFilesReachTheDropHandler)
{
    EXPECT_FALSE(m_frame.acceptDrops());
    std::vector<std::string> opened;
    m_frame.SetDropHandler([&](const std::string& path) { opened.push_back(path); });
    EXPECT_TRUE(m_frame.acceptDrops());
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QStringLiteral("/plots/a b.png")),
                  QUrl(QStringLiteral("https://example.org/c.png")),
                  QUrl::fromLocalFile(QStringLiteral("/plots/two.pdf"))});
    const QPoint at(100, 100);
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&m_frame, &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&m_frame, &drop);
    EXPECT_TRUE(drop.isAccepted());
    EXPECT_EQ(opened, (std::vector<std::string>{"/plots/a b.png", "/plots/two.pdf"}));
    // Text without files is refused.
    QMimeData text;
    text.setText(QStringLiteral("1 2 3"));
    QDragEnterEvent words(at, Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
    words.setAccepted(false);
    QApplication::sendEvent(&m_frame, &words);
    EXPECT_FALSE(words.isAccepted());
}

// The recording double, also answering with the filter the "user" picked.
struct PromptingServices : RecordingUiServices {
    std::deque<int> chosenFilters;
    bool PromptFileName(FilePrompt& prompt) override
    {
        bool ok = RecordingUiServices::PromptFileName(prompt);
        if (ok && !chosenFilters.empty()) {
            prompt.filterIndex = chosenFilters.front();
            chosenFilters.pop_front();
        }
        return ok;
    }
};

class AppTest : public ::testing::Test {
protected:
    // Opening records the path and answers m_openSucceeds.
    AppTest()
    {
        auto profile = std::make_unique<MemoryProfile>();
        m_profile = profile.get();
        m_app = std::make_unique<CKurvoApp>(std::move(profile), &m_ui);
        CKurvoApp::DocumentHooks hooks;
        hooks.openDocument = [this](const std::string& path) {
            m_opened.push_back(path);
            return m_openSucceeds;
        };
        m_app->SetDocumentHooks(hooks);
    }

    PromptingServices m_ui;
    MemoryProfile* m_profile = nullptr;
    std::unique_ptr<CKurvoApp> m_app;
    std::vector<std::string> m_opened;
    bool m_openSucceeds = true;
};

// Options are skipped when looking for the command line's file. Open offers images first, then
// the filter chosen last.
TEST_F(AppTest, CommandLineFileThenOpenOffersImagesFirstThenTheFilterChosenLast)
{
    ASSERT_TRUE(m_app->InitInstance({"kurvo", "-reverse", "/data/plot.tif", "/data/other.tif"}));
    EXPECT_EQ(m_opened, (std::vector<std::string>{"/data/plot.tif"}));
    m_opened.clear();
    m_ui.promptAnswers = {std::string("/p/a.tif"), std::string("/p/b.dat"), std::nullopt};
    m_ui.chosenFilters = {10, 1};

    // The all-files filter chosen first is offered next, with no default extension; the
    // last prompt is cancelled: nothing opens and the remembered filter stays.
    std::vector<std::pair<int, std::string>> offered;
    for (int i = 0; i < 3; ++i) {
        m_app->MainFrame()->RouteCommand(ID_FILE_OPEN);
        ASSERT_EQ(m_ui.prompts.size(), i + 1u);
        offered.emplace_back(m_ui.prompts.back().filterIndex, m_ui.prompts.back().defaultExtension);
    }
    EXPECT_EQ(offered,
              (std::vector<std::pair<int, std::string>>{{2, "bmp"}, {10, ""}, {1, "kvx"}}));
    EXPECT_EQ(m_opened, (std::vector<std::string>{"/p/a.tif", "/p/b.dat"}));
    EXPECT_EQ(m_app->OpenFilterIndex(), 0);
    EXPECT_EQ(m_app->RecentFiles().At(0), "/p/b.dat");
}

TEST_F(AppTest, RecentFilesAreListedAndOpenAndADeadEntryLeavesTheList)
{
    m_profile->WriteString("Recent File List", "File1", "/p/new&.kvx");
    m_profile->WriteString("Recent File List", "File2", "/p/old.kvx");
    ASSERT_TRUE(m_app->InitInstance({"kurvo"}));
    CMainFrame* frame = m_app->MainFrame();
    // The File menu shows them between its separators.
    QMenu* file = frame->menuBar()->actions().front()->menu();
    emit file->aboutToShow();
    QStringList visible;
    for (QAction* a : file->actions())
        if (a->isVisible())
            visible << (a->isSeparator() ? QString("-") : a->text());
    EXPECT_EQ(visible.mid(visible.size() - 5),
              (QStringList{"-", "&1 /p/new&&.kvx", "&2 /p/old.kvx", "-", "E&xit"}));
    EXPECT_TRUE(frame->QueryCommand(ID_FILE_MRU_FILE1 + 1).enabled);
    EXPECT_FALSE(frame->QueryCommand(ID_FILE_MRU_FILE1 + 2).enabled);

    ASSERT_TRUE(frame->RouteCommand(ID_FILE_MRU_FILE1 + 1));
    EXPECT_EQ(m_opened.back(), "/p/old.kvx");
    EXPECT_EQ(m_app->RecentFiles().At(0), "/p/old.kvx");

    m_openSucceeds = false;
    frame->RouteCommand(ID_FILE_MRU_FILE1 + 1);
    EXPECT_EQ(m_opened.back(), "/p/new&.kvx");
    EXPECT_EQ(m_app->RecentFiles().Size(), 1);
    EXPECT_EQ(m_app->RecentFiles().At(0), "/p/old.kvx");

    m_app->ExitInstance(0);
    EXPECT_EQ(m_profile->GetString("Recent File List", "File1", ""), "/p/old.kvx");
    EXPECT_EQ(m_profile->GetString("Recent File List", "File2", "x"), "");
}

} // namespace
