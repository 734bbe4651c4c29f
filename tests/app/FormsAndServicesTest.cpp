// The desktop's dialog forms and its services to the program: clipboard, cursors, timers,
// message boxes, file prompts and the settings file.
#include "app/CImageInfo.h"
#include "app/CImageMappingForm.h"
#include "app/COptions.h"
#include "app/CSaveDlgForm.h"
#include "app/DoubleText.h"
#include "app/PdfPageForm.h"
#include "app/ProgramCursors.h"
#include "app/QtProfile.h"
#include "app/QtUiServices.h"
#include "app/RegGridDlgForm.h"
#include "app/RegionNodesForm.h"
#include "app/TransDlgForm.h"
#include "document/CImageMapping.h"
#include "document/CSaveDlg.h"
#include "document/OptionsDlg.h"
#include "document/PdfPageDlg.h"
#include "document/RegGridDlg.h"
#include "document/RegionNodesDlg.h"
#include "document/TransDlg.h"
#include "mapping/RegGridData.h"
#include "mapping/TransformData.h"
#include "platform/Document.h"
#include "platform/RecordingUiServices.h"
#include "support/TempDir.h"
#include "support/TestPdf.h"
#include "support/WhenShown.h"
#include "tasks/PlotData.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QEventLoop>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QValidator>

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <set>
#include <tuple>

namespace {

template <class W> W* Child(QWidget& form, const char* name)
{
    W* w = form.findChild<W*>(QString::fromLatin1(name));
    EXPECT_NE(w, nullptr) << name;
    return w;
}

// Types each text into the edit box of its name.
void Type(QWidget& form, std::initializer_list<std::pair<const char*, const char*>> entries)
{
    for (auto [name, text] : entries)
        if (QLineEdit* edit = Child<QLineEdit>(form, name))
            edit->setText(QString::fromLatin1(text));
}

class DialogForms : public ::testing::Test {
protected:
    DialogForms() { SetUiServices(&ui), data->NewSet(), CSaveDlg::ForgetRememberedEntry(); }
    ~DialogForms() override
    {
        data.reset(), SetUiServices(nullptr), CSaveDlg::ForgetRememberedEntry();
    }
    std::string LastMessage() const { return ui.messages.empty() ? "" : ui.messages.back().text; }

    RecordingUiServices ui;
    Document doc;
    std::unique_ptr<PlotData> data = std::make_unique<PlotData>(&doc);
    TempDir dir;
};

// Every dialog opens with its first control focused (an edit box's text selected, so that
// typing replaces it), Tab goes round the named controls in reading order (down the rows, left
// to right in a row), and each control has its What's This.
TEST_F(DialogForms, FirstControlFocusedTabInReadingOrderAndContextHelp)
{
    TransDlg axis(data.get());
    CImageMapping pixel(data.get());
    RegGridDlg grid(data.get());
    OptionsDlg options;
    RegionNodesDlg nodes(data.get());
    std::unique_ptr<QDialog> dialogs[] = {
        std::make_unique<TransDlgForm>(axis), std::make_unique<CImageMappingForm>(pixel),
        std::make_unique<RegGridDlgForm>(grid), std::make_unique<COptions>(options),
        std::make_unique<RegionNodesForm>(nodes)};
    for (const auto& dialog : dialogs) {
        SCOPED_TRACE(dialog->metaObject()->className());
        dialog->show();
        QApplication::processEvents();
        std::vector<QRect> order; // where Tab goes, from the focused control once round
        QWidget* first = dialog->focusWidget();
        for (QWidget* w = first; w && (order.empty() || w != first); w = w->nextInFocusChain())
            if ((w->focusPolicy() & Qt::TabFocus) && !w->objectName().isEmpty() &&
                w->window() == dialog.get() && !w->objectName().startsWith(QLatin1String("qt_")))
                order.emplace_back(w->mapTo(dialog.get(), QPoint()), w->size());
        ASSERT_GE(order.size(), 4u);
        for (std::size_t i = 0; i < order.size(); ++i) {
            const QRect& a = order[i];
            const QRect& b = order[(i + 1) % order.size()];
            const bool later =
                b.center().y() > a.bottom() || (b.center().y() >= a.top() && b.left() > a.right());
            EXPECT_EQ(later, i + 1 < order.size()) << i;
        }
        if (auto* edit = qobject_cast<QLineEdit*>(first)) {
            EXPECT_EQ(edit->selectedText(), edit->text());
        }
        for (QWidget* w : dialog->findChildren<QWidget*>()) {
            const bool part = w->objectName().startsWith(QLatin1String("qt_")); // of a control
            if ((w->focusPolicy() & Qt::TabFocus) && w->isVisible() && !part) {
                EXPECT_FALSE(w->whatsThis().isEmpty()) << w->metaObject()->className();
            }
        }
    }
}

// The boxes take whole numbers only, blanks around them allowed; a refused text leaves the value
// alone.
TEST(DoubleText, ParsesWholeNumbersOnly)
{
    for (auto [text, expected] : {std::pair{" -2 ", -2.0}, {"1e3", 1000.0}}) {
        double value = 0;
        EXPECT_TRUE(DoubleText::Parse(QString::fromLatin1(text), value)) << text;
        EXPECT_DOUBLE_EQ(value, expected);
    }
    for (const char* text : {"  ", "12abc", "nan", "1e999"}) {
        double value = -77.0;
        EXPECT_FALSE(DoubleText::Parse(QString::fromLatin1(text), value)) << text;
        EXPECT_EQ(value, -77.0);
    }
}

TEST_F(DialogForms, AxisMappingFieldsInOkAppliesAndIsUndoable)
{
    TransDlg dlg(data.get());
    dlg.LoadFields();
    TransDlgForm form(dlg);
    EXPECT_EQ(Child<QLineEdit>(form, "YMax")->text(), DoubleText::Format(dlg.m_yMax));
    // A refused entry names its fault and keeps the form open with the text as typed.
    Type(form, {{"YMax", "12x"}});
    form.accept();
    EXPECT_NE(form.result(), QDialog::Accepted);
    EXPECT_EQ(LastMessage(), "Please enter a number.");
    EXPECT_EQ(Child<QLineEdit>(form, "YMax")->text(), "12x");
    EXPECT_FALSE(data->CanUndo());
    Type(form, {{"XMin", "1"}, {"XMax", "1000"}, {"YMin", "-5"}, {"YMax", "5"}});
    Child<QCheckBox>(form, "XLog")->setChecked(true);
    form.accept();
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_EQ(data->GetTransform()->GetXLog(), 1);
    EXPECT_DOUBLE_EQ(data->GetTransform()->GetMax().x, 1000);
    EXPECT_DOUBLE_EQ(data->GetTransform()->GetMin().y, -5);
}

TEST_F(DialogForms, PixelMappingBoxesRefuseLettersAndOkSetsTheMapping)
{
    CImageMapping dlg(data.get());
    dlg.LoadFields();
    CImageMappingForm form(dlg);
    const QValidator* numbers = Child<QLineEdit>(form, "Aspect")->validator();
    ASSERT_NE(numbers, nullptr);
    QString text = QStringLiteral("1a");
    int pos = 0;
    EXPECT_EQ(numbers->validate(text, pos), QValidator::Invalid);

    Type(form, {{"Aspect", "1"}, {"PointsPerUnit", "100"}, {"XOrigin", "0"}, {"YOrigin", "0"}});
    form.accept();
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_DOUBLE_EQ(data->GetTransform()->GetPointsPerUnit(), 100);
}

TEST_F(DialogForms, GridSnapAxisControlsFollowTheirCheckBoxAndAZeroStepIsRefused)
{
    RegGridDlg dlg(data.get());
    dlg.LoadFields();
    dlg.m_snapX = 0;
    dlg.m_snapY = 1;
    RegGridDlgForm form(dlg);
    EXPECT_FALSE(Child<QLineEdit>(form, "StepX")->isEnabled());
    EXPECT_FALSE(Child<QCheckBox>(form, "ShowX")->isEnabled());
    Child<QCheckBox>(form, "SnapX")->click();
    EXPECT_TRUE(Child<QLineEdit>(form, "StepX")->isEnabled());
    EXPECT_TRUE(Child<QCheckBox>(form, "ShowX")->isEnabled());

    Type(form, {{"OriginX", "0.5"}, {"StepX", "5"}, {"StepY", "0"}});
    form.accept();
    EXPECT_NE(form.result(), QDialog::Accepted);
    EXPECT_EQ(LastMessage(), "The grid step must not be zero.");

    Type(form, {{"StepY", "2"}});
    Child<QCheckBox>(form, "ShowX")->setChecked(false);
    form.accept();
    EXPECT_EQ(form.result(), QDialog::Accepted);
    const RegGridSettings& s = data->GetGrid()->GetSettings();
    EXPECT_EQ(s.snapX, 1);
    EXPECT_DOUBLE_EQ(s.originX, 0.5);
    EXPECT_DOUBLE_EQ(s.stepY, 2);
    EXPECT_EQ(s.showX, 0);
}

// The text comes with CR LF line ends; the box shows plain lines, read-only.
TEST(ImageInfoForm, ShowsTheTextReadOnlyWithACloseButton)
{
    CImageInfo info("File Path: /a\r\nFile Name: b.bmp\r\n");
    auto* box = Child<QPlainTextEdit>(info, "InfoText");
    auto* close = Child<QPushButton>(info, "Close");
    ASSERT_TRUE(box && close && box->isReadOnly());
    EXPECT_EQ(box->toPlainText(), "File Path: /a\nFile Name: b.bmp");
    close->click();
    EXPECT_EQ(info.result(), QDialog::Rejected);
}

// Cancel first, then OK: only the second round's toggles reach the fields.
TEST(OptionsForm, OkWritesTheToggledChecksBackAndCancelDoesNot)
{
    OptionsDlg fields;
    fields.m_sortData = fields.m_allowCaching = 1;
    fields.m_saveBitmapCopy = fields.m_reuseMappingData = 0;
    for (bool ok : {false, true}) {
        COptions form(fields);
        for (const char* name : {"SortData", "SaveBitmapCopy", "ReuseMappingData", "AllowCaching"})
            if (QCheckBox* box = Child<QCheckBox>(form, name))
                box->toggle();
        ok ? form.accept() : form.reject();
    }
    EXPECT_EQ(fields.m_sortData, 0);
    EXPECT_EQ(fields.m_saveBitmapCopy, 1);
    EXPECT_EQ(fields.m_reuseMappingData, 1);
    EXPECT_EQ(fields.m_allowCaching, 0);
}

// A PDF of several pages asks for the page; one of a single page only for the resolution.
// The size follows the fields; OK hands them to the model.
TEST(PdfPageForm, AsksForThePageOnlyWhenThereAreSeveral)
{
    TempDir dir;
    const TestPdfPage page{72, 144, ""};
    ASSERT_TRUE(WriteTestPdf(dir.File("one.pdf"), {page}));
    ASSERT_TRUE(WriteTestPdf(dir.File("two.pdf"), {page, {144, 72, ""}}));
    PdfPageDlg one(dir.File("one.pdf"));
    EXPECT_EQ(PdfPageForm(one).findChild<QSpinBox*>(QStringLiteral("Page")), nullptr);
    PdfPageDlg two(dir.File("two.pdf"));
    PdfPageForm form(two);
    QSpinBox* pages = Child<QSpinBox>(form, "Page");
    QLabel* size = Child<QLabel>(form, "Size");
    ASSERT_TRUE(pages && size);
    EXPECT_EQ(pages->maximum(), 2);
    EXPECT_EQ(size->text(), "300 x 600 pixels");
    pages->setValue(2);
    Child<QSpinBox>(form, "Resolution")->setValue(100);
    EXPECT_EQ(size->text(), "200 x 100 pixels");
    form.accept();
    EXPECT_EQ(two.PagePath(), dir.File("two.pdf") + "#page=2&dpi=100");
}

// The boxes follow the entry chosen and go back to the data; a name the user typed survives a
// change of filter, only its extension follows. OK into a missing folder keeps the form open.
// Replacing the file of the chosen format is asked about, also when only the name without its
// extension was typed; a new file is not, and a typed save extension keeps its own format.
TEST_F(DialogForms, SaveFormBoxesFollowTheEntryAndOkAsksBeforeReplacingTheFileItWrites)
{
    data->SetImageFile("/images/plot.bmp"); // the picture as read from there
    data->SetSortFlag(true);
    data->SetSaveReference(false);
    std::ofstream(dir.File("out.txt")) << "x";
    CSaveDlg dlg(data.get(), dir.File("plot.kvx"), "Save As");
    CSaveDlgForm form(dlg);
    QCheckBox* sort = Child<QCheckBox>(form, "SortData");
    QCheckBox* copy = Child<QCheckBox>(form, "SaveBitmapCopy");
    QLineEdit* name = Child<QLineEdit>(form, "fileNameEdit");
    ASSERT_TRUE(sort && copy && name);
    EXPECT_TRUE(sort->isChecked() && copy->isChecked());
    form.SelectEntry(1);
    EXPECT_FALSE(sort->isEnabled());
    EXPECT_TRUE(copy->isEnabled());
    form.SelectEntry(3);
    EXPECT_EQ(form.selectedNameFilter().toStdString(), CSaveDlg::FilterName(3));
    EXPECT_EQ(name->text().toStdString(), "plot.csv");
    name->setText(QStringLiteral("mine.kvx"));
    form.SelectEntry(2);
    EXPECT_EQ(name->text().toStdString(), "mine.txt");
    form.selectFile(QString::fromStdString(dir.File("missing/typed.kvx")));
    form.accept();
    EXPECT_NE(form.result(), QDialog::Accepted);
    EXPECT_TRUE(form.Path().empty());

    sort->setChecked(false);
    copy->setChecked(false);
    const std::size_t shown = ui.messages.size();
    ui.messageAnswers = {MsgResult::No, MsgResult::Yes};
    EXPECT_FALSE(form.Finish(QString::fromStdString(dir.File("out"))));
    ASSERT_EQ(ui.messages.size(), shown + 1);
    EXPECT_NE(ui.messages.back().text.find("out.txt"), std::string::npos);
    EXPECT_TRUE(form.Finish(QString::fromStdString(dir.File("out"))));
    EXPECT_EQ(form.Path(), dir.File("out.txt"));
    EXPECT_FALSE(data->GetSortFlag());
    EXPECT_TRUE(data->GetSaveReference());
    form.selectFile(QString::fromStdString(dir.File("typed.csv")));
    form.accept();
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_EQ(form.Path(), dir.File("typed.csv"));
    EXPECT_EQ(ui.messages.size(), shown + 2);
}

// A 2x2 24-bit packed bitmap, bottom-up: top row red, white; bottom row blue, green.
std::vector<std::uint8_t> SmallDib()
{
    // clang-format off
    return {40, 0, 0, 0,  2, 0, 0, 0,  2, 0, 0, 0,  1, 0,  24, 0,  0, 0, 0, 0,  16, 0, 0, 0,
            0x13, 0x0B, 0, 0,  0x13, 0x0B, 0, 0,  0, 0, 0, 0,  0, 0, 0, 0,
            0xFF, 0, 0,  0, 0xFF, 0,  0, 0,         // blue, green
            0, 0, 0xFF,  0xFF, 0xFF, 0xFF,  0, 0};  // red, white
    // clang-format on
}

TEST(QtUiServices, ClipboardCarriesTextAndImagesInBothFormats)
{
    QtUiServices services;
    ClipboardContent content;
    content.text = "X\tY\n1\t2\n";
    content.dib = SmallDib();
    ASSERT_TRUE(services.SetClipboard(content));

    const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(mime, nullptr);
    EXPECT_TRUE(mime->hasFormat("image/bmp"));
    const QImage image = qvariant_cast<QImage>(mime->imageData());
    ASSERT_EQ(image.size(), QSize(2, 2));
    EXPECT_EQ(image.pixel(0, 0) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(image.pixel(1, 1) & 0xFFFFFF, 0x00FF00u);

    EXPECT_TRUE(services.ClipboardHasBitmap());
    const ClipboardContent back = services.GetClipboard();
    EXPECT_EQ(back.text, content.text);
    EXPECT_EQ(back.dib, content.dib);

    // Another program may put only Qt's image format on the clipboard: it still pastes.
    QImage qtOnly(3, 1, QImage::Format_RGB32);
    for (int x = 0; x < 3; ++x)
        qtOnly.setPixel(x, 0, qRgb(10 + 30 * x, 20 + 30 * x, 30 + 30 * x));
    QGuiApplication::clipboard()->setImage(qtOnly);
    EXPECT_TRUE(services.ClipboardHasBitmap());
    const ClipboardContent other = services.GetClipboard();
    ASSERT_TRUE(other.dib.has_value());
    const QImage again = QImage::fromData(QtUiServices::DibToBmpFile(*other.dib), "BMP");
    ASSERT_EQ(again.size(), QSize(3, 1));
    EXPECT_EQ(again.pixel(1, 0) & 0xFFFFFF, qRgb(40, 50, 60) & 0xFFFFFFu);
}

// The small bitmap with the 32-bit header field at byte `at` set to value.
std::vector<std::uint8_t> WithField(std::size_t at, std::uint32_t value, std::uint8_t bits = 24)
{
    std::vector<std::uint8_t> dib = SmallDib();
    dib[14] = bits;
    for (int i = 0; i < 4; ++i)
        dib[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
    return dib;
}

// Bitmaps whose header promises more than the bytes hold (too short, a header, colour count or
// palette longer than the data) are refused, and the clipboard keeps what it had.
TEST(HostileDib, IsRefusedWithoutTouchingTheClipboard)
{
    for (const auto& bytes : {std::vector<std::uint8_t>{40, 0, 0, 0, 2, 0}, WithField(0, 124),
                              WithField(32, 0x40000000u), WithField(32, 200, 8)}) {
        SCOPED_TRACE(bytes.size());
        QGuiApplication::clipboard()->setText("before");
        ClipboardContent content;
        content.text = "after";
        content.dib = bytes;
        EXPECT_FALSE(QtUiServices().SetClipboard(content));
        EXPECT_TRUE(QtUiServices::DibToBmpFile(bytes).isEmpty());
        EXPECT_EQ(QGuiApplication::clipboard()->text(), "before");
    }
}

TEST(QtUiServices, WaitCursorShowsUntilTheLastEndAndCursorsGoToTheirWidget)
{
    QtUiServices services;
    ASSERT_EQ(QApplication::overrideCursor(), nullptr);
    services.BeginWaitCursor();
    services.BeginWaitCursor();
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    services.EndWaitCursor();
    EXPECT_NE(QApplication::overrideCursor(), nullptr);
    services.EndWaitCursor();
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    // An unmatched end must not pop a cursor someone else set.
    QApplication::setOverrideCursor(Qt::CrossCursor);
    services.EndWaitCursor();
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::CrossCursor);
    QApplication::restoreOverrideCursor();

    QWidget view;
    services.SetCursorWidget(&view);
    services.SetCursor(CursorShape::ZoomIn);
    EXPECT_EQ(view.cursor().hotSpot(), ProgramCursors::HotSpot(CursorShape::ZoomIn));
    EXPECT_EQ(services.CurrentCursor(), CursorShape::ZoomIn);
}

TEST(QtUiServices, TimersRepeatAndStopWhenKilledFromTheirOwnCallback)
{
    QtUiServices services;
    int ticks = 0;
    int id = 0;
    id = services.StartTimer(5, [&] {
        if (++ticks == 3)
            services.KillTimer(id);
    });
    QEventLoop loop;
    QTimer::singleShot(100, &loop, &QEventLoop::quit);
    loop.exec();
    EXPECT_EQ(ticks, 3);
    EXPECT_EQ(services.RunningTimers(), 0);
}

// Each of the program's cursors is a 32x32 drawing over its hot spot, and no two shapes look
// the same.
TEST(ProgramCursors, AreDistinct32By32FiguresAroundTheirHotSpots)
{
    std::set<QByteArray> drawings;
    for (CursorShape shape : {CursorShape::Rotate, CursorShape::Pan, CursorShape::ZoomIn,
                              CursorShape::ZoomOut, CursorShape::ProgramCross}) {
        SCOPED_TRACE(static_cast<int>(shape));
        const QImage image = ProgramCursors::Image(shape);
        ASSERT_EQ(image.size(), QSize(32, 32));
        drawings.insert(
            QByteArray(reinterpret_cast<const char*>(image.constBits()), image.sizeInBytes()));
        QRect drawn;
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x)
                if (qAlpha(image.pixel(x, y)) > 200)
                    drawn |= QRect(x, y, 1, 1);
        EXPECT_GT(drawn.width(), 8);
        EXPECT_TRUE(drawn.adjusted(-1, -1, 1, 1).contains(ProgramCursors::HotSpot(shape)));
    }
    EXPECT_EQ(drawings.size(), 5u);
}

TEST(MessageBoxAnswer, ShowsTheTextAndMapsTheButtonPressed)
{
    for (auto [buttons, press, expected] :
         {std::tuple{MsgButtons::YesNoCancel, QMessageBox::No, MsgResult::No},
          std::tuple{MsgButtons::RetryCancel, QMessageBox::Retry, MsgResult::Retry}}) {
        QString seen;
        WhenShown<QMessageBox>([&, press = press](QMessageBox* box) {
            seen = box->windowTitle() + ": " + box->text();
            box->button(press)->click();
        });
        EXPECT_EQ(
            QtUiServices().MessageBox("No points to save!", "Kurvo", buttons, MsgIcon::Warning),
            expected);
        EXPECT_EQ(seen, "Kurvo: No points to save!");
    }
}

TEST(FilePromptDialog, OffersTheFiltersAndReportsTheOneChosen)
{
    TempDir dir;
    const QString existing = QString::fromStdString(dir.File("scan.tif"));
    std::ofstream(dir.File("scan.tif")) << "II*";
    FilePrompt prompt;
    prompt.filters = {"Kurvo Files (*.kvx)|*.kvx",
                      "Bitmap Files (*.bmp;*.dib;*.tif;*.tiff)|*.bmp;*.dib;*.tif;*.tiff",
                      "All Files (*.*)|*.*"};
    prompt.filterIndex = 2;
    QString preselected;
    WhenShown<QFileDialog>([&](QFileDialog* dialog) {
        preselected = dialog->selectedNameFilter();
        dialog->selectNameFilter(dialog->nameFilters().value(2));
        dialog->selectFile(existing);
        static_cast<QDialog*>(dialog)->accept();
    });
    ASSERT_TRUE(QtUiServices().PromptFileName(prompt));
    EXPECT_EQ(preselected, "Bitmap Files (*.bmp *.dib *.tif *.tiff)");
    EXPECT_EQ(prompt.filterIndex, 3);
    EXPECT_EQ(QString::fromStdString(prompt.fileName), existing);
}

// A hand-edited settings file must not make the program read garbage as numbers.
TEST(QtProfile, TextThatIsNotANumberReadsAsTheDefault)
{
    TempDir dir;
    const QString ini = QString::fromStdString(dir.File("kurvo.ini"));
    {
        QSettings raw(ini, QSettings::IniFormat);
        raw.setValue("Settings/ZoomType", "fast");
        raw.setValue("Settings/CacheSize", "12abc");
        raw.setValue("Settings/SortData", " 0 ");
        raw.setValue("Settings/BoxColor", "4294967295");
    }
    QtProfile p(ini);
    EXPECT_EQ(p.GetInt("Settings", "ZoomType", 2), 2);
    EXPECT_EQ(p.GetInt("Settings", "CacheSize", 3), 3);
    EXPECT_EQ(p.GetInt("Settings", "SortData", 1), 0);
    EXPECT_EQ(static_cast<unsigned>(p.GetInt("Settings", "BoxColor", 0)), 0xFFFFFFFFu);
    EXPECT_EQ(p.GetString("Settings", "Missing", "def"), "def");
}

} // namespace
