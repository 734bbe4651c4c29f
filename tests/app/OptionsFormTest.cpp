#include "app/COptions.h"
#include "document/OptionsDlg.h"

#include <QCheckBox>

#include <gtest/gtest.h>

namespace {

QCheckBox* BoxOf(COptions& form, const char* name)
{
    return form.findChild<QCheckBox*>(QString::fromLatin1(name));
}

TEST(OptionsForm, ChecksFollowTheFieldsAndOkWritesThemBack)
{
    OptionsDlg fields;
    fields.m_sortData = 1;
    fields.m_saveBitmapCopy = 0;
    fields.m_reuseMappingData = 0;
    fields.m_allowCaching = 1;
    COptions form(fields);
    EXPECT_EQ(form.windowTitle(), "Options");
    ASSERT_NE(BoxOf(form, "SortData"), nullptr);
    EXPECT_EQ(BoxOf(form, "SortData")->text(), "Sort Data Points");
    EXPECT_EQ(BoxOf(form, "SaveBitmapCopy")->text(), "Save Bitmap Copy");
    EXPECT_EQ(BoxOf(form, "ReuseMappingData")->text(), "Reuse Mapping Data");
    EXPECT_EQ(BoxOf(form, "AllowCaching")->text(), "Allow Image Caching");
    EXPECT_TRUE(BoxOf(form, "SortData")->isChecked());
    EXPECT_FALSE(BoxOf(form, "SaveBitmapCopy")->isChecked());

    BoxOf(form, "SortData")->setChecked(false);
    BoxOf(form, "SaveBitmapCopy")->setChecked(true);
    BoxOf(form, "ReuseMappingData")->setChecked(true);
    BoxOf(form, "AllowCaching")->setChecked(false);
    form.accept();
    EXPECT_EQ(fields.m_sortData, 0);
    EXPECT_EQ(fields.m_saveBitmapCopy, 1);
    EXPECT_EQ(fields.m_reuseMappingData, 1);
    EXPECT_EQ(fields.m_allowCaching, 0);
}

TEST(OptionsForm, CancelLeavesTheFields)
{
    OptionsDlg fields;
    fields.m_allowCaching = 1;
    COptions form(fields);
    BoxOf(form, "AllowCaching")->setChecked(false);
    form.reject();
    EXPECT_EQ(fields.m_allowCaching, 1);
}

} // namespace
