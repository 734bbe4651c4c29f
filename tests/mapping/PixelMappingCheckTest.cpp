#include "mapping/CImageMapping.h"
#include "mapping/TransformData.h"
#include "model/PlotData.h"
#include "platform/Document.h"
#include "platform/RecordingUiServices.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>

namespace {

struct ScaleCase {
    double aspect;
    double pointsPerUnit;
    bool accepted;
};

class PixelMappingScale : public ::testing::TestWithParam<ScaleCase> {
protected:
    void SetUp() override
    {
        SetUiServices(&ui);
        data = std::make_unique<PlotData>(&doc);
    }
    void TearDown() override
    {
        data.reset();
        SetUiServices(nullptr);
    }
    RecordingUiServices ui;
    Document doc;
    std::unique_ptr<PlotData> data;
};

TEST_P(PixelMappingScale, OnlyPositiveScalesReachTheMapping)
{
    CImageMapping dlg(data.get());
    dlg.LoadFields();
    dlg.m_aspect = GetParam().aspect;
    dlg.m_pointsPerUnit = GetParam().pointsPerUnit;
    dlg.m_origin = {0, 0};
    EXPECT_EQ(dlg.OnOK(), GetParam().accepted);
    EXPECT_EQ(data->CanUndo(), GetParam().accepted);
    EXPECT_EQ(dlg.HasRepresentation(), !GetParam().accepted);
    if (GetParam().accepted) {
        EXPECT_TRUE(ui.messages.empty());
        EXPECT_TRUE(std::isfinite(data->GetTransform()->GetMax().x));
        EXPECT_TRUE(std::isfinite(data->GetTransform()->GetMax().y));
    } else {
        ASSERT_EQ(ui.messages.size(), 1u);
        EXPECT_EQ(ui.messages[0].text,
                  "The aspect ratio and the points per length must be greater than zero.");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Scales, PixelMappingScale,
    ::testing::Values(ScaleCase{1, 100, true}, ScaleCase{0.5, 0.001, true}, ScaleCase{1, 0, false},
                      ScaleCase{0, 100, false}, ScaleCase{1, -3, false}, ScaleCase{-1, 100, false},
                      ScaleCase{std::numeric_limits<double>::quiet_NaN(), 1, false}));

} // namespace
