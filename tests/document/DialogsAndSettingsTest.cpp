#include "mapping/MappingTestSupport.h"

#include "document/AttDlgFields.h"
#include "document/AttGenModel.h"
#include "document/CImageMapping.h"
#include "document/CPreferences.h"
#include "document/OptionsDlg.h"
#include "document/RecentFileList.h"
#include "document/RegGridDlg.h"
#include "document/RegionNodesDlg.h"
#include "document/TransDlg.h"
#include "mapping/RegGridData.h"
#include "model/DbAttPrim.h"
#include "model/DbPoint.h"
#include "model/DbPrimList.h"
#include "model/DbSetMgr.h"
#include "platform/Document.h"
#include "platform/Profile.h"
#include "platform/RecordingUiServices.h"
#include "platform/ToolEvent.h"
#include "tasks/PlotData.h"
#include "tasks/PrimTask.h"
#include "tasks/TransTask.h"

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

namespace {

// A document with a mapped region (0,0)..(100,100) -> X 0..10, Y 0..10 and the recording
// UI services in place. The dialogs change the mapping, the grid and the attributes as the
// user does.
class MappingDocument : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetUiServices(&ui);
        data = std::make_unique<PlotData>(&doc);
        data->NewSet();
        DefineRect(Transform(), {0, 0}, {100, 100});
        ::AxisMapping(Transform(), {0, 0}, {10, 10});
        doc.SetModifiedFlag(false);
    }
    void TearDown() override
    {
        data.reset();
        SetUiServices(nullptr);
    }

    bool AxisDialog(double x0, double x1, double y0, double y1, int xLog = 0, int yLog = 0)
    {
        TransDlg dlg(data.get());
        dlg.LoadFields();
        std::tie(dlg.m_xMin, dlg.m_xMax, dlg.m_yMin, dlg.m_yMax) = std::tie(x0, x1, y0, y1);
        std::tie(dlg.m_xLog, dlg.m_yLog) = std::tie(xLog, yLog);
        return dlg.OnOK();
    }
    TransformData& Transform() { return *data->GetTransform(); }

    RecordingUiServices ui;
    Document doc;
    std::unique_ptr<PlotData> data;
};

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
        EXPECT_LT(Dist(nodes[4], c.corner4), 1e-5);
    }
}

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
        EXPECT_EQ(AxisDialog(c.xMin, c.xMax, c.yMin, c.yMax, c.xLog, c.yLog), c.accepted);
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

// Collected points follow the mapping through its changes, their undo and redo; undoing a
// region change restores every field of the mapping, and a change is a change to save.
TEST_F(MappingDocument, PointsFollowTheMappingThroughUndoAndRedo)
{
    auto owned = std::make_unique<DbPoint>(DPoint{50, 25});
    DbPoint* p = owned.get();
    ASSERT_TRUE(data->Execute(std::make_unique<PrimTask>(data.get(), std::move(owned))));
    EXPECT_LT(Dist(p->m_graph, {5, 7.5}), 1e-9);
    doc.SetModifiedFlag(false);
    ASSERT_TRUE(AxisDialog(1, 1e4, -3, 3, 1, 0));
    EXPECT_TRUE(doc.IsModified());
    EXPECT_LT(Dist(p->m_graph, {100, 1.5}), 1e-9);
    const TransformData::State before = Transform().GetState();
    auto man = data->FindRep<TransformMan>();
    man->DefineOrResize(0, {20, 30}, {220, 130});
    man->Rotate(17);
    ASSERT_TRUE(data->Execute(std::make_unique<TransTask>(data.get(), std::move(man))));
    ASSERT_TRUE(data->Undo());
    ExpectSameState(Transform().GetState(), before);
    ASSERT_TRUE(data->Undo());
    EXPECT_LT(Dist(p->m_graph, {5, 7.5}), 1e-9);
    ASSERT_TRUE(data->Redo());
    ASSERT_TRUE(data->Redo());
    EXPECT_DOUBLE_EQ(Transform().GetRegion().GetAngle(), 17);
    EXPECT_EQ(data->RedoName(), "");
}

// Only an axis that snaps needs a step: X alone snapping with Y's step 0 is accepted. Each
// accepted change is an undo step that restores every setting; the dialog opens with them.
TEST_F(MappingDocument, GridDialogRefusesAZeroStepOnASnappingAxisAndUndoes)
{
    const auto ok = [this](const RegGridSettings& s) {
        RegGridDlg dlg(data.get());
        dlg.LoadFields();
        std::tie(dlg.m_snapX, dlg.m_snapY, dlg.m_originX, dlg.m_originY) =
            std::tie(s.snapX, s.snapY, s.originX, s.originY);
        std::tie(dlg.m_stepX, dlg.m_stepY, dlg.m_showX, dlg.m_showY) =
            std::tie(s.stepX, s.stepY, s.showX, s.showY);
        return dlg.OnOK();
    };
    const RegGridSettings first{1, 0, 0, 0, 5, 0, 1, 1}, second{0, 1, -7, 8, 0.25, 0.125, 1, 0};
    EXPECT_FALSE(ok({1, 0, 0, 0, 0, 1, 1, 1}));
    EXPECT_FALSE(ok({1, 1, 0, 0, 5, 0, 1, 1}));
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(ui.messages[0].text, "The grid step must not be zero.");
    EXPECT_FALSE(data->CanUndo());
    ASSERT_TRUE(ok(first));
    EXPECT_EQ(data->UndoName(), "Regular Grid");
    ASSERT_TRUE(ok(second));
    EXPECT_EQ(data->GetGrid()->GetSettings(), second);
    ASSERT_TRUE(data->Undo());
    EXPECT_EQ(data->GetGrid()->GetSettings(), first);
    ASSERT_TRUE(data->Undo());
    EXPECT_EQ(data->GetGrid()->GetSettings(), RegGridSettings{});
    ASSERT_TRUE(data->Redo());
    ASSERT_TRUE(data->Redo());
    RegGridDlg reopened(data.get());
    reopened.LoadFields();
    EXPECT_EQ(std::tie(reopened.m_originX, reopened.m_stepY, reopened.m_showY),
              std::tie(second.originX, second.stepY, second.showY));
}

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
        EXPECT_EQ(data->PixelResolution(e, 2), (DPoint{expected, expected})) << scale;
    }
    ASSERT_TRUE(AxisDialog(0, 10, 0, 0));
    ToolEvent e;
    e.logical = {10, 10};
    e.scaled = {10, 10};
    const DPoint r = data->PixelResolution(e, 2);
    EXPECT_DOUBLE_EQ(r.x, 0.1);
    EXPECT_TRUE(std::isnan(r.y));
    EXPECT_EQ(PlotData().PixelResolution(e, 2), (DPoint{0, 0}));
}

// The attributes bar over the mapped document.
class AttGenModelTest : public MappingDocument {
protected:
    void SetUp() override
    {
        MappingDocument::SetUp();
        AttGenModel::Last() = AttGenModel::Remembered();
        model.SetData(data.get());
    }

    void Add(const std::string& name, const std::string& value, int currentSetOnly = 0)
    {
        AttDlgFields fields = model.MakeAddFields();
        fields.m_name = name;
        fields.m_value = value;
        fields.m_currentSetOnly = currentSetOnly;
        ASSERT_TRUE(fields.OnOK());
        ASSERT_TRUE(model.ApplyAdd(fields));
    }
    std::string Listed() const
    {
        std::string text;
        for (const AttGenModel::Row& row : model.Rows())
            text += row.name + "=" + row.value + (row.active ? "+" : "-") + ";";
        return text;
    }
    // The one refusal message, taken off the list.
    std::string Refusal()
    {
        EXPECT_EQ(ui.messages.size(), 1u);
        const std::string text = ui.messages.empty() ? "" : ui.messages[0].text;
        ui.messages.clear();
        return text;
    }

    AttGenModel model;
};

const char* const kDuplicate = "The attribute name must not be a duplicate.";

// Names and values lose their outer blanks (not the inner ones) before the duplicate check,
// which minds the case. Editing "a", keeping the name is no duplicate and no rename.
TEST_F(AttGenModelTest, DuplicatesAreRefusedAfterTrimming)
{
    for (auto [typed, accepted] : {std::pair{"Sample", false},
                                   {"\tSample  ", false},
                                   {"sample", true},
                                   {"x", false},
                                   {"Samp", true}}) {
        AttDlgFields fields({"Sample", "x"});
        fields.m_name = typed;
        fields.m_value = " \t v\tw \r\n";
        EXPECT_EQ(fields.OnOK(), accepted) << typed;
        EXPECT_EQ(ui.messages.empty() ? "" : Refusal(), accepted ? "" : kDuplicate);
        EXPECT_EQ(fields.m_value, "v\tw");
    }
    AttDlgFields edit({"a", "b"}, "a", true);
    for (auto [typed, accepted, rename] :
         {std::tuple{" a ", true, false}, {"b", false, true}, {"c", true, true}}) {
        edit.m_name = typed;
        EXPECT_EQ(edit.OnOK(), accepted) << typed;
        EXPECT_EQ(edit.IsRename(), rename) << typed;
    }
    EXPECT_EQ(Refusal(), kDuplicate);
}

// A new attribute is document-wide and active, undoably; "Current set only" stores an entry
// in the set instead, and the next Add dialog opens with the fields of the last one.
TEST_F(AttGenModelTest, NewAttributeForTheDocumentOrTheCurrentSet)
{
    doc.SetModifiedFlag(false);
    Add("Curve", "A");
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(Listed(), "Curve=A+;");
    ASSERT_TRUE(data->Undo());
    EXPECT_EQ(Listed(), "");

    Add("Curve", "A", 1);
    EXPECT_EQ(Listed(), "");
    const AttDlgFields next = model.MakeAddFields();
    EXPECT_EQ(next.m_name + "=" + next.m_value, "Curve=A");
    EXPECT_EQ(next.m_currentSetOnly, 1);
    DbPrimList* set = data->GetSetMgr()->GetCurrentSet();
    ASSERT_EQ(set->GetCount(), 1);
    auto* entry = dynamic_cast<DbAttPrim*>(set->GetAt(0));
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->m_attribute->m_name + "=" + entry->m_attribute->m_value, "Curve=A");
    ASSERT_TRUE(data->Undo());
    EXPECT_EQ(set->GetCount(), 0);
}

// An edit keeps the position and the active state; a rename, in the dialog or in the list,
// is one undo step, after which the old name comes back at the end of the list. Duplicate
// and unchanged names are refused.
TEST_F(AttGenModelTest, EditAndRename)
{
    Add("a", "1");
    Add("b", "2");
    AttDlgFields again = model.MakeAddFields(); // remembers "b", now defined
    EXPECT_FALSE(again.OnOK());
    EXPECT_EQ(Refusal(), kDuplicate);
    ASSERT_TRUE(model.SetActive("a", false));
    AttDlgFields fields = model.MakeEditFields("a");
    EXPECT_EQ(fields.m_value, "1");
    fields.m_value = " 9 ";
    ASSERT_TRUE(fields.OnOK());
    ASSERT_TRUE(model.ApplyEdit(fields));
    EXPECT_EQ(Listed(), "a=9-;b=2+;");
    EXPECT_EQ(AttGenModel::Last().value, "9");

    fields = model.MakeEditFields("b");
    fields.m_name = "c";
    ASSERT_TRUE(fields.OnOK());
    ASSERT_TRUE(model.ApplyEdit(fields));
    EXPECT_EQ(Listed(), "a=9-;c=2+;");
    ASSERT_TRUE(data->Undo());
    EXPECT_EQ(Listed(), "a=9-;b=2+;");
    ASSERT_TRUE(data->Redo());
    EXPECT_EQ(Listed(), "a=9-;c=2+;");

    EXPECT_FALSE(model.RenameInList("a", "c"));
    EXPECT_EQ(Refusal(), kDuplicate);
    const int tasks = data->GetTaskCount();
    EXPECT_FALSE(model.RenameInList("a", " a "));
    EXPECT_EQ(data->GetTaskCount(), tasks);
    EXPECT_TRUE(model.RenameInList("a", " z "));
    EXPECT_EQ(Listed(), "c=2+;z=9+;"); // the new name replaces the attribute
}

// An unchecked attribute is not given to new points; undo checks it again. A deleted one
// leaves the list and comes back on undo. Names no longer listed, or no document at all,
// change nothing.
TEST_F(AttGenModelTest, UncheckDeleteAndStaleNames)
{
    Add("a", "1");
    ASSERT_TRUE(model.SetActive("a", false));
    auto p = std::make_unique<DbPoint>(DPoint{1, 2});
    const DbPoint* point = p.get();
    ASSERT_TRUE(data->Execute(std::make_unique<PrimTask>(data.get(), std::move(p))));
    EXPECT_EQ(point->GetAttributes()->GetSize(), 0);
    ASSERT_TRUE(data->Undo());
    ASSERT_TRUE(data->Undo());
    EXPECT_EQ(Listed(), "a=1+;");
    ASSERT_TRUE(model.Delete("a"));
    EXPECT_EQ(Listed(), "");
    ASSERT_TRUE(data->Undo());
    EXPECT_EQ(Listed(), "a=1+;");

    const int tasks = data->GetTaskCount();
    AttDlgFields stale = model.MakeEditFields("gone");
    stale.m_value = "x";
    EXPECT_FALSE(model.ApplyEdit(stale) || model.SetActive("gone", false) || model.Delete("gone"));
    EXPECT_EQ(data->GetTaskCount(), tasks);
    model.SetData(nullptr);
    EXPECT_TRUE(model.Rows().empty());
    EXPECT_FALSE(model.ApplyAdd(stale) || model.Delete("a") || model.SetActive("a", true));
}

// The stored values, in the order they are written, and their keys.
const std::vector<std::string> kKeys = {
    "ZoomType",     "SortData",  "SaveReference",      "ReuseMappingData",
    "AllowCaching", "CacheSize", "BoxColor",           "CropColor",
    "GridColor",    "PtsColor",  "UncertaintyColumns", "MagnifierFactor"};

std::vector<std::int64_t> Values(const CPreferences& p)
{
    return {p.m_zoomType,     p.m_sortData,  p.m_saveReference,      p.m_reuseMappingData,
            p.m_allowCaching, p.m_cacheSize, p.m_boxColor,           p.m_cropColor,
            p.m_gridColor,    p.m_ptsColor,  p.m_uncertaintyColumns, p.m_magnifierFactor};
}

// Every value but PickTol (kept as found) is read and written back in a fixed order: colours
// with the top bit of a full 32-bit word too, and a zoom type outside 1..3 (the view treats it as
// medium). An empty profile, or another section, gives the defaults over what was held.
TEST(Preferences, ReadAndWrittenInAFixedOrderWithDefaultsForMissingKeys)
{
    const std::vector<std::int64_t> stored = {7,          0,          1,          1,          0, 12,
                                              0x00123456, 0x00FFFFFF, 0x80000001, 0x0000FF00, 1, 9};
    MemoryProfile in;
    for (std::size_t i = 0; i < kKeys.size(); ++i)
        in.WriteInt("Settings", kKeys[i], static_cast<int>(stored[i]));
    in.WriteInt("Settings", "PickTol", 7);
    CPreferences p;
    p.LoadSettings(in);
    EXPECT_EQ(Values(p), stored);
    EXPECT_EQ(p.m_pickTol, 7);
    p.m_pickTol = 11;
    MemoryProfile out;
    p.SaveSettings(out);
    ASSERT_EQ(out.WriteOrder().size(), kKeys.size());
    for (std::size_t i = 0; i < kKeys.size(); ++i) {
        EXPECT_EQ(out.WriteOrder()[i], (std::pair<std::string, std::string>{"Settings", kKeys[i]}));
        EXPECT_EQ(out.GetInt("Settings", kKeys[i], -1), static_cast<int>(stored[i]));
    }
    EXPECT_FALSE(out.HasKey("Settings", "PickTol"));

    MemoryProfile empty;
    empty.WriteInt("Other", "ZoomType", 3);
    p.LoadSettings(empty);
    EXPECT_EQ(Values(p), Values(CPreferences()));
    EXPECT_EQ(p.m_pickTol, CPreferences().m_pickTol);
}

// The Options command shows the preferences with Save Bitmap Copy inverted, and Cancel
// changes nothing. OK stores the fields and tells the preferences' observers; only a changed
// sort flag resorts the active document. Without a document only the preferences change;
// without a runner the dialog counts as cancelled.
TEST(OptionsCommand, ShowsStoresAndResortsOnlyOnAChange)
{
    struct Counter : Observer {
        int updates = 0;
        void Update(Observer*, std::intptr_t) override { ++updates; }
    } prefsWatcher, dataWatcher;
    CPreferences prefs;
    PlotData data;
    prefsWatcher.Observe(&prefs);
    dataWatcher.Observe(data.GetSetMgr());
    data.ApplyPreferences(false, true);
    dataWatcher.updates = 0;
    OptionsDlg shown;
    const auto run = [&](bool ok, PlotData* doc, std::function<void(OptionsDlg&)> edit) {
        OptionsDlg::SetRunner([&shown, ok, edit](OptionsDlg& dlg) {
            shown = dlg;
            edit(dlg);
            return ok;
        });
        return OptionsDlg::Run(prefs, doc);
    };

    prefs.m_saveReference = prefs.m_reuseMappingData = 1;
    prefs.m_allowCaching = 0;
    EXPECT_FALSE(
        run(false, &data, [](OptionsDlg& d) { d.m_sortData = 0, d.m_saveBitmapCopy = 1; }));
    EXPECT_EQ(std::tie(shown.m_sortData, shown.m_saveBitmapCopy, shown.m_reuseMappingData,
                       shown.m_allowCaching),
              std::make_tuple(1, 0, 1, 0));
    EXPECT_EQ(prefs.m_sortData, 1);
    EXPECT_EQ(prefsWatcher.updates, 0);
    EXPECT_TRUE(run(true, &data, [](OptionsDlg& d) { d.m_saveBitmapCopy = 0; }));
    EXPECT_TRUE(data.GetSaveReference());
    EXPECT_EQ(dataWatcher.updates, 0);
    EXPECT_TRUE(run(true, &data, [](OptionsDlg& d) { d.m_sortData = 0; }));
    EXPECT_FALSE(data.GetSortFlag());
    EXPECT_EQ(dataWatcher.updates, 1);
    EXPECT_TRUE(run(true, nullptr, [](OptionsDlg& d) { d.m_reuseMappingData = 0; }));
    EXPECT_EQ(prefs.m_reuseMappingData, 0);
    EXPECT_EQ(prefsWatcher.updates, 3);
    OptionsDlg::SetRunner(nullptr);
    EXPECT_FALSE(OptionsDlg::Run(prefs, nullptr));
}

// Newest first, a repeat moves up instead of taking a second slot, an empty path is not
// added, only the capacity is kept, and bad indices are ignored. Menu entries are numbered,
// escape '&' and shorten a long folder from the left.
TEST(RecentFileList, NewestFirstWithinTheCapacity)
{
    RecentFileList list(8);
    for (const char* path : {"/a.kvx", "/b.tif", "/a.kvx", ""})
        list.Add(path);
    ASSERT_EQ(list.Size(), 2);
    EXPECT_EQ(list.At(0) + list.At(1), "/a.kvx/b.tif");
    for (int i : {5, -1, 0})
        list.Remove(i);
    ASSERT_EQ(list.Size(), 1);
    EXPECT_EQ(list.At(0), "/b.tif");
    for (int i = 0; i < 10; ++i)
        list.Add("/f" + std::to_string(i));
    ASSERT_EQ(list.Size(), 8);
    EXPECT_EQ(list.At(0) + list.At(7) + list.At(8) + list.At(-1), "/f9/f2");
    EXPECT_EQ(list.MenuText(8), "");

    for (auto [path, text] :
         {std::pair{"/home/u/R&D.tif", "&1 /home/u/R&&D.tif"},
          {"/very/long/folder/names/that/go/on/and/on/and/on/in/here/plot.kvx",
           "&1 .../names/that/go/on/and/on/and/on/in/here/plot.kvx"},
          {"/x/a-file-name-that-alone-is-far-longer-than-the-menu-allows.kvx",
           "&1 .../a-file-name-that-alone-is-far-longer-than-the-menu-allows.kvx"}}) {
        list.Add(path);
        EXPECT_EQ(list.MenuText(0), text);
    }
}

// Stored lists are edited by hand or by older runs: gaps and repeats must not produce
// empty or repeated menu entries, and slots past the capacity are not read. A shorter list
// saved over a longer one clears its old slots.
TEST(RecentFileList, SaveAndLoad)
{
    MemoryProfile profile;
    const std::pair<const char*, const char*> stored[] = {
        {"File1", "/x"}, {"File2", ""}, {"File3", "/y"}, {"File4", "/x"}, {"File9", "/z"}};
    for (auto [key, path] : stored)
        profile.WriteString("Recent File List", key, path);
    RecentFileList list(8), full(8), loaded(8);
    list.Load(profile);
    ASSERT_EQ(list.Size(), 2);
    EXPECT_EQ(list.At(0) + list.At(1), "/x/y");

    for (int i = 0; i < 8; ++i)
        full.Add("/f" + std::to_string(i));
    full.Save(profile);
    list.Save(profile);
    loaded.Load(profile);
    ASSERT_EQ(loaded.Size(), 2);
    EXPECT_EQ(loaded.At(0) + loaded.At(1), "/x/y");
}

} // namespace
