#include "ui/AttGenDlg.h"
#include "document/AttGenModel.h"
#include "model/DbAttPrim.h"
#include "model/DbPrimList.h"
#include "model/DbSetMgr.h"
#include "model/PlotData.h"
#include "platform/Document.h"
#include "platform/RecordingUiServices.h"
#include "tasks/AddAttTask.h"
#include "ui/AddAttDlg.h"
#include "ui/AttListCtrl.h"
#include "ui/EditAttDlg.h"

#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

const char* const kDuplicate = "The attribute name must not be a duplicate.";

// Fills a dialog's boxes and presses OK, as the user would.
struct Typing {
    const char* name = nullptr;
    const char* value = nullptr;
    int currentSetOnly = -1;
};

bool TypeAndOk(QDialog& dialog, const Typing& typing)
{
    if (typing.name)
        dialog.findChild<QLineEdit*>(QStringLiteral("Name"))
            ->setText(QString::fromLatin1(typing.name));
    if (typing.value)
        dialog.findChild<QLineEdit*>(QStringLiteral("Value"))
            ->setText(QString::fromLatin1(typing.value));
    if (typing.currentSetOnly >= 0)
        dialog.findChild<QCheckBox*>(QStringLiteral("CurrentSetOnly"))
            ->setChecked(typing.currentSetOnly != 0);
    dialog.accept();
    return dialog.result() == QDialog::Accepted;
}

class AttributeBar : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetUiServices(&ui);
        AttGenModel::Last() = AttGenModel::Remembered();
        data = std::make_unique<PlotData>(&doc);
        data->NewSet();
        bar = std::make_unique<AttGenDlg>();
        bar->SetDialogRunner([this](QDialog& dialog) {
            titles.push_back(dialog.windowTitle());
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
        next = [name, value](QDialog& d) { return TypeAndOk(d, {name, value, 0}); };
        bar->NewButton()->click();
    }
    QTreeWidgetItem* Row(int i) const { return bar->List()->topLevelItem(i); }

    RecordingUiServices ui;
    Document doc;
    std::unique_ptr<PlotData> data;
    std::unique_ptr<AttGenDlg> bar;
    std::function<bool(QDialog&)> next;
    std::vector<QString> titles;
};

TEST_F(AttributeBar, ListsTheDocumentsAttributesAndFollowsItsChanges)
{
    EXPECT_EQ(bar->windowTitle(), "Attributes");
    EXPECT_EQ(bar->NewButton()->text(), "New Attribute");
    EXPECT_EQ(bar->List()->headerItem()->text(0), "Name");
    EXPECT_EQ(bar->List()->headerItem()->text(1), "Value");
    ASSERT_TRUE(data->Execute(std::make_unique<AddAttTask>(data.get(), "b", "2")));
    ASSERT_TRUE(data->Execute(std::make_unique<AddAttTask>(data.get(), "a", "1")));
    EXPECT_EQ(Rows(), "a=1+;b=2+;");
    ASSERT_TRUE(data->Undo());
    EXPECT_EQ(Rows(), "b=2+;");
}

TEST_F(AttributeBar, NewAttributeDefinesItThroughTheDialog)
{
    next = [](QDialog& d) { return TypeAndOk(d, {"  Curve ", " A ", 0}); };
    bar->NewButton()->click();
    ASSERT_EQ(titles.size(), 1u);
    EXPECT_EQ(titles[0], "Define Attribute");
    EXPECT_EQ(Rows(), "Curve=A+;");
    EXPECT_TRUE(data->CanUndo());
}

TEST_F(AttributeBar, DuplicateNameShowsTheMessageAndDialogStaysOpen)
{
    Define("Curve", "A");
    bool stayedOpen = false;
    next = [&stayedOpen](QDialog& d) {
        stayedOpen = !TypeAndOk(d, {"Curve  ", "B", 0});
        return false;
    };
    bar->NewButton()->click();
    EXPECT_TRUE(stayedOpen);
    ASSERT_FALSE(ui.messages.empty());
    EXPECT_EQ(ui.messages.back().text, kDuplicate);
    EXPECT_EQ(Rows(), "Curve=A+;");
}

TEST_F(AttributeBar, DefineDialogOpensWithTheRememberedEntries)
{
    next = [](QDialog& d) { return TypeAndOk(d, {"Curve", "A", 1}); };
    bar->NewButton()->click();
    QString name, value;
    bool currentSetOnly = false;
    next = [&](QDialog& d) {
        name = d.findChild<QLineEdit*>(QStringLiteral("Name"))->text();
        value = d.findChild<QLineEdit*>(QStringLiteral("Value"))->text();
        currentSetOnly = d.findChild<QCheckBox*>(QStringLiteral("CurrentSetOnly"))->isChecked();
        return false;
    };
    bar->NewButton()->click();
    EXPECT_EQ(name, "Curve");
    EXPECT_EQ(value, "A");
    EXPECT_TRUE(currentSetOnly);
    // Only in the current set: not listed, stored in the set.
    EXPECT_EQ(Rows(), "");
    ASSERT_EQ(data->GetSetMgr()->GetCurrentSet()->GetCount(), 1);
    EXPECT_NE(dynamic_cast<DbAttPrim*>(data->GetSetMgr()->GetCurrentSet()->GetAt(0)), nullptr);
}

TEST_F(AttributeBar, EditingWithTheSameNameUpdatesTheValue)
{
    Define("a", "1");
    Define("b", "2");
    next = [](QDialog& d) { return TypeAndOk(d, {"a", "9", -1}); };
    bar->OnEditRow("a");
    EXPECT_EQ(titles.back(), "Edit Attribute");
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(Rows(), "a=9+;b=2+;");
}

TEST_F(AttributeBar, RenamingIsUndoneInOneStep)
{
    Define("a", "1");
    next = [](QDialog& d) { return TypeAndOk(d, {"z", nullptr, -1}); };
    bar->OnEditRow("a");
    EXPECT_EQ(Rows(), "z=1+;");
    ASSERT_TRUE(data->Undo());
    EXPECT_EQ(Rows(), "a=1+;");
}

TEST_F(AttributeBar, UncheckingARowDeactivatesAndUndoRestoresIt)
{
    Define("a", "1");
    Row(0)->setCheckState(0, Qt::Unchecked);
    QApplication::processEvents();
    EXPECT_EQ(Rows(), "a=1-;");
    EXPECT_EQ(data->GetSetMgr()->GetAttMgr().GetMaster()[0]->m_active, 0);
    ASSERT_TRUE(data->Undo());
    EXPECT_EQ(Rows(), "a=1+;");
}

TEST_F(AttributeBar, DeleteKeyRemovesTheSelectedRow)
{
    Define("a", "1");
    Define("b", "2");
    bar->List()->setCurrentItem(Row(1));
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier);
    QApplication::sendEvent(bar->List(), &press);
    QApplication::processEvents();
    EXPECT_EQ(Rows(), "a=1+;");
}

TEST_F(AttributeBar, NameTypedIntoTheListRenamesOrIsPutBack)
{
    Define("a", "1");
    Define("b", "2");
    Row(0)->setText(0, QStringLiteral("b"));
    QApplication::processEvents();
    EXPECT_EQ(Rows(), "a=1+;b=2+;");
    ASSERT_FALSE(ui.messages.empty());
    EXPECT_EQ(ui.messages.back().text, kDuplicate);
    Row(0)->setText(0, QStringLiteral("c"));
    QApplication::processEvents();
    EXPECT_EQ(Rows(), "b=2+;c=1+;");
}

void DoubleClick(QWidget* viewport, QPoint pos)
{
    QMouseEvent event(QEvent::MouseButtonDblClick, QPointF(pos),
                      viewport->mapToGlobal(QPointF(pos)), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(viewport, &event);
    QApplication::processEvents();
}

TEST_F(AttributeBar, DoubleClickOnTheNameEditsButNotOnTheCheckBox)
{
    Define("a", "1");
    bar->resize(300, 200);
    bar->show();
    QApplication::processEvents();
    AttListCtrl* list = bar->List();
    const QRect row = list->visualItemRect(Row(0));
    const std::size_t opened = titles.size();
    QString shownName;
    next = [&shownName](QDialog& d) {
        shownName = d.findChild<QLineEdit*>(QStringLiteral("Name"))->text();
        return false;
    };
    DoubleClick(list->viewport(), QPoint(row.left() + 4, row.center().y()));
    EXPECT_EQ(titles.size(), opened);
    DoubleClick(list->viewport(), QPoint(list->viewport()->width() * 3 / 4, row.center().y()));
    ASSERT_EQ(titles.size(), opened + 1);
    EXPECT_EQ(titles.back(), "Edit Attribute");
    EXPECT_EQ(shownName, "a");
    // Below the rows nothing is edited.
    DoubleClick(list->viewport(), QPoint(row.center().x(), row.bottom() + 40));
    EXPECT_EQ(titles.size(), opened + 1);
}

TEST_F(AttributeBar, WithoutDataNewAttributeDoesNothingAndListIsEmpty)
{
    Define("a", "1");
    bar->SetPlotData(nullptr);
    EXPECT_EQ(Rows(), "");
    bar->NewButton()->click();
    EXPECT_EQ(titles.size(), 1u);
}

TEST_F(AttributeBar, LetsGoOfTheDataItObserved)
{
    DbAttMgrRep& mgr = data->GetSetMgr()->GetAttMgr();
    const int before = mgr.ObserverCount();
    bar->SetPlotData(nullptr);
    EXPECT_EQ(mgr.ObserverCount(), before - 1);
    bar->SetPlotData(data.get());
    bar.reset();
    EXPECT_EQ(mgr.ObserverCount(), before - 1);
}

} // namespace
