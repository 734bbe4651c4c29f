#include "app/QtUiServices.h"
#include "support/DesktopSupport.h"
#include "support/TempDir.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace {

struct BoxCase {
    MsgButtons buttons;
    QMessageBox::StandardButton press;
    MsgResult expected;
};

class MessageBoxAnswer : public ::testing::TestWithParam<BoxCase> {};

TEST_P(MessageBoxAnswer, ShowsTheTextAndMapsTheButtonPressed)
{
    QtUiServices services;
    QString seenText, seenTitle;
    const BoxCase c = GetParam();
    WhenShown<QMessageBox>([&](QMessageBox* box) {
        seenText = box->text();
        seenTitle = box->windowTitle();
        box->button(c.press)->click();
    });
    MsgResult r = services.MessageBox("No points to save!", "Kurvo", c.buttons, MsgIcon::Warning);
    EXPECT_EQ(r, c.expected);
    EXPECT_EQ(seenText, "No points to save!");
    EXPECT_EQ(seenTitle, "Kurvo");
}

INSTANTIATE_TEST_SUITE_P(
    Buttons, MessageBoxAnswer,
    ::testing::Values(BoxCase{MsgButtons::YesNoCancel, QMessageBox::No, MsgResult::No},
                      BoxCase{MsgButtons::RetryCancel, QMessageBox::Retry, MsgResult::Retry}));

TEST(FilePromptDialog, OffersTheFiltersAndReportsTheOneChosen)
{
    TempDir dir;
    const QString existing = QString::fromStdString(dir.File("scan.tif"));
    {
        QFile f(existing);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("II*\0", 4);
    }
    QtUiServices services;
    FilePrompt prompt;
    prompt.title = "Open";
    prompt.filters = {"Kurvo Files (*.kvx)|*.kvx",
                      "Bitmap Files (*.bmp;*.dib;*.tif;*.tiff)|*.bmp;*.dib;*.tif;*.tiff",
                      "All Files (*.*)|*.*"};
    prompt.filterIndex = 2;
    QStringList shownFilters;
    QString preselected;
    WhenShown<QFileDialog>([&](QFileDialog* dialog) {
        shownFilters = dialog->nameFilters();
        preselected = dialog->selectedNameFilter();
        dialog->selectNameFilter(shownFilters.value(2));
        dialog->selectFile(existing);
        static_cast<QDialog*>(dialog)->accept();
    });
    ASSERT_TRUE(services.PromptFileName(prompt));
    EXPECT_EQ(shownFilters.size(), 3);
    EXPECT_EQ(preselected, "Bitmap Files (*.bmp *.dib *.tif *.tiff)");
    EXPECT_EQ(prompt.filterIndex, 3);
    EXPECT_EQ(QString::fromStdString(prompt.fileName), existing);
}

} // namespace
