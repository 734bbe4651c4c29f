// The desktop program end to end: documents opened, mapped, digitized, listed, switched and
// saved through the real frame, windows, views and bars.
#include "support/DesktopSupport.h"

#include "app/CChildFrame.h"
#include "app/ImageViewWidget.h"
#include "app/ViewSplitter.h"
#include "document/CKurvoDoc.h"
#include "document/DocumentHooks.h"
#include "document/TransDlg.h"
#include "model/DbSetMgr.h"
#include "platform/CommandIds.h"
#include "support/TempDir.h"
#include "tasks/PlotData.h"
#include "ui/AttGenDlg.h"
#include "ui/CDataView.h"
#include "ui/DataSetsBox.h"
#include "view/CKurvoView.h"

#include <QAction>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QToolBar>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>

namespace {

class DesktopTest : public ::testing::Test, public DesktopTestBase {
protected:
    void SetUp() override
    {
        Start();
        m_bmp = m_dir.File("plot.bmp");
        ASSERT_TRUE(WriteTestBmp(m_bmp, 101, 101));
    }

    TempDir m_dir;
    std::string m_bmp;
};

// A user's whole session on one plot. The bitmap opens fitted in its window; buttons, captions
// and panes follow each change as it happens (handling the events already posted is enough);
// clicks collect points; the list split off on the left shows them
// and a click on a row selects its point. Closing asks to save; Yes writes every point.
TEST_F(DesktopTest, DigitizingAPlotFromOpeningToSaving)
{
    auto button = [this](CommandId bar, CommandId id) -> QAction* {
        for (QAction* a : Frame().Bar(bar)->actions())
            if (a->data().toInt() == id)
                return a;
        return nullptr;
    };
    QAction* undo = button(ID_VIEW_STANDARD_BAR, ID_EDIT_UNDO);
    QAction* redo = button(ID_VIEW_STANDARD_BAR, ID_EDIT_REDO);
    QAction* paste = button(ID_VIEW_STANDARD_BAR, ID_EDIT_PASTE);
    QAction* collect = button(ID_VIEW_DIGITIZE_BAR, ID_TOOL_COLLECT);
    QAction* map = button(ID_VIEW_DIGITIZE_BAR, ID_TOOL_MAP);
    ASSERT_TRUE(undo && redo && paste && collect && map);
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
    EXPECT_TRUE(redo->isEnabled());
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
    std::ostringstream read;
    read << std::ifstream(csv, std::ios::binary).rdbuf();
    const std::string text = read.str();
    EXPECT_EQ(text.rfind("Line 1\r\nX, Y\r\n", 0), 0u) << text;
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 6) << "name, header, three points, blank";
    // An export is no recent file.
    for (int i = 0; i < m_app->RecentFiles().Size(); ++i)
        EXPECT_NE(m_app->RecentFiles().At(i), csv);
}

// The sets box and the attribute window show the active document's data; a choice in the box
// makes the set current, and a deleted set leaves the box at once.
TEST_F(DesktopTest, TheBoxAndTheAttributesFollowTheActiveDocument)
{
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

} // namespace
