#include "app/QtUiServices.h"

#include "app/ProgramCursors.h"
#include "image/BmpFile.h"
#include "image/DibUtil.h"

#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QFileDialog>
#include <QImage>
#include <QKeyEvent>
#include <QMessageBox>
#include <QMimeData>
#include <QTimer>

#include <cstring>

namespace {

const char* const kBmpMime = "image/bmp";

void PutU32(QByteArray& out, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out.append(static_cast<char>((v >> (8 * i)) & 0xFF));
}

QWidget* DialogParent()
{
    return QApplication::activeWindow();
}

} // namespace

QtUiServices::QtUiServices()
{
    qApp->installEventFilter(this);
}

QtUiServices::~QtUiServices()
{
    if (qApp)
        qApp->removeEventFilter(this);
    while (m_waitDepth > 0)
        EndWaitCursor();
    for (auto& [id, timer] : m_timers)
        delete timer;
}

bool QtUiServices::eventFilter(QObject* watched, QEvent* event)
{
    // The space bar, Z and X have no asynchronous state in Qt: follow their presses and
    // releases.
    if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) {
        auto* key = static_cast<QKeyEvent*>(event);
        const bool down = event->type() == QEvent::KeyPress;
        if (!key->isAutoRepeat()) {
            if (key->key() == Qt::Key_Space)
                m_spaceDown = down;
            else if (key->key() == Qt::Key_Z)
                m_zDown = down;
            else if (key->key() == Qt::Key_X)
                m_xDown = down;
        }
    } else if (event->type() == QEvent::ApplicationDeactivate) {
        m_spaceDown = m_zDown = m_xDown = false;
    }
    return QObject::eventFilter(watched, event);
}

MsgResult QtUiServices::MessageBox(const std::string& text, const std::string& caption,
                                   MsgButtons buttons, MsgIcon icon)
{
    QMessageBox box(DialogParent());
    box.setWindowTitle(QString::fromStdString(caption));
    box.setText(QString::fromStdString(text));
    switch (icon) {
    case MsgIcon::None:
        box.setIcon(QMessageBox::NoIcon);
        break;
    case MsgIcon::Information:
        box.setIcon(QMessageBox::Information);
        break;
    case MsgIcon::Warning:
        box.setIcon(QMessageBox::Warning);
        break;
    case MsgIcon::Error:
        box.setIcon(QMessageBox::Critical);
        break;
    case MsgIcon::Question:
        box.setIcon(QMessageBox::Question);
        break;
    }
    switch (buttons) {
    case MsgButtons::Ok:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case MsgButtons::OkCancel:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        break;
    case MsgButtons::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        break;
    case MsgButtons::YesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        break;
    case MsgButtons::RetryCancel:
        box.setStandardButtons(QMessageBox::Retry | QMessageBox::Cancel);
        break;
    }
    // A wait cursor must not hide the pointer while the user answers.
    const bool waiting = m_waitDepth > 0;
    if (waiting)
        QApplication::setOverrideCursor(Qt::ArrowCursor);
    int answer = box.exec();
    if (waiting)
        QApplication::restoreOverrideCursor();
    switch (answer) {
    case QMessageBox::Ok:
        return MsgResult::Ok;
    case QMessageBox::Yes:
        return MsgResult::Yes;
    case QMessageBox::No:
        return MsgResult::No;
    case QMessageBox::Retry:
        return MsgResult::Retry;
    default:
        return buttons == MsgButtons::Ok ? MsgResult::Ok : MsgResult::Cancel;
    }
}

void QtUiServices::BeginWaitCursor()
{
    if (m_waitDepth++ == 0)
        QApplication::setOverrideCursor(Qt::WaitCursor);
}

void QtUiServices::EndWaitCursor()
{
    if (m_waitDepth == 0)
        return;
    if (--m_waitDepth == 0)
        QApplication::restoreOverrideCursor();
}

QByteArray QtUiServices::DibToBmpFile(const std::vector<std::uint8_t>& dib)
{
    const std::uint64_t offset = PackedDibPixelOffset(dib.data(), dib.size());
    if (offset == 0)
        return {};
    const std::uint64_t pixelsAt = kFileHeaderSize + offset;
    const std::uint64_t fileSize = 14 + std::uint64_t{dib.size()};
    if (pixelsAt > fileSize || fileSize > 0xFFFFFFFFu)
        return {};
    QByteArray out;
    out.reserve(static_cast<qsizetype>(fileSize));
    out.append("BM", 2);
    PutU32(out, static_cast<std::uint32_t>(fileSize));
    PutU32(out, 0);
    PutU32(out, static_cast<std::uint32_t>(pixelsAt));
    out.append(reinterpret_cast<const char*>(dib.data()), static_cast<qsizetype>(dib.size()));
    return out;
}

bool QtUiServices::BmpFileToDib(const QByteArray& file, std::vector<std::uint8_t>& dib)
{
    if (file.size() < 14 + 12 || file[0] != 'B' || file[1] != 'M')
        return false;
    dib.assign(reinterpret_cast<const std::uint8_t*>(file.constData()) + 14,
               reinterpret_cast<const std::uint8_t*>(file.constData()) + file.size());
    return true;
}

bool QtUiServices::SetClipboard(const ClipboardContent& content)
{
    auto mime = std::make_unique<QMimeData>();
    if (content.text)
        mime->setText(QString::fromStdString(*content.text));
    if (content.dib) {
        QByteArray bmp = DibToBmpFile(*content.dib);
        if (bmp.isEmpty())
            return false;
        mime->setData(kBmpMime, bmp);
        QImage image = QImage::fromData(bmp, "BMP");
        if (!image.isNull())
            mime->setImageData(image);
    }
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard)
        return false;
    clipboard->setMimeData(mime.release());
    return true;
}

ClipboardContent QtUiServices::GetClipboard()
{
    ClipboardContent content;
    QClipboard* clipboard = QGuiApplication::clipboard();
    const QMimeData* mime = clipboard ? clipboard->mimeData() : nullptr;
    if (!mime)
        return content;
    if (mime->hasText())
        content.text = mime->text().toStdString();
    std::vector<std::uint8_t> dib;
    if (mime->hasFormat(kBmpMime) && BmpFileToDib(mime->data(kBmpMime), dib)) {
        content.dib = std::move(dib);
    } else if (mime->hasImage()) {
        QImage image = qvariant_cast<QImage>(mime->imageData());
        QByteArray bmp;
        QBuffer buffer(&bmp);
        buffer.open(QIODevice::WriteOnly);
        if (!image.isNull() && image.save(&buffer, "BMP") && BmpFileToDib(bmp, dib))
            content.dib = std::move(dib);
    }
    return content;
}

bool QtUiServices::ClipboardHasBitmap()
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    const QMimeData* mime = clipboard ? clipboard->mimeData() : nullptr;
    return mime && (mime->hasFormat(kBmpMime) || mime->hasImage());
}

QString QtUiServices::QtFilter(const std::string& filter)
{
    const std::size_t bar = filter.find('|');
    std::string description = filter.substr(0, bar);
    std::string patterns = bar == std::string::npos ? std::string("*") : filter.substr(bar + 1);
    // The description shows its own patterns in brackets; the dialog needs them space
    // separated, so they are rebuilt from the pattern part.
    if (!description.empty() && description.back() == ')') {
        std::size_t open = description.rfind('(');
        if (open != std::string::npos)
            description.erase(open);
    }
    while (!description.empty() && description.back() == ' ')
        description.pop_back();
    QStringList list;
    for (const QString& p : QString::fromStdString(patterns).split(u';', Qt::SkipEmptyParts))
        list << (p.trimmed() == QStringLiteral("*.*") ? QStringLiteral("*") : p.trimmed());
    return QString::fromStdString(description) + QStringLiteral(" (") + list.join(u' ') + u')';
}

bool QtUiServices::PromptFileName(FilePrompt& prompt)
{
    QFileDialog dialog(DialogParent(), QString::fromStdString(prompt.title));
    dialog.setAcceptMode(prompt.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(prompt.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    QStringList filters;
    for (const std::string& f : prompt.filters)
        filters << QtFilter(f);
    dialog.setNameFilters(filters);
    if (prompt.filterIndex >= 1 && prompt.filterIndex <= filters.size())
        dialog.selectNameFilter(filters[prompt.filterIndex - 1]);
    if (!prompt.defaultExtension.empty()) {
        std::string ext = prompt.defaultExtension;
        if (ext.front() == '.')
            ext.erase(0, 1);
        dialog.setDefaultSuffix(QString::fromStdString(ext));
    }
    if (!prompt.fileName.empty())
        dialog.selectFile(QString::fromStdString(prompt.fileName));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return false;
    prompt.fileName = dialog.selectedFiles().front().toStdString();
    const qsizetype chosen = filters.indexOf(dialog.selectedNameFilter());
    if (chosen >= 0)
        prompt.filterIndex = static_cast<int>(chosen) + 1;
    return true;
}

void QtUiServices::SetStatusSink(std::function<void(int, const std::string&)> sink)
{
    m_statusSink = std::move(sink);
}

void QtUiServices::SetStatusPane(int pane, const std::string& text)
{
    if (m_statusSink)
        m_statusSink(pane, text);
}

void QtUiServices::SetCursor(CursorShape shape)
{
    m_cursor = shape;
    if (m_cursorWidget)
        m_cursorWidget->setCursor(ProgramCursors::Cursor(shape));
}

bool QtUiServices::IsKeyDown(KeyCode key)
{
    const Qt::KeyboardModifiers mods = QGuiApplication::queryKeyboardModifiers();
    switch (key) {
    case KeyCode::Shift:
        return mods & Qt::ShiftModifier;
    case KeyCode::Control:
        return mods & Qt::ControlModifier;
    case KeyCode::Alt:
        return mods & Qt::AltModifier;
    case KeyCode::Space:
        return m_spaceDown;
    case KeyCode::Z:
        return m_zDown;
    case KeyCode::X:
        return m_xDown;
    case KeyCode::LeftButton:
        return QGuiApplication::mouseButtons() & Qt::LeftButton;
    case KeyCode::RightButton:
        return QGuiApplication::mouseButtons() & Qt::RightButton;
    }
    return false;
}

int QtUiServices::StartTimer(int periodMs, std::function<void()> callback)
{
    const int id = m_nextTimer++;
    auto* timer = new QTimer(this);
    timer->setInterval(periodMs < 0 ? 0 : periodMs);
    connect(timer, &QTimer::timeout, this, [cb = std::move(callback)] { cb(); });
    m_timers[id] = timer;
    timer->start();
    return id;
}

void QtUiServices::KillTimer(int id)
{
    auto it = m_timers.find(id);
    if (it == m_timers.end())
        return;
    // The callback may be the one killing its own timer: stop now, delete later.
    it->second->stop();
    it->second->deleteLater();
    m_timers.erase(it);
}
