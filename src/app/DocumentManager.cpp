#include "app/DocumentManager.h"

#include "app/CChildFrame.h"
#include "app/CMainFrame.h"
#include "app/ImageViewWidget.h"
#include "app/ViewSplitter.h"
#include "document/CKurvoDoc.h"
#include "document/DocumentHooks.h"
#include "document/ScannedImage.h"
#include "image/BmpFile.h"
#include "image/CDib.h"
#include "mapping/TransformData.h"
#include "model/DbSetMgr.h"
#include "platform/CommandIds.h"
#include "platform/CommandMap.h"
#include "platform/UiServices.h"
#include "tasks/ImagePasteTask.h"
#include "tasks/PlotData.h"
#include "ui/CDataView.h"
#include "ui/DataSetsBox.h"
#include "view/CKurvoView.h"

#include <QMdiArea>
#include <QMdiSubWindow>

#include <algorithm>
#include <filesystem>

namespace {

std::string CleanTitle(std::string title)
{
    if (!title.empty() && title.back() == '*')
        title.pop_back();
    return title;
}

bool SamePath(const std::string& a, const std::string& b)
{
    if (a.empty() || b.empty())
        return false;
    std::error_code ec;
    const bool same = std::filesystem::equivalent(a, b, ec);
    return !ec && same;
}

} // namespace

DocumentManager::DocumentManager(CMainFrame* frame) : m_frame(frame)
{
    connect(m_frame->MdiArea(), &QMdiArea::subWindowActivated, this, [this] { OnActivated(); });
    // Every document's set manager is shown in the data-sets bar as it is made, and let go
    // of before it is deleted; whoever listened before keeps being told.
    DocumentHooks& hooks = GetDocumentHooks();
    m_previousCreated = hooks.dataCreated;
    m_previousDeleting = hooks.dataDeleting;
    hooks.dataCreated = [this](CKurvoDoc* doc) {
        if (m_previousCreated)
            m_previousCreated(doc);
        OnDataCreated(doc);
    };
    hooks.dataDeleting = [this](CKurvoDoc* doc) {
        if (m_previousDeleting)
            m_previousDeleting(doc);
        OnDataDeleting(doc);
    };
}

void DocumentManager::OnDataDeleting(CKurvoDoc* doc)
{
    if (!doc || !doc->GetPlotData())
        return;
    DbSetMgr* setMgr = doc->GetPlotData()->GetSetMgr();
    if (DataSetsBox* box = m_frame->SetsBox())
        box->Forget(setMgr);
    auto it = m_given.find(doc);
    if (it != m_given.end())
        it->second.erase(std::remove(it->second.begin(), it->second.end(), setMgr),
                         it->second.end());
}

void DocumentManager::OnDataCreated(CKurvoDoc* doc)
{
    if (!doc || !doc->GetPlotData())
        return;
    DbSetMgr* setMgr = doc->GetPlotData()->GetSetMgr();
    m_given[doc].push_back(setMgr);
    if (DataSetsBox* box = m_frame->SetsBox())
        box->Observe(setMgr);
}

void DocumentManager::ForgetData(CKurvoDoc* doc)
{
    auto it = m_given.find(doc);
    if (it == m_given.end())
        return;
    DbSetMgr* live = doc->GetPlotData() ? doc->GetPlotData()->GetSetMgr() : nullptr;
    if (DataSetsBox* box = m_frame->SetsBox())
        for (DbSetMgr* setMgr : it->second)
            box->Forget(setMgr, setMgr == live);
    m_given.erase(it);
}

DocumentManager::~DocumentManager()
{
    // The windows go without asking; each takes its views, then the documents go.
    m_closingAll = true;
    std::vector<CChildFrame*> windows = m_windows;
    for (CChildFrame* child : windows) {
        child->SetDestroyedHandler(nullptr);
        child->SetCloseQuery(nullptr);
        if (QWidget* sub = child->parentWidget())
            delete sub;
        else
            delete child;
    }
    m_windows.clear();
    for (auto& doc : m_documents) {
        doc->SetChangeHandler(nullptr);
        ForgetData(doc.get());
    }
    m_documents.clear();
    GetDocumentHooks().dataCreated = m_previousCreated;
    GetDocumentHooks().dataDeleting = m_previousDeleting;
}

CKurvoDoc* DocumentManager::Adopt(std::unique_ptr<CKurvoDoc> doc)
{
    m_documents.push_back(std::move(doc));
    CKurvoDoc* raw = m_documents.back().get();
    if (!OpenWindow(raw)) {
        m_documents.pop_back();
        return nullptr;
    }
    // Captions and command states follow the document as it changes.
    raw->SetChangeHandler([this, raw] {
        RefreshTitles(raw);
        m_frame->RequestCommandUpdate();
    });
    return raw;
}

CKurvoDoc* DocumentManager::NewDocument()
{
    auto doc = std::make_unique<CKurvoDoc>();
    if (!doc->OnNewDocument()) {
        ForgetData(doc.get());
        return nullptr;
    }
    return Adopt(std::move(doc));
}

CKurvoDoc* DocumentManager::OpenDocument(const std::string& path)
{
    for (auto& open : m_documents) {
        if (SamePath(open->GetPathName(), path)) {
            std::vector<CChildFrame*> windows = WindowsOf(open.get());
            if (!windows.empty() && windows.front()->parentWidget())
                m_frame->MdiArea()->setActiveSubWindow(
                    qobject_cast<QMdiSubWindow*>(windows.front()->parentWidget()));
            return open.get();
        }
    }
    auto doc = std::make_unique<CKurvoDoc>();
    const bool opened = doc->OnOpenDocument(path);
    if (!opened) {
        ForgetData(doc.get());
        return nullptr;
    }
    doc->SetPathName(path);
    return Adopt(std::move(doc));
}

bool DocumentManager::NewDocumentFromDib(const std::vector<std::uint8_t>& dib)
{
    // A scanner may hand over any layout the bitmap reader accepts; a bitmap that is not
    // sound opens no window.
    if (!IsSoundDib(dib.data(), dib.size()) && !ReadPackedDib(dib.data(), dib.size()))
        return false;
    CKurvoDoc* doc = NewDocument();
    return doc && TakeScannedImage(*doc, dib);
}

CChildFrame* DocumentManager::OpenWindow(CKurvoDoc* doc)
{
    if (!doc || !doc->GetPlotData())
        return nullptr;
    auto* view = new ImageViewWidget(doc);
    auto* splitter = new ViewSplitter(view, doc->GetPlotData()->GetSetMgr());
    auto* child = new CChildFrame(splitter, view, doc);
    child->setWindowTitle(QString::fromStdString(doc->GetTitle()));
    child->SetCloseQuery([this](CChildFrame* c) {
        if (m_closingAll)
            return true;
        auto* target = dynamic_cast<CKurvoDoc*>(c->DocumentTarget());
        // Only the last window of a document asks.
        if (target && WindowsOf(target).size() == 1)
            return SaveModified(target);
        return true;
    });
    child->SetDestroyedHandler([this](CChildFrame* c) { OnWindowGone(c); });
    connect(view, &ImageViewWidget::StateChanged, m_frame, &CMainFrame::RequestCommandUpdate);
    connect(splitter, &ViewSplitter::SplitChanged, m_frame, &CMainFrame::RequestCommandUpdate);
    m_windows.push_back(child);
    m_frame->AddChildFrame(child);
    view->InitialUpdate();
    view->Activate(true, false);
    view->setFocus(Qt::OtherFocusReason);
    m_activeView = view;
    RefreshTitles();
    return child;
}

std::vector<CChildFrame*> DocumentManager::WindowsOf(const CKurvoDoc* doc) const
{
    std::vector<CChildFrame*> out;
    for (CChildFrame* child : m_windows)
        if (child->DocumentTarget() == static_cast<const CommandTarget*>(doc))
            out.push_back(child);
    return out;
}

void DocumentManager::OnWindowGone(CChildFrame* child)
{
    m_windows.erase(std::remove(m_windows.begin(), m_windows.end(), child), m_windows.end());
    // The window's view is gone with its content.
    m_activeView = nullptr;
    auto* doc = dynamic_cast<CKurvoDoc*>(child->DocumentTarget());
    // The other windows of the document lose or renumber their ":n".
    RefreshTitles();
    if (!doc || !WindowsOf(doc).empty())
        return;
    auto it = std::find_if(m_documents.begin(), m_documents.end(),
                           [doc](const auto& d) { return d.get() == doc; });
    if (it == m_documents.end())
        return;
    doc->SetChangeHandler(nullptr);
    ForgetData(doc);
    m_documents.erase(it);
    // The list shows the sets of the document that is active now; with none left, the
    // point-count and image panes no longer speak of a document.
    if (CKurvoDoc* active = ActiveDocument(); active && active->GetPlotData()) {
        active->GetPlotData()->NotifyAll();
    } else if (m_documents.empty()) {
        GetUiServices().SetStatusPane(2, "");
        GetUiServices().SetStatusPane(4, "");
    }
}

bool DocumentManager::SaveModified(CKurvoDoc* doc)
{
    if (!doc || !doc->IsModified())
        return true;
    std::string name = CleanTitle(doc->GetTitle());
    if (name.empty())
        name = "Untitled";
    switch (GetUiServices().MessageBox("Save changes to " + name + "?", "Kurvo",
                                       MsgButtons::YesNoCancel, MsgIcon::Warning)) {
    case MsgResult::Yes:
        return doc->Save();
    case MsgResult::No:
        return true;
    default:
        return false;
    }
}

bool DocumentManager::CloseDocument(CKurvoDoc* doc)
{
    if (!doc || !SaveModified(doc))
        return false;
    m_closingAll = true;
    for (CChildFrame* child : WindowsOf(doc)) {
        QWidget* sub = child->parentWidget();
        if (sub)
            sub->close();
        else
            child->close();
    }
    m_closingAll = false;
    return true;
}

CKurvoDoc* DocumentManager::ActiveDocument() const
{
    CChildFrame* child = m_frame->ActiveChild();
    return child ? dynamic_cast<CKurvoDoc*>(child->DocumentTarget()) : nullptr;
}

ImageViewWidget* DocumentManager::ActiveView() const
{
    CChildFrame* child = m_frame->ActiveChild();
    return child ? dynamic_cast<ImageViewWidget*>(child->ViewTarget()) : nullptr;
}

ViewSplitter* DocumentManager::ActiveSplitter() const
{
    CChildFrame* child = m_frame->ActiveChild();
    return child ? qobject_cast<ViewSplitter*>(child->Content()) : nullptr;
}

void DocumentManager::OnActivated()
{
    ImageViewWidget* view = ActiveView();
    if (view == m_activeView || !view)
        return;
    if (m_activeView)
        m_activeView->Activate(false, true);
    m_activeView = view;
    view->Activate(true, false);
}

void DocumentManager::RefreshTitles()
{
    for (auto& doc : m_documents)
        RefreshTitles(doc.get());
}

void DocumentManager::RefreshTitles(const CKurvoDoc* doc)
{
    std::vector<CChildFrame*> windows = WindowsOf(doc);
    const QString title = QString::fromStdString(doc->GetTitle());
    for (std::size_t i = 0; i < windows.size(); ++i) {
        const QString shown = windows.size() > 1 ? title + QStringLiteral(":%1").arg(i + 1) : title;
        if (windows[i]->windowTitle() != shown)
            windows[i]->setWindowTitle(shown);
    }
}

const CommandMap<DocumentManager>& DocumentManager::Commands()
{
    using Docs = DocumentManager;
    const auto hasDocument = [](Docs& docs, CommandId, CommandState& state) {
        state.Enable(docs.ActiveDocument() != nullptr);
    };
    const auto isSplit = [](Docs& docs, CommandId, CommandState& state) {
        ViewSplitter* splitter = docs.ActiveSplitter();
        state.Enable(splitter && splitter->IsSplit());
    };
    // Two panes at most: either key moves the focus to the other one.
    const auto otherPane = [](Docs& docs, CommandId) {
        ViewSplitter* splitter = docs.ActiveSplitter();
        QWidget* list = splitter->DataView();
        if (list->hasFocus())
            splitter->ImageView()->setFocus(Qt::TabFocusReason);
        else
            list->setFocus(Qt::TabFocusReason);
    };
    static const CommandMap<Docs> commands = {
        {ID_WINDOW_NEW, [](Docs& docs, CommandId) { docs.OpenWindow(docs.ActiveDocument()); },
         hasDocument},
        {ID_FILE_CLOSE, [](Docs& docs, CommandId) { docs.CloseDocument(docs.ActiveDocument()); },
         hasDocument},
        {ID_NEXT_PANE, otherPane, isSplit},
        {ID_PREV_PANE, otherPane, isSplit},
    };
    return commands;
}

bool DocumentManager::OnCommand(CommandId id)
{
    // A command that cannot be done now goes on along the route.
    CommandState state;
    return Commands().Update(*this, id, state) && state.enabled && Commands().Run(*this, id);
}

bool DocumentManager::OnUpdateCommand(CommandId id, CommandState& state)
{
    return Commands().Update(*this, id, state);
}
