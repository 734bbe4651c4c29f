#include "mapping/TransformData.h"
#include "mapping/TransformAxisVw.h"
#include "mapping/TransformMan.h"
#include "mapping/TransformMemento.h"
#include "mapping/TransformPpiVw.h"
#include "platform/Archive.h"
#include "platform/PixelCanvas.h"
#include "platform/ToolEvent.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <random>

namespace {

constexpr double kNodeS[8] = {-1, 0, 1, 1, 1, 0, -1, -1};
constexpr double kNodeT[8] = {-1, -1, -1, 0, 1, 1, 1, 0};

template <class Rep> std::unique_ptr<Rep> GetRepAs(TransformData& data)
{
    AttributeRep* rep = data.GetRep(Rep::kKey);
    auto* typed = dynamic_cast<Rep*>(rep);
    EXPECT_NE(typed, nullptr);
    return std::unique_ptr<Rep>(typed);
}

double Dist(DPoint a, DPoint b)
{
    return std::hypot(a.x - b.x, a.y - b.y);
}

// The region is placed through the manipulation view, as the region tools do.
void DefineRect(TransformData& data, DPoint p1, DPoint p2, double angle = 0)
{
    auto man = GetRepAs<TransformMan>(data);
    man->DefineOrResize(0, p1, p2);
    if (angle != 0)
        man->Rotate(angle);
    man->Notify(0);
}

void AxisMapping(TransformData& data, DPoint min, DPoint max, int xLog = 0, int yLog = 0)
{
    auto axis = GetRepAs<TransformAxisVw>(data);
    axis->m_min = min;
    axis->m_max = max;
    axis->m_xLog = xLog;
    axis->m_yLog = yLog;
    axis->Notify(0);
}

TEST(TransformDataTest, NewDocumentHasGraphNodesButNoRegion)
{
    TransformData data;
    const DPoint* g = data.GetRegion().GraphNodes();
    EXPECT_EQ(g[0], (DPoint{1, 10}));
    EXPECT_EQ(g[2], (DPoint{10, 10}));
    EXPECT_EQ(g[4], (DPoint{10, 1}));
    EXPECT_EQ(g[6], (DPoint{1, 1}));
    EXPECT_EQ(g[1], (DPoint{5.5, 10}));
    EXPECT_EQ(data.GetRegion().GetPixelNodeCount(), 0);
    EXPECT_EQ(data.GetRegion().GetGraphNodeCount(), 8);
    EXPECT_EQ(data.GetValid(), 1);
    EXPECT_EQ(data.GetMode(), 0);

    PixelCanvas canvas(20, 20);
    ToolEvent e(&canvas);
    data.DrawRegion(e);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x)
            ASSERT_EQ(canvas.DevicePixel(x, y), ColourToPixel(kWhite));
}

struct MapCase {
    DPoint pixel;
    DPoint graph;
};

class AxisMappingCases : public ::testing::TestWithParam<MapCase> {};

TEST_P(AxisMappingCases, PixelToGraphAndBack)
{
    TransformData data;
    DefineRect(data, {0, 0}, {99, 49});
    AxisMapping(data, {0, 0}, {10, 5});
    DPoint g, p;
    ASSERT_TRUE(data.PixelToGraph(GetParam().pixel, g));
    EXPECT_NEAR(g.x, GetParam().graph.x, 1e-9);
    EXPECT_NEAR(g.y, GetParam().graph.y, 1e-9);
    ASSERT_TRUE(data.GraphToPixel(GetParam().graph, p));
    EXPECT_LT(Dist(p, GetParam().pixel), 1e-7);
}

INSTANTIATE_TEST_SUITE_P(Corners, AxisMappingCases,
                         ::testing::Values(MapCase{{99, 0}, {10, 5}}, MapCase{{0, 49}, {0, 0}},
                                           MapCase{{49.5, 24.5}, {5, 2.5}},
                                           MapCase{{198, -49}, {20, 10}}));

TEST(TransformDataTest, LogarithmicXAxisThirdOfTheWidthIsTen)
{
    TransformData data;
    DefineRect(data, {0, 0}, {99, 49});
    AxisMapping(data, {1, 0}, {1000, 5}, 1, 0);
    DPoint g;
    ASSERT_TRUE(data.PixelToGraph({33, 10}, g));
    EXPECT_NEAR(g.x, 10, 1e-9);
    // The graph nodes hold the logarithms; midpoints lie halfway in log space.
    EXPECT_NEAR(data.GetRegion().GraphNodes()[1].x, 1.5, 1e-12);
    DPoint p;
    ASSERT_TRUE(data.GraphToPixel({100, 2.5}, p));
    EXPECT_NEAR(p.x, 66, 1e-7);
    EXPECT_NEAR(p.y, 24.5, 1e-7);
}

// Random rotated and skewed regions with every combination of linear and logarithmic axes:
// pixel -> graph -> pixel returns within a millionth of a pixel away from the nodes.
class TransformRoundTrip : public ::testing::TestWithParam<std::tuple<int, int, unsigned>> {};

TEST_P(TransformRoundTrip, WithinMicroPixel)
{
    const auto [xLog, yLog, seed] = GetParam();
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> size(80, 3000), pos(-200, 800), angle(-170, 170),
        jitter(-0.03, 0.03), natural(-0.97, 0.97), lin(-50, 50), decade(-3, 3);
    TransformData data;
    {
        auto man = GetRepAs<TransformMan>(data);
        const double w = size(rng), h = size(rng);
        const DPoint o{pos(rng), pos(rng)};
        DPoint nodes[8];
        for (int i = 0; i < 8; ++i)
            nodes[i] = {o.x + (kNodeS[i] + 1) / 2 * w + jitter(rng) * w,
                        o.y + (kNodeT[i] + 1) / 2 * h + jitter(rng) * h};
        man->GetBox().SetPixelNodes(8, nodes);
        man->Rotate(angle(rng));
        man->Notify(0);
    }
    auto limits = [&](int log, double& a, double& b) {
        if (log) {
            a = std::pow(10.0, decade(rng));
            b = a * std::pow(10.0, 0.5 + std::fabs(decade(rng)));
        } else {
            a = lin(rng);
            b = a + 1 + std::fabs(lin(rng));
        }
    };
    DPoint min, max;
    limits(xLog, min.x, max.x);
    limits(yLog, min.y, max.y);
    AxisMapping(data, min, max, xLog, yLog);

    const Box& region = data.GetRegion();
    for (int k = 0; k < 150; ++k) {
        const double s = natural(rng), t = natural(rng);
        const DPoint pixel = region.PixelAt(s, t);
        DPoint graph, back;
        ASSERT_TRUE(data.PixelToGraph(pixel, graph));
        if (xLog) {
            ASSERT_GT(graph.x, 0);
        }
        ASSERT_TRUE(data.GraphToPixel(graph, back));
        EXPECT_LT(Dist(back, pixel), 1e-6) << "s=" << s << " t=" << t;
    }
}

INSTANTIATE_TEST_SUITE_P(Axes, TransformRoundTrip,
                         ::testing::Combine(::testing::Values(0, 1), ::testing::Values(0, 1),
                                            ::testing::Range(100u, 110u)));

TEST(TransformDataTest, RotatedRegionCornersAreTheLimits)
{
    TransformData data;
    DefineRect(data, {20, 30}, {220, 130}, 33);
    AxisMapping(data, {-1, 2}, {3, 7});
    const DPoint* px = data.GetRegion().PixelNodes();
    const DPoint limits[4] = {{-1, 7}, {3, 7}, {3, 2}, {-1, 2}};
    for (int k = 0; k < 4; ++k) {
        DPoint g, p;
        ASSERT_TRUE(data.PixelToGraph(px[2 * k], g));
        EXPECT_NEAR(g.x, limits[k].x, 1e-9);
        EXPECT_NEAR(g.y, limits[k].y, 1e-9);
        ASSERT_TRUE(data.GraphToPixel(limits[k], p));
        EXPECT_LT(Dist(p, px[2 * k]), 1e-7);
    }
}

TEST(TransformDataTest, PixelMappingFromSizeAspectAndScale)
{
    TransformData data;
    DefineRect(data, {0, 0}, {100, 50});
    AxisMapping(data, {1, 1}, {100, 100}, 1, 1); // pixel mapping has no logarithms
    auto ppi = GetRepAs<TransformPpiVw>(data);
    ppi->m_aspect = 2;
    ppi->m_pointsPerUnit = 10;
    ppi->m_origin = {0, 0};
    ppi->Notify(0);
    EXPECT_EQ(data.GetMode(), 1);
    EXPECT_EQ(data.GetXLog() + data.GetYLog(), 0);
    EXPECT_DOUBLE_EQ(data.GetMax().x, 20);
    EXPECT_DOUBLE_EQ(data.GetMax().y, 5);
    EXPECT_EQ(data.GetRegion().GraphNodes()[2], (DPoint{20, 5}));
    DPoint g;
    ASSERT_TRUE(data.PixelToGraph({50, 0}, g));
    EXPECT_NEAR(g.x, 10, 1e-9);
    EXPECT_NEAR(g.y, 5, 1e-9);
}

// On a turned region the graph corners take the scale turned by the region's angle.
TEST(TransformDataTest, PixelMappingCornersOfATurnedRegion)
{
    TransformData data;
    DefineRect(data, {0, 0}, {100, 50}, 90);
    auto ppi = GetRepAs<TransformPpiVw>(data);
    ppi->m_aspect = 2;
    ppi->m_pointsPerUnit = 10;
    ppi->m_origin = {1, 2};
    ppi->Notify(0);
    // sx = |0.2 cos 90 - 0.1 sin 90| = 0.1, sy = |0.1 cos 90 + 0.2 sin 90| = 0.2
    const DPoint* g = data.GetRegion().GraphNodes();
    EXPECT_NEAR(g[2].x, 100 * 0.1 + 1, 1e-6);
    EXPECT_NEAR(g[2].y, 50 * 0.2 + 2, 1e-6);
    EXPECT_EQ(g[6], (DPoint{1, 2}));
    // The stored limits follow the unturned formula.
    EXPECT_NEAR(data.GetMax().x, 100 * 2 / 10.0 + 1, 1e-9);
    EXPECT_NEAR(data.GetMax().y, 50 / 10.0 + 2, 1e-9);
}

TEST(TransformDataTest, MementoForwardsRegionOperationsOnItsOwnCopy)
{
    TransformData data;
    DefineRect(data, {0, 0}, {100, 50});
    auto memento = GetRepAs<TransformMemento>(data);
    ASSERT_TRUE(memento->IsDefined());
    ToolEvent pick;
    pick.scaled = {100, 50};
    pick.tolerance = {2, 2};
    EXPECT_EQ(memento->HitTest(pick), Box::kHitBottomRight);
    EXPECT_EQ(memento->GetCursorIndex(pick), 1);
    memento->Rotate(45);
    EXPECT_EQ(data.GetRegion().GetAngle(), 0.0);
    memento->Notify(0);
    EXPECT_DOUBLE_EQ(data.GetRegion().GetAngle(), 45.0);
}

TEST(TransformDataTest, PixelViewLoadsScaleFromLimitsInAxisMode)
{
    TransformData data;
    DefineRect(data, {0, 0}, {200, 50});
    AxisMapping(data, {2, 3}, {12, 8});
    auto ppi = GetRepAs<TransformPpiVw>(data);
    EXPECT_DOUBLE_EQ(ppi->m_pointsPerUnit, 20.0);
    EXPECT_EQ(ppi->m_origin, (DPoint{2, 3}));
}

TEST(TransformDataTest, MovedRegionKeepsPixelScaleAndOrigin)
{
    TransformData data;
    DefineRect(data, {0, 0}, {100, 50});
    auto ppi = GetRepAs<TransformPpiVw>(data);
    ppi->m_aspect = 1;
    ppi->m_pointsPerUnit = 10;
    ppi->m_origin = {5, 7};
    ppi->Notify(0);

    auto man = GetRepAs<TransformMan>(data);
    man->DefineOrResize(Box::kHitRight, {100, 25}, {200, 25}); // twice as wide
    man->Notify(0);
    EXPECT_EQ(data.GetMode(), 1);
    EXPECT_DOUBLE_EQ(data.GetMax().x, 200 / 10.0 + 5);
    EXPECT_DOUBLE_EQ(data.GetMax().y, 50 / 10.0 + 7);
    EXPECT_EQ(data.GetRegion().GraphNodes()[6], (DPoint{5, 7}));
    EXPECT_EQ(data.GetRegion().PixelNodes()[2], (DPoint{200, 0}));
}

TEST(TransformDataTest, ManipulationInAxisModeKeepsTheLimits)
{
    TransformData data;
    DefineRect(data, {0, 0}, {100, 50});
    AxisMapping(data, {0, 0}, {10, 5});
    auto man = GetRepAs<TransformMan>(data);
    man->Rotate(90);
    man->Notify(0);
    EXPECT_EQ(data.GetMin(), (DPoint{0, 0}));
    EXPECT_EQ(data.GetMax(), (DPoint{10, 5}));
    EXPECT_DOUBLE_EQ(data.GetRegion().GetAngle(), 90);
    EXPECT_DOUBLE_EQ(man->GetPivot().y, 50);
}

TEST(TransformDataTest, MementoRestoresEveryFieldIncludingAnUndefinedRegion)
{
    TransformData data;
    auto memento = GetRepAs<TransformMemento>(data);
    const TransformData::State before = data.GetState();

    DefineRect(data, {3, 4}, {300, 200}, 12);
    auto ppi = GetRepAs<TransformPpiVw>(data);
    ppi->m_aspect = 3;
    ppi->m_pointsPerUnit = 7;
    ppi->m_origin = {-2, 9};
    ppi->Notify(0);
    AxisMapping(data, {1, 1}, {1e4, 1e3}, 1, 1);
    ASSERT_EQ(data.GetRegion().GetPixelNodeCount(), 8);

    memento->Notify(0);
    const TransformData::State after = data.GetState();
    EXPECT_EQ(after.mode, before.mode);
    EXPECT_EQ(after.pointsPerUnit, before.pointsPerUnit);
    EXPECT_EQ(after.aspect, before.aspect);
    EXPECT_EQ(after.valid, before.valid);
    EXPECT_EQ(after.xLog, before.xLog);
    EXPECT_EQ(after.yLog, before.yLog);
    EXPECT_EQ(after.min, before.min);
    EXPECT_EQ(after.max, before.max);
    EXPECT_TRUE(after.region.SameRegion(before.region));
    EXPECT_EQ(after.region.GetPixelNodeCount(), 0);
}

TEST(TransformDataTest, GetRepKeysAreExactAndEveryCallIsNew)
{
    TransformData data;
    for (const char* key : {"ViewManipTransformData", "ViewAxisTransformData",
                            "ViewPPITransformData", "ViewMementoTransformData"}) {
        std::unique_ptr<AttributeRep> a(data.GetRep(key)), b(data.GetRep(key));
        ASSERT_NE(a, nullptr) << key;
        ASSERT_NE(b, nullptr);
        EXPECT_NE(a.get(), b.get());
        EXPECT_EQ(a->GetKey(), key);
    }
    EXPECT_EQ(data.GetRep("viewaxistransformdata"), nullptr);
    EXPECT_EQ(data.GetRep("ViewDialogRegGrid"), nullptr);
    EXPECT_EQ(data.GetRep(""), nullptr);
}

TEST(TransformDataTest, UnknownSourceLeavesTheTransformAlone)
{
    TransformData data;
    DefineRect(data, {0, 0}, {10, 10});
    const TransformData::State before = data.GetState();
    Observer stranger;
    data.Update(&stranger, 0);
    EXPECT_TRUE(data.GetState().region.SameRegion(before.region));
    EXPECT_EQ(data.GetMax(), before.max);
}

TEST(TransformDataTest, ResetThroughARepresentation)
{
    TransformData data;
    DefineRect(data, {0, 0}, {100, 50});
    AxisMapping(data, {1, 1}, {1000, 1000}, 1, 1);
    auto axis = GetRepAs<TransformAxisVw>(data);
    axis->Reset();
    EXPECT_EQ(data.GetRegion().GetPixelNodeCount(), 0);
    EXPECT_EQ(data.GetXLog(), 0);
    EXPECT_EQ(data.GetValid(), 1);
    EXPECT_EQ(data.GetRegion().GraphNodes()[0], (DPoint{1, 10}));
    // The view was loaded again after the reset.
    EXPECT_EQ(axis->m_max, (DPoint{10, 10}));
    EXPECT_EQ(axis->m_xLog, 0);
    // The node values stay in memory.
    EXPECT_EQ(data.GetRegion().PixelNodes()[4], (DPoint{100, 50}));
}

TEST(TransformDataTest, ManipulationViewForwardsRegionOperations)
{
    TransformData data;
    auto man = GetRepAs<TransformMan>(data);
    EXPECT_FALSE(man->IsDefined());
    man->DefineOrResize(Box::kHitRight, {50, 40}, {10, 5}); // undefined: a new rectangle
    ASSERT_TRUE(man->IsDefined());
    EXPECT_EQ(man->GetBox().PixelNodes()[0], (DPoint{10, 5}));
    EXPECT_EQ(man->GetPivot(), (DPoint{10, 40}));
    double w, h;
    man->GetSize(w, h);
    EXPECT_EQ(w, 40);
    EXPECT_EQ(h, 35);
    man->Clear();
    EXPECT_FALSE(man->IsDefined());
    // The data itself only changes on notification.
    EXPECT_EQ(data.GetRegion().GetPixelNodeCount(), 0);
}

// ------------------------------------------------------------- storage

TEST(TransformStorage, RoundTripKeepsEveryField)
{
    TransformData data;
    DefineRect(data, {0, 0}, {100, 50}, 10);
    auto ppi = GetRepAs<TransformPpiVw>(data);
    ppi->m_aspect = 1.25;
    ppi->m_pointsPerUnit = 3;
    ppi->m_origin = {4, 5};
    ppi->Notify(0);
    Archive out;
    data.Serialize(out);
    // version, valid, box (4 + 272), logs, reserved 16, mode, aspect, ppu, min, max
    ASSERT_EQ(out.Bytes().size(), 4u + 4 + 276 + 8 + 16 + 4 + 16 + 32);

    TransformData back;
    Archive in(out.Bytes());
    back.Serialize(in);
    EXPECT_TRUE(in.AtEnd());
    const auto a = data.GetState(), b = back.GetState();
    EXPECT_EQ(b.mode, 1);
    EXPECT_EQ(b.aspect, a.aspect);
    EXPECT_EQ(b.pointsPerUnit, a.pointsPerUnit);
    EXPECT_EQ(b.min, a.min);
    EXPECT_EQ(b.max, a.max);
    EXPECT_TRUE(b.region.SameRegion(a.region));
}

TEST(TransformStorage, TruncatedBlockThrowsAndKeepsTheTransform)
{
    TransformData data;
    DefineRect(data, {0, 0}, {100, 50});
    Archive out;
    data.Serialize(out);
    std::vector<std::uint8_t> bytes = out.Bytes();
    bytes.resize(bytes.size() - 1);
    TransformData back;
    Archive in(bytes);
    EXPECT_THROW(back.Serialize(in), ArchiveError);
    EXPECT_EQ(back.GetRegion().GetPixelNodeCount(), 0);
    EXPECT_EQ(back.GetMax(), (DPoint{10, 10}));
}

TEST(TransformStorage, OldBlockOfFormatTwo)
{
    Box region;
    region.SetPixelRect({0, 0}, {99, 49});
    const DPoint g[4] = {{0, 5}, {10, 5}, {10, 0}, {0, 0}};
    region.SetGraphNodes(4, g);
    Archive out;
    for (int i = 0; i < 8; ++i)
        out.WriteU8(0xAA);
    out.WriteU32(1); // valid
    for (int i = 0; i < 36; ++i)
        out.WriteU8(0xBB);
    region.WriteRawBlock(out);
    out.WriteF64(0);
    out.WriteF64(0);
    out.WriteF64(10);
    out.WriteF64(5);
    out.WriteU32(0);
    out.WriteU32(1);
    ASSERT_EQ(out.Bytes().size(), 360u);

    TransformData data;
    AxisMapping(data, {1, 1}, {2, 2});
    auto ppi = GetRepAs<TransformPpiVw>(data);
    ppi->Notify(0); // mode 1, to see the reader put axis mapping back
    Archive in(out.Bytes());
    data.ReadOldBlock(in);
    EXPECT_TRUE(in.AtEnd());
    EXPECT_EQ(data.GetMode(), 0);
    EXPECT_EQ(data.GetAspect(), 1.0);
    EXPECT_EQ(data.GetYLog(), 1);
    EXPECT_EQ(data.GetMax(), (DPoint{10, 5}));
    EXPECT_TRUE(data.GetRegion().SameRegion(region));

    Archive shortIn(std::vector<std::uint8_t>(out.Bytes().begin(), out.Bytes().end() - 4));
    TransformData untouched;
    EXPECT_THROW(untouched.ReadOldBlock(shortIn), ArchiveError);
    EXPECT_EQ(untouched.GetYLog(), 0);
}

} // namespace
