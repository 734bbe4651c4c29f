#include "MappingTestSupport.h"

#include "platform/Archive.h"

#include <random>

namespace {

// Random rotated and skewed regions with every combination of linear and logarithmic axes:
// the graph value is the limits interpolated at the pixel's natural coordinates (-1 at the
// left and top edges, +1 at the right and bottom; in decades on a log axis), within and a
// little beyond the region; pixel -> graph -> pixel returns within a millionth of a pixel, and
// the derivatives agree with central differences.
class TransformRoundTrip : public ::testing::TestWithParam<std::tuple<int, int, unsigned>> {};

TEST_P(TransformRoundTrip, WithinMicroPixel)
{
    const auto [xLog, yLog, seed] = GetParam();
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> size(80, 3000), pos(-200, 800), angle(-170, 170),
        natural(-1.3, 1.3), lin(-50, 50), decade(-3, 3), jitter(-0.03, 0.03);
    TransformData data;
    {
        // The nodes of a rectangle, each moved by up to 3% of the size, clockwise from the
        // top left.
        const double w = size(rng), h = size(rng), ox = pos(rng), oy = pos(rng);
        const double s[8] = {0, 0.5, 1, 1, 1, 0.5, 0, 0}, t[8] = {0, 0, 0, 0.5, 1, 1, 1, 0.5};
        DPoint nodes[8];
        for (int i = 0; i < 8; ++i)
            nodes[i] = {ox + (s[i] + jitter(rng)) * w, oy + (t[i] + jitter(rng)) * h};
        auto man = NewRep<TransformMan>(data);
        man->GetBox().SetPixelNodes(8, nodes);
        man->Rotate(angle(rng));
        man->Notify(0);
    }
    auto limits = [&](int log, double& a, double& b) {
        a = log ? std::pow(10.0, decade(rng)) : lin(rng);
        b = log ? a * std::pow(10.0, 0.5 + std::fabs(decade(rng))) : a + 1 + std::fabs(lin(rng));
    };
    DPoint min, max;
    limits(xLog, min.x, max.x);
    limits(yLog, min.y, max.y);
    AxisMapping(data, min, max, xLog, yLog);

    for (int k = 0; k < 150; ++k) {
        const double s = natural(rng), t = natural(rng);
        const DPoint pixel = data.GetRegion().PixelAt(s, t);
        DPoint graph, back;
        ASSERT_TRUE(data.PixelToGraph(pixel, graph));
        const auto along = [](double lo, double hi, double f, int log) {
            return log ? lo * std::pow(hi / lo, f) : lo + (hi - lo) * f;
        };
        const DPoint expected{along(min.x, max.x, (1 + s) / 2, xLog),
                              along(min.y, max.y, (1 - t) / 2, yLog)};
        EXPECT_NEAR(graph.x, expected.x, 1e-7 * (1 + std::fabs(expected.x)));
        EXPECT_NEAR(graph.y, expected.y, 1e-7 * (1 + std::fabs(expected.y)));
        ASSERT_TRUE(data.GraphToPixel(graph, back));
        EXPECT_LT(Dist(back, pixel), 1e-6) << "s=" << s << " t=" << t;
        double j[4];
        ASSERT_TRUE(data.PixelJacobian(pixel, j));
        const double d = 1e-3;
        for (int axis = 0; axis < 2; ++axis) {
            DPoint lo, hi;
            const DPoint step{axis == 0 ? d : 0.0, axis == 1 ? d : 0.0};
            ASSERT_TRUE(data.PixelToGraph({pixel.x - step.x, pixel.y - step.y}, lo));
            ASSERT_TRUE(data.PixelToGraph({pixel.x + step.x, pixel.y + step.y}, hi));
            const double fx = (hi.x - lo.x) / (2 * d), fy = (hi.y - lo.y) / (2 * d);
            EXPECT_NEAR(j[axis], fx, 1e-5 * (std::fabs(fx) + std::fabs(j[1 - axis])));
            EXPECT_NEAR(j[2 + axis], fy, 1e-5 * (std::fabs(fy) + std::fabs(j[3 - axis])));
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Axes, TransformRoundTrip,
                         ::testing::Combine(::testing::Values(0, 1), ::testing::Values(0, 1),
                                            ::testing::Range(100u, 105u)));

// A pixel mapping drops the logarithms; moving an edge afterwards keeps scale and origin. On
// a turned region its graph corners take the scale turned by the region's angle, while the
// stored limits follow the unturned sizes. An axis mapping keeps its limits when turned and
// offers their scale to the pixel mapping dialog.
TEST(TransformDataTest, PixelMappingsAndTurnedRegions)
{
    TransformData data;
    DefineRect(data, {0, 0}, {100, 50});
    AxisMapping(data, {1, 1}, {100, 100}, 1, 1);
    PixelMapping(data, 2, 10, {0, 0});
    EXPECT_EQ(data.GetMode(), TransformData::kPixelMapping);
    EXPECT_EQ(data.GetXLog() + data.GetYLog(), 0);
    EXPECT_EQ(data.GetMax(), (DPoint{20, 5}));
    DPoint g;
    ASSERT_TRUE(data.PixelToGraph({50, 0}, g));
    EXPECT_LT(Dist(g, {10, 5}), 1e-9);
    PixelMapping(data, 1, 10, {5, 7});
    auto man = NewRep<TransformMan>(data);
    man->DefineOrResize(Box::kHitRight, {100, 25}, {200, 25}); // twice as wide
    man->Notify(0);
    EXPECT_EQ(data.GetMode(), TransformData::kPixelMapping);
    EXPECT_EQ(data.GetMax(), (DPoint{200 / 10.0 + 5, 50 / 10.0 + 7}));
    EXPECT_EQ(data.GetRegion().GraphNodes()[6], (DPoint{5, 7}));

    TransformData turned;
    DefineRect(turned, {0, 0}, {100, 50}, 90);
    PixelMapping(turned, 2, 10, {1, 2});
    EXPECT_LT(Dist(turned.GetRegion().GraphNodes()[2], {100 * 0.1 + 1, 50 * 0.2 + 2}), 1e-6);
    EXPECT_EQ(turned.GetRegion().GraphNodes()[6], (DPoint{1, 2}));
    EXPECT_LT(Dist(turned.GetMax(), {100 * 2 / 10.0 + 1, 50 / 10.0 + 2}), 1e-9);

    TransformData axis;
    DefineRect(axis, {0, 0}, {200, 50});
    AxisMapping(axis, {2, 3}, {12, 8});
    man = NewRep<TransformMan>(axis);
    man->Rotate(90);
    man->Notify(0);
    EXPECT_EQ(axis.GetMin(), (DPoint{2, 3}));
    EXPECT_EQ(axis.GetMax(), (DPoint{12, 8}));
    auto ppi = NewRep<TransformPpiVw>(axis);
    EXPECT_DOUBLE_EQ(ppi->m_pointsPerUnit, 20.0);
    EXPECT_EQ(ppi->m_origin, (DPoint{2, 3}));
}

// A reset through any representation forgets the region and the mapping; a stranger's notification
// or an unknown key changes nothing.
TEST(TransformDataTest, ResetThroughARepresentation)
{
    TransformData data;
    DefineRect(data, {0, 0}, {100, 50});
    AxisMapping(data, {1, 1}, {1000, 1000}, 1, 1);
    const TransformData::State before = data.GetState();
    Observer stranger;
    data.Update(&stranger, 0);
    ExpectSameState(data.GetState(), before);
    EXPECT_EQ(data.GetRep("viewaxistransformdata"), nullptr);

    auto axis = NewRep<TransformAxisVw>(data);
    axis->Reset();
    EXPECT_EQ(data.GetRegion().GetPixelNodeCount(), 0);
    EXPECT_EQ(data.GetXLog(), 0);
    EXPECT_EQ(data.GetRegion().GraphNodes()[0], (DPoint{1, 10}));
    EXPECT_EQ(axis->m_max, (DPoint{10, 10}));
}

// version, valid, region, X and Y log, 16 reserved bytes, mode, aspect, points per unit,
// min, max
TEST(TransformStorage, PinnedLayoutAndATruncatedBlockChangesNothing)
{
    LeBytes le;
    le.U32(1).U32(1).Region(-3.25).U32(1).U32(0).F64(0).F64(0);
    le.U32(TransformData::kPixelMapping).F64(1.25).F64(3).F64(0.5).F64(-2).F64(50).F64(7);
    const std::vector<std::uint8_t>& pinned = le.bytes;
    TransformData data;
    Archive in(pinned);
    data.Serialize(in);
    EXPECT_TRUE(in.AtEnd());
    const TransformData::State s = data.GetState();
    EXPECT_EQ(std::tie(s.valid, s.xLog, s.yLog, s.mode),
              std::make_tuple(1, 1, 0, int(TransformData::kPixelMapping)));
    EXPECT_EQ(s.region.GetAngle(), -3.25);
    EXPECT_EQ(s.region.PixelAt(1, -1), (DPoint{12, 22}));
    EXPECT_EQ(s.aspect, 1.25);
    EXPECT_EQ(s.pointsPerUnit, 3);
    EXPECT_EQ(s.min, (DPoint{0.5, -2}));
    EXPECT_EQ(s.max, (DPoint{50, 7}));
    Archive out;
    data.Serialize(out);
    EXPECT_EQ(out.Bytes(), pinned);

    TransformData untouched;
    Archive shortIn(std::vector<std::uint8_t>(pinned.begin(), pinned.end() - 1));
    EXPECT_THROW(untouched.Serialize(shortIn), ArchiveError);
    ExpectSameState(untouched.GetState(), TransformData().GetState());
}

} // namespace
