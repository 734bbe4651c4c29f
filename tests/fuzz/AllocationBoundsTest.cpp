#include "fuzz/support/SeedFiles.h"

#include "image/BmpFile.h"
#include "image/CDib.h"
#include "image/PictureFile.h"
#include "platform/Archive.h"

#include <gtest/gtest.h>

#include <zlib.h>

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <new>
#include <string>

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

using testdibs::BmpFile;
using testdibs::Grey;

constexpr std::size_t kSmall = 1 << 20;

// The largest single allocation made by f.
template <typename F> std::size_t LargestAllocation(F&& f)
{
    g_largest = 0;
    f();
    return g_largest.load();
}

// A few dozen bytes whose header claims a large picture are refused before a block for that
// picture is made; run-length data may leave at most 16 MiB of pixels unwritten, and more
// only for as much data as real runs would take.
TEST(AllocationBounds, ShortFilesClaimingLargePicturesAreRefusedWithoutRoomForThem)
{
    Bytes core = {12, 0, 0, 0, 0xA0, 0x0F, 0xA0, 0x0F, 1, 0, 24, 0}; // 4000 x 4000
    core.resize(core.size() + 14, 0x55);
    Bytes lineEnds(2 * 401, 0); // a line end for each row, then the end of the bitmap
    lineEnds.back() = 1;
    const struct {
        const char* name;
        Bytes file;
        bool accepted;
    } cases[] = {
        {"bottom-up", BmpFile(4000, 4000, 24, 0, {}, Pattern(10)), false},
        {"top-down", BmpFile(4000, -4000, 24, 0, {}, Pattern(10)), false},
        {"palette", BmpFile(8000, 4000, 8, 0, Grey(2), Pattern(10), 2), false},
        {"core", testdibs::Wrap(core, 26), false},
        // runs that stop one byte short of their end
        {"rle8", BmpFile(8000, 4000, 8, kBiRle8, Grey(2), {4, 1, 0, 0, 9}, 2), false},
        {"rle4", BmpFile(8000, 4000, 4, kBiRle4, Grey(2), {4, 1, 0, 3, 1}, 2), false},
        // only the end escape
        {"end only, 16 MiB", BmpFile(4096, 4096, 8, kBiRle8, Grey(2), {0, 1}, 2), true},
        {"end only, 32 MiB", BmpFile(8192, 4096, 8, kBiRle8, Grey(2), {0, 1}, 2), false},
        {"end only, 4 bits", BmpFile(16384, 8192, 4, kBiRle4, Grey(2), {0, 1}, 2), false},
        // a delta over most of a large picture
        {"delta", BmpFile(60000, 2000, 8, kBiRle8, Grey(2), {0, 2, 0, 255, 0, 1}, 2), false},
        // the widest rows a file may have, blank, each closed by its line end: real data
        {"line ends", BmpFile(100000, 400, 8, kBiRle8, Grey(2), lineEnds, 2), true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::optional<DibBlock> dib;
        const std::size_t largest =
            LargestAllocation([&] { dib = ReadBmpMemory(c.file.data(), c.file.size()); });
        ASSERT_EQ(dib.has_value(), c.accepted);
        if (c.accepted)
            EXPECT_EQ(BitmapInfoHeader::Read(dib->data()).width,
                      BitmapInfoHeader::Read(c.file.data() + kFileHeaderSize).width);
        else
            EXPECT_LT(largest, kSmall);
    }
}

// A GIF of a few dozen bytes whose frame claims 20000 x 20000 pixels, or whose screen does
// around a small frame, and JPEGs of a few dozen bytes claiming hundreds of megapixels
// (Huffman and arithmetic coded, kept findings): their data cannot give that many pixels, so
// nothing is made for them.
TEST(AllocationBounds, PicturesTheirDataCannotGiveAreRefusedWithoutRoomForThem)
{
    const Bytes gif = {'G',  'I', 'F',  '8',  '9',  'a',  0x20, 0x4E, 0x20, 0x4E,
                       0x80, 0,   0,                                           // screen
                       0,    0,   0,    255,  255,  255,                       // two colours
                       0x2C, 0,   0,    0,    0,    0x20, 0x4E, 0x20, 0x4E, 0, // the frame
                       2,    4,   0x84, 0x8F, 0xA9, 0x0B, 0,    0x3B};
    Bytes smallFrame = gif; // a 4 x 4 frame on the 20000 x 20000 screen
    smallFrame[24] = smallFrame[26] = 4;
    smallFrame[25] = smallFrame[27] = 0;
    const auto crasher = [](const char* name) {
        return testdibs::ReadFile(std::string(KURVO_TEST_DATA) + "/crashers/" + name);
    };
    const auto jpeg = [](const Bytes& b) { return ReadJpegMemory(b.data(), b.size(), nullptr); };
    const auto gifRead = [](const Bytes& b) { return ReadGifMemory(b.data(), b.size()); };
    const struct {
        const char* name;
        Bytes file;
        std::function<std::optional<DibBlock>(const Bytes&)> read;
    } cases[] = {
        {"gif frame", gif, gifRead},
        {"gif screen", smallFrame, gifRead},
        {"jpeg huffman", crasher("jpeg-46-bytes-claiming-785-megapixels.jpg"), jpeg},
        {"jpeg arithmetic", crasher("jpeg-arithmetic-41-bytes-claiming-284-megapixels.jpg"), jpeg},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_FALSE(c.file.empty());
        std::optional<DibBlock> dib;
        EXPECT_LT(LargestAllocation([&] { dib = c.read(c.file); }), kSmall);
        EXPECT_FALSE(dib);
    }
}

// The peak resident memory of this process, in bytes, after resetting it when asked to.
std::uint64_t PeakResident(bool reset)
{
    if (reset)
        std::ofstream("/proc/self/clear_refs") << "5";
    std::ifstream status("/proc/self/status");
    std::string key;
    std::uint64_t kb = 0;
    while (status >> key && key != "VmHWM:")
        status.ignore(1 << 10, '\n');
    status >> kb;
    return kb << 10;
}

// Lossless WebP has no floor of bytes per pixel: 61 bytes claiming 16384 x 15748 pixels (a
// kept finding) get the decoder's buffer, but it stays untouched when the data breaks off,
// and no 774 MB DIB is filled for them.
TEST(AllocationBounds, ALosslessWebpThatBreaksOffTouchesLittleMemory)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the address sanitizer touches the shadow of every block it hands out";
#endif
    const Bytes file =
        testdibs::ReadFile(std::string(KURVO_TEST_DATA) +
                           "/crashers/webp-lossless-61-bytes-claiming-a-large-picture.webp");
    ASSERT_FALSE(file.empty());
    const std::uint64_t before = PeakResident(true);
    EXPECT_FALSE(ReadWebpMemory(file.data(), file.size()));
    EXPECT_LT(PeakResident(false) - before, std::uint64_t{64} << 20);
}

// A compressed block claiming more than its packed bytes can hold is refused without room for
// it, yet the best case of deflate (one colour), which the program itself writes, reads back.
TEST(AllocationBounds, CompressedBlocksAreBoundedByTheirPackedBytes)
{
    Bytes zeros(100, 0);
    Bytes packed(compressBound(100));
    uLongf n = packed.size();
    ASSERT_EQ(compress(packed.data(), &n, zeros.data(), zeros.size()), Z_OK);
    Archive bomb;
    bomb.WriteU32(0x01020304);
    bomb.WriteU32(64u << 20);
    bomb.WriteU32(static_cast<std::uint32_t>(n));
    bomb.WriteBytes(packed.data(), n);
    Archive in(bomb.Bytes());
    CDib image;
    bool ok = true;
    EXPECT_LT(LargestAllocation([&] { ok = image.ReadCompressedBlock(in); }), kSmall);
    EXPECT_FALSE(ok);
    EXPECT_TRUE(image.IsEmpty());

    BitmapInfoHeader h;
    h.bitCount = 8;
    const std::optional<DibBlock> dib = MakeDib(h, 4096, 4096, nullptr);
    ASSERT_TRUE(dib);
    const CDib plain(dib->data(), dib->size());
    Archive out;
    ASSERT_TRUE(plain.WriteBlock(out, CDib::kFormatCompressed));
    EXPECT_GT(static_cast<double>(dib->size()) / GetLE32(out.Bytes().data() + 8), 500.0);
    Archive back(out.Bytes());
    ASSERT_TRUE(image.ReadCompressedBlock(back));
    EXPECT_EQ(image.Block(), plain.Block());
}

} // namespace
