#include "app/CImageInfo.h"
#include "app/CImageMappingForm.h"
#include "app/COptions.h"
#include "app/CSaveDlgForm.h"
#include "app/DoubleText.h"
#include "app/PdfPageForm.h"
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
#include "tasks/PlotData.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QValidator>

#include <gtest/gtest.h>

#include <fstream>
#include <memory>

namespace {

const char* const kStepMessage = "The grid step must not be zero.";
const char* const kNumberMessage = "Please enter a number.";

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
    DialogForms() { SetUiServices(&ui), data->NewSet(); }
    ~DialogForms() override { data.reset(), SetUiServices(nullptr); }
    std::string LastMessage() const { return ui.messages.empty() ? "" : ui.messages.back().text; }

    RecordingUiServices ui;
    Document doc;
    std::unique_ptr<PlotData> data = std::make_unique<PlotData>(&doc);
};

// Every dialog opens with its first control focused (an edit box's text selected, so that
// typing replaces it), Tab goes round the named controls in reading order (down the rows, left
// to right in a row), and each control has its What's This.
TEST_F(DialogForms, FirstControlFocusedTabInReadingOrderAndContextHelp)
{
    TransDlg axis(data.get());
    axis.LoadFields();
    CImageMapping pixel(data.get());
    pixel.LoadFields();
    RegGridDlg grid(data.get());
    grid.LoadFields();
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
    EXPECT_EQ(LastMessage(), kNumberMessage);
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
    EXPECT_EQ(LastMessage(), kStepMessage);

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

// ------------------------------------------------------------ the save prompt

class SaveForm : public DialogForms {
protected:
    SaveForm() { CSaveDlg::ForgetRememberedEntry(); }
    ~SaveForm() override { CSaveDlg::ForgetRememberedEntry(); }
    TempDir dir;
};

// The boxes follow the entry chosen and go back to the data; a name the user typed survives a
// change of filter, only its extension follows. OK into a missing folder keeps the form open.
// Replacing the file of the chosen format is asked about, also when only the name without its
// extension was typed; a new file is not, and a typed save extension keeps its own format.
TEST_F(SaveForm, BoxesFollowTheEntryAndOkAsksBeforeReplacingTheFileItWrites)
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

} // namespace
