#include "mapping/TransformData.h"

#include "mapping/RegGridSettings.h"
#include "mapping/TransformAxisVw.h"
#include "mapping/TransformMan.h"
#include "mapping/TransformMemento.h"
#include "mapping/TransformPpiVw.h"
#include "platform/Archive.h"
#include "platform/ToolEvent.h"

#include <cmath>

TransformData::TransformData()
{
    SetLimits({1.0, 1.0}, {10.0, 10.0});
}

// ---------------------------------------------------------------- conversions

bool TransformData::PixelToGraph(DPoint pixel, DPoint& graph) const
{
    DPoint g;
    if (!m_region.PixelToGraph(pixel, g))
        return false;
    if (m_xLog)
        g.x = std::pow(10.0, g.x);
    if (m_yLog)
        g.y = std::pow(10.0, g.y);
    graph = g;
    return true;
}

bool TransformData::PixelJacobian(DPoint pixel, double j[4]) const
{
    double s, t;
    if (!m_region.IsDefined() || !m_region.InversePixel(pixel, s, t))
        return false;
    // d(graph)/d(s,t) times the inverse of d(pixel)/d(s,t).
    double n[Box::kNodes], ds[Box::kNodes], dt[Box::kNodes], p[4], inv[4], g[4];
    Box::ShapeDerivatives(s, t, n, ds, dt);
    Box::Jacobian(ds, dt, m_region.PixelNodes(), p);
    Box::Jacobian(ds, dt, m_region.GraphNodes(), g);
    if (!Box::Invert(p, inv))
        return false;
    j[0] = g[0] * inv[0] + g[2] * inv[1];
    j[1] = g[0] * inv[2] + g[2] * inv[3];
    j[2] = g[1] * inv[0] + g[3] * inv[1];
    j[3] = g[1] * inv[2] + g[3] * inv[3];
    // A logarithmic axis holds log10 of its value: d(10^u) = ln 10 * 10^u * du.
    const DPoint u = m_region.GraphAt(s, t);
    if (m_xLog) {
        const double f = std::log(10.0) * std::pow(10.0, u.x);
        j[0] *= f;
        j[1] *= f;
    }
    if (m_yLog) {
        const double f = std::log(10.0) * std::pow(10.0, u.y);
        j[2] *= f;
        j[3] *= f;
    }
    return true;
}

bool TransformData::GraphToPixel(DPoint graph, DPoint& pixel) const
{
    if (m_xLog)
        graph.x = std::log10(graph.x);
    if (m_yLog)
        graph.y = std::log10(graph.y);
    return m_region.GraphToPixel(graph, pixel);
}

// ---------------------------------------------------------------- defining

void TransformData::SetLimits(DPoint min, DPoint max)
{
    m_min = min;
    m_max = max;
    m_valid = 1;
    DPoint corners[4] = {{min.x, max.y}, {max.x, max.y}, {max.x, min.y}, {min.x, min.y}};
    for (DPoint& c : corners) {
        if (m_xLog)
            c.x = std::log10(c.x);
        if (m_yLog)
            c.y = std::log10(c.y);
    }
    m_region.SetGraphNodes(4, corners);
}

void TransformData::SetPixelMapping(double aspect, double pointsPerUnit, DPoint origin)
{
    double w, h;
    m_region.GetSize(w, h);
    m_aspect = aspect;
    m_pointsPerUnit = pointsPerUnit;
    m_valid = 1;
    m_xLog = 0;
    m_yLog = 0;
    m_min = origin;
    m_max.x = w * aspect / pointsPerUnit + origin.x;
    m_max.y = h / pointsPerUnit + origin.y;
    m_region.SetPixelMappingCorners(aspect, pointsPerUnit, origin);
}

void TransformData::ResetToDefaults()
{
    m_mode = kAxisMapping;
    m_pointsPerUnit = 1.0;
    m_aspect = 1.0;
    m_valid = 0;
    m_xLog = 0;
    m_yLog = 0;
    m_min = {1.0, 1.0};
    m_max = {10.0, 10.0};
    // The node values stay; they no longer count.
    m_region.SetPixelNodeCount(0);
    SetLimits({1.0, 1.0}, {10.0, 10.0});
}

TransformData::State TransformData::GetState() const
{
    State s;
    s.mode = m_mode;
    s.pointsPerUnit = m_pointsPerUnit;
    s.aspect = m_aspect;
    s.valid = m_valid;
    s.xLog = m_xLog;
    s.yLog = m_yLog;
    s.min = m_min;
    s.max = m_max;
    s.region.CopyRegion(m_region);
    return s;
}

void TransformData::SetState(const State& s)
{
    m_mode = s.mode;
    m_pointsPerUnit = s.pointsPerUnit;
    m_aspect = s.aspect;
    m_valid = s.valid;
    m_xLog = s.xLog;
    m_yLog = s.yLog;
    m_min = s.min;
    m_max = s.max;
    m_region.CopyRegion(s.region);
}

// ---------------------------------------------------------------- representations

AttributeRep* TransformData::GetRep(const std::string& repKey)
{
    AttributeRep* rep = nullptr;
    if (repKey == TransformMan::kKey)
        rep = new TransformMan(this);
    else if (repKey == TransformAxisVw::kKey)
        rep = new TransformAxisVw(this);
    else if (repKey == TransformPpiVw::kKey)
        rep = new TransformPpiVw(this);
    else if (repKey == TransformMemento::kKey)
        rep = new TransformMemento(this);
    if (rep)
        rep->Load();
    return rep;
}

namespace {
class MementoState : public MappingState {
public:
    explicit MementoState(std::unique_ptr<TransformMemento> memento) : m_memento(std::move(memento))
    {
    }
    void Restore() override { m_memento->Notify(DataHint()); }
    void Reset() override { m_memento->Reset(); }

private:
    std::unique_ptr<TransformMemento> m_memento;
};
} // namespace

std::unique_ptr<MappingState> TransformData::Snapshot()
{
    auto memento = std::make_unique<TransformMemento>(this);
    memento->Load();
    return std::make_unique<MementoState>(std::move(memento));
}

void TransformData::Update(Observer* subject, std::intptr_t /*hint*/)
{
    if (auto* man = dynamic_cast<TransformMan*>(subject)) {
        m_region.CopyRegion(man->GetBox());
        // A moved, resized or turned region keeps its pixel scale and its origin.
        if (m_mode == kPixelMapping)
            SetPixelMapping(m_aspect, m_pointsPerUnit, m_region.GraphNodes()[6]);
    } else if (auto* axis = dynamic_cast<TransformAxisVw*>(subject)) {
        m_mode = kAxisMapping;
        m_xLog = axis->m_xLog;
        m_yLog = axis->m_yLog;
        SetLimits(axis->m_min, axis->m_max);
    } else if (auto* ppi = dynamic_cast<TransformPpiVw*>(subject)) {
        m_mode = kPixelMapping;
        m_xLog = 0;
        m_yLog = 0;
        SetPixelMapping(ppi->m_aspect, ppi->m_pointsPerUnit, ppi->m_origin);
    } else if (auto* memento = dynamic_cast<TransformMemento*>(subject)) {
        SetState(memento->GetState());
    }
}

// ---------------------------------------------------------------- drawing

void TransformData::DrawRegion(ToolEvent& e)
{
    if (m_region.GetPixelNodeCount() > 0)
        m_region.Draw(e);
}

namespace {

// Grid lines tried per direction at most. Besides the region's edge, a direction also ends
// when its lines would come closer together than one window pixel: a step that is tiny
// against the region would otherwise keep the walk going practically for ever.
constexpr int kMaxGridLines = 1 << 16;

enum class LineResult { Drawn, Outside, TooClose };

// Draws the grid lines of one axis through the region.
class GridLiner {
public:
    GridLiner(ToolEvent& e, Box& region, bool xLines, double other)
        : m_e(e), m_region(region), m_xLines(xLines), m_other(other)
    {
    }

    // The line at a node-space value, unless it lies outside the region or within one
    // window pixel of the line at previous (midpoints compared). mid receives its midpoint.
    LineResult Line(double value, const DPoint* previous, DPoint& mid)
    {
        if (!std::isfinite(value))
            return LineResult::Outside;
        DPoint a, b;
        const bool inside = m_xLines ? m_region.XLineEnds({value, m_other}, a, b)
                                     : m_region.YLineEnds({m_other, value}, a, b);
        if (!inside)
            return LineResult::Outside;
        mid = {(a.x + b.x) / 2, (a.y + b.y) / 2};
        if (previous) {
            const double apart = std::hypot(mid.x - previous->x, mid.y - previous->y) * m_e.scale;
            if (!(apart >= 1.0))
                return LineResult::TooClose;
        }
        m_region.DrawLine(m_e, a, b);
        return LineResult::Drawn;
    }

private:
    ToolEvent& m_e;
    Box& m_region;
    bool m_xLines;
    double m_other;
};

// Linear axis: from the grid value next to the centre outward in both directions, each
// direction ending at the first line that is not drawn.
void DrawLinearLines(GridLiner& liner, double centre, double origin, double step)
{
    const double v0 = std::trunc((centre - origin) / step) * step + origin;
    DPoint first, prev, mid;
    bool haveFirst = false, havePrev = false;
    int budget = kMaxGridLines;
    for (double v = v0; budget-- > 0; v += step) {
        if (liner.Line(v, havePrev ? &prev : nullptr, mid) != LineResult::Drawn)
            break;
        if (!haveFirst) {
            first = mid;
            haveFirst = true;
        }
        prev = mid;
        havePrev = true;
    }
    prev = first;
    havePrev = haveFirst;
    budget = kMaxGridLines;
    for (double v = v0 - step; budget-- > 0; v -= step) {
        if (liner.Line(v, havePrev ? &prev : nullptr, mid) != LineResult::Drawn)
            break;
        prev = mid;
        havePrev = true;
    }
}

// Logarithmic axis: the origin-and-step pattern repeated in every decade, decade by decade
// upward from the centre's decade and downward below it, each direction ending at the first
// decade whose first line is not drawn.
void DrawLogLines(GridLiner& liner, double centre, double origin, double step)
{
    const double m = std::trunc(std::log10(std::pow(10.0, centre)));
    const double base = std::pow(10.0, m) * origin;
    for (bool up : {true, false}) {
        int budget = kMaxGridLines;
        DPoint prevFirst, mid;
        bool havePrevFirst = false;
        for (double k = up ? 1.0 : 0.1; budget > 0; k = up ? k * 10.0 : k / 10.0) {
            --budget;
            const double first = base * k;
            if (liner.Line(std::log10(first), havePrevFirst ? &prevFirst : nullptr, mid) !=
                LineResult::Drawn)
                break;
            prevFirst = mid;
            havePrevFirst = true;
            // The rest of the decade ends where its lines leave the region, crowd closer
            // than a pixel, or stop having a logarithm.
            DPoint prev = mid;
            const double inc = step * k;
            const double end = 10.0 * first;
            for (double x = first + inc; x < end && x > 0.0 && budget > 0; x += inc) {
                --budget;
                if (liner.Line(std::log10(x), &prev, mid) != LineResult::Drawn)
                    break;
                prev = mid;
            }
        }
    }
}

} // namespace

void TransformData::DrawGrid(ToolEvent& e, const RegGridSettings& grid)
{
    if (!e.dc || !m_region.IsDefined())
        return;
    DPoint c;
    m_region.GetGraphCenter(c);

    // The node-space position on the other axis that the lines are found through: the grid
    // value next to the centre on a linear axis, the other origin (1 for 0) on a log axis.
    // When that has no value (a step of 0, an origin without logarithm) the centre serves.
    auto linearOther = [](double centre, double origin, double step) {
        const double v = std::trunc((centre - origin) / step) * step + origin;
        return std::isfinite(v) ? v : centre;
    };
    auto logOther = [](double origin, double centre) {
        const double v = std::log10(origin == 0.0 ? 1.0 : origin);
        return std::isfinite(v) ? v : centre;
    };
    auto usable = [](double step) { return std::isfinite(step) && step != 0.0; };

    if (grid.snapX && grid.showX && usable(grid.stepX)) {
        const double other =
            m_xLog ? logOther(grid.originY, c.y) : linearOther(c.y, grid.originY, grid.stepY);
        GridLiner liner(e, m_region, true, other);
        if (m_xLog)
            DrawLogLines(liner, c.x, grid.originX, grid.stepX);
        else
            DrawLinearLines(liner, c.x, grid.originX, grid.stepX);
    }
    if (grid.snapY && grid.showY && usable(grid.stepY)) {
        const double other =
            m_yLog ? logOther(grid.originX, c.x) : linearOther(c.x, grid.originX, grid.stepX);
        GridLiner liner(e, m_region, false, other);
        if (m_yLog)
            DrawLogLines(liner, c.y, grid.originY, grid.stepY);
        else
            DrawLinearLines(liner, c.y, grid.originY, grid.stepY);
    }
}

// ---------------------------------------------------------------- storage

void TransformData::Serialize(Archive& ar)
{
    if (ar.IsStoring()) {
        ar.WriteU32(1);
        ar.WriteU32(static_cast<std::uint32_t>(m_valid));
        m_region.Serialize(ar);
        ar.WriteU32(static_cast<std::uint32_t>(m_xLog));
        ar.WriteU32(static_cast<std::uint32_t>(m_yLog));
        ar.WriteF64(0.0); // reserved
        ar.WriteF64(0.0);
        ar.WriteU32(static_cast<std::uint32_t>(m_mode));
        ar.WriteF64(m_aspect);
        ar.WriteF64(m_pointsPerUnit);
        ar.WriteF64(m_min.x);
        ar.WriteF64(m_min.y);
        ar.WriteF64(m_max.x);
        ar.WriteF64(m_max.y);
        return;
    }
    State s;
    ar.ReadVersion(1, 1);
    s.valid = ar.ReadI32();
    s.region.Serialize(ar);
    s.xLog = ar.ReadI32();
    s.yLog = ar.ReadI32();
    ar.Skip(16);
    s.mode = ar.ReadI32();
    s.aspect = ar.ReadF64();
    s.pointsPerUnit = ar.ReadF64();
    s.min.x = ar.ReadF64();
    s.min.y = ar.ReadF64();
    s.max.x = ar.ReadF64();
    s.max.y = ar.ReadF64();
    SetState(s);
}

void TransformData::ReadOldBlock(Archive& ar)
{
    ar.CheckCount(1, kOldBlockSize);
    State s;
    ar.Skip(8);
    s.valid = ar.ReadI32();
    ar.Skip(36);
    s.region.ReadRawBlock(ar);
    s.min.x = ar.ReadF64();
    s.min.y = ar.ReadF64();
    s.max.x = ar.ReadF64();
    s.max.y = ar.ReadF64();
    s.xLog = ar.ReadI32();
    s.yLog = ar.ReadI32();
    s.mode = kAxisMapping;
    s.aspect = 1.0;
    s.pointsPerUnit = 1.0;
    SetState(s);
}
