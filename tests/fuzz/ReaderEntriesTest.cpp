#include "fuzz/support/FuzzReaders.h"
#include "fuzz/support/SeedFiles.h"

#include "image/BmpFile.h"
#include "image/TiffFile.h"
#include "platform/RecordingUiServices.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

namespace {

class ReaderEntries : public ::testing::Test {
protected:
    void SetUp() override { SetUiServices(&m_ui); }
    void TearDown() override { SetUiServices(nullptr); }

    RecordingUiServices m_ui;
    TempDir m_dir;
};

// Every prefix of the input, and the input with single bytes set to 0x00 and 0xFF.
std::vector<Bytes> Damaged(const Bytes& good)
{
    std::vector<Bytes> out;
    for (std::size_t n = 0; n < good.size(); ++n)
        out.emplace_back(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(n));
    for (std::size_t i = 0; i < good.size(); ++i)
        for (std::uint8_t v : {std::uint8_t{0}, std::uint8_t{0xFF}})
            if (good[i] != v) {
                out.push_back(good);
                out.back()[i] = v;
            }
    return out;
}

// Every seed is taken by its reader, so the corpus starts on the readers' good paths; damaged
// copies of the in-memory kinds are refused or read into something sound.
TEST_F(ReaderEntries, SeedsAreAcceptedAndDamagedCopiesNeverUnsound)
{
    using Feed = std::function<FeedResult(const Bytes&)>;
    const auto bmp = [](const Bytes& b) { return FeedBmp(b.data(), b.size()); };
    const auto block = [](const Bytes& b) { return FeedEmbeddedBlock(b.data(), b.size()); };
    const auto strings = [](const Bytes& b) { return FeedArchiveStrings(b.data(), b.size()); };
    const auto tiff = [](const Bytes& b) { return FeedTiff(b.data(), b.size()); };
    const auto png = [](const Bytes& b) { return FeedPng(b.data(), b.size()); };
    const auto pdf = [](const Bytes& b) { return FeedPdf(b.data(), b.size()); };
    const auto project = [&](const Bytes& b) {
        return FeedProject(b.data(), b.size(), m_dir.File("in.kvx"));
    };
    // A referenced image is looked for in the current folder.
    const auto cwd = std::filesystem::current_path();
    std::filesystem::current_path(m_dir.Path());
    const struct {
        const char* kind;
        Seeds seeds;
        Feed feed;
        bool damage;
    } readers[] = {{"bmp", BmpSeeds(), bmp, true},
                   {"block", BlockSeeds(), block, true},
                   {"strings", StringSeeds(), strings, true},
                   {"tiff", TiffSeeds(m_dir.Path()), tiff, false},
                   {"project", ProjectSeeds(m_dir.Path()), project, false},
                   {"png", PngSeeds(m_dir.Path()), png, true},
                   {"pdf", PdfSeeds(), pdf, false}};
    for (const auto& r : readers) {
        ASSERT_GE(r.seeds.size(), 3u) << r.kind;
        for (const auto& [name, bytes] : r.seeds) {
            EXPECT_EQ(r.feed(bytes), FeedResult::Accepted) << name;
            for (const Bytes& b : r.damage ? Damaged(bytes) : std::vector<Bytes>())
                ASSERT_NE(r.feed(b), FeedResult::Unsound) << name << ", " << b.size();
        }
    }
    std::filesystem::current_path(cwd);
}

// The memory entries read exactly what the file readers read, however the file is cut or
// damaged; libtiff forgives some cut tails but never a cut header.
TEST_F(ReaderEntries, MemoryEntriesReadWhatTheFileReadersRead)
{
    const std::string path = m_dir.File("f");
    std::size_t accepted = 0, cases = 0;
    for (const auto& [name, good] : BmpSeeds())
        for (const Bytes& b : Damaged(good)) {
            testdibs::WriteFile(path, b);
            const std::optional<DibBlock> fromMemory = ReadBmpMemory(b.data(), b.size());
            ASSERT_EQ(ReadBmpFile(path), fromMemory) << name << ", " << b.size() << " bytes";
            accepted += fromMemory.has_value();
            ++cases;
        }
    // Damage to pixel bytes leaves a readable file: both outcomes were met.
    EXPECT_GT(accepted, 0u);
    EXPECT_LT(accepted, cases);
    for (const auto& [name, good] : TiffSeeds(m_dir.Path()))
        for (std::size_t n = 0; n <= good.size(); n += 1 + n / 64) {
            testdibs::WriteFile(path, Bytes(good.begin(), good.begin() + n));
            const std::optional<DibBlock> fromMemory = ReadTiffMemory(good.data(), n, path);
            ASSERT_EQ(ReadTiffFile(path), fromMemory) << name << ", " << n << " bytes";
            if (n == good.size() || n < 8) {
                ASSERT_EQ(fromMemory.has_value(), n == good.size()) << name << ", " << n;
            }
        }
}

TEST(ReaderEntriesEmpty, NoBytesAreRefused)
{
    EXPECT_FALSE(ReadBmpMemory(nullptr, 100));
    EXPECT_FALSE(ReadTiffMemory(nullptr, 100, "x.tif"));
}

} // namespace
