#include "app/CChildFrame.h"

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
