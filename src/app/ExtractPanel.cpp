#include "app/ExtractPanel.h"

#include "app/ImageViewWidget.h"
#include "document/CKurvoDoc.h"
#include "extract/ExtractPreview.h"
#include "mapping/TransformData.h"
#include "platform/Archive.h"
#include "tasks/AddPointsTask.h"
#include "tasks/PlotData.h"
#include "view/CKurvoView.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QColorDialog>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <thread>

// One extraction under way: its copies and results, its cancel flag and progress.
struct ExtractPanel::Run {
    std::shared_ptr<ExtractPreview> job;
    CKurvoDoc* doc = nullptr;
    std::atomic<bool> cancel{false};
    std::atomic<int> progress{0};
    std::atomic<bool> done{false};
};

namespace {

// The preview's colours: the matching pixels in magenta, the points in a dark cyan.
constexpr Colour kMaskColour = MakeColour(255, 0, 200);
constexpr Colour kPointColour = MakeColour(0, 120, 140);

QSpinBox* Spin(int lo, int hi, int value, QWidget* parent)
{
    auto* s = new QSpinBox(parent);
    s->setRange(lo, hi);
    s->setValue(value);
    return s;
}

} // namespace

ExtractPanel::ExtractPanel(std::function<ImageViewWidget*()> activeView, QWidget* parent)
    : QWidget(parent, Qt::Tool), m_activeView(std::move(activeView))
{
    setWindowTitle(QStringLiteral("Extract"));
    setObjectName(QStringLiteral("ExtractPanel"));
    auto* form = new QFormLayout;

    auto* colourRow = new QHBoxLayout;
    m_colourButton = new QPushButton(this);
    m_colourButton->setObjectName(QStringLiteral("colour"));
    m_colourButton->setToolTip(QStringLiteral("Choose the colour to extract"));
    m_pickButton = new QPushButton(QStringLiteral("Pick from View"), this);
    m_pickButton->setCheckable(true);
    m_pickButton->setToolTip(QStringLiteral("Click the curve or a marker in the view"));
    colourRow->addWidget(m_colourButton, 1);
    colourRow->addWidget(m_pickButton);
    form->addRow(QStringLiteral("Colour"), colourRow);

    m_tolerance = Spin(0, 442, 60, this);
    m_tolerance->setToolTip(
        QStringLiteral("How far (RGB distance) a pixel may be from the colour; anti-aliased "
                       "edges blending it with the paper count too"));
    form->addRow(QStringLiteral("Tolerance"), m_tolerance);

    m_method = new QComboBox(this);
    m_method->addItems(
        {QStringLiteral("Curve"), QStringLiteral("Averaging window"), QStringLiteral("Markers")});
    form->addRow(QStringLiteral("Method"), m_method);

    m_pages = new QStackedWidget(this);
    // A page of each method's own settings, in the order of the methods.
    const auto newPage = [this] {
        auto* page = new QWidget(m_pages);
        m_pages->addWidget(page);
        auto* f = new QFormLayout(page);
        f->setContentsMargins(0, 0, 0, 0);
        return f;
    };
    {
        QFormLayout* f = newPage();
        QWidget* page = f->parentWidget();
        m_step = new QLineEdit(page);
        m_step->setPlaceholderText(QStringLiteral("one pixel"));
        m_step->setToolTip(QStringLiteral("The X step in graph units (empty: one pixel)"));
        m_logStep = new QCheckBox(QStringLiteral("Step in decades"), page);
        m_join = Spin(0, 10000, 0, page);
        m_join->setSuffix(QStringLiteral(" px"));
        f->addRow(QStringLiteral("X step"), m_step);
        f->addRow(QString(), m_logStep);
        f->addRow(QStringLiteral("Join gaps up to"), m_join);
    }
    {
        QFormLayout* f = newPage();
        QWidget* page = f->parentWidget();
        m_windowW = Spin(1, 10000, 8, page);
        m_windowH = Spin(1, 10000, 8, page);
        f->addRow(QStringLiteral("Window width"), m_windowW);
        f->addRow(QStringLiteral("Window height"), m_windowH);
    }
    {
        QFormLayout* f = newPage();
        QWidget* page = f->parentWidget();
        m_minArea = Spin(1, 100000000, 5, page);
        m_maxArea = Spin(1, 100000000, 400, page);
        f->addRow(QStringLiteral("Smallest area"), m_minArea);
        f->addRow(QStringLiteral("Largest area"), m_maxArea);
    }
    form->addRow(m_pages);

    m_area = new QComboBox(this);
    m_area->addItems({QStringLiteral("Mapping region"), QStringLiteral("Box")});
    form->addRow(QStringLiteral("Area"), m_area);
    auto* boxRow = new QHBoxLayout;
    const char* names[4] = {"left", "top", "right", "bottom"};
    for (int i = 0; i < 4; ++i) {
        m_box[i] = Spin(-100000, 100000, 0, this);
        m_box[i]->setToolTip(QString::fromLatin1(names[i]));
        m_box[i]->setEnabled(false);
        boxRow->addWidget(m_box[i]);
    }
    m_dragBoxButton = new QPushButton(QStringLiteral("Drag in View"), this);
    m_dragBoxButton->setCheckable(true);
    m_dragBoxButton->setObjectName(QStringLiteral("dragBox"));
    m_dragBoxButton->setToolTip(QStringLiteral("Drag the box over the picture"));
    boxRow->addWidget(m_dragBoxButton);
    form->addRow(QStringLiteral("Box (pixels)"), boxRow);

    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("status"));
    m_progress = new QProgressBar(this);
    m_progress->setRange(0, 100);
    m_progress->setVisible(false);
    m_cancel = new QPushButton(QStringLiteral("Cancel"), this);
    m_cancel->setEnabled(false);
    m_add = new QPushButton(QStringLiteral("Add to Current Set"), this);
    m_add->setObjectName(QStringLiteral("add"));
    m_add->setEnabled(false);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_progress, 1);
    buttons->addWidget(m_cancel);
    buttons->addWidget(m_add);

    auto* top = new QVBoxLayout(this);
    top->addLayout(form);
    top->addWidget(m_status);
    top->addLayout(buttons);

    m_debounce = new QTimer(this);
    m_debounce->setSingleShot(true);
    m_debounce->setInterval(120);
    m_poll = new QTimer(this);
    m_poll->setInterval(100);
    connect(m_debounce, &QTimer::timeout, this, [this] { Start(); });
    connect(m_poll, &QTimer::timeout, this, [this] { Poll(); });

    connect(m_colourButton, &QPushButton::clicked, this, [this] {
        const QColor c = QColorDialog::getColor(QColor::fromRgb(m_colour), this);
        if (c.isValid())
            SetColour(c.rgb() & 0xFFFFFFu);
    });
    connect(m_pickButton, &QPushButton::toggled, this, [this](bool on) { TogglePick(on); });
    connect(m_dragBoxButton, &QPushButton::toggled, this, [this](bool on) { ToggleBoxDrag(on); });
    connect(m_method, &QComboBox::currentIndexChanged, this, [this](int i) {
        m_pages->setCurrentIndex(i);
        Schedule();
    });
    connect(m_area, &QComboBox::currentIndexChanged, this, [this](int i) {
        for (QSpinBox* s : m_box)
            s->setEnabled(i == 1);
        Schedule();
    });
    for (QSpinBox* s : {m_tolerance, m_join, m_windowW, m_windowH, m_minArea, m_maxArea, m_box[0],
                        m_box[1], m_box[2], m_box[3]})
        connect(s, &QSpinBox::valueChanged, this, [this] { Schedule(); });
    connect(m_step, &QLineEdit::textChanged, this, [this] { Schedule(); });
    connect(m_logStep, &QCheckBox::toggled, this, [this] { Schedule(); });
    connect(m_cancel, &QPushButton::clicked, this, [this] { Cancel(); });
    connect(m_add, &QPushButton::clicked, this, [this] { AddToSet(); });
    ShowColour();
}

ExtractPanel::~ExtractPanel()
{
    Cancel();
    Detach();
}

void ExtractPanel::Open()
{
    show();
    raise();
    activateWindow();
    ActiveViewChanged();
}

void ExtractPanel::ActiveViewChanged()
{
    if (!isVisible())
        return;
    ImageViewWidget* view = m_activeView ? m_activeView() : nullptr;
    if (view != m_view) {
        Detach();
        Attach(view);
        if (view && view->GetDocument() && view->GetDocument()->GetPlotData()) {
            const CDib* image = view->GetDocument()->GetPlotData()->GetImage();
            for (int i = 0; i < 4; ++i)
                m_box[i]->setValue(i < 2 ? 0 : (i == 2 ? image->Width() : image->Height()));
        }
    }
    Schedule();
}

void ExtractPanel::Attach(ImageViewWidget* view)
{
    m_view = view;
    if (m_pickButton->isChecked())
        TogglePick(true);
    if (m_dragBoxButton->isChecked())
        ToggleBoxDrag(true);
}

void ExtractPanel::Detach()
{
    if (m_view && m_view->GetView()) {
        m_view->GetView()->SetExtraLayer({});
        m_view->GetView()->SetClickPick({});
        m_view->GetView()->SetDragPick({});
    }
    m_view = nullptr;
    m_shown.reset();
    m_shownDoc = nullptr;
}

void ExtractPanel::closeEvent(QCloseEvent* event)
{
    Cancel();
    m_pickButton->setChecked(false);
    m_dragBoxButton->setChecked(false);
    Detach();
    QWidget::closeEvent(event);
}

void ExtractPanel::SetColour(std::uint32_t rgb)
{
    m_colour = rgb & 0xFFFFFFu;
    ShowColour();
    Schedule();
}

void ExtractPanel::ShowColour()
{
    const QColor c = QColor::fromRgb(m_colour);
    m_colourButton->setText(QString::fromStdString(FormatColour(m_colour)));
    m_colourButton->setStyleSheet(QStringLiteral("background-color: %1; color: %2")
                                      .arg(c.name(), c.lightness() < 128
                                                         ? QStringLiteral("white")
                                                         : QStringLiteral("black")));
}

void ExtractPanel::TogglePick(bool on)
{
    if (!m_view || !m_view->GetView())
        return;
    CKurvoView* view = m_view->GetView();
    if (!on) {
        view->SetClickPick({});
        return;
    }
    QPointer<ExtractPanel> self(this);
    view->SetClickPick([self, view](DPoint p) {
        if (!self || !self->m_view || !self->m_view->GetDocument())
            return false;
        const CDib* image = self->m_view->GetDocument()->GetPlotData()->GetImage();
        const int x = static_cast<int>(std::floor(p.x)), y = static_cast<int>(std::floor(p.y));
        if (x < 0 || y < 0 || x >= image->Width() || y >= image->Height())
            return true;
        self->SetColour(PickColour(*image, x, y));
        // The pick ends after this click; the function is not cleared while it runs.
        QTimer::singleShot(0, self, [self] { self->m_pickButton->setChecked(false); });
        return true;
    });
}

void ExtractPanel::ToggleBoxDrag(bool on)
{
    if (!m_view || !m_view->GetView())
        return;
    CKurvoView* view = m_view->GetView();
    if (!on) {
        view->SetDragPick({});
        return;
    }
    QPointer<ExtractPanel> self(this);
    view->SetDragPick([self](DPoint from, DPoint to, bool done) {
        if (!self || !self->m_view)
            return;
        // Whole pixels from the one pressed to the one released, both included.
        const int box[4] = {
            static_cast<int>(std::lround(std::min(from.x, to.x))),
            static_cast<int>(std::lround(std::min(from.y, to.y))),
            static_cast<int>(std::lround(std::max(from.x, to.x))) + 1,
            static_cast<int>(std::lround(std::max(from.y, to.y))) + 1,
        };
        for (int i = 0; i < 4; ++i) {
            const QSignalBlocker quiet(self->m_box[i]);
            self->m_box[i]->setValue(box[i]);
        }
        self->m_area->setCurrentIndex(1);
        self->m_view->GetView()->Invalidate(false);
        self->m_view->viewport()->update();
        if (done) {
            self->Schedule();
            QTimer::singleShot(0, self, [self] { self->m_dragBoxButton->setChecked(false); });
        }
    });
}

void ExtractPanel::DrawBox(ToolEvent& e) const
{
    if (m_area->currentIndex() != 1 || !e.dc)
        return;
    const IPoint a = e.ToWindow(m_box[0]->value() - 0.5, m_box[1]->value() - 0.5);
    const IPoint b = e.ToWindow(m_box[2]->value() - 0.5, m_box[3]->value() - 0.5);
    e.AttachPen(Pen{PenStyle::Dot, 0, kMaskColour});
    e.dc->MoveTo(a.x, a.y);
    e.dc->LineTo(b.x, a.y);
    e.dc->LineTo(b.x, b.y);
    e.dc->LineTo(a.x, b.y);
    e.dc->LineTo(a.x, a.y);
    e.ReleasePen();
}

void ExtractPanel::Schedule()
{
    if (isVisible())
        m_debounce->start();
}

void ExtractPanel::Start()
{
    Cancel();
    if (!m_view || !m_view->GetDocument() || !m_view->GetDocument()->GetPlotData()) {
        m_status->setText(QStringLiteral("Open a document to extract from."));
        return;
    }
    CKurvoDoc* doc = m_view->GetDocument();
    PlotData* data = doc->GetPlotData();
    ExtractOptions o;
    o.colour = m_colour;
    o.tolerance = m_tolerance->value();
    o.method = static_cast<ExtractOptions::Method>(m_method->currentIndex());
    bool ok = false;
    const double step = m_step->text().trimmed().toDouble(&ok);
    o.step = ok && step > 0 && std::isfinite(step) ? step : 0.0;
    o.logStep = m_logStep->isChecked();
    o.joinGaps = m_join->value();
    o.windowWidth = m_windowW->value();
    o.windowHeight = m_windowH->value();
    o.minArea = m_minArea->value();
    o.maxArea = std::max(m_maxArea->value(), o.minArea);
    if (m_area->currentIndex() == 1) {
        o.box = {m_box[0]->value(), m_box[1]->value(), m_box[2]->value(), m_box[3]->value()};
        o.box.Normalize();
    }
    m_signature = Signature();
    auto run = std::make_shared<Run>();
    run->job = std::make_shared<ExtractPreview>(*data->GetImage(), *data->GetTransform(), o);
    run->doc = doc;
    m_running = run;
    m_status->setText(QStringLiteral("Extracting..."));
    m_progress->setValue(0);
    m_cancel->setEnabled(true);
    m_poll->start();
    QPointer<ExtractPanel> self(this);
    std::thread([run, self] {
        run->job->Run(&run->cancel, &run->progress);
        run->done = true;
        QMetaObject::invokeMethod(
            qApp,
            [run, self] {
                if (self)
                    self->Finished(run);
            },
            Qt::QueuedConnection);
    }).detach();
}

void ExtractPanel::Poll()
{
    if (!m_running)
        return;
    // Quick runs finish before the bar would show; a long one shows its progress.
    m_progress->setVisible(true);
    m_progress->setValue(m_running->progress.load());
}

void ExtractPanel::Cancel()
{
    if (m_running)
        m_running->cancel = true;
    m_running.reset();
    m_poll->stop();
    m_progress->setVisible(false);
    m_cancel->setEnabled(false);
}

void ExtractPanel::Finished(const std::shared_ptr<Run>& run)
{
    if (run != m_running)
        return; // superseded or cancelled
    m_running.reset();
    m_poll->stop();
    m_progress->setVisible(false);
    m_cancel->setEnabled(false);
    if (!m_view || m_view->GetDocument() != run->doc)
        return;
    const ExtractResult& r = run->job->Result();
    QString text;
    if (!r.error.empty())
        text = QString::fromStdString(r.error);
    else if (run->job->Options().method == ExtractOptions::kMarkers)
        text = QStringLiteral("%1 points, %2 merged blobs, %3 matching pixels")
                   .arg(r.pixels.size())
                   .arg(r.mergedBlobs)
                   .arg(r.maskCount);
    else
        text =
            QStringLiteral("%1 points, %2 matching pixels").arg(r.pixels.size()).arg(r.maskCount);
    m_status->setText(text);
    m_shown = run->job;
    m_shownDoc = run->doc;
    m_add->setEnabled(!r.pixels.empty());
    std::shared_ptr<ExtractPreview> shown = m_shown;
    QPointer<ExtractPanel> self(this);
    if (CKurvoView* view = m_view->GetView())
        view->SetExtraLayer([shown, self](ToolEvent& e) {
            shown->Draw(e, kMaskColour, kPointColour);
            if (self) {
                self->DrawBox(e);
                self->CheckStale();
            }
        });
}

std::vector<std::uint8_t> ExtractPanel::Signature() const
{
    if (!m_view || !m_view->GetDocument() || !m_view->GetDocument()->GetPlotData())
        return {};
    PlotData* data = m_view->GetDocument()->GetPlotData();
    Archive ar;
    data->GetTransform()->Serialize(ar);
    ar.WriteI32(data->GetPosition());
    ar.WriteI32(data->GetTaskCount());
    ar.WriteI32(data->GetImage()->Width());
    ar.WriteI32(data->GetImage()->Height());
    return ar.TakeBytes();
}

void ExtractPanel::CheckStale()
{
    // Called while the view paints: only a timer is started here.
    if (!m_running && Signature() != m_signature)
        Schedule();
}

void ExtractPanel::AddToSet()
{
    if (!m_shown || !m_view || m_view->GetDocument() != m_shownDoc)
        return;
    CKurvoDoc* doc = m_shownDoc;
    const std::vector<DPoint>& pixels = m_shown->Result().pixels;
    if (pixels.empty())
        return;
    if (!doc->ExecuteTask(
            std::make_unique<AddPointsTask>(doc->GetPlotData(), pixels, m_shown->Result().graph)))
        m_status->setText(QStringLiteral("There is no current set to add to."));
    else
        m_status->setText(QStringLiteral("%1 points added.").arg(pixels.size()));
}

int ExtractPanel::CandidateCount() const
{
    return m_shown ? static_cast<int>(m_shown->Result().pixels.size()) : -1;
}

QString ExtractPanel::StatusText() const
{
    return m_status->text();
}
