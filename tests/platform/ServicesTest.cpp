#include "platform/Document.h"
#include "platform/HeadlessUiServices.h"
#include "platform/Profile.h"
#include "platform/RecordingUiServices.h"

#include <gtest/gtest.h>

namespace {

TEST(MemoryProfile, NumbersAndTextMixButPartialNumbersReadAsTheDefault)
{
    MemoryProfile p;
    p.WriteInt("Settings", "PickTol", 7);
    EXPECT_EQ(p.GetString("Settings", "PickTol", ""), "7");
    EXPECT_EQ(p.GetInt("Other", "PickTol", 3), 3);
    p.WriteString("Settings", "Count", "12");
    EXPECT_EQ(p.GetInt("Settings", "Count", 0), 12);
    p.WriteString("Settings", "Name", "12abc");
    EXPECT_EQ(p.GetInt("Settings", "Name", -1), -1);
    std::vector<std::uint8_t> bin;
    EXPECT_FALSE(p.GetBinary("Settings", "WindowPos", bin));
    p.WriteBinary("Settings", "WindowPos", {1, 2, 3});
    ASSERT_TRUE(p.GetBinary("Settings", "WindowPos", bin));
    EXPECT_EQ(bin, (std::vector<std::uint8_t>{1, 2, 3}));
}

struct CountingView : View {
    std::vector<std::intptr_t> hints;
    void OnUpdate(View*, std::intptr_t hint) override { hints.push_back(hint); }
};

// The title is the path's file name; updates skip the sender; views and documents let go of
// each other.
TEST(Document, TitleUpdatesAndViewsAndDocumentsLetGoOfEachOther)
{
    auto doc = std::make_unique<Document>();
    doc->SetPathName("/data/plots/fig 3.kvx");
    EXPECT_EQ(doc->GetTitle(), "fig 3.kvx");
    EXPECT_EQ(FileNameOfPath("C:\\plots\\a.bmp"), "a.bmp");
    CountingView a, b;
    doc->AddView(&a);
    doc->AddView(&b);
    doc->AddView(&a); // once only
    EXPECT_EQ(doc->GetViews().size(), 2u);
    EXPECT_EQ(a.GetDocument(), doc.get());
    doc->UpdateAllViews(&a, 3);
    EXPECT_TRUE(a.hints.empty());
    EXPECT_EQ(b.hints, (std::vector<std::intptr_t>{3}));
    doc->UpdateAllViews(nullptr, 1);
    EXPECT_EQ(a.hints, (std::vector<std::intptr_t>{1}));
    {
        CountingView gone;
        doc->AddView(&gone);
    }
    EXPECT_EQ(doc->GetViews().size(), 2u);
    doc.reset();
    EXPECT_EQ(a.GetDocument(), nullptr);
}

// Installed services answer (the recording ones with scripted answers, then Ok; a timer
// callback may kill its own timer); none installed means the headless ones again.
TEST(UiServices, InstalledServicesAnswerAndNullRestoresHeadless)
{
    RecordingUiServices ui;
    SetUiServices(&ui);
    ui.messageAnswers.push_back(MsgResult::No);
    UiServices& installed = GetUiServices();
    EXPECT_EQ(installed.MessageBox("Save?", "Kurvo", MsgButtons::YesNo, MsgIcon::Question),
              MsgResult::No);
    EXPECT_EQ(installed.MessageBox("Hello"), MsgResult::Ok);
    EXPECT_EQ(ui.messages.size(), 2u);
    int self = 0;
    self = ui.StartTimer(10, [&] { ui.KillTimer(self); });
    EXPECT_TRUE(ui.FireTimer(self));
    EXPECT_FALSE(ui.FireTimer(self));
    {
        WaitCursor wait;
        EXPECT_EQ(ui.waitDepth, 1);
    }
    EXPECT_EQ(ui.waitDepth, 0);
    SetUiServices(nullptr);
    EXPECT_NE(&GetUiServices(), static_cast<UiServices*>(&ui));
}

TEST(HeadlessUiServices, MessagesBecomeLines)
{
    std::FILE* f = std::tmpfile();
    ASSERT_NE(f, nullptr);
    HeadlessUiServices(f).MessageBox("No points to save!", "Kurvo", MsgButtons::Ok,
                                     MsgIcon::Warning);
    std::rewind(f);
    char line[64] = {};
    EXPECT_STREQ(std::fgets(line, sizeof line, f), "No points to save!\n");
    std::fclose(f);
}

} // namespace
