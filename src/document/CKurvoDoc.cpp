#include "document/CKurvoDoc.h"

#include "document/CImageMapping.h"
#include "document/CPreferences.h"
#include "document/CSaveDlg.h"
#include "document/DocumentHooks.h"
#include "document/FileWriter.h"
#include "document/ImageInfoText.h"
#include "document/PdfPageDlg.h"
#include "document/PointsExport.h"
#include "document/ProjectFile.h"
#include "document/RegGridDlg.h"
#include "document/RegionNodesDlg.h"
#include "document/SaveFormat.h"
#include "document/TransDlg.h"
#include "image/BmpFile.h"
#include "image/CDib.h"
#include "image/PdfFile.h"
#include "mapping/RegGridData.h"
#include "mapping/TransformData.h"
#include "mapping/TransformMan.h"
#include "model/DbSetMgr.h"
#include "platform/Archive.h"
#include "platform/CommandIds.h"
#include "platform/CommandMap.h"
#include "platform/ToolEvent.h"
#include "platform/UiServices.h"
#include "tasks/ImageFlipTask.h"
#include "tasks/ImagePasteTask.h"
#include "tasks/ImageRotateTask.h"
#include "tasks/NewSetTask.h"
#include "tasks/PlotData.h"
#include "tasks/PointClearTask.h"
#include "tasks/SetClearTask.h"
#include "tasks/SetDeleteTask.h"
#include "tasks/TransTask.h"

#include <cstdio>

const char* const CKurvoDoc::kUnknownFileType =
    "Unknown file type detected...\nNot a known image or restart  file.";
const char* const CKurvoDoc::kNoPointsToSave = "No points to save!";
const char* const CKurvoDoc::kProblemSavingImage = "Problem saving the image!";
const char* const CKurvoDoc::kFailedToOpen = "Failed to open document.";
const char* const CKurvoDoc::kFailedToSave = "Failed to save document.";
const char* const CKurvoDoc::kFailedToWrite = "An error occurred while writing the document.";
const char* const CKurvoDoc::kSaveTitle = "Save As";
const char* const CKurvoDoc::kSaveCopyTitle = "Save a Copy As";

namespace {

void Message(const std::string& text)
{
    GetUiServices().MessageBox(text, "Kurvo", MsgButtons::Ok, MsgIcon::Warning);
}

} // namespace

CKurvoDoc::CKurvoDoc() = default;

CKurvoDoc::~CKurvoDoc()
{
    m_transformMan.reset();
    DeleteContents();
}

void CKurvoDoc::DeleteContents()
{
    if (m_data) {
        if (auto& hook = GetDocumentHooks().dataDeleting)
            hook(this);
    }
    m_transformMan.reset();
    m_data.reset();
}

void CKurvoDoc::CreateData()
{
    m_transformMan.reset();
    m_data = std::make_unique<PlotData>(this);
    if (auto& hook = GetDocumentHooks().dataCreated)
        hook(this);
}

bool CKurvoDoc::OnNewDocument()
{
    DeleteContents();
    SetModifiedFlag(false);
    m_mustPrompt = 1;
    CreateData();
    SetTitle("Untitled");
    const CPreferences& prefs = GetPreferences();
    m_data->ApplyPreferences(prefs.m_saveReference != 0, prefs.m_sortData != 0);
    m_data->NewSet();
    m_transformMan = m_data->FindRep<TransformMan>();
    return true;
}

bool CKurvoDoc::OnOpenDocument(const std::string& path)
{
    DeleteContents();
    m_mustPrompt = 1;
    CreateData();
    m_data->NewSet();
    SetModifiedFlag(true);

    // A PDF asks for its page and resolution, which its image path then remembers.
    std::string imagePath = path;
    const DocumentHooks& hooks = GetDocumentHooks();
    if (hooks.runPdfPage && IsPdfFile(path)) {
        PdfPageDlg dlg(path);
        if (dlg.PageCount() > 0) {
            if (!hooks.runPdfPage(dlg)) {
                DeleteContents();
                return false;
            }
            imagePath = dlg.PagePath();
        }
    }
    std::unique_ptr<CDib> image;
    if (hooks.takePicture)
        image = hooks.takePicture(imagePath);
    if (!image) {
        image = std::make_unique<CDib>();
        if (!image->LoadFile(imagePath))
            image.reset();
    }
    if (image) {
        m_data->SetImage(std::move(image));
        m_data->SetImageFile(imagePath);
        m_data->SetViewHint(PlotData::kHintData);
        const CPreferences& prefs = GetPreferences();
        m_data->ApplyPreferences(prefs.m_saveReference != 0, prefs.m_sortData != 0);
    } else if (!OpenProject(path)) {
        DeleteContents();
        return false;
    }
    m_transformMan = m_data->FindRep<TransformMan>();
    SetModifiedFlag(false);
    return true;
}

bool CKurvoDoc::OpenProject(const std::string& path)
{
    WaitCursor wait;
    Archive ar;
    if (!Archive::LoadFile(path, ar)) {
        Message(kFailedToOpen);
        return false;
    }
    try {
        Serialize(ar);
    } catch (const UserException&) {
        return false;
    }
    return true;
}

void CKurvoDoc::Serialize(Archive& ar)
{
    if (ar.IsStoring()) {
        try {
            ar.WriteU32(kProjectMagic);
            WriteProjectContent(ar, *m_data);
        } catch (const ArchiveError&) {
            Message(kFailedToWrite);
            throw UserException();
        }
        return;
    }
    // An empty or short file has no magic: it is of no known kind either.
    if (ar.Remaining() < 4 || ar.ReadU32() != kProjectMagic) {
        Message(kUnknownFileType);
        throw UserException();
    }
    try {
        ReadProjectContent(ar, *m_data);
    } catch (const ArchiveError&) {
        Message(kFailedToOpen);
        throw UserException();
    }
}

bool CKurvoDoc::OnSaveDocument(const std::string& path)
{
    const int format = FormatFromPath(path, kFormatText);
    switch (format) {
    case kFormatProject: {
        WaitCursor wait;
        Archive ar;
        ar.SetFileName(path);
        try {
            Serialize(ar);
        } catch (const UserException&) {
            return false;
        }
        if (!WriteFileSafely(path, ar.Bytes().data(), ar.Bytes().size())) {
            Message(kFailedToSave);
            return false;
        }
        m_data->ClearChangeFlags();
        return true;
    }
    case kFormatText:
    case kFormatCsv:
        if (m_data->GetSetMgr()->GetTotalCount() == 0) {
            Message(kNoPointsToSave);
            return false;
        }
        if (!ExportPoints(*m_data, path, format)) {
            Message(kFailedToSave);
            return false;
        }
        m_data->SetExportPath(path);
        return true;
    case kFormatBitmap:
    case kFormatPng: {
        // Written from the document's own picture: a copy would double the memory of a scan.
        const CDib* image = m_data->GetImage();
        const int code = format == kFormatPng ? CDib::kFormatPng : CDib::kFormatBmp;
        const bool saved =
            image && !image->IsEmpty() && WriteFileSafely(path, [&](const std::string& temp) {
                return image->SaveFile(temp, code);
            });
        if (!saved) {
            Message(kProblemSavingImage);
            return false;
        }
        m_data->SetImageFile(path);
        return true;
    }
    default:
        return false;
    }
}

bool CKurvoDoc::PromptSaveFileName(std::string& name, const std::string& title)
{
    CSaveDlg dlg(m_data.get(), name, title);
    std::string chosen;
    if (!RunSaveDialog(dlg, chosen))
        return false;
    name = chosen;
    return true;
}

bool CKurvoDoc::DoSave(const std::string& path, bool replace)
{
    if (!m_data)
        return false;
    std::string name = path;
    if (name.empty() || m_mustPrompt) {
        name = GetPathName();
        if (replace && name.empty()) {
            name = GetTitle();
            const auto bad = name.find_first_of(" #%;/\\");
            if (bad != std::string::npos)
                name.erase(bad);
            name += ".txt";
        }
        if (!PromptSaveFileName(name, replace ? kSaveTitle : kSaveCopyTitle))
            return false;
    }

    bool saved;
    {
        WaitCursor wait;
        saved = OnSaveDocument(name);
    }
    if (!saved)
        return false; // the file it would have replaced is untouched
    // Points, comma-separated values and the bitmap are exports: the project itself stays
    // unsaved, under its own name and with its undo history, and closing still asks.
    if (FormatFromPath(name, kFormatText) != kFormatProject)
        return true;
    m_mustPrompt = 0;
    if (replace) {
        SetPathName(name);
        if (auto& hook = GetDocumentHooks().addRecentFile)
            hook(name);
    }
    m_data->ClearTasks();
    SetModifiedFlag(false);
    return true;
}

void CKurvoDoc::SetTitle(const std::string& path)
{
    std::string title = FileNameOfPath(path);
    if (title.empty()) {
        // An untitled document keeps its name; its mark and panes follow its changes.
        title = GetTitle();
        if (!title.empty() && title.back() == '*')
            title.pop_back();
        if (title.empty())
            return;
    }
    if (!m_data) {
        Document::SetTitle(title);
        return;
    }
    UiServices& ui = GetUiServices();
    ui.SetStatusPane(4, FileNameOfPath(m_data->GetImagePath()));
    char count[16];
    std::snprintf(count, sizeof count, "%d", m_data->GetSetMgr()->GetCurrentCount());
    ui.SetStatusPane(2, count);
    if (m_mustPrompt) {
        static const char* const shown[] = {".kvx", ".txt", ".bmp", ".tif"};
        title = StripExtension(title, shown, 4);
    }
    if (IsModified())
        title += "*";
    Document::SetTitle(title);
}

void CKurvoDoc::SetModifiedFlag(bool modified)
{
    Document::SetModifiedFlag(modified);
    if (m_data)
        SetTitle(GetPathName());
}

bool CKurvoDoc::IsImageLoaded() const
{
    return m_data && m_data->HasImage();
}

ISize CKurvoDoc::GetImageSize() const
{
    if (!IsImageLoaded())
        return {1, 1};
    const CDib& image = *m_data->GetImage();
    return {std::max(1, image.Width()), std::max(1, image.Height())};
}

void CKurvoDoc::DrawRegion(ToolEvent& e)
{
    if (m_data)
        m_data->GetTransform()->DrawRegion(e);
}

void CKurvoDoc::DrawData(ToolEvent& e)
{
    if (m_data)
        m_data->GetSetMgr()->Draw(e);
}

void CKurvoDoc::DrawGrid(ToolEvent& e)
{
    if (m_data)
        m_data->GetGrid()->Draw(e);
}

void CKurvoDoc::UpdateViewsWithHint()
{
    UpdateAllViews(nullptr, m_data->GetViewHint());
    m_data->ResetViewHint();
}

bool CKurvoDoc::ExecuteTask(std::unique_ptr<Task> task)
{
    if (!m_data)
        return false;
    const bool done = m_data->Execute(std::move(task));
    UpdateViewsWithHint();
    return done;
}

void CKurvoDoc::SelectSet(int slot)
{
    if (!m_data)
        return;
    m_data->SelectSet(slot);
    UpdateAllViews(nullptr, PlotData::kHintOverlay);
    m_data->ResetViewHint();
}

std::string CKurvoDoc::ImageInfo() const
{
    if (!m_data)
        return std::string();
    return ImageInfoText(m_data->GetImagePath(), *m_data->GetImage(), m_data->IsImageEdited());
}

void CKurvoDoc::Copy()
{
    WaitCursor wait;
    ClipboardContent content;
    content.text = PointsText(*m_data, kClipSeparator);
    const CDib& image = *m_data->GetImage();
    if (!image.IsEmpty())
        content.dib =
            std::vector<std::uint8_t>(image.GetDib(), image.GetDib() + image.GetDibLength());
    GetUiServices().SetClipboard(content);
}

void CKurvoDoc::Paste()
{
    ClipboardContent content = GetUiServices().GetClipboard();
    if (!content.dib)
        return;
    CDib pasted(content.dib->data(), content.dib->size());
    if (pasted.IsEmpty())
        return;
    ExecuteTask(std::make_unique<ImagePasteTask>(m_data.get(), pasted, m_data->GetTransform(),
                                                 GetPreferences().m_reuseMappingData != 0));
}

const CommandMap<CKurvoDoc>& CKurvoDoc::Commands()
{
    using Doc = CKurvoDoc;
    // Each command's update: offered when there is an image, or a region, or points.
    const auto imageLoaded = [](Doc& doc, CommandId, CommandState& state) {
        state.Enable(doc.IsImageLoaded());
    };
    const auto regionDefined = [](Doc& doc, CommandId, CommandState& state) {
        state.Enable(doc.HasRegion());
    };
    const auto hasPoints = [](Doc& doc, CommandId, CommandState& state) {
        state.Enable(doc.m_data && doc.m_data->GetSetMgr()->GetTotalCount() > 0);
    };
    // A dialog model runs in its form; confirmed, the views show what it changed.
    const auto runAxisMapping = [](Doc& doc, CommandId) {
        TransDlg dlg(doc.m_data.get());
        dlg.LoadFields();
        auto& run = GetDocumentHooks().runAxisMapping;
        if (run && run(dlg))
            doc.UpdateViewsWithHint();
    };
    const auto runPixelMapping = [](Doc& doc, CommandId) {
        CImageMapping dlg(doc.m_data.get());
        dlg.LoadFields();
        auto& run = GetDocumentHooks().runPixelMapping;
        if (run && run(dlg))
            doc.UpdateViewsWithHint();
    };
    const auto runGridSnap = [](Doc& doc, CommandId) {
        RegGridDlg dlg(doc.m_data.get());
        dlg.LoadFields();
        auto& run = GetDocumentHooks().runGridSnap;
        if (run && run(dlg))
            doc.UpdateViewsWithHint();
    };

    const auto runRegionNodes = [](Doc& doc, CommandId) {
        RegionNodesDlg dlg(doc.m_data.get());
        dlg.LoadFields();
        auto& run = GetDocumentHooks().runRegionNodes;
        if (run && run(dlg))
            doc.UpdateViewsWithHint();
    };

    static const CommandMap<Doc> commands = {
        {ID_EDIT_UNDO,
         [](Doc& doc, CommandId) {
             if (doc.m_data->Undo())
                 doc.UpdateViewsWithHint();
         },
         [](Doc& doc, CommandId, CommandState& state) {
             state.Enable(doc.m_data && doc.m_data->CanUndo());
         }},
        {ID_EDIT_REDO,
         [](Doc& doc, CommandId) {
             if (doc.m_data->Redo())
                 doc.UpdateViewsWithHint();
         },
         [](Doc& doc, CommandId, CommandState& state) {
             state.Enable(doc.m_data && doc.m_data->CanRedo());
         }},
        {ID_EDIT_AXIS_MAPPING, runAxisMapping, regionDefined},
        {ID_EDIT_PIXEL_MAPPING, runPixelMapping, regionDefined},
        {ID_EDIT_REGION_NODES, runRegionNodes, regionDefined},
        {ID_EDIT_GRID_SNAP, runGridSnap,
         [](Doc& doc, CommandId, CommandState& state) {
             state.Enable(doc.HasRegion());
             const auto* grid = doc.m_data ? &doc.m_data->GetGrid()->GetSettings() : nullptr;
             state.SetCheck(grid && (grid->snapX || grid->snapY));
         }},
        {ID_EDIT_MAP_FULL, [](Doc& doc, CommandId) { doc.DefineFullSizedRegion(); }, imageLoaded},
        {ID_EDIT_DELETE_ALL,
         [](Doc& doc, CommandId) {
             doc.ExecuteTask(std::make_unique<PointClearTask>(doc.m_data.get()));
             doc.m_mustPrompt = 1;
         },
         hasPoints},
        {ID_DATA_CLEAR_SET,
         [](Doc& doc, CommandId) {
             doc.ExecuteTask(std::make_unique<SetClearTask>(doc.m_data.get()));
         },
         [](Doc& doc, CommandId, CommandState& state) {
             state.Enable(doc.m_data && doc.m_data->GetSetMgr()->GetCurrentCount() > 0);
         }},
        {ID_DATA_DELETE_SET,
         [](Doc& doc, CommandId) {
             doc.ExecuteTask(std::make_unique<SetDeleteTask>(doc.m_data.get()));
         },
         imageLoaded},
        {ID_DATA_NEW_SET,
         [](Doc& doc, CommandId) {
             doc.ExecuteTask(std::make_unique<NewSetTask>(doc.m_data.get()));
         }},
        {ID_DATA_SORT,
         [](Doc& doc, CommandId) {
             doc.m_data->ToggleSortFlag();
             doc.m_data->GetSetMgr()->Notify(DataHint());
         },
         [](Doc& doc, CommandId, CommandState& state) {
             state.Enable(doc.m_data && doc.m_data->GetSetMgr()->GetTotalCount() > 0);
             state.SetCheck(doc.m_data && doc.m_data->GetSortFlag());
         }},
        {ID_IMAGE_FLIP_HORZ,
         [](Doc& doc, CommandId) {
             doc.ExecuteTask(std::make_unique<ImageFlipTask>(doc.m_data.get(), 0));
         },
         imageLoaded},
        {ID_IMAGE_FLIP_VERT,
         [](Doc& doc, CommandId) {
             doc.ExecuteTask(std::make_unique<ImageFlipTask>(doc.m_data.get(), 1));
         },
         imageLoaded},
        {ID_IMAGE_ROTATE_CW,
         [](Doc& doc, CommandId) {
             doc.ExecuteTask(std::make_unique<ImageRotateTask>(doc.m_data.get(), 90));
         },
         imageLoaded},
        {ID_IMAGE_ROTATE_CCW,
         [](Doc& doc, CommandId) {
             doc.ExecuteTask(std::make_unique<ImageRotateTask>(doc.m_data.get(), 270));
         },
         imageLoaded},
        {ID_IMAGE_ROTATE_180,
         [](Doc& doc, CommandId) {
             doc.ExecuteTask(std::make_unique<ImageRotateTask>(doc.m_data.get(), 180));
         },
         imageLoaded},
        {ID_IMAGE_INFO,
         [](Doc& doc, CommandId) {
             if (auto& show = GetDocumentHooks().showImageInfo)
                 show(doc.ImageInfo());
         },
         imageLoaded},
        {ID_EDIT_COPY, [](Doc& doc, CommandId) { doc.Copy(); }, imageLoaded},
        {ID_EDIT_PASTE, [](Doc& doc, CommandId) { doc.Paste(); },
         [](Doc&, CommandId, CommandState& state) {
             state.Enable(GetUiServices().ClipboardHasBitmap());
         }},
        {ID_EDIT_OPTIONS,
         [](Doc& doc, CommandId) {
             auto& run = GetDocumentHooks().runOptions;
             if (!run || !run())
                 return;
             const CPreferences& prefs = GetPreferences();
             doc.m_data->ApplyPreferences(prefs.m_saveReference != 0, prefs.m_sortData != 0);
             GetPreferences().Notify(0);
         }},
        {ID_FILE_SAVE, [](Doc& doc, CommandId) { doc.Save(); }},
        {ID_FILE_SAVE_AS, [](Doc& doc, CommandId) { doc.SaveAs(); }},
    };
    return commands;
}

bool CKurvoDoc::HasRegion() const
{
    return m_data && m_data->GetTransform()->GetRegion().GetPixelNodeCount() > 0;
}

void CKurvoDoc::DefineFullSizedRegion()
{
    std::unique_ptr<TransformMan> man = m_data->FindRep<TransformMan>();
    const ISize size = GetImageSize();
    man->DefineOrResize(0, {0.0, 0.0},
                        {static_cast<double>(size.cx - 1), static_cast<double>(size.cy - 1)});
    ExecuteTask(std::make_unique<TransTask>(m_data.get(), std::move(man)));
}

bool CKurvoDoc::OnCommand(CommandId id)
{
    return m_data && Commands().Run(*this, id);
}

bool CKurvoDoc::OnUpdateCommand(CommandId id, CommandState& state)
{
    return Commands().Update(*this, id, state);
}
