#include "fuzz/support/FuzzReaders.h"

#include "image/support/TestDibs.h"
#include "platform/RecordingUiServices.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>

// Every input a fuzz program ever found a fault with is kept in tests/data/crashers/ and goes
// through every reader here, in every build: none may crash, hang, or give an unsound result.
// (An empty folder instantiates no case, which the test framework reports as a failure.)

namespace {

namespace fs = std::filesystem;

std::vector<fs::path> Crashers()
{
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(fs::path(KURVO_TEST_DATA) / "crashers"))
        if (entry.is_regular_file() && entry.path().filename().string()[0] != '.')
            files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

class Crasher : public ::testing::TestWithParam<fs::path> {
protected:
    void SetUp() override { SetUiServices(&m_ui); }
    void TearDown() override { SetUiServices(nullptr); }

    RecordingUiServices m_ui;
    TempDir m_dir;
};

TEST_P(Crasher, IsHandledSoundlyByEveryReader)
{
    const testdibs::Bytes bytes = testdibs::ReadFile(GetParam().string());
    ASSERT_FALSE(bytes.empty());
    const std::uint8_t* d = bytes.data();
    const std::size_t n = bytes.size();
    EXPECT_NE(FeedBmp(d, n), FeedResult::Unsound);
    EXPECT_NE(FeedEmbeddedBlock(d, n), FeedResult::Unsound);
    EXPECT_NE(FeedTiff(d, n), FeedResult::Unsound);
    EXPECT_NE(FeedArchiveStrings(d, n), FeedResult::Unsound);
    for (const auto feed : {FeedPng, FeedJpeg, FeedGif, FeedWebp, FeedPdf})
        EXPECT_NE(feed(d, n), FeedResult::Unsound);
    // Opened as a document from a folder of its own, where bare image names lead nowhere.
    const fs::path cwd = fs::current_path();
    fs::current_path(m_dir.Path());
    const FeedResult project = FeedProject(d, n, m_dir.File("crasher.kvx"));
    fs::current_path(cwd);
    EXPECT_NE(project, FeedResult::Unsound);
}

INSTANTIATE_TEST_SUITE_P(Kept, Crasher, ::testing::ValuesIn(Crashers()),
                         [](const ::testing::TestParamInfo<fs::path>& info) {
                             std::string name = info.param.filename().string();
                             for (char& c : name)
                                 c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
                             return name;
                         });

} // namespace
