#include "fuzz/support/FuzzReaders.h"
#include "fuzz/support/SeedFiles.h"

#include "image/BmpFile.h"
#include "image/TiffFile.h"
#include "platform/RecordingUiServices.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {

void WriteFile(const std::string& path, const std::uint8_t* data, std::size_t size)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}

class ReaderTest : public ::testing::Test {
protected:
    void SetUp() override { SetUiServices(&m_ui); }
    void TearDown() override { SetUiServices(nullptr); }

    RecordingUiServices m_ui;
    TempDir m_dir;
};

// Every seed is taken by its reader, so the corpus starts on the readers' good paths.
TEST_F(ReaderTest, EverySeedIsAcceptedByItsReader)
{
    const auto all = [](const char* kind, const Seeds& seeds, auto feed) {
        ASSERT_GE(seeds.size(), 3u) << kind;
        for (const auto& [name, bytes] : seeds) {
            ASSERT_FALSE(bytes.empty()) << name;
            EXPECT_EQ(feed(bytes), FeedResult::Accepted) << name;
        }
    };
    all("bmp", BmpSeeds(), [](const Bytes& b) { return FeedBmp(b.data(), b.size()); });
    all("block", BlockSeeds(),
        [](const Bytes& b) { return FeedEmbeddedBlock(b.data(), b.size()); });
    all("tiff", TiffSeeds(m_dir.Path()),
        [](const Bytes& b) { return FeedTiff(b.data(), b.size()); });
    all("strings", StringSeeds(),
        [](const Bytes& b) { return FeedArchiveStrings(b.data(), b.size()); });
    // A referenced image is looked for in the current folder.
    const auto cwd = std::filesystem::current_path();
    std::filesystem::current_path(m_dir.Path());
    all("project", ProjectSeeds(m_dir.Path()),
        [&](const Bytes& b) { return FeedProject(b.data(), b.size(), m_dir.File("in.kvx")); });
    std::filesystem::current_path(cwd);
}

// ---- the memory entries read exactly what the file readers read, cut or damaged

// Every prefix of the input, and the input with single bytes set to 0x00 and 0xFF.
std::vector<Bytes> Damaged(const Bytes& good)
{
    std::vector<Bytes> out;
    for (std::size_t n = 0; n < good.size(); ++n)
        out.emplace_back(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(n));
    for (std::size_t i = 0; i < good.size(); ++i)
        for (std::uint8_t v : {std::uint8_t{0}, std::uint8_t{0xFF}}) {
            if (good[i] == v)
                continue;
            Bytes b = good;
            b[i] = v;
            out.push_back(std::move(b));
        }
    return out;
}

TEST_F(ReaderTest, BitmapFromMemoryMatchesBitmapFromFileWhateverTheDamage)
{
    const std::string path = m_dir.File("b.bmp");
    std::size_t accepted = 0, cases = 0;
    for (const auto& [name, good] : BmpSeeds()) {
        for (const Bytes& b : Damaged(good)) {
            WriteFile(path, b.data(), b.size());
            const std::optional<DibBlock> fromFile = ReadBmpFile(path);
            const std::optional<DibBlock> fromMemory = ReadBmpMemory(b.data(), b.size());
            ASSERT_EQ(fromFile, fromMemory) << name << ", " << b.size() << " bytes";
            ASSERT_NE(FeedBmp(b.data(), b.size()), FeedResult::Unsound) << name;
            accepted += fromMemory.has_value();
            ++cases;
        }
    }
    // Damage to pixel bytes leaves a readable file: both outcomes were met.
    EXPECT_GT(accepted, 0u);
    EXPECT_LT(accepted, cases);
}

TEST_F(ReaderTest, TiffFromMemoryMatchesTiffFromFileForEveryPrefix)
{
    const std::string path = m_dir.File("t.tif");
    for (const auto& [name, good] : TiffSeeds(m_dir.Path())) {
        for (std::size_t n = 0; n <= good.size(); n += 1 + n / 64) {
            WriteFile(path, good.data(), n);
            const std::optional<DibBlock> fromFile = ReadTiffFile(path);
            const std::optional<DibBlock> fromMemory = ReadTiffMemory(good.data(), n, path);
            ASSERT_EQ(fromFile, fromMemory) << name << ", " << n << " bytes";
            // Whole files are read; libtiff forgives some cut tails but never a cut header.
            if (n == good.size() || n < 8) {
                ASSERT_EQ(fromMemory.has_value(), n == good.size()) << name << ", " << n;
            }
        }
    }
}

TEST_F(ReaderTest, TiffErrorsFromMemoryAreTitledWithTheGivenName)
{
    // The LZW grey image with its strip data (right after the 8-byte header) garbled.
    const Seeds seeds = TiffSeeds(m_dir.Path());
    ASSERT_EQ(seeds.at(3).first, "grey8-lzw.tif");
    Bytes tiff = seeds[3].second;
    for (std::size_t i = 8; i < 14; ++i)
        tiff[i] = 0xFF;
    m_ui.messages.clear();
    EXPECT_FALSE(ReadTiffMemory(tiff.data(), tiff.size(), "scan.tif"));
    ASSERT_FALSE(m_ui.messages.empty());
    for (const auto& m : m_ui.messages)
        EXPECT_EQ(m.caption, "scan.tif Error");
}

TEST(ReaderEntries, NothingAtAllIsRefusedByEveryReader)
{
    const std::uint8_t none[1] = {};
    EXPECT_EQ(FeedBmp(none, 0), FeedResult::Rejected);
    EXPECT_EQ(FeedEmbeddedBlock(none, 0), FeedResult::Rejected);
    EXPECT_EQ(FeedEmbeddedBlock(none, 1), FeedResult::Rejected);
    EXPECT_EQ(FeedArchiveStrings(none, 0), FeedResult::Rejected);
    EXPECT_FALSE(ReadBmpMemory(nullptr, 100));
    EXPECT_FALSE(ReadTiffMemory(nullptr, 100, "x.tif"));
}

TEST(ReaderEntries, ArchiveStringsEndingInsideAPrefixKeepTheStringsBefore)
{
    // "ab", then a 16-bit length marker cut after its first byte.
    const std::uint8_t bytes[] = {2, 'a', 'b', 0xFF, 0x10};
    EXPECT_EQ(FeedArchiveStrings(bytes, sizeof bytes), FeedResult::Accepted);
    EXPECT_EQ(FeedArchiveStrings(bytes + 3, 2), FeedResult::Rejected);
}

} // namespace
