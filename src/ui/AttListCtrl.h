#pragma once

#include <QTreeWidget>

// The list of the attributes bar: rows of name and value with a check box each, full-row
// selection and grid lines. It reports the user's entries: the Delete key, and a
// double-click on a row right of its check box.
class AttListCtrl : public QTreeWidget {
    Q_OBJECT
public:
    explicit AttListCtrl(QWidget* parent = nullptr);

    // Whether a position (viewport coordinates) lies over a row's check box area.
    bool IsOverCheckArea(const QPoint& pos) const;

signals:
    void deletePressed();
    void rowDoubleClicked(QTreeWidgetItem* item);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    // The name column takes half the list; the value column the rest.
    void resizeEvent(QResizeEvent* event) override;
    void drawRow(QPainter* painter, const QStyleOptionViewItem& option,
                 const QModelIndex& index) const override;
};
