#include "ui/DataSetsBox.h"

#include "document/CKurvoDoc.h"
#include "model/DbSetMgr.h"
#include "platform/CommandIds.h"
#include "tasks/PlotData.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

class DataSetsBoxTest : public ::testing::Test {
protected:
    DataSetsBoxTest()
    {
        EXPECT_TRUE(m_first.OnNewDocument());
        EXPECT_TRUE(m_second.OnNewDocument());
        m_box.SetActiveDocument([this] { return m_active; });
    }
    DbSetMgr* Sets(CKurvoDoc& doc) { return doc.GetPlotData()->GetSetMgr(); }
    QStringList Names() const
    {
        QStringList out;
        for (int i = 0; i < m_box.count(); ++i)
            out << m_box.itemText(i);
        return out;
    }

    CKurvoDoc m_first;
    CKurvoDoc m_second;
    CKurvoDoc* m_active = nullptr;
    // Declared after the documents: it goes first and lets go of their set managers.
    DataSetsBox m_box;
};

TEST_F(DataSetsBoxTest, NewAndDeletedSetsShowAtOnce)
{
    m_box.Observe(Sets(m_first));
    m_first.GetPlotData()->NewSet();
    m_first.GetPlotData()->NewSet();
    EXPECT_EQ(Names(), (QStringList{"Line 1", "Line 2", "Line 3"}));
    EXPECT_EQ(m_box.currentIndex(), 2);

    m_first.SelectSet(1);
    ASSERT_TRUE(m_first.OnCommand(ID_DATA_DELETE_SET));
    EXPECT_EQ(Names(), (QStringList{"Line 1", "Line 3"}));
    // The entries keep their slots, not their positions.
    EXPECT_EQ(m_box.SlotAt(1), 2);
}

TEST_F(DataSetsBoxTest, AChoiceMakesTheSetCurrentInTheActiveDocumentOnly)
{
    m_first.GetPlotData()->NewSet();
    m_box.Observe(Sets(m_first));
    emit m_box.activated(0);
    EXPECT_EQ(Sets(m_first)->GetCurrent(), 1) << "no active document: nothing happens";

    m_active = &m_first;
    emit m_box.activated(0);
    EXPECT_EQ(Sets(m_first)->GetCurrent(), 0);
    EXPECT_EQ(m_box.currentIndex(), 0);
    EXPECT_EQ(Sets(m_second)->GetCurrent(), 0);
}

} // namespace
