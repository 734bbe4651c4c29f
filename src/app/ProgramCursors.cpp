#include "app/ProgramCursors.h"

#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QPixmap>

namespace {

constexpr int kSize = 32;

// Strokes a path twice: a wide white outline, then the black figure.
void Outlined(QPainter& p, const QPainterPath& path, qreal width = 1.5)
{
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Qt::white, width + 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(path);
    p.setPen(QPen(Qt::black, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(path);
}

// A magnifying glass with its lens centred near the hot spot; plus or minus inside.
void DrawMagnifier(QPainter& p, bool plus)
{
    QPainterPath lens;
    lens.addEllipse(QPointF(15.5, 14.5), 8.0, 8.0);
    QPainterPath handle;
    handle.moveTo(21.5, 20.5);
    handle.lineTo(28.5, 27.5);
    p.setPen(QPen(Qt::white, 6.0, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(handle);
    p.setPen(QPen(Qt::black, 3.5, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(handle);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 230));
    p.drawEllipse(QPointF(15.5, 14.5), 8.0, 8.0);
    Outlined(p, lens, 1.8);
    QPainterPath sign;
    sign.moveTo(11.5, 14.5);
    sign.lineTo(19.5, 14.5);
    if (plus) {
        sign.moveTo(15.5, 10.5);
        sign.lineTo(15.5, 18.5);
    }
    p.setPen(QPen(Qt::black, 1.8, Qt::SolidLine, Qt::FlatCap));
    p.drawPath(sign);
}

// An open circular arrow around the hot spot.
void DrawRotate(QPainter& p)
{
    QPainterPath arc;
    QRectF box(6.5, 5.5, 18.0, 18.0);
    arc.arcMoveTo(box, 60.0);
    arc.arcTo(box, 60.0, 280.0);
    Outlined(p, arc, 2.0);
    // Arrow head at the open end (the arc ends at 340 degrees, pointing up).
    QPainterPath head;
    QPointF tip = arc.currentPosition();
    head.moveTo(tip + QPointF(-5.0, -1.0));
    head.lineTo(tip + QPointF(1.5, -5.5));
    head.lineTo(tip + QPointF(2.5, 2.5));
    head.closeSubpath();
    p.setPen(QPen(Qt::white, 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::black);
    p.drawPath(head);
    p.setPen(QPen(Qt::black, 1.0));
    p.drawPath(head);
    // A dot marks the centre.
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    p.drawEllipse(QPointF(15.5, 14.5), 1.5, 1.5);
}

// An open hand, palm centred on the hot spot.
void DrawHand(QPainter& p)
{
    // Fingers as rounded strokes from the palm upwards, thumb to the left.
    const qreal fingers[4][3] = {
        {10.5, 7.5, 16.0}, {14.0, 4.5, 16.0}, {17.5, 5.0, 16.0}, {21.0, 8.0, 17.0}};
    QPainterPath outline;
    outline.addRoundedRect(QRectF(9.0, 14.0, 14.0, 12.0), 4.0, 4.0);
    for (const auto& f : fingers)
        outline.addRoundedRect(QRectF(f[0] - 1.8, f[1], 3.6, f[2] - f[1] + 4.0), 1.8, 1.8);
    QPainterPath thumb;
    thumb.moveTo(9.5, 21.0);
    thumb.lineTo(5.0, 15.5);
    outline = outline.simplified();
    p.setPen(QPen(Qt::white, 3.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(outline);
    p.setPen(QPen(Qt::white, 6.0, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(thumb);
    p.setPen(QPen(Qt::black, 3.6, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(thumb);
    p.setPen(QPen(Qt::black, 1.3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::white);
    p.drawPath(outline);
    // Finger separations on the palm.
    for (int i = 0; i < 3; ++i) {
        qreal x = (fingers[i][0] + fingers[i + 1][0]) / 2.0;
        p.drawLine(QPointF(x, 14.5), QPointF(x, 17.5));
    }
}

// A thin crosshair with a small diamond at its centre.
void DrawDiamondCross(QPainter& p, QPoint hot)
{
    const qreal cx = hot.x() + 0.5;
    const qreal cy = hot.y() + 0.5;
    QPainterPath cross;
    cross.moveTo(cx - 12, cy);
    cross.lineTo(cx - 4, cy);
    cross.moveTo(cx + 4, cy);
    cross.lineTo(cx + 12, cy);
    cross.moveTo(cx, cy - 12);
    cross.lineTo(cx, cy - 4);
    cross.moveTo(cx, cy + 4);
    cross.lineTo(cx, cy + 12);
    QPainterPath diamond;
    diamond.moveTo(cx, cy - 3);
    diamond.lineTo(cx + 3, cy);
    diamond.lineTo(cx, cy + 3);
    diamond.lineTo(cx - 3, cy);
    diamond.closeSubpath();
    Outlined(p, cross, 1.0);
    Outlined(p, diamond, 1.0);
}

bool IsProgramShape(CursorShape shape)
{
    switch (shape) {
    case CursorShape::ProgramCross:
    case CursorShape::Rotate:
    case CursorShape::ZoomIn:
    case CursorShape::ZoomOut:
    case CursorShape::Pan:
        return true;
    default:
        return false;
    }
}

} // namespace

QPoint ProgramCursors::HotSpot(CursorShape shape)
{
    return shape == CursorShape::ProgramCross ? QPoint(13, 14) : QPoint(15, 14);
}

QImage ProgramCursors::Image(CursorShape shape)
{
    if (!IsProgramShape(shape))
        return QImage();
    QImage image(kSize, kSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, true);
    switch (shape) {
    case CursorShape::Rotate:
        DrawRotate(p);
        break;
    case CursorShape::Pan:
        DrawHand(p);
        break;
    case CursorShape::ZoomIn:
        DrawMagnifier(p, true);
        break;
    case CursorShape::ZoomOut:
        DrawMagnifier(p, false);
        break;
    default:
        DrawDiamondCross(p, HotSpot(shape));
        break;
    }
    p.end();
    return image;
}

QCursor ProgramCursors::Cursor(CursorShape shape)
{
    switch (shape) {
    case CursorShape::Arrow:
        return QCursor(Qt::ArrowCursor);
    case CursorShape::Wait:
        return QCursor(Qt::WaitCursor);
    case CursorShape::Cross:
        return QCursor(Qt::CrossCursor);
    case CursorShape::IBeam:
        return QCursor(Qt::IBeamCursor);
    case CursorShape::SizeAll:
        return QCursor(Qt::SizeAllCursor);
    case CursorShape::SizeNS:
        return QCursor(Qt::SizeVerCursor);
    case CursorShape::SizeWE:
        return QCursor(Qt::SizeHorCursor);
    case CursorShape::SizeNWSE:
        return QCursor(Qt::SizeFDiagCursor);
    case CursorShape::SizeNESW:
        return QCursor(Qt::SizeBDiagCursor);
    case CursorShape::No:
        return QCursor(Qt::ForbiddenCursor);
    case CursorShape::Hand:
        return QCursor(Qt::PointingHandCursor);
    default:
        break;
    }
    QPoint hot = HotSpot(shape);
    return QCursor(QPixmap::fromImage(Image(shape)), hot.x(), hot.y());
}
