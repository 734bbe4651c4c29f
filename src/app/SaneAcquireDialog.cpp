#include "app/SaneAcquireDialog.h"

#include "app/SanePreviewPane.h"
#include "image/DibUtil.h"
#include "platform/Profile.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

using Mode = SaneScanSettings::Mode;
using Outcome = SaneScanResult::Outcome;

const char kSection[] = "Scanner";
// Previews are scanned at this resolution (dpi), or the device's least above it.
constexpr double kPreviewResolution = 25;

QString ModeName(Mode mode)
{
    return mode == Mode::kColour ? QObject::tr("Colour")
           : mode == Mode::kGrey ? QObject::tr("Grey")
                                 : QObject::tr("Line art");
}

// The picture of a packed DIB, read as the bitmap file it would be.
QImage PictureOf(const DibBlock& dib)
{
    if (dib.size() < kInfoHeaderSize)
        return {};
    QByteArray file(static_cast<int>(kFileHeaderSize), '\0');
    auto* head = reinterpret_cast<std::uint8_t*>(file.data());
    PutLE16(head, kBmpType);
    PutLE32(head + 2, static_cast<std::uint32_t>(kFileHeaderSize + dib.size()));
    PutLE32(head + 10, kFileHeaderSize + kInfoHeaderSize + DibPaletteSize(dib.data()));
    file.append(reinterpret_cast<const char*>(dib.data()), static_cast<int>(dib.size()));
    return QImage::fromData(file, "BMP");
}

} // namespace

SaneAcquireDialog::SaneAcquireDialog(ScanReceiver& receiver, Profile& settings,
                                     const std::string& device, QWidget* parent)
    : QDialog(parent), m_settings(settings)
{
    setObjectName(QStringLiteral("SaneAcquireDialog"));
    setWindowTitle(tr("Acquire"));
    m_acquisition = std::make_unique<SaneAcquisition>(receiver, [this](std::function<void()> call) {
        QMetaObject::invokeMethod(this, std::move(call), Qt::QueuedConnection);
    });

    m_device = new QComboBox(this);
    for (const SaneDevice& d : SaneScanner::Devices())
        m_device->addItem(QString::fromStdString(d.Label()), QString::fromStdString(d.name));
    m_mode = new QComboBox(this);
    m_resolution = new QSpinBox(this);
    m_resolution->setSuffix(tr(" dpi"));
    auto* form = new QFormLayout;
    form->addRow(tr("&Device:"), m_device);
    form->addRow(tr("&Mode:"), m_mode);
    form->addRow(tr("&Resolution:"), m_resolution);
    const char* const areaLabels[] = {"&Left:", "&Top:", "R&ight:", "&Bottom:"};
    for (int i = 0; i < 4; ++i) {
        m_area[i] = new QDoubleSpinBox(this);
        m_area[i]->setSuffix(tr(" mm"));
        m_area[i]->setDecimals(1);
        form->addRow(tr(areaLabels[i]), m_area[i]);
        connect(m_area[i], &QDoubleSpinBox::valueChanged, this, [this] { AreaChanged(); });
    }
    m_status = new QLabel(this);
    m_status->setWordWrap(true);
    form->addRow(m_status);

    m_preview = new SanePreviewPane(this);
    m_preview->onAreaDragged = [this](const QRectF& area) {
        const double values[4] = {area.left(), area.top(), area.right(), area.bottom()};
        for (int i = 0; i < 4; ++i) {
            QSignalBlocker block(m_area[i]);
            m_area[i]->setValue(values[i]);
        }
    };
    auto* top = new QHBoxLayout;
    top->addLayout(form);
    top->addWidget(m_preview, 1);

    m_progress = new QProgressBar(this);
    m_progress->setRange(0, 1000);
    m_progress->setValue(0);
    m_previewButton = new QPushButton(tr("&Preview"), this);
    m_scanButton = new QPushButton(tr("&Scan"), this);
    m_scanButton->setObjectName(QStringLiteral("ScanButton"));
    m_scanButton->setDefault(true);
    m_cancelButton = new QPushButton(tr("Cancel"), this);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_progress, 1);
    buttons->addWidget(m_previewButton);
    buttons->addWidget(m_scanButton);
    buttons->addWidget(m_cancelButton);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(buttons);

    connect(m_previewButton, &QPushButton::clicked, this, [this] { StartPreview(); });
    connect(m_scanButton, &QPushButton::clicked, this, [this] { StartScan(); });
    connect(m_cancelButton, &QPushButton::clicked, this, [this] { CancelOrClose(); });
    connect(m_device, &QComboBox::activated, this,
            [this](int index) { OpenDevice(m_device->itemData(index).toString().toStdString()); });
    const int index = m_device->findData(QString::fromStdString(device));
    if (index >= 0)
        m_device->setCurrentIndex(index);
    OpenDevice(device);
}

SaneAcquireDialog::~SaneAcquireDialog()
{
    // The acquisition waits for its worker before the widgets go.
    m_acquisition.reset();
}

void SaneAcquireDialog::OpenDevice(const std::string& device)
{
    m_preview->SetPicture({});
    const bool open = m_acquisition->Open(device);
    m_caps = open ? m_acquisition->Scanner().Capabilities() : SaneCapabilities{};
    m_mode->clear();
    for (Mode mode : m_caps.modes)
        m_mode->addItem(ModeName(mode), static_cast<int>(mode));
    const int mode = m_settings.GetInt(kSection, "Mode", static_cast<int>(Mode::kColour));
    m_mode->setCurrentIndex(std::max(0, m_mode->findData(mode)));
    m_resolution->setRange(static_cast<int>(m_caps.minResolution),
                           std::max(1, static_cast<int>(m_caps.maxResolution)));
    m_resolution->setValue(m_settings.GetInt(kSection, "Resolution", 300));
    const double limits[4] = {m_caps.areaWidth, m_caps.areaHeight, m_caps.areaWidth,
                              m_caps.areaHeight};
    const double current[4] = {m_caps.left, m_caps.top, m_caps.right, m_caps.bottom};
    for (int i = 0; i < 4; ++i) {
        QSignalBlocker block(m_area[i]);
        m_area[i]->setRange(0, limits[i]);
        m_area[i]->setValue(current[i]);
        m_area[i]->setEnabled(m_caps.hasArea);
    }
    m_preview->SetGlass(m_caps.areaWidth, m_caps.areaHeight);
    AreaChanged();
    m_status->setText(open ? QString() : tr("The device could not be opened."));
    SetBusy(false);
    m_scanButton->setEnabled(open);
    m_previewButton->setEnabled(open && m_caps.hasArea);
}

SaneScanSettings SaneAcquireDialog::Settings() const
{
    SaneScanSettings s;
    s.mode = static_cast<Mode>(m_mode->currentData().toInt());
    s.resolution = m_resolution->value();
    if (m_caps.hasArea) {
        s.left = m_area[0]->value();
        s.top = m_area[1]->value();
        s.right = m_area[2]->value();
        s.bottom = m_area[3]->value();
    }
    return s;
}

void SaneAcquireDialog::AreaChanged()
{
    m_preview->SetArea(QRectF(QPointF(m_area[0]->value(), m_area[1]->value()),
                              QPointF(m_area[2]->value(), m_area[3]->value())));
}

void SaneAcquireDialog::SetBusy(bool busy)
{
    for (QWidget* w : {static_cast<QWidget*>(m_device), static_cast<QWidget*>(m_mode),
                       static_cast<QWidget*>(m_resolution), static_cast<QWidget*>(m_preview),
                       static_cast<QWidget*>(m_previewButton), static_cast<QWidget*>(m_scanButton)})
        w->setEnabled(!busy);
    for (QDoubleSpinBox* spin : m_area)
        spin->setEnabled(!busy && m_caps.hasArea);
    m_progress->setValue(0);
    m_progress->setRange(0, 1000);
}

void SaneAcquireDialog::OnProgress(double fraction)
{
    if (fraction < 0) {
        m_progress->setRange(0, 0);
        return;
    }
    m_progress->setRange(0, 1000);
    m_progress->setValue(static_cast<int>(fraction * 1000));
}

void SaneAcquireDialog::OnFinished(Outcome outcome, bool preview)
{
    SetBusy(false);
    m_status->setText(outcome == Outcome::kCancelled ? tr("The scan was cancelled.")
                      : outcome == Outcome::kFailed  ? tr("The scan failed.")
                                                     : QString());
    if (outcome == Outcome::kDone && !preview)
        accept();
}

void SaneAcquireDialog::StartPreview()
{
    SetBusy(true);
    m_status->setText(tr("Previewing..."));
    const bool started = m_acquisition->Preview(
        Settings(), kPreviewResolution,
        [this](const DibBlock& dib) { m_preview->SetPicture(PictureOf(dib)); },
        [this](double f) { OnProgress(f); }, [this](Outcome o) { OnFinished(o, true); });
    if (!started)
        OnFinished(Outcome::kFailed, true);
}

void SaneAcquireDialog::StartScan()
{
    const SaneScanSettings settings = Settings();
    m_settings.WriteInt(kSection, "Mode", static_cast<int>(settings.mode));
    m_settings.WriteInt(kSection, "Resolution", static_cast<int>(settings.resolution));
    SetBusy(true);
    m_status->setText(tr("Scanning..."));
    const bool started = m_acquisition->Scan(
        settings, [this](double f) { OnProgress(f); }, [this](Outcome o) { OnFinished(o, false); });
    if (!started)
        OnFinished(Outcome::kFailed, false);
}

void SaneAcquireDialog::CancelOrClose()
{
    if (m_acquisition->IsScanning()) {
        m_status->setText(tr("Cancelling..."));
        m_acquisition->Cancel();
        return;
    }
    reject();
}
