#include "platform/Document.h"

#include <algorithm>

Document::~Document()
{
    for (View* v : m_views)
        v->m_document = nullptr;
}

void Document::SetPathName(const std::string& path)
{
    m_pathName = path;
    SetTitle(FileNameOfPath(path));
}

void Document::SetTitle(const std::string& title)
{
    m_title = title;
    Changed();
}

void Document::SetModifiedFlag(bool modified)
{
    m_modified = modified;
    Changed();
}

void Document::AddView(View* view)
{
    if (!view || std::find(m_views.begin(), m_views.end(), view) != m_views.end())
        return;
    if (view->m_document)
        view->m_document->RemoveView(view);
    m_views.push_back(view);
    view->m_document = this;
}

void Document::RemoveView(View* view)
{
    auto it = std::find(m_views.begin(), m_views.end(), view);
    if (it == m_views.end())
        return;
    m_views.erase(it);
    view->m_document = nullptr;
}

void Document::UpdateAllViews(View* sender, std::intptr_t hint)
{
    // A view may close itself in its update: walk a copy.
    const std::vector<View*> views = m_views;
    for (View* v : views)
        if (v != sender && std::find(m_views.begin(), m_views.end(), v) != m_views.end())
            v->OnUpdate(sender, hint);
    Changed();
}

View::~View()
{
    if (m_document)
        m_document->RemoveView(this);
}

std::string FileNameOfPath(const std::string& path)
{
    const auto slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}
