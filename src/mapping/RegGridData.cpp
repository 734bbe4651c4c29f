#include "mapping/RegGridData.h"

#include "mapping/RegGridSnap.h"
#include "mapping/RegGridVw.h"
#include "mapping/SnapTolerance.h"
#include "mapping/TransformData.h"
#include "platform/Archive.h"

#include <cmath>

RegGridData::RegGridData(TransformData* transform) : m_transform(transform)
{
}

AttributeRep* RegGridData::GetRep(const std::string& repKey)
{
    AttributeRep* rep = nullptr;
    if (repKey == RegGridVw::kKey)
        rep = new RegGridVw(this);
    else if (repKey == RegGridSnap::kKey)
        rep = new RegGridSnap(this);
    if (rep)
        rep->Load();
    return rep;
}

void RegGridData::Update(Observer* subject, std::intptr_t /*hint*/)
{
    if (auto* view = dynamic_cast<RegGridVw*>(subject))
        m_settings = view->m_settings;
}

namespace {

// Origin and step of the grid where the graph value lies. On a logarithmic axis the pattern
// of the decade of the origin repeats in every decade; false when either value is not
// positive there.
bool WorkingGrid(bool log, double g, double origin, double step, double& o, double& s)
{
    if (!log) {
        o = origin;
        s = step;
        return true;
    }
    if (!(g > 0.0) || !(origin > 0.0))
        return false;
    const double e = std::trunc(std::log10(g)) - std::trunc(std::log10(origin));
    const double scale = std::pow(10.0, e);
    o = scale * origin;
    s = scale * step;
    return true;
}

// The grid neighbour of g within tol: the lower one first, then the upper one.
bool SnapValue(double& g, double o, double s, double tol)
{
    const double q = (g - o) / s;
    const double lower = std::floor(q) * s + o;
    const double upper = std::ceil(q) * s + o;
    if (lower >= g - tol && lower <= g + tol) {
        g = lower;
        return true;
    }
    if (upper >= g - tol && upper <= g + tol) {
        g = upper;
        return true;
    }
    return false;
}

} // namespace

bool RegGridData::Snap(DPoint& point, const TransformData& transform) const
{
    const RegGridSettings& set = m_settings;
    if (!set.snapX && !set.snapY)
        return false;
    const double t = SnapTolerance::Current();
    DPoint g, g2;
    if (!transform.PixelToGraph(point, g) ||
        !transform.PixelToGraph({point.x + 2 * t, point.y + 2 * t}, g2))
        return false;
    const double tx = std::fabs(g.x - g2.x), ty = std::fabs(g.y - g2.y);

    // Only the axes that snap need a working grid.
    double ox = 0, sx = 0, oy = 0, sy = 0;
    if (set.snapX && !WorkingGrid(transform.GetXLog(), g.x, set.originX, set.stepX, ox, sx))
        return false;
    if (set.snapY && !WorkingGrid(transform.GetYLog(), g.y, set.originY, set.stepY, oy, sy))
        return false;

    DPoint snapped = g;
    bool changed = false;
    if (set.snapX)
        changed |= SnapValue(snapped.x, ox, sx, tx);
    if (set.snapY)
        changed |= SnapValue(snapped.y, oy, sy, ty);
    if (!changed)
        return false;
    return transform.GraphToPixel(snapped, point);
}

bool RegGridData::Snap(DPoint& point) const
{
    return m_transform ? Snap(point, *m_transform) : false;
}

void RegGridData::Draw(ToolEvent& e)
{
    if ((m_settings.snapX || m_settings.snapY) && m_transform)
        m_transform->DrawGrid(e, m_settings);
}

void RegGridData::Serialize(Archive& ar)
{
    if (ar.IsStoring()) {
        ar.WriteU32(2);
        ar.WriteU32(static_cast<std::uint32_t>(m_settings.snapX));
        ar.WriteU32(static_cast<std::uint32_t>(m_settings.snapY));
        ar.WriteF64(m_settings.originX);
        ar.WriteF64(m_settings.originY);
        ar.WriteF64(m_settings.stepX);
        ar.WriteF64(m_settings.stepY);
        ar.WriteU32(static_cast<std::uint32_t>(m_settings.showX));
        ar.WriteU32(static_cast<std::uint32_t>(m_settings.showY));
        return;
    }
    const std::uint32_t version = ar.ReadVersion(1, 2);
    if (version == 2) {
        ar.CheckCount(1, 48);
        RegGridSettings s;
        s.snapX = ar.ReadI32();
        s.snapY = ar.ReadI32();
        s.originX = ar.ReadF64();
        s.originY = ar.ReadF64();
        s.stepX = ar.ReadF64();
        s.stepY = ar.ReadF64();
        s.showX = ar.ReadI32();
        s.showY = ar.ReadI32();
        m_settings = s;
    } else if (version == 1) {
        // The first layout's values are not used; the settings stay as they are.
        ar.Skip(40);
        m_settings.showX = 1;
        m_settings.showY = 1;
    }
}
