#include "document/CKurvoDoc.h"
#include "document/CSaveDlg.h"
#include "document/DocumentHooks.h"
#include "document/ProjectFile.h"
#include "image/BmpFile.h"
#include "image/CDib.h"
#include "image/DibUtil.h"
#include "mapping/TransformData.h"
#include "model/DbPoint.h"
#include "model/DbSetMgr.h"
#include "platform/Archive.h"
#include "platform/CommandIds.h"
#include "platform/RecordingUiServices.h"
#include "support/TempDir.h"
#include "tasks/PlotData.h"
#include "tasks/PrimTask.h"

#include <gtest/gtest.h>

#include <clocale>
#include <filesystem>
#include <fstream>
#include <iterator>

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
    }
    void TearDown() override
    {
        GetDocumentHooks() = DocumentHooks{};
        SetUiServices(nullptr);
    }

    // Writes a small 24-bit bitmap with a recognisable pattern.
    std::string WriteBitmap(const std::string& name, int w = 12, int h = 8)
    {
        BitmapInfoHeader header;
        header.bitCount = 24;
        DibBlock dib = *MakeDib(header, w, h, nullptr);
        std::uint8_t* bits = FindDibBits(dib.data());
        for (std::size_t i = 0; i < DibImageSize(dib.data()); ++i)
            bits[i] = static_cast<std::uint8_t>(i * 7);
        const std::string path = dir.File(name);
        EXPECT_TRUE(WriteBmpFile(path, dib.data(), dib.size()));
        return path;
    }
    // Maps the whole image so that graph coordinates equal pixel coordinates.
    static void MapIdentity(CKurvoDoc& doc)
    {
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
    bool Enabled(CKurvoDoc& doc, CommandId id)
    {
        CommandState s;
        EXPECT_TRUE(doc.OnUpdateCommand(id, s));
        return s.enabled;
    }

    RecordingUiServices ui;
    TempDir dir;
    std::vector<std::string> recent;
};

TEST_F(Documents, OpeningABitmapGivesOneEmptySetAndAPlainTitle)
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
    EXPECT_EQ(doc.GetPlotData()->GetImagePath(), path);
    EXPECT_EQ(ui.panes[4], "scan.bmp");

    // The content decides the kind, not the name.
    CKurvoDoc named;
    ASSERT_TRUE(named.OnOpenDocument(WriteBitmap("really-a-bitmap.kvx")));
    EXPECT_TRUE(named.IsImageLoaded());
}

TEST_F(Documents, UnknownAndEmptyFilesAreRefusedWithTheMessage)
{
    for (const char* content : {"this is no picture", ""}) {
        const std::string path = dir.File("junk.dat");
        std::ofstream(path) << content;
        CKurvoDoc doc;
        ui.messages.clear();
        EXPECT_FALSE(doc.OnOpenDocument(path));
        ASSERT_EQ(ui.messages.size(), 1u);
        EXPECT_EQ(ui.messages[0].text, CKurvoDoc::kUnknownFileType);
        EXPECT_EQ(doc.GetPlotData(), nullptr);
    }
    CKurvoDoc doc;
    EXPECT_FALSE(doc.OnOpenDocument(dir.File("missing.kvx")));
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
    EXPECT_EQ(b.GetTransform()->GetMin(), data.GetTransform()->GetMin());
    EXPECT_EQ(b.GetTransform()->GetMax(), data.GetTransform()->GetMax());
    EXPECT_EQ(b.GetTransform()->GetRegion().GetPixelNodeCount(),
              data.GetTransform()->GetRegion().GetPixelNodeCount());
    ASSERT_EQ(b.GetImage()->GetDibLength(), data.GetImage()->GetDibLength());
    EXPECT_TRUE(std::equal(b.GetImage()->GetDib(),
                           b.GetImage()->GetDib() + b.GetImage()->GetDibLength(),
                           data.GetImage()->GetDib()));
    EXPECT_EQ(b.GetSetMgr()->GetSetCount(), 2);
    EXPECT_EQ(b.GetSetMgr()->GetCurrent(), 1);
    auto* p = static_cast<DbPoint*>(b.GetSetMgr()->GetSet(1)->GetAt(0));
    EXPECT_EQ(p->m_pixel, (DPoint{20, 5}));
    EXPECT_NEAR(p->m_graph.x, 20.0 * 100 / 39, 1e-9);

    // The embedded image now belongs to the project file: that is its path from here on.
    EXPECT_EQ(b.GetImagePath(), std::filesystem::canonical(project).string());
    // Stored and read once more, the file is the same byte for byte.
    const std::string again = dir.File("again.kvx");
    ASSERT_TRUE(back.OnSaveDocument(again));
    CKurvoDoc third;
    ASSERT_TRUE(third.OnOpenDocument(again));
    third.GetPlotData()->SetImagePath(b.GetImagePath());
    const std::string last = dir.File("last.kvx");
    ASSERT_TRUE(third.OnSaveDocument(last));
    EXPECT_EQ(ReadAll(last), ReadAll(again));
}

TEST_F(Documents, ReferencedImageIsFoundByItsBareName)
{
    const std::string image = WriteBitmap("plot.bmp");
    CKurvoDoc doc;
    ASSERT_TRUE(doc.OnOpenDocument(image));
    doc.GetPlotData()->SetSaveReference(true);
    const std::string project = dir.File("p.kvx");
    ASSERT_TRUE(doc.OnSaveDocument(project));

    // The image moves into another folder, which becomes the current one.
    std::filesystem::create_directory(dir.Path() / "moved");
    std::filesystem::rename(image, dir.Path() / "moved" / "plot.bmp");
    const auto cwd = std::filesystem::current_path();
    std::filesystem::current_path(dir.Path() / "moved");
    CKurvoDoc back;
    const bool opened = back.OnOpenDocument(project);
    std::filesystem::current_path(cwd);
    ASSERT_TRUE(opened);
    EXPECT_TRUE(back.IsImageLoaded());
    EXPECT_EQ(back.GetPlotData()->GetImagePath(), "plot.bmp");
    EXPECT_TRUE(back.GetPlotData()->GetSaveReference());

    // Nowhere to be found: the open fails.
    std::filesystem::remove(dir.Path() / "moved" / "plot.bmp");
    CKurvoDoc lost;
    EXPECT_FALSE(lost.OnOpenDocument(project));
}

TEST_F(Documents, DocumentWithoutImageReopensWithoutOne)
{
    CKurvoDoc doc;
    ASSERT_TRUE(doc.OnNewDocument());
    EXPECT_EQ(doc.GetTitle(), "Untitled");
    Collect(doc, 1, 2);
    // Untitled, it still shows its change and its point count.
    EXPECT_EQ(doc.GetTitle(), "Untitled*");
    EXPECT_EQ(ui.panes[2], "1");
    Collect(doc, 2, 3);
    EXPECT_EQ(ui.panes[2], "2");
    const std::string path = dir.File("noimage.kvx");
    ASSERT_TRUE(doc.OnSaveDocument(path));
    CKurvoDoc back;
    ASSERT_TRUE(back.OnOpenDocument(path));
    EXPECT_FALSE(back.IsImageLoaded());
    EXPECT_EQ(back.GetPlotData()->GetSetMgr()->GetTotalCount(), 2);
}

// Older files built byte by byte keep a flat list of pixel positions: format 4 with the
// transform block, format 2 with the transform as one raw 360-byte block.
TEST_F(Documents, OldFormatsFlatPointsAreRecomputedThroughTheStoredTransform)
{
    for (std::uint32_t version : {2u, 4u}) {
        Archive ar;
        ar.WriteU32(kProjectMagic);
        ar.WriteU32(version);
        ar.WriteU32(1); // sort
        // The transform of an 11 x 11 image mapped whole to X 0..100, Y 0..50.
        CKurvoDoc mapped;
        ASSERT_TRUE(mapped.OnOpenDocument(WriteBitmap("grid.bmp", 11, 11)));
        ASSERT_TRUE(mapped.OnCommand(ID_EDIT_MAP_FULL));
        TransformData& t = *mapped.GetPlotData()->GetTransform();
        t.SetLimits({0, 0}, {100, 50});
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
        const std::string path = dir.File("v4.kvx");
        ASSERT_TRUE(ar.SaveFile(path));

        CKurvoDoc doc;
        ASSERT_TRUE(doc.OnOpenDocument(path));
        DbPrimList* set = doc.GetPlotData()->GetSetMgr()->GetCurrentSet();
        ASSERT_EQ(set->GetCount(), 2);
        auto* p = static_cast<DbPoint*>(set->GetAt(1));
        EXPECT_NEAR(p->m_graph.x, 100.0, 1e-9);
        EXPECT_NEAR(p->m_graph.y, 50.0, 1e-9);
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
    huge.WriteU32(kProjectMagic);
    huge.WriteU32(3);
    huge.WriteU32(0);
    TransformData().Serialize(huge);
    huge.WriteString("");
    huge.WriteString("");
    huge.WriteU32(0x40000000);
    for (Archive& ar : files) {
        const std::string path = dir.File("bad.kvx");
        ASSERT_TRUE(ar.SaveFile(path));
        CKurvoDoc doc;
        ui.messages.clear();
        EXPECT_FALSE(doc.OnOpenDocument(path)) << &ar - files.data();
        ASSERT_EQ(ui.messages.size(), 1u);
        EXPECT_EQ(ui.messages[0].text, CKurvoDoc::kFailedToOpen);
    }
}

// Saving the points is an export: the project stays unsaved, with its undo history, and
// neither export enters the recent files.
TEST_F(Documents, SavingPointsIsAnExportThatKeepsTheProjectUnsaved)
{
    CKurvoDoc doc;
    ASSERT_TRUE(doc.OnOpenDocument(WriteBitmap("scan.bmp")));
    MapIdentity(doc);
    Collect(doc, 0.5, 2);
    ui.promptAnswers.push_back(dir.File("points"));
    GetUiServices(); // the default dialog runner goes through the file prompt
    ASSERT_TRUE(doc.SaveAs());
    ASSERT_EQ(ui.prompts.size(), 1u);
    EXPECT_EQ(ui.prompts[0].filterIndex, 3); // points exist: comma separated first
    EXPECT_EQ(ReadAll(dir.File("points.csv")), "Line 1\r\nX, Y\r\n0.5, 2\r\n\r\n");
    EXPECT_TRUE(Enabled(doc, ID_EDIT_UNDO));
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(doc.GetPlotData()->GetExportPath(), dir.File("points.csv"));

    ui.promptAnswers.push_back(dir.File("again.txt"));
    ASSERT_TRUE(doc.DoSave(dir.File("again.txt"), true));
    EXPECT_TRUE(recent.empty());
    EXPECT_EQ(ReadAll(dir.File("again.txt")), "Line 1\r\nX Y\r\n0.5 2\r\n\r\n");
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
    std::filesystem::create_directory(dir.Path() / "taken.kvx");
    std::ofstream(dir.File("taken.kvx/inside.txt")) << "keep";
    EXPECT_FALSE(doc.OnSaveDocument(dir.File("taken.kvx")));
    EXPECT_EQ(ui.LastMessage()->text, CKurvoDoc::kFailedToSave);
    EXPECT_EQ(ReadAll(dir.File("taken.kvx/inside.txt")), "keep");
    // Save As into a folder that does not exist.
    ui.promptAnswers.push_back(dir.File("missing/folder/out.kvx"));
    EXPECT_FALSE(doc.SaveAs());
    const auto entries = std::distance(std::filesystem::directory_iterator(dir.Path()),
                                       std::filesystem::directory_iterator());
    EXPECT_EQ(entries, 3); // scan.bmp, old.txt and the folder
}

TEST_F(Documents, ExportIgnoresACommaDecimalLocale)
{
    const char* set = std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
    if (!set)
        GTEST_SKIP() << "no German locale on this machine";
    CKurvoDoc doc;
    ASSERT_TRUE(doc.OnOpenDocument(WriteBitmap("scan.bmp")));
    MapIdentity(doc);
    Collect(doc, 0.5, 1.5);
    const bool saved = doc.OnSaveDocument(dir.File("de.txt"));
    std::setlocale(LC_NUMERIC, "C");
    ASSERT_TRUE(saved);
    EXPECT_EQ(ReadAll(dir.File("de.txt")), "Line 1\r\nX Y\r\n0.5 1.5\r\n\r\n");
}

TEST_F(Documents, BitmapSaveWritesTheImageAndKeepsTheProjectUnsaved)
{
    CKurvoDoc doc;
    ASSERT_TRUE(doc.OnOpenDocument(WriteBitmap("scan.bmp")));
    doc.OnCommand(ID_IMAGE_ROTATE_CW);
    EXPECT_TRUE(doc.GetPlotData()->IsImageEdited());
    EXPECT_TRUE(doc.IsModified());
    ASSERT_TRUE(doc.OnSaveDocument(dir.File("turned.bmp")));
    EXPECT_TRUE(doc.GetPlotData()->IsImageEdited());
    EXPECT_TRUE(doc.IsModified());
    CDib back;
    ASSERT_TRUE(back.LoadFile(dir.File("turned.bmp")));
    EXPECT_EQ(back.Width(), 8);
    EXPECT_EQ(back.Height(), 12);
}

TEST_F(Documents, CopyPutsTabbedTextAndTheImage)
{
    CKurvoDoc doc;
    ASSERT_TRUE(doc.OnOpenDocument(WriteBitmap("scan.bmp")));
    MapIdentity(doc);
    Collect(doc, 3, 4);
    ASSERT_TRUE(doc.OnCommand(ID_EDIT_COPY));
    ASSERT_TRUE(ui.clipboard.text.has_value());
    EXPECT_EQ(*ui.clipboard.text, "Line 1\nX\tY\n3\t4\n\n");
    ASSERT_TRUE(ui.clipboard.dib.has_value());
    EXPECT_EQ(ui.clipboard.dib->size(), doc.GetPlotData()->GetImage()->GetDibLength());
    EXPECT_TRUE(Enabled(doc, ID_EDIT_PASTE));

    // Pasting it into a new document replaces its (empty) image, undoably.
    CKurvoDoc other;
    ASSERT_TRUE(other.OnNewDocument());
    EXPECT_FALSE(other.IsImageLoaded());
    ASSERT_TRUE(other.OnCommand(ID_EDIT_PASTE));
    EXPECT_TRUE(other.IsImageLoaded());
    EXPECT_EQ(other.GetImageSize(), (ISize{12, 8}));
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
    for (CKurvoDoc* doc : {&image, &mapped, &points, &undone})
        ASSERT_TRUE(doc->OnOpenDocument(bmp));
    for (CKurvoDoc* doc : {&mapped, &points, &undone})
        MapIdentity(*doc);
    Collect(points, 1, 1);
    Collect(undone, 1, 1);
    ASSERT_TRUE(undone.OnCommand(ID_EDIT_UNDO));
    CKurvoDoc* docs[] = {&fresh, &image, &mapped, &points, &undone};

    const struct {
        CommandId id;
        const char* states;
    } rows[] = {
        {ID_EDIT_UNDO, "--+++"},         {ID_EDIT_REDO, "----+"},
        {ID_EDIT_AXIS_MAPPING, "--+++"}, {ID_EDIT_PIXEL_MAPPING, "--+++"},
        {ID_EDIT_GRID_SNAP, "--+++"},    {ID_EDIT_MAP_FULL, "-++++"},
        {ID_EDIT_DELETE_ALL, "---+-"},   {ID_DATA_CLEAR_SET, "---+-"},
        {ID_DATA_DELETE_SET, "-++++"},   {ID_DATA_SORT, "xxxvx"},
        {ID_DATA_NEW_SET, "+++++"},      {ID_IMAGE_FLIP_HORZ, "-++++"},
        {ID_IMAGE_FLIP_VERT, "-++++"},   {ID_IMAGE_ROTATE_CW, "-++++"},
        {ID_IMAGE_ROTATE_CCW, "-++++"},  {ID_IMAGE_ROTATE_180, "-++++"},
        {ID_IMAGE_INFO, "-++++"},        {ID_EDIT_COPY, "-++++"},
        {ID_EDIT_PASTE, "-----"},        {ID_EDIT_OPTIONS, "+++++"},
        {ID_FILE_SAVE, "+++++"},         {ID_FILE_SAVE_AS, "+++++"},
    };
    for (const auto& row : rows)
        for (int i = 0; i < 5; ++i) {
            SCOPED_TRACE(testing::Message() << "command " << row.id << ", document " << i);
            CommandState state;
            ASSERT_TRUE(docs[i]->OnUpdateCommand(row.id, state));
            const char expected = row.states[i];
            EXPECT_EQ(state.enabled, expected == '+' || expected == 'v');
            EXPECT_EQ(state.checked, expected == 'v' || expected == 'x');
        }

    // Paste follows the clipboard; the view's commands are not the document's.
    ui.clipboard.dib = std::vector<std::uint8_t>{1};
    EXPECT_TRUE(Enabled(fresh, ID_EDIT_PASTE));
    CommandState none;
    EXPECT_FALSE(image.OnUpdateCommand(ID_VIEW_ZOOMIN, none));
    EXPECT_FALSE(image.OnCommand(ID_VIEW_ZOOMIN));
}

// Sort toggles its check; Delete All Data asks for a file name at the next Save again.
TEST_F(Documents, SortTogglesAndDeleteAllForgetsTheSaveName)
{
    CKurvoDoc img;
    ASSERT_TRUE(img.OnOpenDocument(WriteBitmap("scan.bmp")));
    MapIdentity(img);
    Collect(img, 1, 1);
    CommandState sort;
    img.OnUpdateCommand(ID_DATA_SORT, sort);
    const bool before = sort.checked;
    img.OnCommand(ID_DATA_SORT);
    img.OnUpdateCommand(ID_DATA_SORT, sort);
    EXPECT_NE(sort.checked, before);
    ui.promptAnswers.push_back(dir.File("x.kvx"));
    ASSERT_TRUE(img.DoSave(dir.File("x.kvx"), true));
    EXPECT_FALSE(img.GetMustPrompt());
    img.OnCommand(ID_EDIT_DELETE_ALL);
    EXPECT_TRUE(img.GetMustPrompt());
}

TEST_F(Documents, SelectingASetRepaintsTheOverlays)
{
    struct HintView : View {
        std::vector<std::intptr_t> hints;
        void OnUpdate(View*, std::intptr_t h) override { hints.push_back(h); }
    } view;
    CKurvoDoc doc;
    ASSERT_TRUE(doc.OnNewDocument());
    doc.AddView(&view);
    doc.OnCommand(ID_DATA_NEW_SET);
    doc.SelectSet(0);
    EXPECT_EQ(view.hints.back(), PlotData::kHintOverlay);
    EXPECT_EQ(doc.GetPlotData()->GetViewHint(), PlotData::kHintData);
    EXPECT_EQ(doc.GetPlotData()->GetSetMgr()->GetCurrent(), 0);
}

} // namespace
