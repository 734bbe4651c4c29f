#include "mapping/TransformAxisVw.h"
#include "mapping/TransformMan.h"
#include "model/DbPoint.h"
#include "model/DbSetMgr.h"
#include "tasks/PlotData.h"
#include "tasks/PrimTask.h"

#include <gtest/gtest.h>

namespace {

// The region spans pixels (0, 0) to (1000, 500): a twentieth of a pixel is 1/20000 of the x
// range and 1/10000 of the y range. The set's text without, then with the columns dX and dY.
TEST(ExportPrecision, DigitsResolveATwentiethOfAPixel)
{
    const struct {
        DPoint min, max;
        int yLog;
        DPoint pixel;
        const char *text, *uncertain;
    } cases[] = {
        // An ordinary plot keeps "%g".
        {{0, 0}, {10, 10}, 0, {123.4567, 250}, "1.23457 5", "1.23457, 5, 0.005, 0.01"},
        // "%g" would give 2004.37: a tenth of a year is 10 pixels.
        {{2000, 0}, {2010, 10}, 0, {437.3, 100}, "2004.373 8", "2004.373, 8, 0.005, 0.01"},
        {{632.8001, 0}, {632.8002, 1}, 0, {250, 0}, "632.800125 1", "632.800125, 1, 5e-08, 0.001"},
        // Half a pixel of a logarithmic axis grows with the value: ln 10 * 1000 * 6 / 1000.
        {{0, 1}, {10, 1e6}, 1, {500, 250}, "5 1000", "5, 1000, 0.005, 13.8"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        PlotData data;
        data.NewSet();
        auto man = data.FindRep<TransformMan>();
        man->DefineOrResize(0, {0, 0}, {1000, 500});
        man->Notify(0);
        auto axis = data.FindRep<TransformAxisVw>();
        axis->m_min = c.min;
        axis->m_max = c.max;
        axis->m_yLog = c.yLog;
        axis->Notify(0);
        ASSERT_TRUE(
            data.Execute(std::make_unique<PrimTask>(&data, std::make_unique<DbPoint>(c.pixel))));
        std::string plain, uncertain;
        data.GetSetMgr()->WriteAllSets(plain, " ", 0);
        data.GetSetMgr()->WriteAllSets(uncertain, ", ", 0, true);
        EXPECT_EQ(plain, std::string("Line 1\nX Y\n") + c.text + "\n\n");
        EXPECT_EQ(uncertain, std::string("Line 1\nX, Y, dX, dY\n") + c.uncertain + "\n\n");
    }
}

} // namespace
