#pragma once

#include "mapping/RegGridData.h"
#include "mapping/RegGridVw.h"
#include "mapping/TransformAxisVw.h"
#include "mapping/TransformData.h"
#include "mapping/TransformMan.h"
#include "mapping/TransformPpiVw.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <memory>
#include <tuple>
#include <vector>

inline double Dist(DPoint a, DPoint b)
{
    return std::hypot(a.x - b.x, a.y - b.y);
}

// The region is placed through the manipulation view, as the region tools do.
inline void DefineRect(TransformData& data, DPoint p1, DPoint p2, double angle = 0)
{
    auto man = NewRep<TransformMan>(data);
    man->DefineOrResize(0, p1, p2);
    if (angle != 0)
        man->Rotate(angle);
    man->Notify(0);
}

inline void AxisMapping(TransformData& data, DPoint min, DPoint max, int xLog = 0, int yLog = 0)
{
    auto axis = NewRep<TransformAxisVw>(data);
    axis->m_min = min;
    axis->m_max = max;
    axis->m_xLog = xLog;
    axis->m_yLog = yLog;
    axis->Notify(0);
}

inline void PixelMapping(TransformData& data, double aspect, double pointsPerUnit, DPoint origin)
{
    auto ppi = NewRep<TransformPpiVw>(data);
    ppi->m_aspect = aspect;
    ppi->m_pointsPerUnit = pointsPerUnit;
    ppi->m_origin = origin;
    ppi->Notify(0);
}

// Settings reach the grid through its dialog view, as the Regular Grid dialog sends them.
inline void Apply(RegGridData& grid, const RegGridSettings& s)
{
    std::unique_ptr<RegGridVw> vw = NewRep<RegGridVw>(grid);
    vw->m_settings = s;
    vw->Notify(0);
}

// Every field a memento keeps.
inline void ExpectSameState(const TransformData::State& a, const TransformData::State& b)
{
    EXPECT_EQ(std::tie(a.mode, a.pointsPerUnit, a.aspect, a.valid, a.xLog, a.yLog),
              std::tie(b.mode, b.pointsPerUnit, b.aspect, b.valid, b.xLog, b.yLog));
    EXPECT_EQ(a.min, b.min);
    EXPECT_EQ(a.max, b.max);
    EXPECT_TRUE(a.region.SameRegion(b.region)); // nodes, their counts and the angle
}

// Stored bytes written out by hand, little-endian as the files hold them, to pin a block's
// layout without going through the archive.
struct LeBytes {
    std::vector<std::uint8_t> bytes;
    LeBytes& Put(std::uint64_t v, int size)
    {
        for (int i = 0; i < size; ++i)
            bytes.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
        return *this;
    }
    LeBytes& U32(std::uint32_t v) { return Put(v, 4); }
    LeBytes& F64(double d) { return Put(std::bit_cast<std::uint64_t>(d), 8); }
    // A region block: version 1, node counts, eight pixel nodes (10 + i, 20 + i), eight graph
    // nodes (100 + i, 200 + i), the angle.
    LeBytes& Region(double angle)
    {
        U32(1).U32(8).U32(8);
        for (int i = 0; i < 8; ++i)
            F64(10 + i).F64(20 + i);
        for (int i = 0; i < 8; ++i)
            F64(100 + i).F64(200 + i);
        return F64(angle);
    }
};
