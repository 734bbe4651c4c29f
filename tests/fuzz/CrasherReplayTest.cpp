#include "fuzz/support/FuzzReaders.h"

#include "platform/RecordingUiServices.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>

// Every input a fuzz program ever found a fault with is kept in tests/data/crashers/ and goes
// through every reader here, in every build: none may crash, hang, or give an unsound result.

namespace {

namespace fs = std::filesystem;

fs::path CrasherFolder()
{
    return fs::path(KURVO_TEST_DATA) / "crashers";
}

std::vector<std::string> CrasherNames()
{
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(CrasherFolder(), ec))
        if (entry.is_regular_file() && entry.path().filename().string()[0] != '.')
            names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::string TestName(const std::string& file)
{
    std::string name;
    for (char c : file)
        name.push_back(std::isalnum(static_cast<unsigned char>(c)) ? c : '_');
    return name;
}

class Crashers : public ::testing::TestWithParam<std::string> {
protected:
    void SetUp() override
    {
        SetUiServices(&m_ui);
        std::ifstream in(CrasherFolder() / GetParam(), std::ios::binary);
        ASSERT_TRUE(in) << GetParam();
        m_bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    void TearDown() override { SetUiServices(nullptr); }

    RecordingUiServices m_ui;
    TempDir m_dir;
    std::vector<std::uint8_t> m_bytes;
};

TEST_P(Crashers, AreHandledSoundlyByEveryReader)
{
    const std::uint8_t* d = m_bytes.data();
    const std::size_t n = m_bytes.size();
    EXPECT_NE(FeedBmp(d, n), FeedResult::Unsound);
    EXPECT_NE(FeedEmbeddedBlock(d, n), FeedResult::Unsound);
    EXPECT_NE(FeedTiff(d, n), FeedResult::Unsound);
    EXPECT_NE(FeedArchiveStrings(d, n), FeedResult::Unsound);
    // Opened as a document from a folder of its own, where bare image names lead nowhere.
    const fs::path cwd = fs::current_path();
    fs::current_path(m_dir.Path());
    const FeedResult project = FeedProject(d, n, m_dir.File("crasher.kvx"));
    fs::current_path(cwd);
    EXPECT_NE(project, FeedResult::Unsound);
}

INSTANTIATE_TEST_SUITE_P(Kept, Crashers, ::testing::ValuesIn(CrasherNames()),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                             return TestName(info.param);
                         });

TEST(CrasherFolder, HoldsTheKeptFindings)
{
    EXPECT_FALSE(CrasherNames().empty()) << CrasherFolder();
}

} // namespace
