#include "MappingTestSupport.h"

#include "platform/Archive.h"
#include "platform/PixelCanvas.h"
#include "platform/ToolEvent.h"

#include <chrono>
#include <cstring>
#include <limits>
#include <random>

namespace {

// Project-file blocks come from outside: whatever their bytes, reading either succeeds or
// raises ArchiveError, and the mapping and grid read from them convert and draw without
// crashing or hanging.
class HostileBlocks : public ::testing::TestWithParam<unsigned> {};

// Up to twelve edits: a byte changed, a double somewhere made NaN, infinite, huge or tiny,
// or the block cut short.
std::vector<std::uint8_t> Mutated(std::vector<std::uint8_t> bytes, std::mt19937& rng)
{
    static const double oddValues[] = {
        std::nan(""), 1e308, -1e308, 1e-308, 0.0, std::numeric_limits<double>::infinity()};
    auto below = [&rng](std::size_t n) {
        return std::uniform_int_distribution<std::size_t>(0, n - 1)(rng);
    };
    for (std::size_t i = 0, edits = 1 + below(12); i < edits && !bytes.empty(); ++i) {
        const std::size_t at = below(bytes.size()), kind = below(3);
        if (kind == 0)
            bytes[at] = static_cast<std::uint8_t>(below(256));
        else if (kind == 1 && at + 8 <= bytes.size())
            std::memcpy(&bytes[at], &oddValues[below(6)], 8);
        else if (kind == 2)
            bytes.resize(at);
    }
    return bytes;
}

TEST_P(HostileBlocks, ReadConvertAndDraw)
{
    std::mt19937 rng(GetParam());
    // Valid starting points: a defined, turned region with a log axis, and a snapping grid.
    TransformData mapped;
    DefineRect(mapped, {10, 10}, {300, 200}, 8);
    AxisMapping(mapped, {1, 0}, {1000, 10}, 1, 0);
    Archive valid;
    mapped.Serialize(valid);
    RegGridData withGrid;
    Apply(withGrid, {.snapX = 1, .snapY = 1, .originX = 1, .stepX = 1, .stepY = 0.5});
    Archive gridValid;
    withGrid.Serialize(gridValid);

    PixelCanvas canvas(400, 300);
    for (int round = 0; round < 60; ++round) {
        TransformData data;
        RegGridData grid(&data);
        Archive in(Mutated(valid.Bytes(), rng)), gin(Mutated(gridValid.Bytes(), rng));
        try {
            data.Serialize(in);
        } catch (const ArchiveError&) {
        }
        try {
            grid.Serialize(gin);
        } catch (const ArchiveError&) {
        }
        const int count = data.GetRegion().GetPixelNodeCount();
        ASSERT_TRUE(count == 0 || count == 8) << count;

        DPoint g{1, 1}, p{1, 1};
        data.PixelToGraph({150, 100}, g);
        data.GraphToPixel({5, 5}, p);
        ToolEvent e(&canvas, 1.5);
        const auto start = std::chrono::steady_clock::now();
        data.DrawRegion(e);
        grid.Draw(e);
        DPoint snapPoint{120, 80};
        grid.Snap(snapPoint);
        e.drawMode = ToolEvent::kAnts;
        data.DrawRegion(e);
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        EXPECT_LT(seconds, 1.0) << "round " << round;
    }
}

INSTANTIATE_TEST_SUITE_P(Seeds, HostileBlocks, ::testing::Range(1u, 9u));

} // namespace
