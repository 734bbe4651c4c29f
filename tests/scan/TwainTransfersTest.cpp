#include "scan/support/StandIn.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <ostream>
#include <utility>

namespace {

using standin::MakeDib;
using Bytes = std::vector<std::uint8_t>;

// Image i as the program received it: the native bitmap, the file without its 14-byte file
// header, or the memory rows in order.
Bytes Received(const ProbeTwain& twain, int mechanism, std::size_t i)
{
    Bytes bytes;
    if (mechanism == TWSX_NATIVE && i < twain.dibs.size()) {
        bytes = twain.dibs[i];
    } else if (mechanism == TWSX_FILE && i < twain.filesDone.size()) {
        std::ifstream in(twain.filesDone[i], std::ios::binary);
        bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        bytes.erase(bytes.begin(), bytes.begin() + std::min<std::size_t>(bytes.size(), 14));
    } else if (mechanism == TWSX_MEMORY && i < twain.memImages.size()) {
        for (const auto& [row, data] : twain.memImages[i])
            bytes.insert(bytes.end(), data.begin(), data.end());
    }
    return bytes;
}

class MechanismTest : public StandInTest, public ::testing::WithParamInterface<int> {};

TEST_P(MechanismTest, DeliversEveryImageTheSourceOffersWhole)
{
    const int mechanism = GetParam();
    OfferImages(2, 6, 7, 8);
    StandIn().images[1].bits = 24;
    StandIn().memRowsPerStrip = 3;
    ProbeTwain twain;
    twain.SetTransferMechanism(mechanism);
    AcquireAndAnnounce(twain);

    EXPECT_EQ(StandIn().xferMech, static_cast<TW_UINT32>(mechanism));
    EXPECT_EQ(StandIn().capItemType, TWTY_UINT16);
    EXPECT_EQ(StandIn().productNameAsked, "") << "the default source is asked for";
    EXPECT_EQ(twain.states, (std::vector<int>{2, 3, 4, 5, 6, 7, 6, 7, 5}));
    for (std::size_t i = 0; i < 2; ++i) {
        const standin::Image& image = StandIn().images[i];
        Bytes expected = MakeDib(image);
        if (mechanism == TWSX_MEMORY) // the pixel rows alone
            expected.erase(expected.begin(),
                           expected.end() -
                               standin::Stride(image.width, image.bits) * image.height);
        EXPECT_EQ(Received(twain, mechanism, i), expected) << "image " << i;
    }
    if (mechanism == TWSX_FILE) {
        EXPECT_EQ(StandIn().fileFormatSet, TWFF_TIFF) << "the program's choice";
    }
    EXPECT_EQ(twain.memDone, std::vector<bool>(mechanism == TWSX_MEMORY ? 2 : 0, true));
}

INSTANTIATE_TEST_SUITE_P(Mechanisms, MechanismTest,
                         ::testing::Values(TWSX_NATIVE, TWSX_FILE, TWSX_MEMORY));

// An acquisition of three images, scripted to go wrong; the images delivered whole, the
// completion reports (delivered or not) and the pending images given up. Every acquisition
// must end with the source enabled, whatever went wrong.
struct Scenario {
    const char* name;
    int mechanism;
    void (*script)(standin::State& source, ProbeTwain& twain);
    std::size_t delivered, reports, resets;
};

void PrintTo(const Scenario& c, std::ostream* os)
{
    *os << c.name;
}

class TransferScenarioTest : public StandInTest, public ::testing::WithParamInterface<Scenario> {};

TEST_P(TransferScenarioTest, EndsWithTheSourceEnabled)
{
    const Scenario& c = GetParam();
    OfferImages(3, 6, 5, 8); // 8 bytes a row, 64-byte buffer
    ProbeTwain twain;
    twain.SetTransferMechanism(c.mechanism);
    c.script(StandIn(), twain);
    AcquireAndAnnounce(twain);
    const auto whole = std::count(twain.memDone.begin(), twain.memDone.end(), true) +
                       std::count_if(twain.filesDone.begin(), twain.filesDone.end(),
                                     [](const std::string& f) { return !f.empty(); });
    EXPECT_EQ(twain.dibs.size() + static_cast<std::size_t>(whole), c.delivered);
    EXPECT_EQ(twain.dibs.size() + twain.memDone.size() + twain.filesDone.size(), c.reports);
    EXPECT_EQ(StandIn().CountCalls(DG_CONTROL, DAT_PENDINGXFERS, MSG_RESET), c.resets);
    EXPECT_EQ(twain.GetState(), 5);
}

void CancelSecond(standin::State& s, ProbeTwain&)
{
    s.images[1].result = TWRC_CANCEL;
}

INSTANTIATE_TEST_SUITE_P(
    Scenarios, TransferScenarioTest,
    ::testing::Values(
        Scenario{"CancelledNativeImageIsSkipped", TWSX_NATIVE, CancelSecond, 2, 2, 0},
        Scenario{"CancelledFileIsSkipped", TWSX_FILE, CancelSecond, 2, 3, 0},
        Scenario{"CancelledMemoryImageIsSkipped", TWSX_MEMORY, CancelSecond, 2, 3, 0},
        Scenario{"ShortNativeBlockIsDropped", TWSX_NATIVE,
                 [](standin::State& s, ProbeTwain&) { s.images[0].truncated = true; }, 2, 2, 0},
        Scenario{"FailedTransferGivesUpInsteadOfLooping", TWSX_NATIVE,
                 [](standin::State& s, ProbeTwain&) { s.images[0].result = TWRC_FAILURE; }, 0, 0,
                 1},
        Scenario{"FileRefusedByTheProgramSetsNothingUp", TWSX_FILE,
                 [](standin::State&, ProbeTwain& t) { t.fileReadyAnswer = false; }, 0, 0, 1},
        Scenario{"FileSetupRefusedBySourceIsReported", TWSX_FILE,
                 [](standin::State& s, ProbeTwain&) {
                     s.FailOn(DG_CONTROL, DAT_SETUPFILEXFER, MSG_SET);
                 },
                 0, 1, 1},
        Scenario{"MemoryStripClaimingExtraRowsIsClipped", TWSX_MEMORY,
                 [](standin::State& s, ProbeTwain&) {
                     s.images[0].height = 20; // taller than the buffer holds
                     s.memRowsPerStrip = 4;
                     s.memExtraRowsClaimed = 100;
                 },
                 3, 3, 0}),
    [](const auto& info) { return std::string(info.param.name); });

struct BufferCase {
    TW_UINT32 minimum, maximum, preferred;
    TW_UINT32 length; // 0: refused
};

class XferBufferTest : public ::testing::TestWithParam<BufferCase> {};

TEST_P(XferBufferTest, SizeFollowsThePreferenceWithinReason)
{
    const BufferCase& c = GetParam();
    ProbeTwain twain;
    TW_MEMORY memory{};
    EXPECT_EQ(twain.AllocXferBuffer(c.minimum, c.maximum, c.preferred, memory), c.length != 0);
    EXPECT_EQ(+memory.Length, c.length);
    EXPECT_EQ(memory.TheMem != nullptr, c.length != 0);
    EXPECT_EQ(+memory.Flags, c.length != 0 ? TWMF_APPOWNS | TWMF_POINTER : 0u);
    twain.FreeXferBuffer(memory);
}

INSTANTIATE_TEST_SUITE_P(Sizes, XferBufferTest,
                         ::testing::Values(BufferCase{16, 4096, 1024, 1024},
                                           BufferCase{16, 4096, 0, 4096}, // no preference: capped
                                           BufferCase{16, 0xFFFFFFFFu, 0xFFFFFFFFu, 65536},
                                           BufferCase{200000, 0xFFFFFFFFu, 0, 200000},
                                           BufferCase{16, 4096, 0xF0000000u, 0})); // absurd

// ---- the packed bitmap a native transfer hands over

// A 6 x 4 bitmap of a depth (8 bits: 256 colours, rows of 8 bytes) with header fields set and
// its block cut to a length (0: 100 bytes follow it); the size measured (kOwn: the bitmap's
// own), 0 for refused.
constexpr std::size_t kOwn = ~std::size_t{0};
constexpr std::size_t kWhole = 40 + 1024 + 4 * 8;

struct Edited {
    const char* name;
    std::uint16_t bits;
    std::vector<std::pair<std::size_t, std::uint32_t>> fields;
    std::size_t length;
    std::size_t size;
};

void PrintTo(const Edited& c, std::ostream* os)
{
    *os << c.name;
}

class PackedDibSize : public ::testing::TestWithParam<Edited> {};

TEST_P(PackedDibSize, MeasuresSoundBitmapsAndRefusesTheRest)
{
    const Edited& c = GetParam();
    Bytes dib = MakeDib(standin::Image{6, 4, c.bits});
    const std::size_t own = dib.size();
    for (const auto& [at, value] : c.fields)
        standin::Put32(dib, at, value);
    dib.resize(c.length != 0 ? c.length : own + 100);
    EXPECT_EQ(TwainTransfers::PackedDibSize(dib.data(), dib.size()), c.size == kOwn ? own : c.size);
}

INSTANTIATE_TEST_SUITE_P(
    Bitmaps, PackedDibSize,
    ::testing::Values(
        Edited{"OneBit", 1, {}, 0, kOwn}, Edited{"TwentyFourBits", 24, {}, 0, kOwn},
        Edited{"BitFieldsAddThreeMasks", 32, {{16, 3}}, 0, 40 + 12 + 4 * 24},
        Edited{"TopDownRowsCountAsTheirMagnitude", 8, {{8, 0xFFFFFFFCu}}, 0, kWhole},
        Edited{"UsedColoursShortenTheTable", 8, {{32, 16}}, 0, 40 + 16 * 4 + 4 * 8},
        Edited{"RunLengthTakesItsStatedSize", 8, {{16, 1}, {20, 6}}, 0, 40 + 1024 + 6},
        Edited{"ExactlyTheBitmap", 8, {}, kWhole, kWhole},
        Edited{"ShorterThanAHeader", 8, {}, 39, 0}, Edited{"PixelsCutShort", 8, {}, kWhole - 1, 0},
        Edited{"ColourTableCutShort", 8, {}, 140, 0}, Edited{"SmallHeaderSize", 8, {{0, 12}}, 0, 0},
        Edited{"HugeHeaderSize", 8, {{0, 0x7FFFFFF0u}}, 0, 0},
        Edited{"NegativeWidth", 8, {{4, 0xFFFFFFFAu}}, 0, 0},
        Edited{"LowestHeight", 8, {{8, 0x80000000u}}, 0, 0},
        Edited{"SevenBits", 8, {{12, 0x00070001u}}, 0, 0},
        Edited{"MoreColoursThanBitsAllow", 8, {{32, 257}}, 0, 0},
        Edited{"UnknownCompression", 8, {{16, 4}}, 0, 0},
        Edited{"RunLengthOfTheWrongDepth", 8, {{16, 2}}, 0, 0},
        Edited{"RunLengthLargerThanTheBlock", 8, {{16, 1}, {20, 0xFFFFFFF0u}}, 0, 0},
        Edited{"DimensionsThatOverflow", 8, {{4, 0x7FFFFFFFu}, {8, 0x7FFFFFFFu}}, 0, 0}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
