#pragma once

#include <QImage>
#include <QRectF>
#include <QWidget>

#include <functional>

// The preview of a scan: the low-resolution picture of the whole glass, scaled to fit, with
// the scan area drawn over it. The user drags a new area with the mouse; areas are in mm.
class SanePreviewPane : public QWidget {
    Q_OBJECT
public:
    explicit SanePreviewPane(QWidget* parent = nullptr);

    // The glass's size in mm, and its picture (null before a preview).
    void SetGlass(double width, double height);
    void SetPicture(const QImage& picture);
    void SetArea(const QRectF& area);
    // Called when the user has dragged an area.
    std::function<void(const QRectF& area)> onAreaDragged;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QRectF GlassRect() const;
    QPointF ToMm(const QPointF& point) const;
    QRectF ToWidget(const QRectF& area) const;

    double m_width = 0, m_height = 0;
    QImage m_picture;
    QRectF m_area;
    QPointF m_anchor;
    bool m_dragging = false;
};
