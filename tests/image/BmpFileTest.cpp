#include "image/BmpFile.h"
#include "image/CDib.h"
#include "image/support/TestDibs.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

using namespace testdibs;

namespace {

std::uint32_t PixelOffset(const DibBlock& dib)
{
    return kFileHeaderSize + kInfoHeaderSize + DibPaletteSize(dib.data());
}

class BmpReader : public ::testing::Test {
protected:
    // The file read from disk; reading it from memory must give the same.
    std::optional<DibBlock> Read(const Bytes& file)
    {
        WriteFile(m_dir.File("x.bmp"), file);
        std::optional<DibBlock> dib = ReadBmpFile(m_dir.File("x.bmp"));
        EXPECT_EQ(dib, ReadBmpMemory(file.data(), file.size()));
        return dib;
    }
    TempDir m_dir;
};

class BmpDepth : public BmpReader, public ::testing::WithParamInterface<int> {};

// 13 pixels wide: rows need padding at every depth.
TEST_P(BmpDepth, FilesRoundTripAndStoredVariantsGiveTheSameDib)
{
    const DibBlock dib = Make(13, 7, GetParam());
    const std::uint32_t offset = PixelOffset(dib);
    const std::string path = m_dir.File("a.bmp");
    ASSERT_TRUE(WriteBmpFile(path, dib.data(), dib.size()));
    EXPECT_EQ(ReadFile(path), Wrap(dib, offset));
    EXPECT_EQ(ReadBmpFile(path), dib);
    // A gap between the table and the pixels is skipped.
    Bytes gap = dib;
    gap.insert(gap.begin() + (offset - kFileHeaderSize), 20, 0xEE);
    EXPECT_EQ(Read(Wrap(gap, offset + 20)), dib);
    // Top-down rows become bottom-up.
    Bytes topDown(dib.begin(), dib.begin() + (offset - kFileHeaderSize));
    PutLE32(topDown.data() + 8, static_cast<std::uint32_t>(-7));
    const std::uint64_t row = DibRowBytes(dib.data());
    for (int r = 6; r >= 0; --r)
        topDown.insert(topDown.end(), FindDibBits(dib.data()) + r * row,
                       FindDibBits(dib.data()) + (r + 1) * row);
    EXPECT_EQ(Read(Wrap(topDown, offset)), dib);
    // Packed, as a scanner hands it over, in either row order (such a block has masks only
    // with bit fields, so the program's 16- and 32-bit layout is not one of them top-down).
    EXPECT_EQ(ReadPackedDib(dib.data(), dib.size()), dib);
    if (GetParam() != 16 && GetParam() != 32) {
        EXPECT_EQ(ReadPackedDib(topDown.data(), topDown.size()), dib);
    }
    // One pixel byte short.
    Bytes cut = Wrap(dib, offset);
    cut.pop_back();
    EXPECT_FALSE(Read(cut));
}

INSTANTIATE_TEST_SUITE_P(EveryDepth, BmpDepth, ::testing::Values(1, 4, 8, 16, 24, 32));

// A bitmap over 16 MiB is read in two halves at once: both, and the seam between them, arrive.
TEST_F(BmpReader, LargeBitmapsArriveWhole)
{
    DibBlock dib = Make(2400, 2400, 24);
    std::uint8_t* bits = FindDibBits(dib.data());
    const std::size_t n = dib.size() - static_cast<std::size_t>(bits - dib.data());
    for (std::size_t i = 0; i < n; ++i)
        bits[i] = static_cast<std::uint8_t>(i * 131 + (i >> 16));
    const std::string path = m_dir.File("large.bmp");
    ASSERT_TRUE(WriteBmpFile(path, dib.data(), dib.size()));
    EXPECT_EQ(ReadBmpFile(path), dib);
}

TEST_F(BmpReader, SixteenAndThirtyTwoBitsWithoutMaskBytesGetZeroMasks)
{
    for (int bits : {16, 32}) {
        const DibBlock dib = Make(7, 3, bits);
        Bytes body(dib.begin(), dib.begin() + kInfoHeaderSize);
        body.insert(body.end(), dib.begin() + kInfoHeaderSize + 12, dib.end());
        DibBlock expect = dib;
        std::fill_n(expect.begin() + kInfoHeaderSize, 12, 0);
        EXPECT_EQ(Read(Wrap(body, kFileHeaderSize + kInfoHeaderSize)), expect) << bits;
    }
}

TEST_F(BmpReader, CoreHeaderBecomesAnInfoHeaderWithAWidenedTable)
{
    // 10 x 2 pixels, 1 bit: rows of 4 bytes; the table's entries gain their fourth byte.
    const Bytes rows = {0xAA, 0xC0, 0, 0, 0x55, 0x40, 0, 0};
    Bytes body = {12, 0, 0, 0, 10, 0, 2, 0, 1, 0, 1, 0, 1, 2, 3, 250, 251, 252};
    body.insert(body.end(), rows.begin(), rows.end());
    Bytes expect = BmpFile(10, 2, 1, kBiRgb, {1, 2, 3, 0, 250, 251, 252, 0}, rows, 2);
    expect.erase(expect.begin(), expect.begin() + kFileHeaderSize);
    std::fill_n(expect.begin() + 24, 8, 0); // a core header gives no resolution
    EXPECT_EQ(Read(Wrap(body, kFileHeaderSize + 18)), expect);
}

// Bit-field bitmaps are decoded into 32 bits per pixel, each channel scaled to 8 bits.
TEST_F(BmpReader, BitFieldsDecodeToThirtyTwoBits)
{
    Bytes masks(12);
    for (std::uint32_t i = 0; const std::uint32_t m : {0xF800u, 0x07E0u, 0x001Fu})
        PutLE32(masks.data() + 4 * i++, m);
    // top-down; top row: red, green, blue; bottom row: white, black, 0x8410
    const std::optional<DibBlock> dib = Read(
        BmpFile(3, -2, 16, kBiBitFields, masks,
                {0x00, 0xF8, 0xE0, 0x07, 0x1F, 0x00, 0, 0, 0xFF, 0xFF, 0, 0, 0x10, 0x84, 0, 0}));
    ASSERT_TRUE(dib);
    const BitmapInfoHeader out = BitmapInfoHeader::Read(dib->data());
    EXPECT_EQ(out.bitCount, 32);
    EXPECT_EQ(out.height, 2);
    EXPECT_EQ(out.compression, kBiRgb);
    ASSERT_EQ(dib->size(), 40u + 12u + 3u * 4u * 2u);
    const std::uint32_t expect[2][3] = {{0xFF0000u, 0x00FF00u, 0x0000FFu},
                                        {0xFFFFFFu, 0u, 0x848284u}};
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(Get(dib->data(), x, y), expect[y][x]) << x << "," << y;
}

// The headers image editors write (56, 108 and 124 bytes) keep the masks inside, the colour
// table after them, and a colour profile that is not read: the DIB is the one a 40-byte
// header gives. Alpha is laid over white unless no pixel has any.
TEST_F(BmpReader, LargerHeadersGiveTheSameDibWithAlphaOverWhite)
{
    // A file with a header of size bytes from a DIB's header, the masks given, its table and
    // pixels (table and masks of the DIB dropped), and a profile after the pixels.
    const auto larger = [](std::uint32_t size, const DibBlock& dib, std::uint32_t compression,
                           const std::vector<std::uint32_t>& masks, const Bytes& pixels) {
        Bytes body(dib.begin(), dib.begin() + kInfoHeaderSize);
        body.resize(size, 0);
        PutLE32(body.data(), size);
        PutLE32(body.data() + 16, compression);
        for (std::size_t i = 0; i < masks.size(); ++i)
            PutLE32(body.data() + 40 + 4 * i, masks[i]);
        const std::uint32_t table = DibNumColors(dib.data()) * 4;
        body.insert(body.end(), dib.begin() + kInfoHeaderSize,
                    dib.begin() + kInfoHeaderSize + (compression == kBiRgb ? table : 0));
        const std::uint32_t offset = kFileHeaderSize + static_cast<std::uint32_t>(body.size());
        body.insert(body.end(), pixels.begin(), pixels.end());
        if (size == 124) {
            PutLE32(body.data() + 112, static_cast<std::uint32_t>(body.size()));
            PutLE32(body.data() + 116, 64);
            body.resize(body.size() + 64, 0x5A);
        }
        return Wrap(body, offset);
    };
    const auto bitsOf = [](const DibBlock& dib) {
        return Bytes(FindDibBits(dib.data()), dib.data() + dib.size());
    };
    for (const int bits : {8, 24}) {
        const DibBlock dib = Make(13, 7, bits);
        for (const std::uint32_t size : {56u, 108u, 124u})
            EXPECT_EQ(Read(larger(size, dib, kBiRgb, {}, bitsOf(dib))), dib) << bits << " " << size;
    }
    // 32 bits, alpha in the top byte: red half covered, transparent, opaque blue, grey.
    const DibBlock two = Make(4, 1, 32);
    const std::vector<std::uint32_t> rgba = {0xFF0000, 0xFF00, 0xFF, 0xFF000000u};
    const Bytes pixels = {0, 0, 255, 128, 9, 9, 9, 0, 255, 0, 0, 255, 200, 200, 200, 255};
    const std::uint32_t seen[] = {0xFF7F7Fu, 0xFFFFFFu, 0x0000FFu, 0xC8C8C8u};
    for (const std::uint32_t size : {56u, 108u, 124u}) {
        const std::optional<DibBlock> dib = Read(larger(size, two, kBiBitFields, rgba, pixels));
        ASSERT_TRUE(dib) << size;
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(Get(dib->data(), x, 0), seen[x]) << size << " " << x;
    }
    // Alpha 0 everywhere: the channel is unset, the picture opaque.
    const Bytes unset = {0, 0, 255, 0, 9, 9, 9, 0, 255, 0, 0, 0, 200, 200, 200, 0};
    const std::optional<DibBlock> opaque = Read(larger(124, two, kBiBitFields, rgba, unset));
    ASSERT_TRUE(opaque);
    EXPECT_EQ(Get(opaque->data(), 0, 0), 0xFF0000u);
    EXPECT_EQ(Get(opaque->data(), 1, 0), 0x090909u);
    // PNG and JPEG inside a bitmap, and a header cut short, are refused.
    EXPECT_FALSE(Read(larger(124, two, 5, rgba, pixels)));
    EXPECT_FALSE(Read(larger(108, two, 4, rgba, pixels)));
    Bytes cut = larger(108, two, kBiBitFields, rgba, pixels);
    cut.resize(kFileHeaderSize + 100);
    EXPECT_FALSE(Read(cut));
}

// Run-length data expands into the pixels and a 40-byte header with the table: runs, absolute
// runs (padded to whole words), deltas, line and bitmap ends; whatever pads the data after the
// end escape up to its declared size is ignored.
TEST_F(BmpReader, RunLengthDataExpands)
{
    const struct {
        int shape[4];       // width, height, bits, colours
        Bytes data, pixels; // the rows, bottom first
    } cases[] = {
        // row 0 = 5 5 5 1 2 3; a delta to (2, 2); row 2 = 0 0 9 9; a line end after the last
        // row and a trailing bitmap end
        {{6, 3, 8, 256},
         {3, 5, 0, 3, 1, 2, 3, 0, 0, 0, 0, 2, 2, 1, 2, 9, 0, 0, 0, 1},
         {5, 5, 5, 1, 2, 3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 9, 9, 0, 0, 0, 0}},
        // a run of 5; an absolute run of 5 (three bytes and a padding byte); one of 4 (two
        // bytes, no padding); the bitmap end
        {{5, 3, 4, 3},
         {5, 0x12, 0, 0, 0, 5, 0x34, 0x56, 0x70, 0xEE, 0, 0, 0, 4, 0x98, 0x76, 0, 1},
         {0x12, 0x12, 0x10, 0, 0x34, 0x56, 0x70, 0, 0x98, 0x76, 0, 0}},
        // row 0 = 1 1; padding 4 4 after the end
        {{4, 3, 8, 2}, {2, 1, 0, 1, 4, 4}, {1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
        // row 0 = 1 2, a delta from (2, 0) to (3, 1) and a 1 there; padding after the end
        {{4, 3, 4, 2},
         {2, 0x12, 0, 2, 1, 1, 1, 0x10, 0, 1, 0, 0},
         {0x12, 0, 0, 0, 0, 0x01, 0, 0, 0, 0, 0, 0}},
    };
    for (const auto& c : cases) {
        const auto [width, height, bits, colours] = c.shape;
        SCOPED_TRACE(testing::Message() << bits << " bits, " << width << " wide");
        const Bytes file = BmpFile(width, height, bits, bits == 8 ? kBiRle8 : kBiRle4,
                                   Grey(colours), c.data, colours == 256 ? 0 : colours);
        const std::optional<DibBlock> dib = Read(file);
        ASSERT_TRUE(dib);
        EXPECT_EQ(ReadPackedDib(file.data() + kFileHeaderSize, file.size() - kFileHeaderSize), dib);
        const Bytes head(file.begin() + kFileHeaderSize + kInfoHeaderSize,
                         file.begin() + kFileHeaderSize + kInfoHeaderSize + 4 * colours);
        ASSERT_EQ(dib->size(), kInfoHeaderSize + head.size() + c.pixels.size());
        EXPECT_EQ(GetLE32(dib->data() + 16), kBiRgb);
        EXPECT_TRUE(std::equal(head.begin(), head.end(), dib->begin() + kInfoHeaderSize));
        EXPECT_TRUE(std::equal(c.pixels.begin(), c.pixels.end(), FindDibBits(dib->data())));
    }
}

// Files that lie about their bitmap are refused.
struct Refused {
    const char* name;
    Bytes file;
};

class BmpRefused : public BmpReader, public ::testing::WithParamInterface<Refused> {};

TEST_P(BmpRefused, Fails)
{
    EXPECT_FALSE(Read(GetParam().file));
}

// The file with the 32-bit field at byte `at` set.
Bytes Edit(Bytes file, std::size_t at, std::uint32_t value)
{
    PutLE32(file.data() + at, value);
    return file;
}

std::vector<Refused> RefusedFiles()
{
    const DibBlock pal = Make(8, 8, 8);
    const Bytes sound = Wrap(pal, PixelOffset(pal));
    const auto rle = [](int bits, const Bytes& data) {
        return BmpFile(4, 2, bits, bits == 8 ? kBiRle8 : kBiRle4, Grey(2), data, 2);
    };
    // 8 bits need 256 three-byte entries before the pixels
    Bytes core = {12, 0, 0, 0, 4, 0, 4, 0, 1, 0, 8, 0};
    core.resize(12 + 100 + 16);
    const std::uint32_t minus = 0xFFFFFFFFu; // -1
    return {
        {"WrongType", Edit(sound, 0, 'X')},
        {"FileHeaderOnly", {'B', 'M', 0, 0}},
        {"Empty", {}},
        {"PixelOffsetInTheTable", Edit(sound, 10, kFileHeaderSize + kInfoHeaderSize + 100)},
        {"PixelOffsetPastTheEnd", Edit(sound, 10, 0xFFFFFFF0u)},
        {"PixelOffsetInTheHeader", Edit(BmpFile(2, 2, 32, 0, {}, Bytes(16)), 10, 30)},
        {"CoreHeaderTableCut", Wrap(core, kFileHeaderSize + 12 + 100)},
        {"BitFieldsWithoutMasks", BmpFile(1, 1, 32, kBiBitFields, {}, {0, 0, 0, 0})},
        {"NegativeWidth", Edit(sound, 18, minus - 7)},
        {"WidthAboveTheBound", Edit(sound, 18, 100001)},
        {"ZeroHeight", Edit(sound, 22, 0)},
        {"MinimalHeight", Edit(sound, 22, 0x80000000u)},
        {"SidesLargerThanTheFile", Edit(sound, 18, 100000)},
        {"Depth2", Edit(sound, 26, 0x00020001u)}, // one plane of 2 bits
        {"UnknownCompression", Edit(sound, 30, 4)},
        {"BitFieldsAt8Bits", Edit(sound, 30, kBiBitFields)},
        {"RunLengthAt24Bits", BmpFile(4, 2, 24, kBiRle8, {}, {4, 1, 0, 0, 4, 1, 0, 1})},
        // run-length data that ends early, runs on past its end or off the pixel area
        {"Rle8EndsEarly", rle(8, {2, 1})},
        {"Rle8RunOffTheImage", rle(8, {255, 1, 255, 1, 0, 1})},
        {"Rle8DeltaThenRun", rle(8, {0, 2, 255, 1, 5, 5, 0, 1})},
        {"Rle8DeltaPastInput", rle(8, {0, 2, 1})},
        {"Rle8AbsoluteOffTheImage", rle(8, {0, 2, 3, 1, 0, 7, 1, 2, 3, 4, 5, 6, 7, 0, 0, 1})},
        {"Rle8AbsolutePastInput", rle(8, {0, 9, 1, 2})},
        {"Rle4EndsEarly", rle(4, {2, 0x12})},
        {"Rle4RunOffTheImage", rle(4, {255, 0x11, 0, 1})},
        {"Rle4AbsolutePastInput", rle(4, {0, 8, 0x12, 0x34})},
        {"RleTopDown", Edit(rle(8, {2, 1, 0, 0, 2, 1, 0, 1}), 22, minus - 1)},
        {"RleSizeLargerThanTheFile", Edit(rle(8, {2, 1, 0, 0, 2, 1, 0, 1}), 34, 5000)},
    };
}

INSTANTIATE_TEST_SUITE_P(Cases, BmpRefused, ::testing::ValuesIn(RefusedFiles()),
                         [](const auto& info) { return std::string(info.param.name); });

// Bitmap content loads whatever its name; only bitmaps are written as files, unsound blocks
// not at all, and the image size field is normalised; a missing file leaves no image.
TEST_F(BmpReader, FilesLoadByContentAndOnlySoundBitmapsAreWritten)
{
    DibBlock dib = Make(3, 3, 8);
    const std::string path = m_dir.File("picture.tif");
    EXPECT_FALSE(WriteBmpFile(m_dir.File("no/such/folder/a.bmp"), dib.data(), dib.size()));
    EXPECT_FALSE(WriteBmpFile(path, dib.data(), dib.size() - 1));
    EXPECT_FALSE(std::filesystem::exists(path));
    PutLE32(dib.data() + 20, 0);
    ASSERT_TRUE(WriteBmpFile(path, dib.data(), dib.size()));
    EXPECT_EQ(GetLE32(ReadFile(path).data() + kFileHeaderSize + 20), 12u);
    CDib image;
    ASSERT_TRUE(image.LoadFile(path));
    EXPECT_EQ(image.GetFormat(), CDib::kFormatBmp);
    DibSize(dib.data());
    EXPECT_EQ(image.Block(), dib);
    EXPECT_FALSE(image.SaveFile(m_dir.File("a.kvz"), CDib::kFormatCompressed));
    EXPECT_FALSE(std::filesystem::exists(m_dir.File("a.kvz")));
    ASSERT_TRUE(image.SaveFile(m_dir.File("a.bmp"), CDib::kFormatBmp));
    EXPECT_EQ(ReadBmpFile(m_dir.File("a.bmp")), dib);
    EXPECT_FALSE(image.LoadFile(m_dir.File("missing.bmp")));
    EXPECT_TRUE(image.IsEmpty());
    EXPECT_FALSE(ReadBmpFile(m_dir.File("missing.bmp")));
    EXPECT_FALSE(ReadPackedDib(dib.data(), 3));
}

} // namespace
