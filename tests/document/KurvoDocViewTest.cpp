#include "view/support/ViewTestDoc.h"

#include "document/CKurvoDoc.h"
#include "document/DocumentHooks.h"
#include "document/KurvoViewDocument.h"
#include "model/DbPoint.h"
#include "model/DbSetMgr.h"
#include "model/Task.h"
#include "platform/CommandIds.h"
#include "platform/RecordingUiServices.h"
#include "view/CKurvoView.h"
#include "view/HeadlessViewHost.h"

#include <gtest/gtest.h>

namespace {

// The view over the program's own document: a region dragged and a point clicked are the
// document's undoable tasks, the position display goes through the document's pixel
// resolution, and Axis Mapping runs the document's dialog (a cancel changes nothing).
TEST(KurvoDocViewTest, RegionPointsAndAxisMappingThroughTheDocument)
{
    RecordingUiServices ui;
    SetUiServices(&ui);
    GetDocumentHooks() = DocumentHooks{};
    CKurvoDoc doc;
    ASSERT_TRUE(doc.OnNewDocument());
    PlotData* data = doc.GetPlotData();
    const std::vector<std::uint8_t> dib = MakeDibBlock(300, 200, 24, PatternColour);
    data->SetImage(std::make_unique<CDib>(dib.data(), dib.size()));
    KurvoViewDocument link{&doc};
    HeadlessViewHost host{250, 180};
    CKurvoView view{&host, &link};
    host.SetView(&view);
    doc.AddView(&view);
    view.OnInitialUpdate(ViewSettings{});
    view.ActualPixels();
    view.ScrollToPosition({0, 0});

    EXPECT_FALSE(link.IsMappingDefined());
    view.OnLButtonDown({20, 30});
    view.OnMouseMove({120, 80});
    view.OnMouseMove({220, 130});
    view.OnLButtonUp({220, 130});
    ASSERT_EQ(data->GetTaskCount(), 1);
    EXPECT_EQ(data->GetTask(0)->GetName(), "Transformation");
    EXPECT_TRUE(link.IsMappingDefined());
    EXPECT_EQ(data->GetTransform()->GetRegion().PixelNodes()[4], (DPoint{220, 130}));
    int asked = 0;
    GetDocumentHooks().runAxisMapping = [&asked](TransDlg&) { return ++asked, false; };
    link.OnAxisMapping();
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(data->GetTaskCount(), 1);

    view.OnCommand(ID_TOOL_COLLECT);
    view.OnLButtonDown({120, 80});
    view.OnLButtonUp({120, 80});
    DbPrimList* set = data->GetSetMgr()->GetCurrentSet();
    ASSERT_EQ(set->GetCount(), 1);
    EXPECT_EQ(static_cast<const DbPoint*>(set->GetAt(0))->m_pixel, (DPoint{120, 80}));
    EXPECT_TRUE(doc.IsModified());
    view.OnMouseMove({121, 80});
    EXPECT_FALSE(ui.panes[5].empty());
    ASSERT_TRUE(data->Undo());
    EXPECT_EQ(set->GetCount(), 0);

    view.OnDestroy();
    doc.RemoveView(&view);
    GetDocumentHooks() = DocumentHooks{};
    SetUiServices(nullptr);
}

} // namespace
