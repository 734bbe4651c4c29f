#include "app/SanePreviewPane.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>

SanePreviewPane::SanePreviewPane(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("ScanPreview"));
    setMinimumSize(300, 380);
    setCursor(Qt::CrossCursor);
}

void SanePreviewPane::SetGlass(double width, double height)
{
    m_width = width;
    m_height = height;
    update();
}

void SanePreviewPane::SetPicture(const QImage& picture)
{
    m_picture = picture;
    update();
}

void SanePreviewPane::SetArea(const QRectF& area)
{
    m_area = area;
    update();
}

QRectF SanePreviewPane::GlassRect() const
{
    if (m_width <= 0 || m_height <= 0)
        return {};
    const double scale = std::min((width() - 2) / m_width, (height() - 2) / m_height);
    return {1, 1, m_width * scale, m_height * scale};
}

QPointF SanePreviewPane::ToMm(const QPointF& point) const
{
    const QRectF glass = GlassRect();
    const double x = (point.x() - glass.left()) / glass.width() * m_width;
    const double y = (point.y() - glass.top()) / glass.height() * m_height;
    return {std::clamp(x, 0.0, m_width), std::clamp(y, 0.0, m_height)};
}

QRectF SanePreviewPane::ToWidget(const QRectF& area) const
{
    const QRectF glass = GlassRect();
    const double sx = glass.width() / m_width, sy = glass.height() / m_height;
    return {glass.left() + area.left() * sx, glass.top() + area.top() * sy, area.width() * sx,
            area.height() * sy};
}

void SanePreviewPane::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    const QRectF glass = GlassRect();
    if (glass.isEmpty())
        return;
    painter.fillRect(glass, Qt::white);
    if (!m_picture.isNull())
        painter.drawImage(glass, m_picture);
    painter.setPen(Qt::gray);
    painter.drawRect(glass);
    if (!m_area.isEmpty()) {
        // The glass outside the area is veiled; the area's edge shows on any picture.
        const QRectF area = ToWidget(m_area);
        QPainterPath veil;
        veil.addRect(glass);
        veil.addRect(area);
        painter.fillPath(veil, QColor(255, 255, 255, 150));
        painter.setPen(QPen(Qt::white, 2));
        painter.drawRect(area);
        painter.setPen(QPen(Qt::black, 2, Qt::DashLine));
        painter.drawRect(area);
    }
}

void SanePreviewPane::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || GlassRect().isEmpty())
        return;
    m_dragging = true;
    m_anchor = ToMm(event->position());
}

void SanePreviewPane::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_dragging)
        return;
    SetArea(QRectF(m_anchor, ToMm(event->position())).normalized());
}

void SanePreviewPane::mouseReleaseEvent(QMouseEvent* event)
{
    if (!m_dragging)
        return;
    m_dragging = false;
    const QRectF area = QRectF(m_anchor, ToMm(event->position())).normalized();
    // A click without a drag keeps the area there was.
    if (area.width() < 1 || area.height() < 1) {
        update();
        return;
    }
    SetArea(area);
    if (onAreaDragged)
        onAreaDragged(area);
}
