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
#include "view/CollectTool.h"
#include "view/HeadlessViewHost.h"

#include <gtest/gtest.h>

namespace {

// The view over the program's own document, its tasks and its mapping dialog hook.
class KurvoDocViewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetUiServices(&ui);
        GetDocumentHooks() = DocumentHooks{};
        ASSERT_TRUE(doc.OnNewDocument());
        data = doc.GetPlotData();
        const std::vector<std::uint8_t> dib = MakeDibBlock(300, 200, 24, PatternColour);
        data->SetImage(std::make_unique<CDib>(dib.data(), dib.size()));
        host.SetView(&view);
        doc.AddView(&view);
        view.OnInitialUpdate(ViewSettings{});
        view.ActualPixels();
        view.ScrollToPosition({0, 0});
        host.Flush();
    }
    void TearDown() override
    {
        view.OnDestroy();
        doc.RemoveView(&view);
        GetDocumentHooks() = DocumentHooks{};
        SetUiServices(nullptr);
    }
    void Drag(IPoint from, IPoint to)
    {
        view.OnLButtonDown(from);
        view.OnMouseMove({(from.x + to.x) / 2, (from.y + to.y) / 2});
        view.OnMouseMove(to);
        view.OnLButtonUp(to);
    }

    RecordingUiServices ui;
    CKurvoDoc doc;
    PlotData* data = nullptr;
    KurvoViewDocument link{&doc};
    HeadlessViewHost host{250, 180};
    CKurvoView view{&host, &link};
};

// A region dragged and a point clicked are the document's undoable tasks; Axis Mapping runs
// the document's dialog, and a cancel changes nothing.
TEST_F(KurvoDocViewTest, RegionPointsAndAxisMappingThroughTheDocument)
{
    EXPECT_FALSE(link.IsMappingDefined());
    Drag({20, 30}, {220, 130});
    ASSERT_EQ(data->GetTaskCount(), 1);
    EXPECT_EQ(data->GetTask(0)->GetName(), "Transformation");
    EXPECT_TRUE(link.IsMappingDefined());
    EXPECT_EQ(data->GetTransform()->GetRegion().PixelNodes()[4], (DPoint{220, 130}));
    int asked = 0;
    GetDocumentHooks().runAxisMapping = [&asked](TransDlg&) {
        ++asked;
        return false;
    };
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
    // The position display goes through the document's pixel resolution.
    view.OnMouseMove({121, 80});
    EXPECT_FALSE(ui.panes[5].empty());
    ASSERT_TRUE(data->Undo());
    EXPECT_EQ(set->GetCount(), 0);
}

TEST_F(KurvoDocViewTest, EnterCropsTheDocumentsImageOnceAndUndoably)
{
    view.OnCommand(ID_TOOL_CROP);
    Drag({10, 20}, {109, 69});
    view.OnKeyDown(ViewKey::Enter, 1);
    ASSERT_EQ(data->GetTaskCount(), 1);
    EXPECT_EQ(data->GetImage()->Width(), 100);
    EXPECT_EQ(data->GetImage()->Height(), 50);
    // The view followed the image change.
    host.Flush();
    const IPoint off = view.GetCentringOffset();
    EXPECT_EQ(view.GetCanvas().DevicePixel(off.x + 3, off.y + 4),
              ColourToPixel(PatternColour(13, 24)));
    view.OnKeyDown(ViewKey::Enter, 1);
    EXPECT_EQ(data->GetTaskCount(), 1);
    ASSERT_TRUE(data->Undo());
    EXPECT_EQ(data->GetImage()->Width(), 300);
}

} // namespace
