#include "image/CDib.h"
#include "image/support/TestDibs.h"
#include "platform/Archive.h"

#include <gtest/gtest.h>

#include <zlib.h>

using testdibs::Make;

namespace {

class BlockRoundTrip : public ::testing::TestWithParam<int> {};

TEST_P(BlockRoundTrip, BothFormsGiveTheDibBackWithItsSizeNormalised)
{
    DibBlock dib = Make(11, 5, GetParam());
    PutLE32(dib.data() + 20, 0); // an image size field of 0 is normalised on the way
    const CDib image(dib.data(), dib.size());
    ASSERT_FALSE(image.IsEmpty());
    DibSize(dib.data());

    Archive packed;
    ASSERT_TRUE(image.WriteBlock(packed, CDib::kFormatCompressed));
    EXPECT_EQ(GetLE32(packed.Bytes().data()), 0x01020304u);
    EXPECT_EQ(GetLE32(packed.Bytes().data() + 4), dib.size());
    EXPECT_EQ(GetLE32(packed.Bytes().data() + 8), packed.Bytes().size() - 12);
    Archive plain;
    ASSERT_TRUE(image.WriteBlock(plain, CDib::kFormatBmp));
    EXPECT_EQ(plain.Bytes(), testdibs::Wrap(dib, 14 + 40 + DibPaletteSize(dib.data())));

    for (Archive* stored : {&packed, &plain}) {
        Archive in(stored->Bytes());
        CDib back;
        ASSERT_TRUE(stored == &packed ? back.ReadCompressedBlock(in) : back.ReadPlainBlock(in));
        EXPECT_TRUE(in.AtEnd());
        EXPECT_EQ(back.GetFormat(), CDib::kFormatBmp);
        EXPECT_EQ(back.Block(), dib);
        EXPECT_TRUE(back.GetPalette().IsCreated());
    }
}

INSTANTIATE_TEST_SUITE_P(EveryDepth, BlockRoundTrip, ::testing::Values(1, 4, 8, 16, 24, 32));

// A compressed block around arbitrary bytes, with lengths that may lie.
std::vector<std::uint8_t> CompressedBlock(const std::vector<std::uint8_t>& raw,
                                          std::uint32_t claimed, std::int64_t packedDelta = 0)
{
    std::vector<std::uint8_t> packed(compressBound(static_cast<uLong>(raw.size())));
    uLongf n = static_cast<uLongf>(packed.size());
    compress(packed.data(), &n, raw.data(), static_cast<uLong>(raw.size()));
    packed.resize(n);
    Archive ar;
    ar.WriteU32(0x01020304);
    ar.WriteU32(claimed);
    ar.WriteU32(static_cast<std::uint32_t>(static_cast<std::int64_t>(n) + packedDelta));
    ar.WriteBytes(packed.data(), packed.size());
    return ar.Bytes();
}

TEST(Blocks, MalformedBlocksFailAndLeaveNoImage)
{
    const DibBlock dib = Make(5, 5, 24);
    Archive none;
    EXPECT_FALSE(CDib(dib.data(), dib.size()).WriteBlock(none, 6));
    EXPECT_FALSE(CDib().WriteBlock(none, CDib::kFormatCompressed));
    EXPECT_TRUE(none.Bytes().empty());
    const auto size = static_cast<std::uint32_t>(dib.size());
    DibBlock core = dib;
    PutLE32(core.data(), 12);
    std::vector<std::uint8_t> wrongMagic = CompressedBlock(dib, size);
    wrongMagic[0] = 5;
    std::vector<std::uint8_t> garbage = CompressedBlock(dib, size);
    garbage[14] ^= 0xFF;
    const std::vector<std::vector<std::uint8_t>> packed = {
        CompressedBlock(dib, size + 1),    // length lies (longer)
        CompressedBlock(dib, size - 1),    // length lies (shorter)
        CompressedBlock(dib, 0xFFFFFFF0u), // absurd length
        CompressedBlock(dib, size, 100),   // packed past the end
        CompressedBlock(dib, size, -3),    // packed cut short
        CompressedBlock(core, size),       // inflates to no sound DIB
        {4, 3, 2},
        wrongMagic,
        garbage};
    for (std::size_t i = 0; i < packed.size(); ++i) {
        CDib image(dib.data(), dib.size());
        Archive in(packed[i]);
        EXPECT_FALSE(image.ReadCompressedBlock(in)) << i;
        EXPECT_TRUE(image.IsEmpty()) << i;
        EXPECT_EQ(image.GetFormat(), 0) << i;
    }

    Archive out;
    ASSERT_TRUE(CDib(dib.data(), dib.size()).WriteBlock(out, CDib::kFormatBmp));
    const std::vector<std::pair<std::size_t, std::uint32_t>> plainEdits = {
        {0, 'X'}, {2, 0xFFFFFFFFu}, {2, 20}, {14, 12}, {14 + 16, 1}, {14 + 4, 100000}};
    for (const auto& [at, value] : plainEdits) {
        std::vector<std::uint8_t> b = out.Bytes();
        PutLE32(b.data() + at, value);
        Archive in(b);
        CDib back;
        EXPECT_FALSE(back.ReadPlainBlock(in)) << at << " " << value;
        EXPECT_TRUE(back.IsEmpty());
    }
    for (std::size_t cut : {out.Bytes().size() - 1, std::size_t{10}}) {
        Archive in(std::vector<std::uint8_t>(out.Bytes().begin(), out.Bytes().begin() + cut));
        EXPECT_FALSE(CDib().ReadPlainBlock(in)) << cut;
    }
}

// A scan-sized block is inflated a slice at a time while its pages are brought in ahead: every
// slice must land in its place, and a claimed length one byte off either way still fails.
TEST(Blocks, LargeCompressedBlockComesBackWholeAndItsLengthMustBeExact)
{
    const DibBlock dib = Make(2048, 1400, 24); // 8.6 MB, beyond the size worth a helper thread
    const auto length = static_cast<std::uint32_t>(dib.size());
    CDib image;
    Archive whole(CompressedBlock(dib, length));
    ASSERT_TRUE(image.ReadCompressedBlock(whole));
    EXPECT_TRUE(image.Block() == dib);
    EXPECT_TRUE(whole.AtEnd());
    for (const std::uint32_t claimed : {length - 1, length + 1}) {
        Archive lying(CompressedBlock(dib, claimed));
        EXPECT_FALSE(image.ReadCompressedBlock(lying)) << claimed;
        EXPECT_TRUE(image.IsEmpty());
    }
}

// Copies drop the format and rebuild the palette (a halftone one for true colour); a bare block
// shorter than its size rules ask leaves the image empty, a longer one is cut.
TEST(CDibCopies, CopiesRebuildThePaletteAndBareBlocksAreChecked)
{
    const DibBlock dib = Make(4, 4, 8, 17);
    CDib a(dib.data(), dib.size());
    a.SetFormat(CDib::kFormatTiff);
    CDib b(a);
    EXPECT_EQ(b.GetFormat(), 0);
    EXPECT_EQ(b.Block(), a.Block());
    ASSERT_EQ(b.GetPalette().EntryCount(), 17);
    const std::uint8_t* t = dib.data() + 40 + 4; // entry 1: blue, green, red
    EXPECT_EQ(b.GetPalette().Entries()[1], MakeColour(t[2], t[1], t[0]));
    DibBlock rgb = Make(4, 4, 24);
    EXPECT_TRUE(CDib(rgb.data(), rgb.size()).GetPalette().IsHalftone());
    EXPECT_TRUE(CDib(rgb.data(), rgb.size() - 1).IsEmpty());
    EXPECT_FALSE(a.Assign(rgb.data(), 39));
    EXPECT_FALSE(a.Assign(nullptr, 0));
    EXPECT_TRUE(a.IsEmpty());
    ASSERT_TRUE(a.Assign(b));
    EXPECT_FALSE(a.Assign(CDib())); // an empty image empties it
    EXPECT_TRUE(a.IsEmpty());
    rgb.resize(rgb.size() + 10, 0xAB);
    EXPECT_TRUE(a.Assign(rgb.data(), rgb.size()));
    EXPECT_EQ(a.GetDibLength(), rgb.size() - 10);
}

} // namespace
