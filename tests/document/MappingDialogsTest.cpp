#include "mapping/MappingTestSupport.h"

#include "document/CImageMapping.h"
#include "document/RegGridDlg.h"
#include "document/RegionNodesDlg.h"
#include "document/TransDlg.h"
#include "image/CDib.h"
#include "image/DibUtil.h"
#include "mapping/RegGridData.h"
#include "mapping/RegGridSnap.h"
#include "model/DbPoint.h"
#include "platform/Document.h"
#include "platform/RecordingUiServices.h"
#include "platform/ToolEvent.h"
#include "tasks/PlotData.h"
#include "tasks/PrimTask.h"
#include "tasks/RegGridTask.h"
#include "tasks/TransTask.h"
#include "view/CropBox.h"

#include <limits>

namespace {

// A document with a mapped region (0,0)..(100,100) -> X 0..10, Y 0..10 and the recording
// UI services in place.
class MappingDocument : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetUiServices(&ui);
        data = std::make_unique<PlotData>(&doc);
        data->NewSet();
        DefineRegion({0, 0}, {100, 100});
        ASSERT_TRUE(AxisMapping(0, 10, 0, 10));
        data->ClearTasks();
        data->SetDataEdited(false);
        doc.SetModifiedFlag(false);
    }
    void TearDown() override
    {
        data.reset();
        SetUiServices(nullptr);
    }

    void DefineRegion(DPoint a, DPoint b, double angle = 0)
    {
        std::unique_ptr<AttributeRep> rep = data->FindRep<TransformMan>();
        auto* man = dynamic_cast<TransformMan*>(rep.get());
        ASSERT_NE(man, nullptr);
        man->DefineOrResize(0, a, b);
        if (angle != 0)
            man->Rotate(angle);
        ASSERT_TRUE(data->Execute(std::make_unique<TransTask>(data.get(), std::move(rep))));
    }
    bool AxisMapping(double x0, double x1, double y0, double y1, int xLog = 0, int yLog = 0)
    {
        TransDlg dlg(data.get());
        dlg.LoadFields();
        dlg.m_xMin = x0;
        dlg.m_xMax = x1;
        dlg.m_yMin = y0;
        dlg.m_yMax = y1;
        dlg.m_xLog = xLog;
        dlg.m_yLog = yLog;
        return dlg.OnOK();
    }
    TransformData& Transform() { return *data->GetTransform(); }
    DbPoint* Collect(double x, double y)
    {
        auto p = std::make_unique<DbPoint>(DPoint{x, y});
        DbPoint* raw = p.get();
        EXPECT_TRUE(data->Execute(std::make_unique<PrimTask>(data.get(), std::move(p))));
        return raw;
    }

    RecordingUiServices ui;
    Document doc;
    std::unique_ptr<PlotData> data;
};

// ------------------------------------------------------------- region nodes dialog

// Typed nodes are taken as they are and map as a region built from them; a typed angle turns
// the region about its bottom-left corner; nodes that fold it or are no numbers are refused.
// Each accepted change is one "Transformation" undo step.
TEST_F(MappingDocument, RegionNodesDialogTakesTypedNodesAndAngle)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const struct {
        int node;
        DPoint to;
        double angle;
        bool accepted;
        DPoint corner4; // where the bottom-right corner ends
    } cases[] = {{0, {10, 0}, 0, true, {100, 100}},    {5, {50, 108}, 0, true, {100, 100}},
                 {-1, {}, 90, true, {0, 200}},         {0, {150, 50}, 0, false, {100, 100}},
                 {3, {nan, 50}, 0, false, {100, 100}}, {-1, {}, nan, false, {100, 100}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.node);
        data->Undo();
        data->ClearTasks();
        ui.messages.clear();
        RegionNodesDlg dlg(data.get());
        dlg.LoadFields();
        if (c.node >= 0)
            dlg.m_nodes[c.node] = c.to;
        dlg.m_angle = c.angle;
        EXPECT_EQ(dlg.OnOK(), c.accepted);
        EXPECT_EQ(ui.messages.size(), c.accepted ? 0u : 1u);
        EXPECT_EQ(data->UndoName(), c.accepted ? "Transformation" : "");
        // The typed node where typed; the region turns with its own pi, good to 1e-7.
        const DPoint* nodes = Transform().GetRegion().PixelNodes();
        if (c.accepted && c.node >= 0) {
            EXPECT_EQ(nodes[c.node], c.to);
        }
        EXPECT_NEAR(nodes[4].x, c.corner4.x, 1e-5);
        EXPECT_NEAR(nodes[4].y, c.corner4.y, 1e-5);
    }
}

// ------------------------------------------------------------- axis mapping dialog

// Refused limits change nothing; accepted ones are one undo step and what the dialog opens
// with next.
TEST_F(MappingDocument, AxisDialogNeedsPositiveLogarithmicLimits)
{
    const struct {
        int xLog, yLog;
        double xMin, xMax, yMin, yMax;
        bool accepted;
    } cases[] = {{1, 0, -1, 100, 0, 1, false},
                 {1, 0, 1, 0, 0, 1, false},
                 {0, 1, 0, 1, 1, -5, false},
                 {0, 0, -5, -1, -20, -10, true},
                 {1, 1, 0.01, 1e6, 1e-3, 1e3, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.xMin);
        ui.messages.clear();
        EXPECT_EQ(AxisMapping(c.xMin, c.xMax, c.yMin, c.yMax, c.xLog, c.yLog), c.accepted);
        EXPECT_EQ(data->CanUndo(), c.accepted);
        if (!c.accepted) {
            ASSERT_EQ(ui.messages.size(), 1u);
            EXPECT_EQ(ui.messages[0].text, "For logarithmic scales, the limits must not be zero.");
        }
        TransDlg reopened(data.get());
        reopened.LoadFields();
        EXPECT_EQ(reopened.m_xMin, c.accepted ? c.xMin : 0);
        EXPECT_EQ(reopened.m_yMax, c.accepted ? c.yMax : 10);
        EXPECT_EQ(reopened.m_yLog, c.accepted ? c.yLog : 0);
        if (c.accepted) {
            ASSERT_TRUE(data->Undo());
        }
    }
}

// ------------------------------------------------------------- pixel mapping dialog

// The dialog opens with the scale of the axis mapping (100 pixels over 10 units); only
// positive scales make a pixel mapping, one undo step back to the axis mapping.
TEST_F(MappingDocument, PixelMappingNeedsPositiveScales)
{
    const TransformData::State before = Transform().GetState();
    for (auto [aspect, ppu] :
         {std::pair{1.0, 0.0}, {-1.0, 100.0}, {std::nan(""), 1.0}, {0.5, 0.001}}) {
        SCOPED_TRACE(ppu);
        ui.messages.clear();
        CImageMapping dlg(data.get());
        dlg.LoadFields();
        EXPECT_DOUBLE_EQ(dlg.m_pointsPerUnit, 10);
        dlg.m_aspect = aspect;
        dlg.m_pointsPerUnit = ppu;
        const bool accepted = aspect > 0 && ppu > 0;
        EXPECT_EQ(dlg.OnOK(), accepted);
        EXPECT_EQ(dlg.HasRepresentation(), !accepted);
        EXPECT_EQ(ui.messages.empty(), accepted);
        if (!accepted) {
            EXPECT_EQ(ui.messages.back().text,
                      "The aspect ratio and the points per length must be greater than zero.");
            EXPECT_FALSE(data->CanUndo());
        }
    }
    EXPECT_EQ(Transform().GetMode(), TransformData::kPixelMapping);
    EXPECT_TRUE(std::isfinite(Transform().GetMax().y));
    ASSERT_TRUE(data->Undo());
    ExpectSameState(Transform().GetState(), before);
}

// ------------------------------------------------------------- undo of mapping changes

TEST_F(MappingDocument, UndoOfARegionChangeRestoresEveryField)
{
    ASSERT_TRUE(AxisMapping(1, 1e4, -3, 3, 1, 0));
    const TransformData::State before = Transform().GetState();
    DefineRegion({20, 30}, {220, 130}, 17);
    ASSERT_FALSE(Transform().GetState().region.SameRegion(before.region));
    ASSERT_TRUE(data->Undo());
    ExpectSameState(Transform().GetState(), before);
    ASSERT_TRUE(data->Redo());
    EXPECT_DOUBLE_EQ(Transform().GetRegion().GetAngle(), 17);
    EXPECT_EQ(data->RedoName(), "");
}

TEST_F(MappingDocument, PointsFollowTheMappingThroughUndoAndRedo)
{
    DbPoint* p = Collect(50, 25);
    EXPECT_NEAR(p->m_graph.x, 5, 1e-9);
    EXPECT_NEAR(p->m_graph.y, 7.5, 1e-9);
    doc.SetModifiedFlag(false);
    data->SetDataEdited(false);
    ASSERT_TRUE(AxisMapping(0, 100, 0, 1));
    EXPECT_NEAR(p->m_graph.x, 50, 1e-9);
    EXPECT_NEAR(p->m_graph.y, 0.75, 1e-9);
    EXPECT_TRUE(doc.IsModified()); // a changed mapping is a change to save
    ASSERT_TRUE(data->Undo());
    EXPECT_NEAR(p->m_graph.x, 5, 1e-9);
    ASSERT_TRUE(data->Redo());
    EXPECT_NEAR(p->m_graph.y, 0.75, 1e-9);
}

TEST_F(MappingDocument, TaskWithoutAStateIsRefused)
{
    EXPECT_FALSE(data->Execute(std::make_unique<TransTask>(data.get(), nullptr)));
    EXPECT_FALSE(data->Execute(std::make_unique<RegGridTask>(data.get(), nullptr)));
    EXPECT_FALSE(data->CanUndo());
}

// ------------------------------------------------------------- grid dialog and task

// Only an axis that snaps needs a step: X alone snapping with Y's step 0 is accepted.
TEST_F(MappingDocument, GridDialogRefusesAZeroStepOnASnappingAxis)
{
    RegGridDlg dlg(data.get());
    dlg.LoadFields();
    EXPECT_FALSE(dlg.XControlsEnabled());
    dlg.OnSnapX(true); // the controls of a snapping axis are enabled
    EXPECT_TRUE(dlg.XControlsEnabled());
    EXPECT_FALSE(dlg.YControlsEnabled());
    dlg.m_stepX = 0;
    dlg.m_stepY = 1;
    EXPECT_FALSE(dlg.OnOK());
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "The grid step must not be zero.");
    EXPECT_FALSE(data->CanUndo());
    EXPECT_EQ(data->GetGrid()->GetSettings(), RegGridSettings{});
    dlg.m_stepX = 5;
    dlg.m_stepY = 0;
    dlg.OnSnapY(true);
    EXPECT_FALSE(dlg.OnOK());
    dlg.OnSnapY(false);
    EXPECT_TRUE(dlg.OnOK());
    EXPECT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(data->UndoName(), "Regular Grid");
    EXPECT_EQ(data->GetGrid()->GetSettings().stepX, 5);
}

TEST_F(MappingDocument, GridUndoRestoresEverySetting)
{
    auto apply = [&](const RegGridSettings& s) {
        RegGridDlg dlg(data.get());
        dlg.LoadFields();
        dlg.m_snapX = s.snapX;
        dlg.m_snapY = s.snapY;
        dlg.m_originX = s.originX;
        dlg.m_originY = s.originY;
        dlg.m_stepX = s.stepX;
        dlg.m_stepY = s.stepY;
        dlg.m_showX = s.showX;
        dlg.m_showY = s.showY;
        ASSERT_TRUE(dlg.OnOK());
    };
    const RegGridSettings first{1, 0, 0.5, 1.5, 2, 3, 0, 1};
    const RegGridSettings second{0, 1, -7, 8, 0.25, 0.125, 1, 0};
    apply(first);
    apply(second);
    EXPECT_EQ(data->GetGrid()->GetSettings(), second);
    ASSERT_TRUE(data->Undo());
    EXPECT_EQ(data->GetGrid()->GetSettings(), first);
    ASSERT_TRUE(data->Undo());
    EXPECT_EQ(data->GetGrid()->GetSettings(), RegGridSettings{});
    ASSERT_TRUE(data->Redo());
    ASSERT_TRUE(data->Redo());
    EXPECT_EQ(data->GetGrid()->GetSettings(), second);

    RegGridDlg reopened(data.get());
    reopened.LoadFields();
    EXPECT_EQ(reopened.m_originX, -7);
    EXPECT_EQ(reopened.m_stepY, 0.125);
    EXPECT_EQ(reopened.m_showY, 0);
    EXPECT_TRUE(reopened.YControlsEnabled());
}

// ------------------------------------------------------------- document queries

// Graph units per logical unit, to three digits: 10 pixels a unit make one logical unit
// 0.1 / scale graph units. A flat axis has no resolution; an unmapped document has zero.
TEST_F(MappingDocument, PixelResolution)
{
    for (auto [scale, expected] :
         {std::pair{1.0, 0.1}, {3.0, 0.0333}, {0.125, 0.8}, {7.0, 0.0143}}) {
        ToolEvent e;
        e.scale = scale;
        e.logical = {60, 90};
        e.scaled = {ToolEvent::ImageOf(60, scale), ToolEvent::ImageOf(90, scale)};
        const DPoint r = data->PixelResolution(e, 2);
        EXPECT_DOUBLE_EQ(r.x, expected) << scale;
        EXPECT_DOUBLE_EQ(r.y, expected) << scale;
    }
    ASSERT_TRUE(AxisMapping(0, 10, 0, 0));
    ToolEvent e;
    e.logical = {10, 10};
    e.scaled = {10, 10};
    const DPoint r = data->PixelResolution(e, 2);
    EXPECT_DOUBLE_EQ(r.x, 0.1);
    EXPECT_TRUE(std::isnan(r.y));
    EXPECT_EQ(PlotData().PixelResolution(e, 2), (DPoint{0, 0}));
}

// ------------------------------------------------------------- crop box

// The crop box makes a task only when it is defined and there is an image; the crop resets
// the mapping to the defaults until it is undone.
TEST_F(MappingDocument, CropTaskCropsAndResetsTheMappingUntilUndone)
{
    CropBox box;
    EXPECT_EQ(box.CreateCropTask(data.get()), nullptr); // undefined box
    box.ResizeByDrag(0, {10.4, 20.6}, {30.4, 40.6});
    EXPECT_EQ(box.CreateCropTask(data.get()), nullptr); // no image yet
    BitmapInfoHeader like;
    like.bitCount = 24;
    const DibBlock dib = *MakeDib(like, 64, 48, nullptr);
    data->SetImage(std::make_unique<CDib>(dib.data(), dib.size()));
    const TransformData::State before = Transform().GetState();

    ASSERT_TRUE(data->Execute(box.CreateCropTask(data.get())));
    EXPECT_EQ(data->GetImage()->Width(), 21);
    EXPECT_EQ(data->GetImage()->Height(), 21);
    EXPECT_FALSE(Transform().GetRegion().IsDefined());
    EXPECT_EQ(Transform().GetMin(), (DPoint{1, 1})); // the defaults, not the 0..10 mapping
    ASSERT_TRUE(data->Undo());
    EXPECT_EQ(data->GetImage()->Width(), 64);
    ExpectSameState(Transform().GetState(), before);
}

} // namespace
