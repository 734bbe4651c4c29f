#include "app/ImageViewWidget.h"

#include "app/AppPrinter.h"
#include "app/ProgramCursors.h"
#include "document/CKurvoDoc.h"
#include "document/CPreferences.h"
#include "document/KurvoViewDocument.h"
#include "platform/CommandIds.h"
#include "platform/CommandMap.h"
#include "platform/PixelCanvas.h"
#include "platform/UiServices.h"
#include "view/CKurvoView.h"
#include "view/Magnifier.h"

#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>

#ifdef QT_PRINTSUPPORT_LIB
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#endif

#include <algorithm>
#include <cmath>

namespace {

ViewKey KeyOf(int key)
{
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return ViewKey::Enter;
    case Qt::Key_Escape:
        return ViewKey::Escape;
    case Qt::Key_Space:
        return ViewKey::Space;
    case Qt::Key_Z:
        return ViewKey::Z;
    case Qt::Key_X:
        return ViewKey::X;
    case Qt::Key_PageUp:
        return ViewKey::PageUp;
    case Qt::Key_PageDown:
        return ViewKey::PageDown;
    case Qt::Key_Left:
        return ViewKey::Left;
    case Qt::Key_Right:
        return ViewKey::Right;
    case Qt::Key_Up:
        return ViewKey::Up;
    case Qt::Key_Down:
        return ViewKey::Down;
    case Qt::Key_Home:
        return ViewKey::Home;
    case Qt::Key_End:
        return ViewKey::End;
    default:
        return ViewKey::Other;
    }
}

IPoint PointOf(const QPointF& p)
{
    return {static_cast<int>(std::floor(p.x())), static_cast<int>(std::floor(p.y()))};
}

// The canvas as an image over the same pixels (0xFFRRGGBB words), no copy.
QImage ImageOf(PixelCanvas& canvas)
{
    if (canvas.DeviceWidth() <= 0 || canvas.DeviceHeight() <= 0)
        return QImage();
    return QImage(reinterpret_cast<uchar*>(canvas.Bits()), canvas.DeviceWidth(),
                  canvas.DeviceHeight(), static_cast<qsizetype>(canvas.Stride() * 4),
                  QImage::Format_RGB32);
}

// A canvas shown read-only, without a copy.
QImage ImageOf(const PixelCanvas& canvas)
{
    if (canvas.DeviceWidth() <= 0 || canvas.DeviceHeight() <= 0)
        return QImage();
    return QImage(reinterpret_cast<const uchar*>(canvas.Bits()), canvas.DeviceWidth(),
                  canvas.DeviceHeight(), static_cast<qsizetype>(canvas.Stride() * 4),
                  QImage::Format_RGB32);
}

} // namespace

ImageViewWidget::ImageViewWidget(CKurvoDoc* doc, QWidget* parent)
    : QAbstractScrollArea(parent), m_doc(doc), m_bridge(doc)
{
    setObjectName(QStringLiteral("ImageView"));
    // Bars always present: a bar that came and went would resize the window, which refits
    // a fitted view, which changes the bars again.
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setMouseTracking(true);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    m_view = std::make_unique<CKurvoView>(this, &m_bridge);
    m_doc->AddView(m_view.get());
    m_preferencesWatch.Observe(&GetPreferences());
}

ImageViewWidget::~ImageViewWidget()
{
    GetPreferences().Detach(&m_preferencesWatch);
    m_view->OnDestroy();
    m_doc->RemoveView(m_view.get());
}

void ImageViewWidget::InitialUpdate()
{
    if (m_initialized)
        return;
    m_initialized = true;
    m_view->OnInitialUpdate(CurrentSettings());
}

ViewSettings ImageViewWidget::CurrentSettings() const
{
    ViewSettings s = ViewSettingsFromPreferences(GetPreferences());
    const QColor base = palette().color(QPalette::Base);
    s.windowColour =
        MakeColour(static_cast<std::uint8_t>(base.red()), static_cast<std::uint8_t>(base.green()),
                   static_cast<std::uint8_t>(base.blue()));
    return s;
}

void ImageViewWidget::ApplyPreferences()
{
    if (!m_initialized)
        return;
    m_view->ApplySettings(CurrentSettings());
    viewport()->update();
}

void ImageViewWidget::Activate(bool active, bool otherViewActive)
{
    InitialUpdate();
    m_view->OnActivateView(active, otherViewActive);
}

ISize ImageViewWidget::GetClientSize() const
{
    const QSize s = viewport()->size();
    return {std::max(0, s.width()), std::max(0, s.height())};
}

void ImageViewWidget::ScrollBarsChanged()
{
    const ISize scaled = m_view->GetScaledSize();
    const ISize client = GetClientSize();
    const IPoint pos = m_view->GetScrollPos();
    m_syncingBars = true;
    QScrollBar* h = horizontalScrollBar();
    h->setRange(0, std::max(0, scaled.cx - client.cx));
    h->setPageStep(std::max(1, client.cx));
    h->setSingleStep(std::max(1, client.cx / 10));
    h->setValue(pos.x);
    QScrollBar* v = verticalScrollBar();
    v->setRange(0, std::max(0, scaled.cy - client.cy));
    v->setPageStep(std::max(1, client.cy));
    v->setSingleStep(std::max(1, client.cy / 10));
    v->setValue(pos.y);
    m_syncingBars = false;
    // The zoom or the position changed: the zoom commands may be offered differently.
    emit StateChanged();
}

void ImageViewWidget::scrollContentsBy(int, int)
{
    if (m_syncingBars)
        return;
    m_view->ScrollToPosition({horizontalScrollBar()->value(), verticalScrollBar()->value()});
}

void ImageViewWidget::Invalidate(bool)
{
    // The view erases by itself when it repaints after an erasing invalidation.
    m_dirty = true;
    viewport()->update();
}

void ImageViewWidget::UpdateNow()
{
    if (m_dirty) {
        m_dirty = false;
        m_view->OnPaint();
    }
    viewport()->update();
}

void ImageViewWidget::CanvasChanged()
{
    viewport()->update();
}

bool ImageViewWidget::HasFocus() const
{
    return hasFocus() || viewport()->hasFocus();
}

void ImageViewWidget::SetCursor(CursorShape shape)
{
    m_cursor = shape;
    viewport()->setCursor(ProgramCursors::Cursor(shape));
}

void ImageViewWidget::SetStatusText(int pane, const std::string& text)
{
    GetUiServices().SetStatusPane(pane, text);
}

bool ImageViewWidget::IsKeyDown(KeyCode key) const
{
    return GetUiServices().IsKeyDown(key);
}

int ImageViewWidget::StartTimer(int periodMs, std::function<void()> callback)
{
    return GetUiServices().StartTimer(periodMs, std::move(callback));
}

void ImageViewWidget::KillTimer(int id)
{
    GetUiServices().KillTimer(id);
}

void ImageViewWidget::paintEvent(QPaintEvent*)
{
    if (m_dirty) {
        m_dirty = false;
        m_view->OnPaint();
    }
    QPainter painter(viewport());
    const QImage image = ImageOf(m_view->GetCanvas());
    if (!image.isNull())
        painter.drawImage(0, 0, image);
    if (m_view->IsLoupeShown()) {
        // The loupe the view drew, and its label in a strip beneath.
        const QImage loupe = ImageOf(m_view->GetMagnifier().GetCanvas());
        const IPoint at = m_view->GetLoupePos();
        painter.drawImage(at.x, at.y, loupe);
        const QRect strip(at.x, at.y + loupe.height(), loupe.width(), Magnifier::kLabelHeight);
        painter.fillRect(strip, QColor(255, 255, 225));
        painter.setPen(Qt::black);
        painter.drawRect(strip.adjusted(0, 0, -1, -1));
        painter.drawText(strip, Qt::AlignCenter,
                         QString::fromStdString(m_view->GetLoupeLabel())
                             .remove(QStringLiteral("Plot Position ")));
    }
}

void ImageViewWidget::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    const ISize c = GetClientSize();
    m_view->OnSize(c.cx, c.cy);
    ScrollBarsChanged();
}

void ImageViewWidget::showEvent(QShowEvent* event)
{
    QAbstractScrollArea::showEvent(event);
    InitialUpdate();
}

void ImageViewWidget::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    setFocus(Qt::MouseFocusReason);
    InitialUpdate();
    m_view->OnLButtonDown(PointOf(event->position()));
    emit StateChanged();
}

void ImageViewWidget::mouseMoveEvent(QMouseEvent* event)
{
    m_view->SetMagnifierFactor(GetPreferences().m_magnifierFactor);
    m_view->OnMouseMove(PointOf(event->position()));
}

void ImageViewWidget::leaveEvent(QEvent* event)
{
    QAbstractScrollArea::leaveEvent(event);
    m_view->OnMouseLeave();
}

void ImageViewWidget::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    m_view->OnLButtonUp(PointOf(event->position()));
    emit StateChanged();
}

void ImageViewWidget::wheelEvent(QWheelEvent* event)
{
    // Notches of the wheel: Control zooms about the pointer, Shift scrolls sideways.
    const QPoint steps = event->angleDelta() / 120;
    const int notches = steps.y() != 0 ? steps.y() : steps.x();
    const Qt::KeyboardModifiers keys = event->modifiers();
    m_view->OnMouseWheel(PointOf(event->position()), notches, keys & Qt::ControlModifier,
                         keys & Qt::ShiftModifier);
    event->accept();
    emit StateChanged();
}

void ImageViewWidget::keyPressEvent(QKeyEvent* event)
{
    const ViewKey key = KeyOf(event->key());
    if (key == ViewKey::Other) {
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    m_view->OnKeyDown(key, event->isAutoRepeat() ? 2 : 1);
    event->accept();
    emit StateChanged();
}

void ImageViewWidget::keyReleaseEvent(QKeyEvent* event)
{
    const ViewKey key = KeyOf(event->key());
    if (key == ViewKey::Other || event->isAutoRepeat()) {
        QAbstractScrollArea::keyReleaseEvent(event);
        return;
    }
    m_view->OnKeyUp(key);
    event->accept();
    emit StateChanged();
}

void ImageViewWidget::enterEvent(QEnterEvent* event)
{
    QAbstractScrollArea::enterEvent(event);
    m_view->OnSetCursor();
}

bool ImageViewWidget::PrintTo(QPrinter& printer)
{
#ifdef QT_PRINTSUPPORT_LIB
    if (!m_doc->IsImageLoaded())
        return false;
    InitialUpdate();
    // The page is drawn on a canvas of at most 150 dots per inch and stretched onto the
    // printer's own resolution, so a fine printer does not need a huge canvas.
    const int resolution = std::max(1, printer.resolution());
    const int dpi = std::min(resolution, 150);
    const QRect page = printer.pageLayout().paintRectPixels(resolution);
    const int width = std::max(1, page.width() * dpi / resolution);
    const int height = std::max(1, page.height() * dpi / resolution);
    PixelCanvas canvas(width, height, kWhite);
    m_view->OnBeginPrinting(width, height, dpi, dpi);
    m_view->OnPrint(canvas);
    m_view->OnEndPrinting();
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    const QImage image = ImageOf(canvas);
    painter.drawImage(QRect(0, 0, page.width(), page.height()), image);
    painter.end();
    return true;
#else
    (void)printer;
    return false;
#endif
}

void ImageViewWidget::Print()
{
#ifdef QT_PRINTSUPPORT_LIB
    QPrinter& printer = AppPrinter();
    printer.setDocName(QString::fromStdString(m_doc->GetTitle()));
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() == QDialog::Accepted)
        PrintTo(printer);
#endif
}

void ImageViewWidget::PrintPreview()
{
#ifdef QT_PRINTSUPPORT_LIB
    QPrinter& printer = AppPrinter();
    printer.setDocName(QString::fromStdString(m_doc->GetTitle()));
    QPrintPreviewDialog dialog(&printer, this);
    connect(&dialog, &QPrintPreviewDialog::paintRequested, this,
            [this](QPrinter* target) { PrintTo(*target); });
    dialog.exec();
#endif
}

const CommandMap<ImageViewWidget>& ImageViewWidget::Commands()
{
    using Widget = ImageViewWidget;
    // The rate is also the user's setting from now on.
    const auto zoomRate = [](Widget& widget, CommandId id) {
        widget.m_view->OnCommand(id);
        GetPreferences().m_zoomType = widget.m_view->GetZoomType();
    };
    const auto zoomRateState = [](Widget& widget, CommandId id, CommandState& state) {
        widget.m_view->OnUpdateCommand(id, state);
    };
    // Printing needs an image, and a build with printing.
    const auto printable = [](Widget& widget, CommandId, CommandState& state) {
#ifdef QT_PRINTSUPPORT_LIB
        state.Enable(widget.m_doc->IsImageLoaded());
#else
        (void)widget;
        state.Enable(false);
#endif
    };
    static const CommandMap<Widget> commands = {
        {ID_FILE_PRINT, [](Widget& widget, CommandId) { widget.Print(); }, printable},
        {ID_FILE_PRINT_DIRECT, [](Widget& widget, CommandId) { widget.Print(); }, printable},
        {ID_FILE_PRINT_PREVIEW, [](Widget& widget, CommandId) { widget.PrintPreview(); },
         printable},
        {ID_VIEW_ZOOM_FAST, zoomRate, zoomRateState},
        {ID_VIEW_ZOOM_MEDIUM, zoomRate, zoomRateState},
        {ID_VIEW_ZOOM_SLOW, zoomRate, zoomRateState},
    };
    return commands;
}

bool ImageViewWidget::OnCommand(CommandId id)
{
    // The rest are the view's own.
    return Commands().Run(*this, id) || m_view->OnCommand(id);
}

bool ImageViewWidget::OnUpdateCommand(CommandId id, CommandState& state)
{
    return Commands().Update(*this, id, state) || m_view->OnUpdateCommand(id, state);
}
