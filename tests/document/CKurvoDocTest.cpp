#include "view/support/ViewTestDoc.h"

#include "document/CKurvoDoc.h"
#include "document/CSaveDlg.h"
#include "document/DocumentHooks.h"
#include "document/ImageInfoText.h"
#include "document/KurvoViewDocument.h"
#include "document/PdfPageDlg.h"
#include "document/ProjectFile.h"
#include "document/SaveFormat.h"
#include "image/BmpFile.h"
#include "model/DbPoint.h"
#include "model/DbSetMgr.h"
#include "platform/Archive.h"
#include "platform/CommandIds.h"
#include "platform/RecordingUiServices.h"
#include "support/TempDir.h"
#include "support/TestPdf.h"
#include "tasks/PrimTask.h"
#include "view/CKurvoView.h"
#include "view/HeadlessViewHost.h"

#include <gtest/gtest.h>

#include <clocale>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace fs = std::filesystem;

namespace {

// Documents with recording services, a temporary folder and the recent-file hook recorded.
class Documents : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetUiServices(&ui);
        CSaveDlg::ForgetRememberedEntry();
        GetDocumentHooks() = DocumentHooks{};
        GetDocumentHooks().addRecentFile = [this](const std::string& p) { recent.push_back(p); };
        data.NewSet();
    }
    void TearDown() override
    {
        SetSaveDialogRunner(nullptr);
        CSaveDlg::ForgetRememberedEntry();
        GetDocumentHooks() = DocumentHooks{};
        SetUiServices(nullptr);
    }

    // A 24-bit bitmap of w x h with a pattern that differs between neighbours.
    std::string WriteBitmap(const std::string& name, int w = 12, int h = 8)
    {
        const std::vector<std::uint8_t> dib = MakeDibBlock(w, h, 24, PatternColour);
        EXPECT_TRUE(WriteBmpFile(dir.File(name), dib.data(), dib.size()));
        return dir.File(name);
    }
    // Opens the bitmap and maps the whole image so that graph coordinates equal pixel ones.
    void OpenMapped(CKurvoDoc& doc, const std::string& path)
    {
        ASSERT_TRUE(doc.OnOpenDocument(path));
        ASSERT_TRUE(doc.OnCommand(ID_EDIT_MAP_FULL));
        const ISize size = doc.GetImageSize();
        doc.GetPlotData()->GetTransform()->SetLimits({0, size.cy - 1.0}, {size.cx - 1.0, 0});
    }
    void Collect(CKurvoDoc& doc, double x, double y)
    {
        ASSERT_TRUE(doc.ExecuteTask(std::make_unique<PrimTask>(
            doc.GetPlotData(), std::make_unique<DbPoint>(DPoint{x, y}))));
    }
    static std::string ReadAll(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    static bool SamePixels(CKurvoDoc& a, CKurvoDoc& b)
    {
        return a.GetPlotData()->GetImage()->Block() == b.GetPlotData()->GetImage()->Block();
    }

    RecordingUiServices ui;
    TempDir dir;
    std::vector<std::string> recent;
    PlotData data; // the data of a document without image, for the save dialog
};

// A bitmap opens with one empty set and a plain title, whatever its name; unknown, empty
// and missing files are refused with their messages.
TEST_F(Documents, OpeningABitmapAndRefusingOtherFiles)
{
    const std::string path = WriteBitmap("scan.bmp");
    CKurvoDoc doc;
    ASSERT_TRUE(doc.OnOpenDocument(path));
    doc.SetPathName(path);
    EXPECT_EQ(doc.GetTitle(), "scan");
    EXPECT_FALSE(doc.IsModified());
    EXPECT_TRUE(doc.GetMustPrompt());
    DbSetMgr& sets = *doc.GetPlotData()->GetSetMgr();
    ASSERT_EQ(sets.GetSetCount(), 1);
    EXPECT_EQ(sets.GetCurrentSet()->GetName(), "Line 1");
    EXPECT_EQ(doc.GetImageSize(), (ISize{12, 8}));
    EXPECT_EQ(ui.panes[4], "scan.bmp");
    EXPECT_TRUE(CKurvoDoc().OnOpenDocument(WriteBitmap("really-a-bitmap.kvx")));

    for (const char* content : {"this is no picture", ""}) {
        std::ofstream(dir.File("junk.dat")) << content;
        CKurvoDoc junk;
        ui.messages.clear();
        EXPECT_FALSE(junk.OnOpenDocument(dir.File("junk.dat")));
        ASSERT_EQ(ui.messages.size(), 1u);
        EXPECT_EQ(ui.messages[0].text, CKurvoDoc::kUnknownFileType);
        EXPECT_EQ(junk.GetPlotData(), nullptr);
    }
    CKurvoDoc missing;
    EXPECT_FALSE(missing.OnOpenDocument(dir.File("missing.kvx")));
    EXPECT_EQ(ui.LastMessage()->text, CKurvoDoc::kFailedToOpen);
}

TEST_F(Documents, ProjectRoundTripKeepsEveryStoredField)
{
    CKurvoDoc doc;
    ASSERT_TRUE(doc.OnOpenDocument(WriteBitmap("scan.bmp", 40, 30)));
    ASSERT_TRUE(doc.OnCommand(ID_EDIT_MAP_FULL));
    PlotData& data = *doc.GetPlotData();
    data.GetTransform()->SetLimits({0, 0}, {100, 50});
    Collect(doc, 10, 10);
    doc.OnCommand(ID_DATA_NEW_SET);
    Collect(doc, 20, 5);
    data.SetSortFlag(false);
    data.SetSaveReference(false);
    data.SetExportPath("/tmp/old.csv");

    const std::string project = dir.File("p.kvx");
    ASSERT_TRUE(doc.OnSaveDocument(project));
    const std::string bytes = ReadAll(project);
    EXPECT_EQ(bytes.substr(0, 12), std::string("OVRK\x05\0\0\0\x00\0\0\0", 12));
    EXPECT_EQ(bytes.substr(bytes.size() - 4), "\xFF\xFF\xFF\xFF");

    CKurvoDoc back;
    ASSERT_TRUE(back.OnOpenDocument(project));
    PlotData& b = *back.GetPlotData();
    EXPECT_FALSE(b.GetSortFlag());
    EXPECT_EQ(b.GetExportPath(), "/tmp/old.csv");
    EXPECT_TRUE(b.GetTransform()->GetRegion().SameRegion(data.GetTransform()->GetRegion()));
    EXPECT_EQ(b.GetTransform()->GetMax(), data.GetTransform()->GetMax());
    EXPECT_TRUE(SamePixels(back, doc));
    EXPECT_EQ(b.GetSetMgr()->GetSetCount(), 2);
    EXPECT_EQ(b.GetSetMgr()->GetCurrent(), 1);
    auto* p = static_cast<DbPoint*>(b.GetSetMgr()->GetSet(1)->GetAt(0));
    EXPECT_EQ(p->m_pixel, (DPoint{20, 5}));
    EXPECT_EQ(p->m_graph, static_cast<DbPoint*>(data.GetSetMgr()->GetSet(1)->GetAt(0))->m_graph);

    // The embedded image now belongs to the project file: that is its path from here on.
    EXPECT_EQ(b.GetImagePath(), fs::canonical(project).string());
    // Stored and read once more, the file is the same byte for byte.
    ASSERT_TRUE(back.OnSaveDocument(dir.File("again.kvx")));
    CKurvoDoc third;
    ASSERT_TRUE(third.OnOpenDocument(dir.File("again.kvx")));
    third.GetPlotData()->SetImagePath(b.GetImagePath());
    ASSERT_TRUE(third.OnSaveDocument(dir.File("last.kvx")));
    EXPECT_EQ(ReadAll(dir.File("last.kvx")), ReadAll(dir.File("again.kvx")));
}

// A project saved by reference reopens with the very picture its points were collected on:
// an unchanged picture is referred to (and found by its bare name in the current folder once
// moved), a changed one is embedded, and an embedded project never refers to itself.
TEST_F(Documents, SavedByReference)
{
    const std::string image = WriteBitmap("plot.bmp");
    CKurvoDoc doc, flipped, embedded, back, again;
    ASSERT_TRUE(doc.OnOpenDocument(image));
    doc.GetPlotData()->SetSaveReference(true);
    ASSERT_TRUE(doc.OnSaveDocument(dir.File("p.kvx")));

    ASSERT_TRUE(flipped.OnOpenDocument(image));
    ASSERT_TRUE(flipped.OnCommand(ID_IMAGE_FLIP_HORZ));
    const CSaveDlg dlg(flipped.GetPlotData(), dir.File("f.kvx"), "Save As");
    EXPECT_FALSE(dlg.BitmapCopyEnabled());
    EXPECT_TRUE(dlg.m_saveBitmapCopy);
    flipped.GetPlotData()->SetSaveReference(true);
    ASSERT_TRUE(flipped.OnSaveDocument(dir.File("f.kvx")));
    ASSERT_TRUE(embedded.OnOpenDocument(dir.File("f.kvx")));
    EXPECT_EQ(embedded.GetPlotData()->GetImagePath(), dir.File("f.kvx"));
    EXPECT_TRUE(SamePixels(embedded, flipped));
    embedded.GetPlotData()->SetSaveReference(true);
    ASSERT_TRUE(embedded.OnSaveDocument(dir.File("f.kvx")));
    ASSERT_TRUE(again.OnOpenDocument(dir.File("f.kvx")));
    EXPECT_TRUE(SamePixels(again, flipped));

    // The image moves into another folder, which becomes the current one.
    fs::create_directory(dir.Path() / "moved");
    fs::rename(image, dir.Path() / "moved" / "plot.bmp");
    const auto cwd = fs::current_path();
    fs::current_path(dir.Path() / "moved");
    const bool opened = back.OnOpenDocument(dir.File("p.kvx"));
    fs::current_path(cwd);
    ASSERT_TRUE(opened);
    EXPECT_TRUE(SamePixels(back, doc));
    EXPECT_EQ(back.GetPlotData()->GetImagePath(), "plot.bmp");
    EXPECT_TRUE(back.GetPlotData()->GetSaveReference());
    // Nowhere to be found: the open fails.
    fs::remove(dir.Path() / "moved" / "plot.bmp");
    CKurvoDoc lost;
    EXPECT_FALSE(lost.OnOpenDocument(dir.File("p.kvx")));
}

// Older files built byte by byte keep a flat list of pixel positions: format 4 with the
// transform block, format 2 with the transform as one raw 360-byte block.
TEST_F(Documents, OldFormatsFlatPointsAreRecomputedThroughTheStoredTransform)
{
    // The transform of an 11 x 11 image mapped whole to X 0..100, Y 0..50.
    CKurvoDoc mapped;
    ASSERT_TRUE(mapped.OnOpenDocument(WriteBitmap("grid.bmp", 11, 11)));
    ASSERT_TRUE(mapped.OnCommand(ID_EDIT_MAP_FULL));
    TransformData& t = *mapped.GetPlotData()->GetTransform();
    t.SetLimits({0, 0}, {100, 50});
    for (std::uint32_t version : {2u, 4u}) {
        Archive ar;
        for (std::uint32_t w : {kProjectMagic, version, 1u}) // sort
            ar.WriteU32(w);
        if (version == 4) {
            t.Serialize(ar);
        } else {
            const std::vector<std::uint8_t> ignored(44, 0xAB);
            ar.WriteBytes(ignored.data(), 8);
            ar.WriteU32(1); // valid
            ar.WriteBytes(ignored.data(), 36);
            t.GetRegion().WriteRawBlock(ar);
            for (double v : {0.0, 0.0, 100.0, 50.0}) // limits
                ar.WriteF64(v);
            ar.WriteU32(0); // logarithmic X, Y
            ar.WriteU32(0);
        }
        ar.WriteString(""); // image path
        ar.WriteString(""); // export path
        ar.WriteU32(2);     // pixel positions
        for (double v : {5.0, 5.0, 10.0, 0.0})
            ar.WriteF64(v);
        ar.WriteU32(kTagEnd);
        ASSERT_TRUE(ar.SaveFile(dir.File("old.kvx")));

        CKurvoDoc doc;
        ASSERT_TRUE(doc.OnOpenDocument(dir.File("old.kvx")));
        DbPrimList* set = doc.GetPlotData()->GetSetMgr()->GetCurrentSet();
        ASSERT_EQ(set->GetCount(), 2);
        const DPoint g = static_cast<DbPoint*>(set->GetAt(1))->m_graph;
        EXPECT_NEAR(g.x, 100.0, 1e-9);
        EXPECT_NEAR(g.y, 50.0, 1e-9);
    }
}

// Broken or foreign project files fail to open with the failed-open report.
TEST_F(Documents, BrokenProjectsFailToOpenWithTheReport)
{
    std::vector<Archive> files;
    for (const std::vector<std::uint32_t>& words :
         std::vector<std::vector<std::uint32_t>>{
             {kProjectMagic, 1, 0},           // version 1
             {kProjectMagic, 9, 0},           // version 9
             {kProjectMagic, 5, 1},           // cut after the sort flag
             {kProjectMagic, 5, 1, 7, 1, 1}}) // transform block version 7
    {
        files.emplace_back();
        for (std::uint32_t w : words)
            files.back().WriteU32(w);
    }
    // A format 3 file whose flat point list claims 2^30 points and holds none.
    Archive& huge = files.emplace_back();
    for (std::uint32_t w : {kProjectMagic, 3u, 0u})
        huge.WriteU32(w);
    TransformData().Serialize(huge);
    huge.WriteString("");
    huge.WriteString("");
    huge.WriteU32(0x40000000);
    for (Archive& ar : files) {
        ASSERT_TRUE(ar.SaveFile(dir.File("bad.kvx")));
        CKurvoDoc doc;
        ui.messages.clear();
        EXPECT_FALSE(doc.OnOpenDocument(dir.File("bad.kvx"))) << &ar - files.data();
        ASSERT_EQ(ui.messages.size(), 1u);
        EXPECT_EQ(ui.messages[0].text, CKurvoDoc::kFailedToOpen);
    }
}

// Saving the points or the picture is an export: the project stays unsaved under its name,
// with its undo history, and out of the recent files. Only a project save saves it.
TEST_F(Documents, ExportsLeaveTheProjectUnsaved)
{
    const std::string bmp = WriteBitmap("plot.bmp");
    CKurvoDoc doc;
    OpenMapped(doc, bmp);
    doc.SetPathName(bmp);
    Collect(doc, 0.5, 2);
    // The default dialog goes through the file prompt; points exist: comma separated first.
    ui.promptAnswers.push_back(dir.File("points"));
    ASSERT_TRUE(doc.SaveAs());
    ASSERT_EQ(ui.prompts.size(), 1u);
    EXPECT_EQ(ui.prompts[0].filterIndex, 3);
    EXPECT_EQ(ReadAll(dir.File("points.csv")), "Line 1\r\nX, Y\r\n0.5, 2\r\n\r\n");
    EXPECT_EQ(doc.GetPlotData()->GetExportPath(), dir.File("points.csv"));

    ASSERT_TRUE(doc.OnCommand(ID_IMAGE_ROTATE_CW));
    int entry = 0;
    std::string typed;
    const char* german = nullptr;
    SetSaveDialogRunner([&](CSaveDlg& dlg, std::string& path) {
        dlg.m_entry = entry;
        path = dlg.OnOK(dir.File(typed));
        return true;
    });
    for (const auto& [e, name] : {std::pair<int, const char*>{2, "pts.txt"},
                                  {4, "pic.bmp"},
                                  {1, "pts.csv"}}) { // typed ".csv" wins over the filter
        SCOPED_TRACE(name);
        entry = e;
        typed = name;
        german = std::setlocale(LC_NUMERIC, "de_DE.UTF-8"); // a comma decimal changes nothing
        const bool saved = doc.DoSave("", true);
        std::setlocale(LC_NUMERIC, "C");
        ASSERT_TRUE(saved);
        EXPECT_TRUE(doc.IsModified());
        EXPECT_EQ(doc.GetPathName(), bmp);
        EXPECT_TRUE(doc.GetPlotData()->CanUndo());
    }
    EXPECT_EQ(ReadAll(dir.File("pts.txt")), "Line 1\r\nX Y\r\n0.5 2\r\n\r\n");
    CDib turned;
    ASSERT_TRUE(turned.LoadFile(dir.File("pic.bmp")));
    EXPECT_EQ(turned.Width(), 8);
    EXPECT_TRUE(recent.empty());
    EXPECT_FALSE(fs::exists(dir.File("pts.kvx")));

    entry = 1;
    typed = "plot.kvx";
    ASSERT_TRUE(doc.DoSave("", true));
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(doc.GetPathName(), dir.File("plot.kvx"));
    EXPECT_FALSE(doc.GetPlotData()->CanUndo());
    EXPECT_EQ(recent, (std::vector<std::string>{dir.File("plot.kvx")}));
    if (!german) {
        GTEST_SKIP() << "no German locale: the exports ran in the C locale only";
    }
}

// A refused or failed save leaves what was there as it was, and no temporary file behind.
TEST_F(Documents, FailedSavesLeaveExistingFilesAloneAndNoLitter)
{
    CKurvoDoc doc;
    ASSERT_TRUE(doc.OnOpenDocument(WriteBitmap("scan.bmp")));
    const std::string old = dir.File("old.txt");
    std::ofstream(old) << "precious";
    // No points: the export is refused.
    EXPECT_FALSE(doc.OnSaveDocument(old));
    EXPECT_EQ(ui.LastMessage()->text, CKurvoDoc::kNoPointsToSave);
    EXPECT_EQ(ReadAll(old), "precious");
    // A folder stands where the project would go: the final rename fails.
    fs::create_directory(dir.Path() / "taken.kvx");
    std::ofstream(dir.File("taken.kvx/inside.txt")) << "keep";
    EXPECT_FALSE(doc.OnSaveDocument(dir.File("taken.kvx")));
    EXPECT_EQ(ui.LastMessage()->text, CKurvoDoc::kFailedToSave);
    EXPECT_EQ(ReadAll(dir.File("taken.kvx/inside.txt")), "keep");
    // Save As into a folder that does not exist.
    ui.promptAnswers.push_back(dir.File("missing/folder/out.kvx"));
    EXPECT_FALSE(doc.SaveAs());
    const auto entries =
        std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator());
    EXPECT_EQ(entries, 3); // scan.bmp, old.txt and the folder
}

// A document without image shows its change and point count when untitled, and reopens
// without one. Copy puts tab separated points and the image on the clipboard; pasting that
// into the document without image replaces its (empty) image, undoably.
TEST_F(Documents, NoImageCopyAndPaste)
{
    CKurvoDoc doc, fresh, other;
    OpenMapped(doc, WriteBitmap("scan.bmp"));
    Collect(doc, 3, 4);
    ASSERT_TRUE(doc.OnCommand(ID_EDIT_COPY));
    ASSERT_TRUE(ui.clipboard.text.has_value());
    EXPECT_EQ(*ui.clipboard.text, "Line 1\nX\tY\n3\t4\n\n");
    ASSERT_TRUE(ui.clipboard.dib.has_value());
    EXPECT_EQ(*ui.clipboard.dib, doc.GetPlotData()->GetImage()->Block());

    ASSERT_TRUE(fresh.OnNewDocument());
    EXPECT_EQ(fresh.GetTitle(), "Untitled");
    Collect(fresh, 1, 2);
    Collect(fresh, 2, 3);
    EXPECT_EQ(fresh.GetTitle(), "Untitled*");
    EXPECT_EQ(ui.panes[2], "2");
    ASSERT_TRUE(fresh.OnSaveDocument(dir.File("noimage.kvx")));
    ASSERT_TRUE(other.OnOpenDocument(dir.File("noimage.kvx")));
    EXPECT_FALSE(other.IsImageLoaded());
    EXPECT_EQ(other.GetPlotData()->GetSetMgr()->GetTotalCount(), 2);
    CommandState paste;
    ASSERT_TRUE(other.OnUpdateCommand(ID_EDIT_PASTE, paste));
    EXPECT_TRUE(paste.enabled);
    ASSERT_TRUE(other.OnCommand(ID_EDIT_PASTE));
    EXPECT_TRUE(SamePixels(other, doc));
    other.OnCommand(ID_EDIT_UNDO);
    EXPECT_FALSE(other.IsImageLoaded());
}

// Each document command's state in five documents: new (no image), an image, the image
// mapped, one point collected, and that point undone. "+" is enabled, "-" disabled; "v"
// and "x" are the same, checked.
TEST_F(Documents, CommandStatesFollowTheDocument)
{
    CKurvoDoc fresh, image, mapped, points, undone;
    ASSERT_TRUE(fresh.OnNewDocument());
    const std::string bmp = WriteBitmap("scan.bmp");
    ASSERT_TRUE(image.OnOpenDocument(bmp));
    for (CKurvoDoc* doc : {&mapped, &points, &undone})
        OpenMapped(*doc, bmp);
    Collect(points, 1, 1);
    Collect(undone, 1, 1);
    ASSERT_TRUE(undone.OnCommand(ID_EDIT_UNDO));
    CKurvoDoc* docs[] = {&fresh, &image, &mapped, &points, &undone};

    const std::pair<const char*, std::vector<CommandId>> rows[] = {
        {"--+++", {ID_EDIT_UNDO, ID_EDIT_AXIS_MAPPING, ID_EDIT_PIXEL_MAPPING, ID_EDIT_GRID_SNAP}},
        {"-++++",
         {ID_EDIT_MAP_FULL, ID_DATA_DELETE_SET, ID_IMAGE_FLIP_HORZ, ID_IMAGE_FLIP_VERT,
          ID_IMAGE_ROTATE_CW, ID_IMAGE_ROTATE_CCW, ID_IMAGE_ROTATE_180, ID_IMAGE_INFO,
          ID_EDIT_COPY}},
        {"----+", {ID_EDIT_REDO}},
        {"---+-", {ID_EDIT_DELETE_ALL, ID_DATA_CLEAR_SET}},
        {"xxxvx", {ID_DATA_SORT}},
        {"+++++", {ID_DATA_NEW_SET, ID_EDIT_OPTIONS, ID_FILE_SAVE, ID_FILE_SAVE_AS}},
        {"-----", {ID_EDIT_PASTE}}};
    for (const auto& [states, ids] : rows)
        for (CommandId id : ids)
            for (int i = 0; i < 5; ++i) {
                SCOPED_TRACE(testing::Message() << "command " << id << ", document " << i);
                CommandState state;
                ASSERT_TRUE(docs[i]->OnUpdateCommand(id, state));
                EXPECT_EQ(state.enabled, states[i] == '+' || states[i] == 'v');
                EXPECT_EQ(state.checked, states[i] == 'v' || states[i] == 'x');
            }
    // The view's commands are not the document's.
    CommandState none;
    EXPECT_FALSE(image.OnUpdateCommand(ID_VIEW_ZOOMIN, none));
    EXPECT_FALSE(image.OnCommand(ID_VIEW_ZOOMIN));
}

// Sort toggles its check; Delete All Data asks for a file name at the next Save again;
// selecting a set makes it current.
TEST_F(Documents, SortDeleteAllAndSelectingASet)
{
    CKurvoDoc doc;
    OpenMapped(doc, WriteBitmap("scan.bmp"));
    Collect(doc, 1, 1);
    const bool sorted = doc.GetPlotData()->GetSortFlag();
    doc.OnCommand(ID_DATA_SORT);
    EXPECT_NE(doc.GetPlotData()->GetSortFlag(), sorted);
    ui.promptAnswers.push_back(dir.File("x.kvx"));
    ASSERT_TRUE(doc.DoSave(dir.File("x.kvx"), true));
    EXPECT_FALSE(doc.GetMustPrompt());
    doc.OnCommand(ID_EDIT_DELETE_ALL);
    EXPECT_TRUE(doc.GetMustPrompt());
    doc.OnCommand(ID_DATA_NEW_SET);
    doc.SelectSet(0);
    EXPECT_EQ(doc.GetPlotData()->GetSetMgr()->GetCurrent(), 0);
}

// The view over the document: a region dragged and a point clicked are the document's undoable
// tasks, the position display goes through the document's pixel resolution, and Axis Mapping
// runs the document's dialog (a cancel changes nothing).
TEST_F(Documents, ViewRegionPointsAndAxisMappingThroughTheDocument)
{
    CKurvoDoc doc;
    ASSERT_TRUE(doc.OnOpenDocument(WriteBitmap("scan.bmp", 300, 200)));
    PlotData* data = doc.GetPlotData();
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
    view.OnMouseMove({220, 130});
    view.OnLButtonUp({220, 130});
    ASSERT_EQ(data->GetTaskCount(), 1);
    EXPECT_EQ(data->GetTask(0)->GetName(), "Transformation");
    EXPECT_TRUE(link.IsMappingDefined());
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
    EXPECT_TRUE(doc.IsModified());
    view.OnMouseMove({121, 80});
    EXPECT_FALSE(ui.panes[5].empty());
    view.OnDestroy();
    doc.RemoveView(&view);
}

// The format is named by the file name's own extension, in any case; dots in folder names do
// not count. Only known extensions are stripped.
TEST(SaveFormat, FindsTheFormatAtTheLastDot)
{
    for (auto [path, expected] : {std::pair<const char*, int>{"points.TXT", kFormatText},
                                  {"a.txt.kvx", kFormatProject},
                                  {"scan.Bmp", kFormatBitmap},
                                  {"run.csv/out.csv", kFormatCsv},
                                  {"old.kvx.d/plot.kvx", kFormatProject},
                                  {"plot.csvx", -1},
                                  {"shot.PNG", kFormatPng},
                                  {"/data.kvx/name", -1}})
        EXPECT_EQ(FormatFromPath(path, -1), expected) << path;
    for (auto [path, stripped] : {std::pair{"fig.TIF", "fig"},
                                  {"fig.csv", "fig"},
                                  {"fig.jpg", "fig.jpg"},
                                  {"/a.kvx/fig", "/a.kvx/fig"}})
        EXPECT_EQ(StripKnownExtension(path), stripped);
}

// The first entry follows what the document holds: an unchanged picture the bitmap, a
// changed one the project, points the comma separated values.
TEST_F(Documents, SaveDialogFirstEntryFollowsWhatTheDocumentHolds)
{
    EXPECT_EQ(CSaveDlg(&data, "/d/scan.tif", "Save As").m_entry, 4);
    data.SetImageReplaced(true);
    EXPECT_EQ(CSaveDlg(&data, "/d/scan.tif", "Save As").m_entry, 1);
    std::unique_ptr<DbPrim> p = std::make_unique<DbPoint>();
    data.GetSetMgr()->AddPrim(p, -1);
    CSaveDlg dlg(&data, "/d/scan.tif", "Save As");
    EXPECT_EQ(dlg.m_entry, 3);
    EXPECT_EQ(dlg.m_folder + dlg.m_fileName, "/d/scan.csv");
}

TEST_F(Documents, SaveDialogFilterChoiceSetsNameAndCheckBoxes)
{
    data.SetImageFile("/d/scan.bmp"); // the picture as read from that file
    CSaveDlg dlg(&data, "/d/scan.bmp", "Save As");
    dlg.OnFilterChanged(1);
    EXPECT_EQ(dlg.m_fileName, "scan.kvx");
    EXPECT_TRUE(dlg.BitmapCopyEnabled());
    EXPECT_FALSE(dlg.SortEnabled());
    dlg.OnFilterChanged(2);
    EXPECT_EQ(dlg.m_fileName, "scan.txt");
    EXPECT_TRUE(dlg.SortEnabled());
    EXPECT_FALSE(dlg.BitmapCopyEnabled());
    data.SetImagePath("");
    dlg.OnFilterChanged(1);
    EXPECT_FALSE(dlg.BitmapCopyEnabled()); // no image file to refer to
}

// OK applies the check boxes and gives the name the extension of the chosen entry, unless it
// has a save extension of its own; the next prompt, for any document, starts there.
TEST_F(Documents, SaveDialogOkAppliesCheckBoxesAndTheFormatOfTheName)
{
    data.SetSortFlag(true);
    data.SetSaveReference(false);
    CSaveDlg dlg(&data, "/d/scan.bmp", "Save As");
    EXPECT_TRUE(dlg.m_sortData);
    EXPECT_TRUE(dlg.m_saveBitmapCopy);
    dlg.OnFilterChanged(1);
    dlg.m_sortData = false;
    dlg.m_saveBitmapCopy = false;
    EXPECT_EQ(dlg.OnOK("/e/noext"), "/e/noext.kvx");
    EXPECT_FALSE(data.GetSortFlag());
    EXPECT_TRUE(data.GetSaveReference());
    EXPECT_EQ(dlg.OnOK("/e/keep.jpg"), "/e/keep.jpg.kvx");
    EXPECT_EQ(dlg.OnOK("/e/result.txt"), "/e/result.txt");
    PlotData other;
    other.NewSet();
    EXPECT_EQ(CSaveDlg(&other, "x", "Save As").m_entry, 2);
}

// The full folder and the name of the file, its format and the picture's size and colours.
TEST_F(Documents, ImageInfoNamesSizesAndColours)
{
    CDib image;
    ASSERT_TRUE(image.LoadFile(WriteBitmap("plot.bmp", 120, 45)));
    EXPECT_EQ(ImageInfoText(dir.File("plot.bmp"), image, true),
              "File Path: " + dir.Path().lexically_normal().string() +
                  "\r\nFile Name: plot.bmp\r\nFile Format: BMP\r\nImage Width: 120\r\n"
                  "Image Height: 45\r\nNumber of Planes: 1\r\nBit Depth: 24\r\n"
                  "Number of Colors: 16 million\r\nImage Modified: Yes\r\n");
    EXPECT_EQ(ImageInfoText("", CDib(), false),
              "File Path: \r\nFile Name: \r\nFile Format: Unknown\r\nImage Width: 0\r\n"
              "Image Height: 0\r\nNumber of Planes: 0\r\nBit Depth: 0\r\n"
              "Number of Colors: 0\r\nImage Modified: No\r\n");
    EXPECT_STREQ(ImageFormatName(7), "Unknown");
    EXPECT_STREQ(ImageFormatName(-1), "Unknown");

    // A relative path is made full.
    const DibBlock grey = MakeDibBlock(3, 3, 8, PatternColour),
                   deep = MakeDibBlock(2, 2, 32, PatternColour);
    const std::string text = ImageInfoText("sub/../pic.bmp", CDib(grey.data(), grey.size()), false);
    const std::string cwd = std::filesystem::current_path().lexically_normal().string();
    EXPECT_NE(text.find("File Path: " + cwd + "\r\nFile Name: pic.bmp\r\n"), std::string::npos);
    EXPECT_NE(text.find("Number of Colors: 256\r\n"), std::string::npos);
    EXPECT_NE(ImageInfoText("", CDib(deep.data(), deep.size()), false)
                  .find("Bit Depth: 32\r\nNumber of Colors: 0\r\n"),
              std::string::npos);
}

// A PDF of two pages of 1 x 2 inches, and one of a 200-inch page.
class PdfPage : public Documents {
protected:
    void SetUp() override
    {
        Documents::SetUp();
        const TestPdfPage page{72, 144, "0 0 1 rg 0 0 36 72 re f"};
        ASSERT_TRUE(WriteTestPdf(m_pdf, {page, {144, 72, "0 1 0 rg 0 0 72 36 re f"}}));
        ASSERT_TRUE(WriteTestPdf(m_huge, {{14400, 14400, ""}}));
    }
    const std::string m_pdf = dir.File("two.pdf");
    const std::string m_huge = dir.File("huge.pdf");
};

TEST_F(PdfPage, FieldsAreCheckedBeforeThePageIsOpened)
{
    const struct {
        bool huge;
        int page, dpi;
        const char* message; // empty: accepted
        const char* size;
    } cases[] = {
        {false, 2, 100, "", "200 x 100 pixels"},
        {false, 0, 100, "Enter a page from 1 to 2.", "200 x 100 pixels"},
        {false, 3, 100, "Enter a page from 1 to 2.", ""},
        {false, 1, 9, "Enter a resolution from 10 to 2400 dpi.", ""},
        {false, 1, 2401, "Enter a resolution from 10 to 2400 dpi.", ""},
        {true, 1, 600, "The page is too large at this resolution: choose a lower one.",
         "120000 x 120000 pixels"},
        {true, 1, 10, "", "2000 x 2000 pixels"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.page << " " << c.dpi);
        PdfPageDlg dlg(c.huge ? m_huge : m_pdf);
        EXPECT_EQ(dlg.AsksForPage(), !c.huge);
        dlg.m_page = c.page;
        dlg.m_dpi = c.dpi;
        ui.messages.clear();
        EXPECT_EQ(dlg.OnOK(), *c.message == '\0');
        EXPECT_EQ(ui.LastMessage() ? ui.LastMessage()->text : "", c.message);
        if (c.page == 0)
            dlg.m_page = 2; // the size of a page that is there
        EXPECT_EQ(dlg.SizeText(), c.size);
    }
}

// Cancelling opens nothing and says nothing; OK opens the page, which a project that refers
// to it reopens.
TEST_F(PdfPage, AProjectReopensTheChosenPageAtItsResolution)
{
    int asked = 0;
    GetDocumentHooks().runPdfPage = [&](PdfPageDlg& dlg) {
        if (++asked == 1)
            return false;
        EXPECT_EQ(dlg.PageCount(), 2);
        dlg.m_page = 2;
        dlg.m_dpi = 50;
        return true;
    };
    CKurvoDoc doc, back;
    EXPECT_FALSE(doc.OnOpenDocument(m_pdf));
    EXPECT_TRUE(ui.messages.empty());
    ASSERT_TRUE(doc.OnOpenDocument(m_pdf));
    const CDib& image = *doc.GetPlotData()->GetImage();
    EXPECT_EQ(image.Width(), 100);
    EXPECT_EQ(image.PixelAt(10, 40), 0xFF00FF00u);
    EXPECT_NE(doc.ImageInfo().find("File Name: two.pdf\r\nFile Format: PDF, page 2 of 2 at 50 dpi"),
              std::string::npos);
    doc.GetPlotData()->SetSaveReference(true);
    ASSERT_TRUE(doc.OnSaveDocument(dir.File("p.kvx")));
    ASSERT_TRUE(back.OnOpenDocument(dir.File("p.kvx")));
    EXPECT_EQ(asked, 2);
    EXPECT_EQ(back.GetPlotData()->GetImagePath(), m_pdf + "#page=2&dpi=50");
    EXPECT_EQ(back.GetPlotData()->GetImage()->Block(), image.Block());
}

} // namespace
