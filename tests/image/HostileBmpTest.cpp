#include "image/BmpFile.h"
#include "image/CDib.h"
#include "image/support/TestDibs.h"
#include "platform/Archive.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <random>

namespace {

// Sound files of every kind the reader converts.
std::vector<std::vector<std::uint8_t>> Seeds()
{
    std::vector<std::vector<std::uint8_t>> files;
    for (int bits : {1, 4, 8, 16, 24, 32}) {
        const DibBlock dib = testdibs::Make(9, 6, bits);
        files.push_back(
            testdibs::BmpFile(dib, kFileHeaderSize + kInfoHeaderSize + DibPaletteSize(dib.data())));
    }
    // 8-bit and 4-bit run-length data, a 4-bit core header, 16-bit bit fields (top-down)
    const auto file = [&](const std::vector<std::uint8_t>& body, std::size_t tableBytes) {
        const std::size_t header = GetLE32(body.data());
        files.push_back(testdibs::BmpFile(
            body, static_cast<std::uint32_t>(kFileHeaderSize + header + tableBytes)));
    };
    file(testdibs::RleBody(6, 3, 8, {3, 1, 0, 3, 1, 2, 3, 0, 0, 0, 0, 2, 1, 1, 2, 2, 0, 1}, 4), 16);
    file(testdibs::RleBody(6, 3, 4, {3, 0x12, 0, 0, 0, 3, 0x12, 0x30, 0, 0, 6, 0x33, 0, 1}, 4), 16);
    file(testdibs::CoreBody(5, 2, 4, std::vector<std::uint8_t>(48, 3),
                            std::vector<std::uint8_t>(8, 3)),
         48);
    file(testdibs::BitFieldsBody(3, -2, 16, {0x7C00, 0x03E0, 0x001F},
                                 std::vector<std::uint8_t>(16, 0x5A)),
         12);
    return files;
}

// Damaged copies of sound files never crash the reader, and whatever it accepts is a DIB
// the rest of the program can work on.
TEST(HostileBitmaps, DamagedFilesFailCleanlyOrGiveSoundDibs)
{
    TempDir dir;
    const std::string path = dir.File("h.bmp");
    std::mt19937 random(20261206);
    const auto seeds = Seeds();
    for (std::size_t s = 0; s < seeds.size(); ++s) {
        testdibs::WriteFile(path, seeds[s]);
        ASSERT_TRUE(ReadBmpFile(path)) << "seed " << s;
    }
    int accepted = 0;
    for (int round = 0; round < 800; ++round) {
        std::vector<std::uint8_t> file = seeds[static_cast<std::size_t>(round) % seeds.size()];
        const int edits = 1 + static_cast<int>(random() % 4);
        for (int e = 0; e < edits; ++e) {
            switch (random() % 4) {
            case 0: // one random byte anywhere
                file[random() % file.size()] = static_cast<std::uint8_t>(random());
                break;
            case 1: // a header field set to an extreme
                PutLE32(file.data() + 14 + 4 * (random() % 9),
                        random() % 2 ? 0xFFFFFFFFu : 0x80000000u);
                break;
            case 2: // cut short
                file.resize(std::max<std::size_t>(2, file.size() - 1 - random() % 20));
                break;
            default: // pixel offset moved
                PutLE32(file.data() + 10, static_cast<std::uint32_t>(random() % 200));
                break;
            }
            if (file.size() < 18)
                break;
        }
        testdibs::WriteFile(path, file);
        const std::optional<DibBlock> dib = ReadBmpFile(path);
        if (dib) {
            ++accepted;
            ASSERT_TRUE(IsSoundDib(dib->data(), dib->size())) << "round " << round;
            ASSERT_EQ(dib->size(), DibSizeOf(dib->data())) << "round " << round;
            CDib image(dib->data(), dib->size());
            ASSERT_FALSE(image.IsEmpty());
            ASSERT_TRUE(image.Rotate(90));
        }
    }
    // Some damage (a pixel byte) leaves files readable; the test must have seen both kinds.
    EXPECT_GT(accepted, 0);
    EXPECT_LT(accepted, 800);
}

TEST(HostileBlocks, DamagedCompressedBlocksFailCleanly)
{
    const DibBlock dib = testdibs::Make(20, 10, 8);
    const CDib image(dib.data(), dib.size());
    Archive out;
    ASSERT_TRUE(image.WriteBlock(out, CDib::kFormatCompressed));
    std::mt19937 random(7);
    for (int round = 0; round < 500; ++round) {
        std::vector<std::uint8_t> bytes = out.Bytes();
        bytes[random() % bytes.size()] = static_cast<std::uint8_t>(random());
        Archive in(bytes);
        CDib back;
        if (back.ReadCompressedBlock(in))
            EXPECT_TRUE(IsSoundDib(back.GetDib(), back.GetDibLength()));
        else
            EXPECT_TRUE(back.IsEmpty());
    }
}

} // namespace
