#pragma once

#include "platform/Command.h"

#include <QWidget>

#include <functional>

// The window of one document inside the main frame's work area. It hosts the document's
// view widget and tells the frame where commands go: first the view, then the document.
class CChildFrame : public QWidget {
    Q_OBJECT
public:
    // content becomes a child of the frame; the targets are observed, not owned, and must
    // outlive the frame (the document and view own the frame's lifetime in practice).
    CChildFrame(QWidget* content, CommandTarget* view, CommandTarget* document,
                QWidget* parent = nullptr);
    ~CChildFrame() override;

    QWidget* Content() const { return m_content; }
    CommandTarget* ViewTarget() const { return m_view; }
    CommandTarget* DocumentTarget() const { return m_document; }

    // Asked before the window closes; false keeps it open (the user cancelled saving).
    void SetCloseQuery(std::function<bool(CChildFrame*)> query) { m_closeQuery = std::move(query); }
    // Told once the window's content is gone.
    void SetDestroyedHandler(std::function<void(CChildFrame*)> handler)
    {
        m_destroyed = std::move(handler);
    }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QWidget* m_content;
    CommandTarget* m_view;
    CommandTarget* m_document;
    std::function<bool(CChildFrame*)> m_closeQuery;
    std::function<void(CChildFrame*)> m_destroyed;
};
