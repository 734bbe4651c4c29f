// The attribute bar and the data list, each on plot data of its own.
#include "ui/AttGenDlg.h"
#include "ui/CDataView.h"

#include "document/AttGenModel.h"
#include "document/CPreferences.h"
#include "mapping/TransformData.h"
#include "mapping/TransformMan.h"
#include "model/DbAttRep.h"
#include "model/DbPoint.h"
#include "model/DbSetMgr.h"
#include "platform/Document.h"
#include "platform/RecordingUiServices.h"
#include "tasks/AddAttTask.h"
#include "tasks/PlotData.h"
#include "tasks/PrimTask.h"
#include "ui/AttListCtrl.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

// Fills a dialog's boxes and presses OK, as the user would; a new attribute is the document's.
bool TypeAndOk(QDialog& dialog, const char* name, const char* value)
{
    dialog.findChild<QLineEdit*>(QStringLiteral("Name"))->setText(name);
    dialog.findChild<QLineEdit*>(QStringLiteral("Value"))->setText(value);
    if (auto* box = dialog.findChild<QCheckBox*>(QStringLiteral("CurrentSetOnly")))
        box->setChecked(false);
    dialog.accept();
    return dialog.result() == QDialog::Accepted;
}

class AttributeBar : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetUiServices(&ui);
        AttGenModel::Last() = AttGenModel::Remembered();
        data->NewSet();
        bar->SetDialogRunner([this](QDialog& dialog) {
            ++shown;
            return next ? next(dialog) : false;
        });
        bar->SetPlotData(data.get());
    }
    void TearDown() override
    {
        bar.reset();
        data.reset();
        SetUiServices(nullptr);
    }
    // The rows as "name=value+" (checked) or "name=value-", in list order.
    std::string Rows() const
    {
        std::string text;
        AttListCtrl* list = bar->List();
        for (int i = 0; i < list->topLevelItemCount(); ++i) {
            QTreeWidgetItem* item = list->topLevelItem(i);
            text += item->text(0).toStdString() + "=" + item->text(1).toStdString() +
                    (item->checkState(0) == Qt::Checked ? "+" : "-") + ";";
        }
        return text;
    }
    void Define(const char* name, const char* value)
    {
        next = [name, value](QDialog& d) { return TypeAndOk(d, name, value); };
        bar->NewButton()->click();
    }
    QTreeWidgetItem* Row(int i) const { return bar->List()->topLevelItem(i); }

    RecordingUiServices ui;
    Document doc;
    std::unique_ptr<PlotData> data = std::make_unique<PlotData>(&doc);
    std::unique_ptr<AttGenDlg> bar = std::make_unique<AttGenDlg>();
    std::function<bool(QDialog&)> next;
    int shown = 0;
};

// The list follows the document's changes; unchecking a row is an undoable change.
// Editing in the dialog renames and sets the value; a name typed into the list renames, unless
// it is taken; Delete removes the selected row.
TEST_F(AttributeBar, FollowsTheDocumentAndEditsRenamesAndDeletesThroughIt)
{
    ASSERT_TRUE(data->Execute(std::make_unique<AddAttTask>(data.get(), "b", "2")));
    ASSERT_TRUE(data->Execute(std::make_unique<AddAttTask>(data.get(), "a", "1")));
    EXPECT_EQ(Rows(), "a=1+;b=2+;");
    Row(0)->setCheckState(0, Qt::Unchecked);
    QApplication::processEvents();
    EXPECT_EQ(Rows(), "a=1-;b=2+;");
    ASSERT_TRUE(data->Undo());
    EXPECT_EQ(Rows(), "a=1+;b=2+;");
    ASSERT_TRUE(data->Undo());
    EXPECT_EQ(Rows(), "b=2+;");

    Define("x", "1");
    next = [](QDialog& d) { return TypeAndOk(d, "a", "7"); };
    bar->OnEditRow("x");
    ASSERT_EQ(Rows(), "a=7+;b=2+;");
    Row(0)->setText(0, QStringLiteral("b"));
    QApplication::processEvents();
    EXPECT_EQ(Rows(), "a=7+;b=2+;");
    EXPECT_EQ(ui.messages.at(0).text, "The attribute name must not be a duplicate.");
    Row(0)->setText(0, QStringLiteral("c"));
    QApplication::processEvents();
    EXPECT_EQ(Rows(), "b=2+;c=7+;");

    bar->List()->setCurrentItem(Row(1));
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier);
    QApplication::sendEvent(bar->List(), &press);
    QApplication::processEvents();
    EXPECT_EQ(Rows(), "b=2+;");

    // Without data the bar is empty and does nothing; it stops observing what it showed, also
    // when it goes away showing data again.
    DbAttMgrRep& mgr = data->GetSetMgr()->GetAttMgr();
    const int before = mgr.ObserverCount();
    bar->SetPlotData(nullptr);
    EXPECT_EQ(mgr.ObserverCount(), before - 1);
    EXPECT_EQ(Rows(), "");
    const int dialogs = shown;
    bar->NewButton()->click();
    EXPECT_EQ(shown, dialogs);
    bar->SetPlotData(data.get());
    bar.reset();
    EXPECT_EQ(mgr.ObserverCount(), before - 1);
}

class DataViewTest : public ::testing::Test {
protected:
    DataViewTest()
    {
        m_data.NewSet();
        m_savedSort = GetPreferences().m_sortData;
        // Pixels 0..100 map to 0..100 on both axes, y upwards.
        TransformData* t = m_data.GetTransform();
        std::unique_ptr<TransformMan> man = NewRep<TransformMan>(*t);
        man->GetBox().SetPixelRect({0, 0}, {100, 100});
        man->Notify(0);
        man->Detach(t);
        t->SetLimits({0, 0}, {100, 100});
    }
    ~DataViewTest() override { GetPreferences().m_sortData = m_savedSort; }

    // A point at graph position (x, y).
    void AddPoint(double x, double y)
    {
        ASSERT_TRUE(m_data.Execute(
            std::make_unique<PrimTask>(&m_data, std::make_unique<DbPoint>(DPoint{x, 100 - y}))));
    }
    // The rows, cells separated by blanks, after the header.
    std::string Shown() const
    {
        std::string text;
        for (int i = 1; i < m_view.topLevelItemCount(); ++i) {
            for (int c = 0; c < m_view.columnCount(); ++c)
                text += m_view.topLevelItem(i)->text(c).toStdString() + (c ? " " : ",");
            text += "|";
        }
        return text;
    }

    PlotData m_data;
    CDataView m_view;
    int m_savedSort = 1;
};

// The list sorts by the preference, not the document's flag. Attribute columns are added at
// the widened width and never removed.
TEST_F(DataViewTest, SortsByThePreferenceAndAttributeColumnsOnlyGrow)
{
    AddPoint(3, 4);
    AddPoint(1, 2);
    m_data.SetSortFlag(false);
    GetPreferences().m_sortData = 1;
    m_view.OnInitialUpdate(m_data.GetSetMgr());
    EXPECT_EQ(Shown(), "1,2 |3,4 |");
    GetPreferences().m_sortData = 0;
    m_data.SetSortFlag(true);
    m_view.Update(m_data.GetSetMgr(), 0);
    EXPECT_EQ(Shown(), "3,4 |1,2 |");

    m_data.NewSet();
    m_view.setColumnWidth(0, 173);
    DbSetMgr* sets = m_data.GetSetMgr();
    sets->AddAttribute(DbAttPtr(new DbAttRep("colour", "red")));
    sets->AddAttribute(DbAttPtr(new DbAttRep("size", "big")));
    AddPoint(1, 1);
    ASSERT_EQ(m_view.columnCount(), 4);
    EXPECT_EQ(m_view.columnWidth(3), 173);
    EXPECT_EQ(m_view.topLevelItem(0)->text(2), "colour");
    // A point without a colour still shows its size.
    sets->DeleteAttribute("colour");
    AddPoint(5, 5);
    EXPECT_EQ(Shown(), "1,1 red big |5,5  big |");

    m_data.NewSet();
    sets->DeleteAttribute("size");
    AddPoint(2, 2);
    EXPECT_EQ(Shown(), "2,2   |");
}

} // namespace
