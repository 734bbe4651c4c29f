#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class View;

// Base of documents: title, path, modified flag and the views attached to it.
class Document {
public:
    Document() = default;
    virtual ~Document();
    Document(const Document&) = delete;
    Document& operator=(const Document&) = delete;

    const std::string& GetTitle() const { return m_title; }
    virtual void SetTitle(const std::string& title);
    const std::string& GetPathName() const { return m_pathName; }
    // Sets the path and takes the title from its file name.
    virtual void SetPathName(const std::string& path);

    bool IsModified() const { return m_modified; }
    // Also where the data's change flags (and with them its undo history) report.
    virtual void SetModifiedFlag(bool modified = true);

    void AddView(View* view);
    void RemoveView(View* view);
    const std::vector<View*>& GetViews() const { return m_views; }

    // Calls OnUpdate(sender, hint) on every attached view except the sender.
    void UpdateAllViews(View* sender, std::intptr_t hint = 0);

    // Told whenever what a window shows of the document may have changed: its title, its
    // modified flag, or an update of its views. The shell refreshes captions and command
    // states from here instead of looking again and again.
    void SetChangeHandler(std::function<void()> handler) { m_changed = std::move(handler); }

private:
    void Changed()
    {
        if (m_changed)
            m_changed();
    }

    std::function<void()> m_changed;
    std::string m_title;
    std::string m_pathName;
    bool m_modified = false;
    std::vector<View*> m_views;
};

// Base of views: the document shown and the update it receives.
class View {
public:
    virtual ~View();

    Document* GetDocument() const { return m_document; }
    virtual void OnUpdate(View* sender, std::intptr_t hint) = 0;

private:
    friend class Document;
    Document* m_document = nullptr;
};

// The file name part of a path (after the last '/' or '\\').
std::string FileNameOfPath(const std::string& path);
