#include "ui/AttListCtrl.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QStyle>

#include <algorithm>

AttListCtrl::AttListCtrl(QWidget* parent) : QTreeWidget(parent)
{
    setColumnCount(2);
    setHeaderLabels({QStringLiteral("Name"), QStringLiteral("Value")});
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setAllColumnsShowFocus(true);
    // A name is edited in place with F2; double-click opens the edit dialog instead.
    setEditTriggers(QAbstractItemView::EditKeyPressed);
    header()->setStretchLastSection(true);
    header()->setSectionsMovable(false);
}

bool AttListCtrl::IsOverCheckArea(const QPoint& pos) const
{
    const QModelIndex index = indexAt(pos);
    if (!index.isValid())
        return false;
    const QRect row = visualRect(index.siblingAtColumn(0));
    const int margin = style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1;
    const int box = style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, this);
    return pos.x() < row.left() + 2 * margin + box;
}

void AttListCtrl::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Delete && state() != QAbstractItemView::EditingState) {
        emit deletePressed();
        event->accept();
        return;
    }
    QTreeWidget::keyPressEvent(event);
}

void AttListCtrl::mouseDoubleClickEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    QTreeWidgetItem* item = itemAt(pos);
    if (event->button() != Qt::LeftButton || !item || IsOverCheckArea(pos)) {
        QTreeWidget::mouseDoubleClickEvent(event);
        return;
    }
    event->accept();
    emit rowDoubleClicked(item);
}

void AttListCtrl::resizeEvent(QResizeEvent* event)
{
    QTreeWidget::resizeEvent(event);
    header()->resizeSection(0, std::max(20, viewport()->width() / 2 - 3));
}

void AttListCtrl::drawRow(QPainter* painter, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const
{
    QTreeWidget::drawRow(painter, option, index);
    // Grid lines: below the row and between the columns.
    painter->save();
    painter->setPen(palette().color(QPalette::Mid));
    painter->drawLine(option.rect.bottomLeft(), option.rect.bottomRight());
    const int x = header()->sectionViewportPosition(1) - 1;
    painter->drawLine(QPoint(x, option.rect.top()), QPoint(x, option.rect.bottom()));
    painter->restore();
}
