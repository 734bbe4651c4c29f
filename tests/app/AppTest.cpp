#include "app/CKurvoApp.h"
#include "app/CMainFrame.h"
#include "platform/CommandIds.h"
#include "platform/Profile.h"
#include "platform/RecordingUiServices.h"

#include <QMenu>
#include <QMenuBar>

#include <gtest/gtest.h>

namespace {

// The recording double, also answering with the filter the "user" picked.
struct PromptingServices : RecordingUiServices {
    std::deque<int> chosenFilters;
    bool PromptFileName(FilePrompt& prompt) override
    {
        bool ok = RecordingUiServices::PromptFileName(prompt);
        if (ok && !chosenFilters.empty()) {
            prompt.filterIndex = chosenFilters.front();
            chosenFilters.pop_front();
        }
        return ok;
    }
};

class AppTest : public ::testing::Test {
protected:
    // Opening records the path and answers m_openSucceeds.
    AppTest()
    {
        auto profile = std::make_unique<MemoryProfile>();
        m_profile = profile.get();
        m_app = std::make_unique<CKurvoApp>(std::move(profile), &m_ui);
        CKurvoApp::DocumentHooks hooks;
        hooks.openDocument = [this](const std::string& path) {
            m_opened.push_back(path);
            return m_openSucceeds;
        };
        m_app->SetDocumentHooks(hooks);
    }

    PromptingServices m_ui;
    MemoryProfile* m_profile = nullptr;
    std::unique_ptr<CKurvoApp> m_app;
    std::vector<std::string> m_opened;
    bool m_openSucceeds = true;
};

// Options are skipped when looking for the command line's file. Open offers images first, then
// the filter chosen last.
TEST_F(AppTest, CommandLineFileThenOpenOffersImagesFirstThenTheFilterChosenLast)
{
    ASSERT_TRUE(m_app->InitInstance({"kurvo", "-reverse", "/data/plot.tif", "/data/other.tif"}));
    EXPECT_EQ(m_opened, (std::vector<std::string>{"/data/plot.tif"}));
    m_opened.clear();
    m_ui.promptAnswers = {std::string("/p/a.tif"), std::string("/p/b.dat"), std::nullopt};
    m_ui.chosenFilters = {10, 1};

    // The all-files filter chosen first is offered next, with no default extension; the
    // last prompt is cancelled: nothing opens and the remembered filter stays.
    std::vector<std::pair<int, std::string>> offered;
    for (int i = 0; i < 3; ++i) {
        m_app->MainFrame()->RouteCommand(ID_FILE_OPEN);
        ASSERT_EQ(m_ui.prompts.size(), i + 1u);
        offered.emplace_back(m_ui.prompts.back().filterIndex, m_ui.prompts.back().defaultExtension);
    }
    EXPECT_EQ(offered,
              (std::vector<std::pair<int, std::string>>{{2, "bmp"}, {10, ""}, {1, "kvx"}}));
    EXPECT_EQ(m_opened, (std::vector<std::string>{"/p/a.tif", "/p/b.dat"}));
    EXPECT_EQ(m_app->OpenFilterIndex(), 0);
    EXPECT_EQ(m_app->RecentFiles().At(0), "/p/b.dat");
}

TEST_F(AppTest, RecentFilesAreListedAndOpenAndADeadEntryLeavesTheList)
{
    m_profile->WriteString("Recent File List", "File1", "/p/new&.kvx");
    m_profile->WriteString("Recent File List", "File2", "/p/old.kvx");
    ASSERT_TRUE(m_app->InitInstance({"kurvo"}));
    CMainFrame* frame = m_app->MainFrame();
    // The File menu shows them between its separators.
    QMenu* file = frame->menuBar()->actions().front()->menu();
    emit file->aboutToShow();
    QStringList visible;
    for (QAction* a : file->actions())
        if (a->isVisible())
            visible << (a->isSeparator() ? QString("-") : a->text());
    EXPECT_EQ(visible.mid(visible.size() - 5),
              (QStringList{"-", "&1 /p/new&&.kvx", "&2 /p/old.kvx", "-", "E&xit"}));
    EXPECT_TRUE(frame->QueryCommand(ID_FILE_MRU_FILE1 + 1).enabled);
    EXPECT_FALSE(frame->QueryCommand(ID_FILE_MRU_FILE1 + 2).enabled);

    ASSERT_TRUE(frame->RouteCommand(ID_FILE_MRU_FILE1 + 1));
    EXPECT_EQ(m_opened.back(), "/p/old.kvx");
    EXPECT_EQ(m_app->RecentFiles().At(0), "/p/old.kvx");

    m_openSucceeds = false;
    frame->RouteCommand(ID_FILE_MRU_FILE1 + 1);
    EXPECT_EQ(m_opened.back(), "/p/new&.kvx");
    EXPECT_EQ(m_app->RecentFiles().Size(), 1);
    EXPECT_EQ(m_app->RecentFiles().At(0), "/p/old.kvx");

    m_app->ExitInstance(0);
    EXPECT_EQ(m_profile->GetString("Recent File List", "File1", ""), "/p/old.kvx");
    EXPECT_EQ(m_profile->GetString("Recent File List", "File2", "x"), "");
}

} // namespace
