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
    const auto on = [](FeedResult (*feed)(const std::uint8_t*, std::size_t)) {
        return [feed](const Bytes& b) { return feed(b.data(), b.size()); };
    };
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
    } readers[] = {{"bmp", BmpSeeds(), on(FeedBmp), true},
                   {"block", BlockSeeds(), on(FeedEmbeddedBlock), true},
                   {"strings", StringSeeds(), on(FeedArchiveStrings), true},
                   {"tiff", TiffSeeds(m_dir.Path()), on(FeedTiff), false},
                   {"project", ProjectSeeds(m_dir.Path()), project, false},
                   {"png", PngSeeds(m_dir.Path()), on(FeedPng), true},
                   {"pdf", PdfSeeds(), on(FeedPdf), false}};
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

// The TIFF memory entry reads exactly what the file reader reads, however the file is cut;
// libtiff forgives some cut tails but never a cut header. (The bitmap reader's tests compare
// its two entries on every file they read.)
TEST_F(ReaderEntries, TiffMemoryEntryReadsWhatTheFileReaderReads)
{
    const std::string path = m_dir.File("f");
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

} // namespace
