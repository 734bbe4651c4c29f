#pragma once

#include "platform/Command.h"

#include <QObject>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

class CChildFrame;
template <class Target> class CommandMap;
class CKurvoDoc;
class CMainFrame;
class DbSetMgr;
class ImageViewWidget;
class ViewSplitter;

// The open documents of the program and their windows: New, Open and scanned images make a
// document and its first window; New Window adds a window on the same document; closing
// the last window of a modified document asks to save it first, and closing the last window
// of a document deletes the document.
class DocumentManager : public QObject, public CommandTarget {
    Q_OBJECT
public:
    explicit DocumentManager(CMainFrame* frame);
    ~DocumentManager() override;

    // A new untitled document in a new window; null when it could not be made.
    CKurvoDoc* NewDocument();
    // Opens a file: an image or a project file. A file that is open already only has its
    // window activated. Null when it could not be opened (nothing more is shown, no window).
    CKurvoDoc* OpenDocument(const std::string& path);
    // A new untitled document whose image is a delivered packed bitmap, taken in through an
    // image paste that cannot be undone; false when no document could be made of it.
    bool NewDocumentFromDib(const std::vector<std::uint8_t>& dib);

    // Another window on the document.
    CChildFrame* OpenWindow(CKurvoDoc* doc);
    // Closes every window of the document (asking to save it first); false when the user
    // kept it.
    bool CloseDocument(CKurvoDoc* doc);
    // Asks whether to save a modified document: true to go on (saved, or not wanted).
    bool SaveModified(CKurvoDoc* doc);

    CKurvoDoc* ActiveDocument() const;
    ImageViewWidget* ActiveView() const;
    ViewSplitter* ActiveSplitter() const;
    int DocumentCount() const { return static_cast<int>(m_documents.size()); }
    CKurvoDoc* Document(int i) const { return m_documents[static_cast<std::size_t>(i)].get(); }
    std::vector<CChildFrame*> WindowsOf(const CKurvoDoc* doc) const;
    // Window captions follow the documents' titles ("name", "name*", "name:2"); each
    // document's change refreshes its own.
    void RefreshTitles();
    void RefreshTitles(const CKurvoDoc* doc);

    // New Window and Close for the active document.
    bool OnCommand(CommandId id) override;
    bool OnUpdateCommand(CommandId id, CommandState& state) override;

private:
    // New Window, Close and the pane keys: what each does and when it is offered.
    static const CommandMap<DocumentManager>& Commands();
    CKurvoDoc* Adopt(std::unique_ptr<CKurvoDoc> doc);
    void OnWindowGone(CChildFrame* child);
    void OnActivated();
    void OnDataCreated(CKurvoDoc* doc);
    void OnDataDeleting(CKurvoDoc* doc);
    // The data-sets bar lets go of every set manager it was given for the document.
    void ForgetData(CKurvoDoc* doc);

    CMainFrame* m_frame;
    std::vector<std::unique_ptr<CKurvoDoc>> m_documents;
    std::vector<CChildFrame*> m_windows;
    // The set managers handed to the data-sets bar, per document (a failed open may have
    // made and dropped one).
    std::map<CKurvoDoc*, std::vector<DbSetMgr*>> m_given;
    ImageViewWidget* m_activeView = nullptr;
    bool m_closingAll = false;
    std::function<void(CKurvoDoc*)> m_previousCreated;
    std::function<void(CKurvoDoc*)> m_previousDeleting;
};
