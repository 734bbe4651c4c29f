#include "app/ProgramCursors.h"
#include "app/QtProfile.h"
#include "app/QtUiServices.h"
#include "support/TempDir.h"
#include "support/WhenShown.h"

#include <QAbstractButton>
#include <QClipboard>
#include <QEventLoop>
#include <QFileDialog>
#include <QMessageBox>
#include <QMimeData>
#include <QSettings>

#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <tuple>

namespace {

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

class QtUiServicesTest : public ::testing::Test {
protected:
    QtUiServices m_services;
};

TEST_F(QtUiServicesTest, ClipboardCarriesTextAndImagesInBothFormats)
{
    ClipboardContent content;
    content.text = "X\tY\n1\t2\n";
    content.dib = SmallDib();
    ASSERT_TRUE(m_services.SetClipboard(content));

    const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(mime, nullptr);
    EXPECT_TRUE(mime->hasFormat("image/bmp"));
    const QImage image = qvariant_cast<QImage>(mime->imageData());
    ASSERT_EQ(image.size(), QSize(2, 2));
    EXPECT_EQ(image.pixel(0, 0) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(image.pixel(1, 1) & 0xFFFFFF, 0x00FF00u);

    EXPECT_TRUE(m_services.ClipboardHasBitmap());
    const ClipboardContent back = m_services.GetClipboard();
    EXPECT_EQ(back.text, content.text);
    EXPECT_EQ(back.dib, content.dib);

    // Another program may put only Qt's image format on the clipboard: it still pastes.
    QImage qtOnly(3, 1, QImage::Format_RGB32);
    for (int x = 0; x < 3; ++x)
        qtOnly.setPixel(x, 0, qRgb(10 + 30 * x, 20 + 30 * x, 30 + 30 * x));
    QGuiApplication::clipboard()->setImage(qtOnly);
    EXPECT_TRUE(m_services.ClipboardHasBitmap());
    const ClipboardContent other = m_services.GetClipboard();
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

TEST_F(QtUiServicesTest, WaitCursorShowsUntilTheLastEndAndCursorsGoToTheirWidget)
{
    ASSERT_EQ(QApplication::overrideCursor(), nullptr);
    m_services.BeginWaitCursor();
    m_services.BeginWaitCursor();
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    m_services.EndWaitCursor();
    EXPECT_NE(QApplication::overrideCursor(), nullptr);
    m_services.EndWaitCursor();
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    // An unmatched end must not pop a cursor someone else set.
    QApplication::setOverrideCursor(Qt::CrossCursor);
    m_services.EndWaitCursor();
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::CrossCursor);
    QApplication::restoreOverrideCursor();

    QWidget view;
    m_services.SetCursorWidget(&view);
    m_services.SetCursor(CursorShape::ZoomIn);
    EXPECT_EQ(view.cursor().hotSpot(), ProgramCursors::HotSpot(CursorShape::ZoomIn));
    EXPECT_EQ(m_services.CurrentCursor(), CursorShape::ZoomIn);
}

TEST_F(QtUiServicesTest, TimersRepeatAndStopWhenKilledFromTheirOwnCallback)
{
    int ticks = 0;
    int id = 0;
    id = m_services.StartTimer(5, [&] {
        if (++ticks == 3)
            m_services.KillTimer(id);
    });
    QEventLoop loop;
    QTimer::singleShot(100, &loop, &QEventLoop::quit);
    loop.exec();
    EXPECT_EQ(ticks, 3);
    EXPECT_EQ(m_services.RunningTimers(), 0);
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
