#include "app/QtUiServices.h"
#include "support/DesktopSupport.h"
#include "support/TempDir.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QTimer>

#include <gtest/gtest.h>

#include <fstream>

namespace {

struct BoxCase {
    MsgButtons buttons;
    QMessageBox::StandardButton press;
    MsgResult expected;
};

class MessageBoxAnswer : public ::testing::TestWithParam<BoxCase> {};

TEST_P(MessageBoxAnswer, ShowsTheTextAndMapsTheButtonPressed)
{
    QString seen;
    const BoxCase c = GetParam();
    WhenShown<QMessageBox>([&](QMessageBox* box) {
        seen = box->windowTitle() + ": " + box->text();
        box->button(c.press)->click();
    });
    EXPECT_EQ(QtUiServices().MessageBox("No points to save!", "Kurvo", c.buttons, MsgIcon::Warning),
              c.expected);
    EXPECT_EQ(seen, "Kurvo: No points to save!");
}

INSTANTIATE_TEST_SUITE_P(
    Buttons, MessageBoxAnswer,
    ::testing::Values(BoxCase{MsgButtons::YesNoCancel, QMessageBox::No, MsgResult::No},
                      BoxCase{MsgButtons::RetryCancel, QMessageBox::Retry, MsgResult::Retry}));

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
    QStringList shownFilters;
    QString preselected;
    WhenShown<QFileDialog>([&](QFileDialog* dialog) {
        shownFilters = dialog->nameFilters();
        preselected = dialog->selectedNameFilter();
        dialog->selectNameFilter(shownFilters.value(2));
        dialog->selectFile(existing);
        static_cast<QDialog*>(dialog)->accept();
    });
    ASSERT_TRUE(QtUiServices().PromptFileName(prompt));
    EXPECT_EQ(shownFilters.size(), 3);
    EXPECT_EQ(preselected, "Bitmap Files (*.bmp *.dib *.tif *.tiff)");
    EXPECT_EQ(prompt.filterIndex, 3);
    EXPECT_EQ(QString::fromStdString(prompt.fileName), existing);
}

} // namespace
