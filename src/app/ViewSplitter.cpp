#include "app/ViewSplitter.h"

#include "app/ImageViewWidget.h"
#include "ui/CDataView.h"
#include "view/CKurvoView.h"

#include <QVBoxLayout>

ViewSplitter::ViewSplitter(ImageViewWidget* imageView, DbSetMgr* setMgr, QWidget* parent)
    : QSplitter(Qt::Horizontal, parent), m_imageView(imageView), m_setMgr(setMgr)
{
    setObjectName(QStringLiteral("ViewSplitter"));
    setChildrenCollapsible(true);
    setOpaqueResize(false);
    setHandleWidth(6);
    // Column 0 stays empty and closed until the window is split.
    m_left = new QWidget(this);
    m_left->setObjectName(QStringLiteral("DataPane"));
    auto* layout = new QVBoxLayout(m_left);
    layout->setContentsMargins(0, 0, 0, 0);
    addWidget(m_left);
    addWidget(m_imageView);
    setCollapsible(1, false);
    setStretchFactor(0, 0);
    setStretchFactor(1, 1);
    setSizes({0, 1});
    connect(this, &QSplitter::splitterMoved, this, &ViewSplitter::OnMoved);
}

ViewSplitter::~ViewSplitter()
{
    // The list stops observing while its subject is sure to exist.
    if (m_dataView)
        m_dataView->Detach();
}

bool ViewSplitter::SplitColumn(int x)
{
    const int rest = width() - x - handleWidth();
    if (m_dataView || x < kMinPane || rest < kMinPane)
        return false;
    m_dataView = new CDataView(m_left);
    m_left->layout()->addWidget(m_dataView);
    m_dataView->OnInitialUpdate(m_setMgr);
    connect(m_dataView, &CDataView::activateNextPane, this,
            [this] { m_imageView->setFocus(Qt::OtherFocusReason); });
    // Points selected in the list show framed in the image.
    connect(m_dataView, &CDataView::selectionEdited, this, [this] {
        CKurvoView* view = m_imageView->GetView();
        if (view && view->GetDocument())
            view->GetDocument()->UpdateAllViews(nullptr, 0);
        else if (view)
            view->Invalidate(false);
    });
    m_adjusting = true;
    setSizes({x, rest});
    m_adjusting = false;
    m_dataView->show();
    emit SplitChanged();
    return true;
}

void ViewSplitter::Unsplit()
{
    if (!m_dataView)
        return;
    m_dataView->Detach();
    delete m_dataView;
    m_dataView = nullptr;
    m_adjusting = true;
    setSizes({0, width()});
    m_adjusting = false;
    emit SplitChanged();
}

void ViewSplitter::OnMoved(int pos, int)
{
    if (m_adjusting)
        return;
    if (!m_dataView) {
        if (!SplitColumn(pos)) {
            m_adjusting = true;
            setSizes({0, width()});
            m_adjusting = false;
        }
    } else if (pos < kMinPane || width() - pos - handleWidth() < kMinPane) {
        Unsplit();
    }
}
