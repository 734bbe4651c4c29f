#include "MappingTestSupport.h"

#include "mapping/RegGridData.h"
#include "mapping/RegGridVw.h"
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

std::vector<std::uint8_t> Mutated(const std::vector<std::uint8_t>& valid, std::mt19937& rng)
{
    std::vector<std::uint8_t> bytes = valid;
    std::uniform_int_distribution<int> kind(0, 2), byte(0, 255);
    const int edits = std::uniform_int_distribution<int>(1, 12)(rng);
    for (int i = 0; i < edits && !bytes.empty(); ++i) {
        const std::size_t at = std::uniform_int_distribution<std::size_t>(0, bytes.size() - 1)(rng);
        switch (kind(rng)) {
        case 0:
            bytes[at] = static_cast<std::uint8_t>(byte(rng));
            break;
        case 1: { // a double somewhere becomes NaN, infinity or huge
            static const double specials[] = {
                std::nan(""), 1e308, -1e308, 1e-308, 0.0, std::numeric_limits<double>::infinity()};
            const double v = specials[std::uniform_int_distribution<int>(0, 5)(rng)];
            if (at + 8 <= bytes.size())
                std::memcpy(&bytes[at], &v, 8);
            break;
        }
        default:
            bytes.resize(at);
            break;
        }
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
    std::unique_ptr<RegGridVw> vw = NewRep<RegGridVw>(withGrid);
    vw->m_settings = {.snapX = 1, .snapY = 1, .originX = 1, .stepX = 1, .stepY = 0.5};
    vw->Notify(0);
    Archive gridValid;
    withGrid.Serialize(gridValid);

    PixelCanvas canvas(400, 300);
    for (int round = 0; round < 60; ++round) {
        TransformData data;
        RegGridData grid(&data);
        Archive in(Mutated(valid.Bytes(), rng));
        try {
            data.Serialize(in);
        } catch (const ArchiveError&) {
        }
        Archive gin(Mutated(gridValid.Bytes(), rng));
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
