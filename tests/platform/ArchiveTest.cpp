#include "platform/Archive.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

TEST(Archive, NumbersAreLittleEndianAndSpecialDoublesSurvive)
{
    Archive ar;
    ar.WriteU32(0x4B52564F);
    ar.WriteI32(-2);
    ar.WriteF64(1.0);
    const std::vector<std::uint8_t> expected = {0x4F, 0x56, 0x52, 0x4B, 0xFE, 0xFF, 0xFF, 0xFF,
                                                0,    0,    0,    0,    0,    0,    0xF0, 0x3F};
    EXPECT_EQ(ar.Bytes(), expected);
    const double values[] = {-0.0, std::numeric_limits<double>::infinity(),
                             std::numeric_limits<double>::denorm_min(), 1e308};
    for (double v : values)
        ar.WriteF64(v);

    Archive in(ar.Bytes());
    EXPECT_EQ(in.ReadU32(), 0x4B52564Fu);
    EXPECT_EQ(in.ReadI32(), -2);
    EXPECT_EQ(in.ReadF64(), 1.0);
    for (double v : values) {
        const double r = in.ReadF64();
        EXPECT_EQ(std::signbit(r), std::signbit(v));
        EXPECT_EQ(r, v);
    }
    EXPECT_TRUE(in.AtEnd());
}

// Length prefixes change form at 255 and at 0xFFFE.
TEST(Archive, StringsRoundTripWithTheRightPrefix)
{
    for (const std::size_t n : {0, 1, 254, 255, 256, 0xFFFD, 0xFFFE, 0xFFFF, 70000}) {
        SCOPED_TRACE(n);
        std::string s(n, 'a');
        for (std::size_t i = 0; i < n; ++i)
            s[i] = static_cast<char>('a' + i % 26);
        Archive ar;
        ar.WriteString(s);
        const std::size_t prefix = n < 255 ? 1 : (n < 0xFFFE ? 3 : 7);
        ASSERT_EQ(ar.Bytes().size(), prefix + n);
        EXPECT_EQ(ar.Bytes()[0] == 0xFF, n >= 255);
        if (n >= 255) { // then 0xFFFF before a 32-bit length
            EXPECT_EQ(ar.Bytes()[1] == 0xFF && ar.Bytes()[2] == 0xFF, n >= 0xFFFE);
        }
        Archive in(ar.Bytes());
        EXPECT_EQ(in.ReadString(), s);
        EXPECT_TRUE(in.AtEnd());
    }
}

TEST(Archive, SixteenBitStringsReadAndReadsBeyondTheDataAndMisuseRaise)
{
    // 0xFF, the 0xFFFE marker, then 3 characters of 16 bits each; one past Latin-1 reads as '?'.
    const std::vector<std::uint8_t> wide = {0xFF, 0xFE, 0xFF, 3, 'X', 0, 0xE9, 0, 0x42, 0x30};
    EXPECT_EQ(Archive(wide).ReadString(), std::string("X\xE9?"));
    EXPECT_THROW(Archive(std::vector<std::uint8_t>{1, 2, 3}).ReadU32(), ArchiveError);
    // A string whose prefix promises more bytes than there are; a 16-bit string whose
    // character count exceeds what is left.
    EXPECT_THROW(Archive(std::vector<std::uint8_t>{0xFF, 0x10, 0x27, 'a', 'b'}).ReadString(),
                 ArchiveError);
    EXPECT_THROW(
        Archive(std::vector<std::uint8_t>{0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF})
            .ReadString(),
        ArchiveError);
    // Counts of items of a size are checked against the data left.
    Archive in(std::vector<std::uint8_t>(16, 0));
    EXPECT_NO_THROW(in.CheckCount(2, 8));
    EXPECT_THROW(in.CheckCount(3, 8), ArchiveError);
    EXPECT_THROW(in.CheckCount(0xFFFFFFFFull, 16), ArchiveError);
    // Versions outside the known range.
    Archive versions(std::vector<std::uint8_t>{2, 0, 0, 0, 3, 0, 0, 0, 0, 0, 0, 0});
    EXPECT_EQ(versions.ReadVersion(1, 2), 2u);
    EXPECT_THROW(versions.ReadVersion(1, 2), ArchiveError);
    EXPECT_THROW(versions.ReadVersion(1, 2), ArchiveError);
    // Reading a writer, writing a reader.
    EXPECT_THROW(Archive().ReadU8(), ArchiveError);
    EXPECT_THROW(Archive(std::vector<std::uint8_t>{1}).WriteU8(1), ArchiveError);
}

TEST(Archive, FilesRoundTrip)
{
    TempDir dir;
    Archive ar;
    ar.WriteString("kurvo");
    ar.WriteU32(7);
    ASSERT_TRUE(ar.SaveFile(dir.File("a.bin")));
    Archive in;
    ASSERT_TRUE(Archive::LoadFile(dir.File("a.bin"), in));
    EXPECT_EQ(in.GetFileName(), dir.File("a.bin"));
    EXPECT_EQ(in.ReadString(), "kurvo");
    EXPECT_EQ(in.ReadU32(), 7u);
    EXPECT_FALSE(Archive::LoadFile(dir.File("missing.bin"), in));
    EXPECT_FALSE(ar.SaveFile(dir.File("no/such/folder/a.bin")));
}

} // namespace
