#include "document/OptionsDlg.h"
#include "document/CPreferences.h"
#include "model/DbSetMgr.h"
#include "tasks/PlotData.h"

#include <gtest/gtest.h>

namespace {

struct Counter : Observer {
    int updates = 0;
    void Update(Observer*, std::intptr_t) override { ++updates; }
};

// Runs the Options command with a scripted user: the runner edits the fields it is shown
// and answers OK or Cancel.
class OptionsCommand : public ::testing::Test {
protected:
    OptionsCommand()
    {
        m_prefsWatcher.Observe(&m_prefs);
        m_dataWatcher.Observe(m_data.GetSetMgr());
        m_data.ApplyPreferences(false, true);
        m_dataWatcher.updates = 0;
    }
    ~OptionsCommand() override
    {
        OptionsDlg::SetRunner(nullptr);
        m_data.GetSetMgr()->Detach(&m_dataWatcher);
        m_prefs.Detach(&m_prefsWatcher);
    }

    void Answer(bool ok, std::function<void(OptionsDlg&)> edit)
    {
        OptionsDlg::SetRunner([this, ok, edit](OptionsDlg& dlg) {
            m_shown = dlg;
            edit(dlg);
            return ok;
        });
    }

    CPreferences m_prefs;
    PlotData m_data;
    Counter m_prefsWatcher;
    Counter m_dataWatcher;
    OptionsDlg m_shown;
};

// The dialog shows the preferences with Save Bitmap Copy inverted; Cancel changes nothing.
TEST_F(OptionsCommand, ShowsThePreferencesAndCancelChangesNothing)
{
    m_prefs.m_saveReference = 1;
    m_prefs.m_reuseMappingData = 1;
    m_prefs.m_allowCaching = 0;
    Answer(false, [](OptionsDlg& d) {
        d.m_sortData = 0;
        d.m_saveBitmapCopy = 1;
    });
    EXPECT_FALSE(OptionsDlg::Run(m_prefs, &m_data));
    EXPECT_EQ(m_shown.m_sortData, 1);
    EXPECT_EQ(m_shown.m_saveBitmapCopy, 0);
    EXPECT_EQ(m_shown.m_reuseMappingData, 1);
    EXPECT_EQ(m_shown.m_allowCaching, 0);
    EXPECT_EQ(m_prefs.m_sortData, 1);
    EXPECT_EQ(m_prefs.m_saveReference, 1);
    EXPECT_TRUE(m_data.GetSortFlag());
    EXPECT_EQ(m_prefsWatcher.updates + m_dataWatcher.updates, 0);
}

// OK stores the fields (Save Bitmap Copy inverted); only a changed sort flag resorts the
// active document (one notification of its sets). Without a document only the preferences
// change; without a runner the dialog counts as cancelled.
TEST_F(OptionsCommand, OkStoresTheFieldsAndOnlyAChangedSortResorts)
{
    Answer(true, [](OptionsDlg& d) {
        d.m_saveBitmapCopy = 0;
        d.m_allowCaching = 0;
    });
    EXPECT_TRUE(OptionsDlg::Run(m_prefs, &m_data));
    EXPECT_EQ(m_prefs.m_saveReference, 1);
    EXPECT_TRUE(m_data.GetSaveReference());
    EXPECT_EQ(m_prefs.m_allowCaching, 0);
    EXPECT_EQ(m_dataWatcher.updates, 0);
    EXPECT_EQ(m_prefsWatcher.updates, 1);
    Answer(true, [](OptionsDlg& d) { d.m_sortData = 0; });
    EXPECT_TRUE(OptionsDlg::Run(m_prefs, &m_data));
    EXPECT_EQ(m_prefs.m_sortData, 0);
    EXPECT_FALSE(m_data.GetSortFlag());
    EXPECT_EQ(m_dataWatcher.updates, 1);

    Answer(true, [](OptionsDlg& d) { d.m_reuseMappingData = 1; });
    EXPECT_TRUE(OptionsDlg::Run(m_prefs, nullptr));
    EXPECT_EQ(m_prefs.m_reuseMappingData, 1);
    OptionsDlg::SetRunner(nullptr);
    EXPECT_FALSE(OptionsDlg::Run(m_prefs, nullptr));
    EXPECT_EQ(m_prefsWatcher.updates, 3);
}

} // namespace
