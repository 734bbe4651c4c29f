#include "document/AttGenModel.h"
#include "document/AttDlgFields.h"
#include "model/DbAttPrim.h"
#include "model/DbPoint.h"
#include "model/DbPrimList.h"
#include "model/DbSetMgr.h"
#include "platform/Document.h"
#include "platform/RecordingUiServices.h"
#include "tasks/PlotData.h"
#include "tasks/PrimTask.h"

#include <gtest/gtest.h>

namespace {

// The attributes bar over a document with one set.
class AttGenModelTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetUiServices(&ui);
        AttGenModel::Last() = AttGenModel::Remembered();
        data = std::make_unique<PlotData>(&doc);
        data->NewSet();
        model.SetData(data.get());
    }
    void TearDown() override
    {
        data.reset();
        SetUiServices(nullptr);
    }

    void Add(const std::string& name, const std::string& value, int currentSetOnly = 0)
    {
        AttDlgFields fields = model.MakeAddFields();
        fields.m_name = name;
        fields.m_value = value;
        fields.m_currentSetOnly = currentSetOnly;
        ASSERT_TRUE(fields.OnOK());
        ASSERT_TRUE(model.ApplyAdd(fields));
    }
    std::string Listed() const
    {
        std::string text;
        for (const AttGenModel::Row& row : model.Rows())
            text += row.name + "=" + row.value + (row.active ? "+" : "-") + ";";
        return text;
    }
    // The one refusal message, taken off the list.
    std::string Refusal()
    {
        EXPECT_EQ(ui.messages.size(), 1u);
        const std::string text = ui.messages.empty() ? "" : ui.messages[0].text;
        ui.messages.clear();
        return text;
    }

    RecordingUiServices ui;
    Document doc;
    std::unique_ptr<PlotData> data;
    AttGenModel model;
};

const char* const kDuplicate = "The attribute name must not be a duplicate.";

// Names and values lose their outer blanks (not the inner ones) before the duplicate check,
// which minds the case. Editing "a", keeping the name is no duplicate and no rename.
TEST_F(AttGenModelTest, DuplicatesAreRefusedAfterTrimming)
{
    for (auto [typed, accepted] : {std::pair{"Sample", false},
                                   {"\tSample  ", false},
                                   {"sample", true},
                                   {"x", false},
                                   {"Samp", true}}) {
        AttDlgFields fields({"Sample", "x"});
        fields.m_name = typed;
        fields.m_value = " \t v\tw \r\n";
        EXPECT_EQ(fields.OnOK(), accepted) << typed;
        EXPECT_EQ(ui.messages.empty() ? "" : Refusal(), accepted ? "" : kDuplicate);
        EXPECT_EQ(fields.m_value, "v\tw");
    }
    AttDlgFields edit({"a", "b"}, "a", true);
    for (auto [typed, accepted, rename] :
         {std::tuple{" a ", true, false}, {"b", false, true}, {"c", true, true}}) {
        edit.m_name = typed;
        EXPECT_EQ(edit.OnOK(), accepted) << typed;
        EXPECT_EQ(edit.IsRename(), rename) << typed;
    }
    EXPECT_EQ(Refusal(), kDuplicate);
}

// A new attribute is document-wide and active, undoably; "Current set only" stores an entry
// in the set instead, and the next Add dialog opens with the fields of the last one.
TEST_F(AttGenModelTest, NewAttributeForTheDocumentOrTheCurrentSet)
{
    doc.SetModifiedFlag(false);
    Add("Curve", "A");
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(Listed(), "Curve=A+;");
    ASSERT_TRUE(data->Undo());
    EXPECT_EQ(Listed(), "");

    Add("Curve", "A", 1);
    EXPECT_EQ(Listed(), "");
    const AttDlgFields next = model.MakeAddFields();
    EXPECT_EQ(next.m_name + "=" + next.m_value, "Curve=A");
    EXPECT_EQ(next.m_currentSetOnly, 1);
    DbPrimList* set = data->GetSetMgr()->GetCurrentSet();
    ASSERT_EQ(set->GetCount(), 1);
    auto* entry = dynamic_cast<DbAttPrim*>(set->GetAt(0));
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->m_attribute->m_name + "=" + entry->m_attribute->m_value, "Curve=A");
    ASSERT_TRUE(data->Undo());
    EXPECT_EQ(set->GetCount(), 0);
}

// An edit keeps the position and the active state; a rename, in the dialog or in the list,
// is one undo step, after which the old name comes back at the end of the list. Duplicate
// and unchanged names are refused.
TEST_F(AttGenModelTest, EditAndRename)
{
    Add("a", "1");
    Add("b", "2");
    AttDlgFields again = model.MakeAddFields(); // remembers "b", now defined
    EXPECT_FALSE(again.OnOK());
    EXPECT_EQ(Refusal(), kDuplicate);
    ASSERT_TRUE(model.SetActive("a", false));
    AttDlgFields fields = model.MakeEditFields("a");
    EXPECT_EQ(fields.m_value, "1");
    fields.m_value = " 9 ";
    ASSERT_TRUE(fields.OnOK());
    ASSERT_TRUE(model.ApplyEdit(fields));
    EXPECT_EQ(Listed(), "a=9-;b=2+;");
    EXPECT_EQ(AttGenModel::Last().value, "9");

    fields = model.MakeEditFields("b");
    fields.m_name = "c";
    ASSERT_TRUE(fields.OnOK());
    ASSERT_TRUE(model.ApplyEdit(fields));
    EXPECT_EQ(Listed(), "a=9-;c=2+;");
    ASSERT_TRUE(data->Undo());
    EXPECT_EQ(Listed(), "a=9-;b=2+;");
    ASSERT_TRUE(data->Redo());
    EXPECT_EQ(Listed(), "a=9-;c=2+;");

    EXPECT_FALSE(model.RenameInList("a", "c"));
    EXPECT_EQ(Refusal(), kDuplicate);
    const int tasks = data->GetTaskCount();
    EXPECT_FALSE(model.RenameInList("a", " a "));
    EXPECT_EQ(data->GetTaskCount(), tasks);
    EXPECT_TRUE(model.RenameInList("a", " z "));
    EXPECT_EQ(Listed(), "c=2+;z=9+;"); // the new name replaces the attribute
}

// An unchecked attribute is not given to new points; undo checks it again. A deleted one
// leaves the list and comes back on undo. Names no longer listed, or no document at all,
// change nothing.
TEST_F(AttGenModelTest, UncheckDeleteAndStaleNames)
{
    Add("a", "1");
    ASSERT_TRUE(model.SetActive("a", false));
    auto p = std::make_unique<DbPoint>(DPoint{1, 2});
    const DbPoint* point = p.get();
    ASSERT_TRUE(data->Execute(std::make_unique<PrimTask>(data.get(), std::move(p))));
    EXPECT_EQ(point->GetAttributes()->GetSize(), 0);
    ASSERT_TRUE(data->Undo());
    ASSERT_TRUE(data->Undo());
    EXPECT_EQ(Listed(), "a=1+;");
    ASSERT_TRUE(model.Delete("a"));
    EXPECT_EQ(Listed(), "");
    ASSERT_TRUE(data->Undo());
    EXPECT_EQ(Listed(), "a=1+;");

    const int tasks = data->GetTaskCount();
    AttDlgFields stale = model.MakeEditFields("gone");
    stale.m_value = "x";
    EXPECT_FALSE(model.ApplyEdit(stale) || model.SetActive("gone", false) || model.Delete("gone"));
    EXPECT_EQ(data->GetTaskCount(), tasks);
    model.SetData(nullptr);
    EXPECT_TRUE(model.Rows().empty());
    EXPECT_FALSE(model.ApplyAdd(stale) || model.Delete("a") || model.SetActive("a", true));
}

} // namespace
