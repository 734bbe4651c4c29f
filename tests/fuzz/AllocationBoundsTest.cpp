#include "fuzz/support/SeedFiles.h"

#include "image/BmpFile.h"
#include "image/CDib.h"
#include "image/DibUtil.h"
#include "platform/Archive.h"

#include <gtest/gtest.h>

#include <zlib.h>

#include <atomic>
#include <cstdlib>
#include <new>

// Every allocation of this test program passes here so that the tests can tell how much room
// a reader asked for. The replacements pair malloc with free, which GCC cannot see through
// once they are inlined.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif
namespace {
std::atomic<std::size_t> g_largest{0};
} // namespace

void* operator new(std::size_t size)
{
    std::size_t seen = g_largest.load();
    while (size > seen && !g_largest.compare_exchange_weak(seen, size)) {
    }
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept
{
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept
{
    std::free(p);
}

namespace {

constexpr std::size_t kSmall = 1 << 20;

// The largest single allocation made by f.
template <typename F> std::size_t LargestAllocation(F&& f)
{
    g_largest = 0;
    f();
    return g_largest.load();
}

struct ShortFile {
    const char* name;
    Bytes bytes;
};

std::ostream& operator<<(std::ostream& os, const ShortFile& f)
{
    return os << f.name;
}

// A core header bitmap of the given size holding only a few pixel bytes.
Bytes ShortCore(std::uint16_t width, std::uint16_t height)
{
    Bytes b;
    Put16(b, 0x4D42);
    Put32(b, 40);
    Put32(b, 0);
    Put32(b, 26);
    Put32(b, 12);
    Put16(b, width);
    Put16(b, height);
    Put16(b, 1);
    Put16(b, 24);
    b.resize(b.size() + 14, 0x55);
    return b;
}

class ShortBitmaps : public ::testing::TestWithParam<ShortFile> {};

// A file of a few dozen bytes whose header claims a large picture is refused before a block
// for that picture is made.
TEST_P(ShortBitmaps, AreRefusedWithoutRoomForTheClaimedPicture)
{
    const Bytes& b = GetParam().bytes;
    std::optional<DibBlock> dib;
    const std::size_t largest = LargestAllocation([&] { dib = ReadBmpMemory(b.data(), b.size()); });
    EXPECT_FALSE(dib);
    EXPECT_LT(largest, kSmall);
}

INSTANTIATE_TEST_SUITE_P(
    Files, ShortBitmaps,
    ::testing::Values(ShortFile{"bottom_up", BmpFile(4000, 4000, 24, 0, {}, Pattern(10))},
                      ShortFile{"top_down", BmpFile(4000, -4000, 24, 0, {}, Pattern(10))},
                      ShortFile{"palette", BmpFile(8000, 4000, 8, 0, Grey(2), Pattern(10), 2)},
                      ShortFile{"core", ShortCore(4000, 4000)},
                      // Runs that stop one byte short of their end.
                      ShortFile{"rle8", BmpFile(8000, 4000, 8, 1, Grey(2), {4, 1, 0, 0, 9}, 2)},
                      ShortFile{"rle4", BmpFile(8000, 4000, 4, 2, Grey(2), {4, 1, 0, 3, 1}, 2)}),
    [](const ::testing::TestParamInfo<ShortFile>& info) { return std::string(info.param.name); });

// Run-length data: expansion is bounded by the input once the picture passes 16 MiB.
struct RunLengthCase {
    const char* name;
    std::int32_t width, height;
    int bitCount;
    Bytes runs;
    bool accepted;
};

std::ostream& operator<<(std::ostream& os, const RunLengthCase& c)
{
    return os << c.name;
}

// A line end for each row, then the end of the bitmap.
Bytes LineEnds(int rows)
{
    Bytes b;
    for (int i = 0; i < rows; ++i)
        b.insert(b.end(), {0, 0});
    b.insert(b.end(), {0, 1});
    return b;
}

class RunLengthBombs : public ::testing::TestWithParam<RunLengthCase> {};

TEST_P(RunLengthBombs, AreRefusedWhileSparseRealDataIsRead)
{
    const RunLengthCase& c = GetParam();
    const Bytes file =
        BmpFile(c.width, c.height, c.bitCount, c.bitCount == 8 ? 1 : 2, Grey(2), c.runs, 2);
    std::optional<DibBlock> dib;
    const std::size_t largest =
        LargestAllocation([&] { dib = ReadBmpMemory(file.data(), file.size()); });
    ASSERT_EQ(dib.has_value(), c.accepted);
    if (c.accepted) {
        EXPECT_EQ(BitmapInfoHeader::Read(dib->data()).width, c.width);
        EXPECT_EQ(BitmapInfoHeader::Read(dib->data()).height, c.height);
    } else {
        EXPECT_LT(largest, kSmall);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Files, RunLengthBombs,
    ::testing::Values(
        // Exactly 16 MiB of pixels left to the end escape: allowed whatever the data.
        RunLengthCase{"end_only_16MiB", 4096, 4096, 8, {0, 1}, true},
        RunLengthCase{"end_only_32MiB", 8192, 4096, 8, {0, 1}, false},
        RunLengthCase{"end_only_4bit_64MiB", 16384, 8192, 4, {0, 1}, false},
        // A delta over most of a large picture.
        RunLengthCase{"delta_jump", 60000, 2000, 8, {0, 2, 0, 255, 0, 1}, false},
        // The widest rows a file may have, blank, each closed by its line end: real data.
        RunLengthCase{"line_ends_wide_rows", 100000, 400, 8, LineEnds(400), true}),
    [](const ::testing::TestParamInfo<RunLengthCase>& info) {
        return std::string(info.param.name);
    });

// A compressed block header with the given claimed length and packed bytes.
Bytes CompressedBlock(std::uint32_t length, const Bytes& packed)
{
    Bytes b;
    Put32(b, 0x01020304);
    Put32(b, length);
    Put32(b, static_cast<std::uint32_t>(packed.size()));
    b.insert(b.end(), packed.begin(), packed.end());
    return b;
}

TEST(CompressedBlocks, ClaimingMoreThanThePackedBytesCanHoldAreRefusedWithoutRoomForIt)
{
    // A valid deflate stream of 100 zero bytes, claimed to unpack to 64 MiB.
    Bytes zeros(100, 0);
    Bytes packed(compressBound(100));
    uLongf n = packed.size();
    ASSERT_EQ(compress(packed.data(), &n, zeros.data(), zeros.size()), Z_OK);
    packed.resize(n);
    const Bytes block = CompressedBlock(64u << 20, packed);
    Archive ar(block.data(), block.size());
    CDib image;
    bool ok = true;
    const std::size_t largest = LargestAllocation([&] { ok = image.ReadCompressedBlock(ar); });
    EXPECT_FALSE(ok);
    EXPECT_TRUE(image.IsEmpty());
    EXPECT_LT(largest, kSmall);
}

TEST(CompressedBlocks, AnImageOfOneColourPacksTightAndStillReadsBack)
{
    // The best case of deflate: the bound must not refuse what the program itself writes.
    BitmapInfoHeader h;
    h.bitCount = 8;
    const std::optional<DibBlock> dib = MakeDib(h, 4096, 4096, nullptr);
    ASSERT_TRUE(dib);
    CDib image(dib->data(), dib->size());
    ASSERT_FALSE(image.IsEmpty());
    Archive out;
    ASSERT_TRUE(image.WriteBlock(out, CDib::kFormatCompressed));
    const std::uint32_t packed = GetLE32(out.Bytes().data() + 8);
    EXPECT_GT(static_cast<double>(dib->size()) / packed, 500.0);
    Archive in(out.Bytes());
    CDib back;
    ASSERT_TRUE(back.ReadCompressedBlock(in));
    EXPECT_EQ(back.Block(), image.Block());
}

} // namespace
