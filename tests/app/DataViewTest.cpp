#include "ui/CDataView.h"

#include "document/CPreferences.h"
#include "mapping/TransformData.h"
#include "mapping/TransformMan.h"
#include "model/DbAttRep.h"
#include "model/DbPoint.h"
#include "model/DbSetMgr.h"
#include "tasks/PlotData.h"
#include "tasks/PrimTask.h"

#include <QHeaderView>

#include <gtest/gtest.h>

namespace {

// ---- the text to rows step

struct ParseCase {
    const char* name;
    const char* text;
    std::vector<std::vector<std::string>> rows;
    int maxFields;
};

class ParseTextTest : public ::testing::TestWithParam<ParseCase> {};

TEST_P(ParseTextTest, RowsAndWidth)
{
    const ParseCase& c = GetParam();
    const CDataView::Table table = CDataView::ParseText(c.text, ',');
    EXPECT_EQ(table.rows, c.rows);
    EXPECT_EQ(table.maxFields, c.maxFields);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ParseTextTest,
    ::testing::Values(
        ParseCase{"Empty", "", {}, 0},
        ParseCase{"TextAfterTheLastLineEndIsNoLine", "Line 1\nX,Y\n5,6", {{"X", "Y"}}, 2},
        ParseCase{"ShortLinesKeepTheirOwnCells",
                  "S\nX,Y,colour,size\n1,2,red,\n7,8\n",
                  {{"X", "Y", "colour", "size"}, {"1", "2", "red", ""}, {"7", "8"}},
                  4},
        ParseCase{"NameWithCommasCountsForWidthOnly", "a,b,c,d,e\nX,Y\n", {{"X", "Y"}}, 5},
        ParseCase{"LineWithEmptyFirstFieldIsSkipped", "L\n,9\nX,Y\n", {{"X", "Y"}}, 2}),
    [](const ::testing::TestParamInfo<ParseCase>& info) { return info.param.name; });

// ---- the list over a real set manager

// The list, with the width its items ask for in reach.
class ListUnderTest : public CDataView {
public:
    using CDataView::sizeHintForColumn;
};

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
    QStringList Row(int i) const
    {
        QStringList out;
        const QTreeWidgetItem* item = m_view.topLevelItem(i);
        for (int c = 0; item && c < m_view.columnCount(); ++c)
            out << item->text(c);
        return out;
    }

    PlotData m_data;
    ListUnderTest m_view;
    int m_savedSort = 1;
};

TEST_F(DataViewTest, SortingFollowsThePreferenceNotTheDocument)
{
    AddPoint(3, 4);
    AddPoint(1, 2);
    m_data.SetSortFlag(false);
    GetPreferences().m_sortData = 1;
    m_view.OnInitialUpdate(m_data.GetSetMgr());
    ASSERT_EQ(m_view.topLevelItemCount(), 3);
    EXPECT_EQ(Row(1), (QStringList{"1", "2"}));
    EXPECT_EQ(Row(2), (QStringList{"3", "4"}));

    GetPreferences().m_sortData = 0;
    m_data.SetSortFlag(true);
    m_view.Update(m_data.GetSetMgr(), 0);
    EXPECT_EQ(Row(1), (QStringList{"3", "4"}));
    EXPECT_EQ(Row(2), (QStringList{"1", "2"}));
}

TEST_F(DataViewTest, AttributeColumnsAreAddedWithTheWidenedWidthAndNeverRemoved)
{
    m_view.OnInitialUpdate(m_data.GetSetMgr());
    m_view.setColumnWidth(0, 173);
    DbSetMgr* sets = m_data.GetSetMgr();
    sets->AddAttribute(DbAttPtr(new DbAttRep("colour", "red")));
    sets->AddAttribute(DbAttPtr(new DbAttRep("size", "big")));
    AddPoint(1, 1);
    ASSERT_EQ(m_view.columnCount(), 4);
    EXPECT_EQ(m_view.columnWidth(3), 173);
    EXPECT_EQ(Row(0), (QStringList{"X", "Y", "colour", "size"}));
    EXPECT_EQ(Row(1), (QStringList{"1", "1", "red", "big"}));
    // A point without a colour still shows its size.
    sets->DeleteAttribute("colour");
    AddPoint(5, 5);
    EXPECT_EQ(Row(2), (QStringList{"5", "5", "", "big"}));

    m_data.NewSet();
    sets->DeleteAttribute("colour");
    sets->DeleteAttribute("size");
    AddPoint(2, 2);
    EXPECT_EQ(m_view.columnCount(), 4) << "columns only grow";
    EXPECT_EQ(Row(1), (QStringList{"2", "2", "", ""}));
}

// The first columns are as wide as an eight-character number needs, margins included, so
// "-27.9735" is shown whole rather than cut to "-27.97...".
TEST_F(DataViewTest, EightCharacterNumbersFitTheFirstColumns)
{
    AddPoint(27.9735, 52.0789);
    m_view.OnInitialUpdate(m_data.GetSetMgr());
    QTreeWidgetItem* row = m_view.topLevelItem(1);
    ASSERT_NE(row, nullptr);
    row->setText(0, QStringLiteral("-27.9735"));
    row->setText(1, QStringLiteral("0.123456"));
    EXPECT_GE(m_view.columnWidth(0), m_view.sizeHintForColumn(0));
    EXPECT_GE(m_view.columnWidth(1), m_view.sizeHintForColumn(1));
}

TEST_F(DataViewTest, DetachedListNoLongerHearsTheSetManager)
{
    m_view.OnInitialUpdate(m_data.GetSetMgr());
    const int observers = m_data.GetSetMgr()->ObserverCount();
    m_view.Detach();
    EXPECT_EQ(m_data.GetSetMgr()->ObserverCount(), observers - 1);
    AddPoint(1, 2);
    EXPECT_EQ(m_view.topLevelItemCount(), 0);
}

} // namespace
