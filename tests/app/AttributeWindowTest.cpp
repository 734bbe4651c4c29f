#include "app/CChildFrame.h"
#include "app/CMainFrame.h"
#include "app/DialogForms.h"
#include "document/CKurvoDoc.h"
#include "document/DocumentHooks.h"
#include "model/DbSetMgr.h"
#include "model/PlotData.h"
#include "platform/Profile.h"
#include "platform/RecordingUiServices.h"
#include "ui/AttGenDlg.h"

#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>

#include <gtest/gtest.h>

#include <memory>

namespace {

// The attributes bar in the frame: it shows the active document's data and lets go of data
// that a document deletes.
class AttributeWindow : public ::testing::Test {
protected:
    AttributeWindow() : frame(profile) {}
    void SetUp() override
    {
        SetUiServices(&ui);
        saved = GetDocumentHooks();
        frame.resize(800, 600);
        frame.show();
        bar = InstallAttributeWindow(&frame);
    }
    void TearDown() override
    {
        GetDocumentHooks() = saved;
        SetUiServices(nullptr);
    }
    QMdiSubWindow* Open(CKurvoDoc& doc)
    {
        doc.OnNewDocument();
        QMdiSubWindow* sub = frame.AddChildFrame(new CChildFrame(new QWidget, nullptr, &doc));
        frame.MdiArea()->setActiveSubWindow(sub);
        QApplication::processEvents();
        return sub;
    }

    RecordingUiServices ui;
    DocumentHooks saved;
    MemoryProfile profile;
    // The documents outlive their windows, as in the program.
    CKurvoDoc first;
    CKurvoDoc second;
    CMainFrame frame;
    AttGenDlg* bar = nullptr;
};

TEST_F(AttributeWindow, FollowsTheActiveDocument)
{
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->GetPlotData(), nullptr);
    QMdiSubWindow* one = Open(first);
    EXPECT_EQ(bar->GetPlotData(), first.GetPlotData());
    Open(second);
    EXPECT_EQ(bar->GetPlotData(), second.GetPlotData());
    frame.MdiArea()->setActiveSubWindow(one);
    QApplication::processEvents();
    EXPECT_EQ(bar->GetPlotData(), first.GetPlotData());
    frame.MdiArea()->closeAllSubWindows();
    QApplication::processEvents();
    EXPECT_EQ(bar->GetPlotData(), nullptr);
}

TEST_F(AttributeWindow, LetsGoOfDataTheDocumentDeletes)
{
    CKurvoDoc& doc = first;
    Open(doc);
    // Kept alive here to count its observers after the document let go of it.
    const SmartPtr<DbAttMgrRep> mgr = doc.GetPlotData()->GetSetMgr()->GetAttMgrPtr();
    const int observers = mgr->ObserverCount();
    ASSERT_EQ(bar->GetPlotData(), doc.GetPlotData());
    // New on the same document: the old data goes, the bar lets go first and takes the new.
    doc.OnNewDocument();
    EXPECT_EQ(mgr->ObserverCount(), observers - 1);
    EXPECT_EQ(bar->GetPlotData(), doc.GetPlotData());
    doc.DeleteContents();
    EXPECT_EQ(bar->GetPlotData(), nullptr);
}

} // namespace
