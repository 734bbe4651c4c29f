#include "app/CChildFrame.h"

#include <QCloseEvent>
#include <QVBoxLayout>

CChildFrame::CChildFrame(QWidget* content, CommandTarget* view, CommandTarget* document,
                         QWidget* parent)
    : QWidget(parent), m_content(content), m_view(view), m_document(document)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    if (m_content)
        layout->addWidget(m_content);
}

CChildFrame::~CChildFrame()
{
    // The views go first, so that the document they show can go after them.
    delete m_content;
    m_content = nullptr;
    m_view = nullptr;
    if (m_destroyed)
        m_destroyed(this);
}

void CChildFrame::closeEvent(QCloseEvent* event)
{
    if (m_closeQuery && !m_closeQuery(this)) {
        event->ignore();
        return;
    }
    event->accept();
}
