#include "mapping/Box.h"

#include "platform/Archive.h"
#include "platform/ToolEvent.h"

#include <algorithm>
#include <cmath>

namespace {

// The region code takes pi as 3.1415926 throughout.
constexpr double kPi = 3.1415926;
constexpr double kSingular = 1e-7;
constexpr double kConverged = 1e-7;
constexpr int kMaxIterations = 40;

constexpr double kNodeS[Box::kNodes] = {-1, 0, 1, 1, 1, 0, -1, -1};
constexpr double kNodeT[Box::kNodes] = {-1, -1, -1, 0, 1, 1, 1, 0};

double Radians(double degrees)
{
    return degrees * kPi / 180.0;
}

// Window coordinate of an image coordinate, by the view's pixel convention.
int ToWindow(double v, double zoom)
{
    return ToolEvent::WindowOf(v, zoom);
}

// The marching-ants pattern step: doubled, and back to 1 when the bit falls out.
void StepPattern(unsigned char& pattern)
{
    pattern = static_cast<unsigned char>(pattern << 1);
    if (pattern == 0)
        pattern = 1;
}

// n pattern steps at once. Once the pattern holds a single bit it cycles with period 8.
void AdvancePattern(unsigned char& pattern, long long n)
{
    while (n > 0 && (pattern & (pattern - 1)) != 0) {
        StepPattern(pattern);
        --n;
    }
    n %= 8;
    while (n-- > 0)
        StepPattern(pattern);
}

DPoint TurnAbout(DPoint p, DPoint pivot, double cosA, double sinA)
{
    const double dx = p.x - pivot.x, dy = p.y - pivot.y;
    return {dx * cosA - dy * sinA + pivot.x, dy * cosA + dx * sinA + pivot.y};
}

} // namespace

Box::Box() = default;

// ---------------------------------------------------------------- element mathematics

void Box::ShapeFunctions(double s, double t, double n[kNodes])
{
    const double sm = 1 - s, sp = 1 + s, tm = 1 - t, tp = 1 + t;
    n[0] = sm * tm * (-s - t - 1) * 0.25;
    n[1] = (1 - s * s) * tm * 0.5;
    n[2] = sp * tm * (s - t - 1) * 0.25;
    n[3] = sp * (1 - t * t) * 0.5;
    n[4] = sp * tp * (s + t - 1) * 0.25;
    n[5] = (1 - s * s) * tp * 0.5;
    n[6] = sm * tp * (-s + t - 1) * 0.25;
    n[7] = sm * (1 - t * t) * 0.5;
}

void Box::ShapeDerivatives(double s, double t, double n[kNodes], double ds[kNodes],
                           double dt[kNodes])
{
    ShapeFunctions(s, t, n);
    for (int i = 0; i < kNodes; i += 2) {
        const double si = kNodeS[i], ti = kNodeT[i];
        ds[i] = si * (1 + t * ti) * (2 * s * si + t * ti) * 0.25;
        dt[i] = ti * (1 + s * si) * (s * si + 2 * t * ti) * 0.25;
    }
    // Midside nodes 1 and 5 (s position 0), 3 and 7 (t position 0).
    ds[1] = -s * (1 - t);
    dt[1] = -(1 - s * s) * 0.5;
    ds[5] = -s * (1 + t);
    dt[5] = (1 - s * s) * 0.5;
    ds[3] = (1 - t * t) * 0.5;
    dt[3] = -t * (1 + s);
    ds[7] = -(1 - t * t) * 0.5;
    dt[7] = -t * (1 - s);
}

DPoint Box::Interpolate(const double n[kNodes], const DPoint nodes[kNodes])
{
    DPoint p;
    for (int i = 0; i < kNodes; ++i) {
        p.x += n[i] * nodes[i].x;
        p.y += n[i] * nodes[i].y;
    }
    return p;
}

void Box::Jacobian(const double ds[kNodes], const double dt[kNodes], const DPoint nodes[kNodes],
                   double j[4])
{
    j[0] = j[1] = j[2] = j[3] = 0.0;
    for (int i = 0; i < kNodes; ++i) {
        j[0] += ds[i] * nodes[i].x;
        j[1] += ds[i] * nodes[i].y;
        j[2] += dt[i] * nodes[i].x;
        j[3] += dt[i] * nodes[i].y;
    }
}

void Box::JacobianPixel(double s, double t, double j[4]) const
{
    double n[kNodes], ds[kNodes], dt[kNodes];
    ShapeDerivatives(s, t, n, ds, dt);
    Jacobian(ds, dt, m_pixelNodes, j);
}

double Box::Determinant(const double j[4])
{
    return j[0] * j[3] - j[1] * j[2];
}

bool Box::Invert(const double j[4], double out[4])
{
    const double det = Determinant(j);
    // A NaN determinant fails this test too.
    if (!(std::fabs(det) >= kSingular))
        return false;
    out[0] = j[3] / det;
    out[1] = -j[1] / det;
    out[2] = -j[2] / det;
    out[3] = j[0] / det;
    return true;
}

bool Box::InverseMap(DPoint target, const DPoint nodes[kNodes], double& sOut, double& tOut)
{
    double s = 0.1, t = 0.1;
    double n[kNodes], ds[kNodes], dt[kNodes], j[4], k[4];
    for (int iter = 0; iter < kMaxIterations; ++iter) {
        ShapeDerivatives(s, t, n, ds, dt);
        const DPoint p = Interpolate(n, nodes);
        Jacobian(ds, dt, nodes, j);
        if (!Invert(j, k))
            return false;
        const double ex = p.x - target.x, ey = p.y - target.y;
        const double s2 = s - (ex * k[0] + ey * k[2]);
        const double t2 = t - (ex * k[1] + ey * k[3]);
        const bool done = std::fabs(s2 - s) < kConverged && std::fabs(t2 - t) < kConverged;
        s = s2;
        t = t2;
        if (done) {
            sOut = s;
            tOut = t;
            return true;
        }
    }
    return false;
}

bool Box::InversePixel(DPoint target, double& s, double& t) const
{
    return InverseMap(target, m_pixelNodes, s, t);
}

DPoint Box::PixelAt(double s, double t) const
{
    double n[kNodes];
    ShapeFunctions(s, t, n);
    return Interpolate(n, m_pixelNodes);
}

DPoint Box::GraphAt(double s, double t) const
{
    double n[kNodes];
    ShapeFunctions(s, t, n);
    return Interpolate(n, m_graphNodes);
}

bool Box::PixelToGraph(DPoint pixel, DPoint& graph) const
{
    double s, t;
    if (!InverseMap(pixel, m_pixelNodes, s, t))
        return false;
    graph = GraphAt(s, t);
    return true;
}

bool Box::GraphToPixel(DPoint graph, DPoint& pixel) const
{
    double s, t;
    if (!InverseMap(graph, m_graphNodes, s, t))
        return false;
    pixel = PixelAt(s, t);
    return true;
}

// ---------------------------------------------------------------- defining

namespace {
void SetNodes(int count, const DPoint* points, DPoint nodes[Box::kNodes])
{
    if (count == 4) {
        for (int k = 0; k < 4; ++k)
            nodes[2 * k] = points[k];
        for (int k = 0; k < 4; ++k) {
            const DPoint a = nodes[2 * k], b = nodes[(2 * k + 2) % Box::kNodes];
            nodes[2 * k + 1] = {(a.x + b.x) / 2, (a.y + b.y) / 2};
        }
        return;
    }
    // Never more nodes than the region has.
    count = std::clamp(count, 0, Box::kNodes);
    for (int i = 0; i < count; ++i)
        nodes[i] = points[i];
}

void Midpoints(DPoint nodes[Box::kNodes])
{
    for (int k = 0; k < 4; ++k) {
        const DPoint a = nodes[2 * k], b = nodes[(2 * k + 2) % Box::kNodes];
        nodes[2 * k + 1] = {(a.x + b.x) / 2, (a.y + b.y) / 2};
    }
}
} // namespace

void Box::SetGraphNodes(int count, const DPoint* points)
{
    SetNodes(count, points, m_graphNodes);
    m_graphNodeCount = kNodes;
}

void Box::SetPixelNodes(int count, const DPoint* points)
{
    SetNodes(count, points, m_pixelNodes);
    m_pixelNodeCount = kNodes;
    m_angle = 0.0;
}

void Box::SetPixelRect(DPoint p1, DPoint p2)
{
    const DPoint corners[4] = {{p1.x, p1.y}, {p2.x, p1.y}, {p2.x, p2.y}, {p1.x, p2.y}};
    SetPixelNodes(4, corners);
}

void Box::SetPixelMappingCorners(double aspect, double pointsPerUnit, DPoint origin)
{
    double w, h;
    GetSize(w, h);
    const double a = Radians(m_angle);
    const double sx =
        std::fabs((aspect / pointsPerUnit) * std::cos(a) - (1.0 / pointsPerUnit) * std::sin(a));
    const double sy =
        std::fabs((1.0 / pointsPerUnit) * std::cos(a) + (aspect / pointsPerUnit) * std::sin(a));
    const double x2 = w * sx + origin.x;
    const double y2 = h * sy + origin.y;
    const DPoint corners[4] = {{origin.x, y2}, {x2, y2}, {x2, origin.y}, {origin.x, origin.y}};
    SetGraphNodes(4, corners);
}

int Box::GetPixelCorners(int capacity, DPoint* out) const
{
    const int n = std::clamp(capacity, 0, 4);
    for (int k = 0; k < n; ++k)
        out[k] = m_pixelNodes[2 * k];
    return n;
}

void Box::CopyRegion(const Box& other)
{
    m_pixelNodeCount = other.m_pixelNodeCount;
    m_graphNodeCount = other.m_graphNodeCount;
    std::copy(other.m_pixelNodes, other.m_pixelNodes + kNodes, m_pixelNodes);
    std::copy(other.m_graphNodes, other.m_graphNodes + kNodes, m_graphNodes);
    m_angle = other.m_angle;
}

bool Box::SameRegion(const Box& other) const
{
    return m_pixelNodeCount == other.m_pixelNodeCount &&
           m_graphNodeCount == other.m_graphNodeCount &&
           std::equal(m_pixelNodes, m_pixelNodes + kNodes, other.m_pixelNodes) &&
           std::equal(m_graphNodes, m_graphNodes + kNodes, other.m_graphNodes) &&
           m_angle == other.m_angle;
}

// ---------------------------------------------------------------- geometry

void Box::Unrotate(DPoint pivot, DPoint out[kNodes]) const
{
    const double a = Radians(m_angle);
    // Turning by -a: the rotation formula with sin negated.
    const double c = std::cos(a), s = -std::sin(a);
    for (int i = 0; i < kNodes; ++i)
        out[i] = TurnAbout(m_pixelNodes[i], pivot, c, s);
}

void Box::GetSize(double& width, double& height) const
{
    DPoint own[kNodes];
    Unrotate(m_pixelNodes[6], own);
    width = own[4].x - own[6].x;
    height = own[6].y - own[0].y;
}

void Box::GetGraphCenter(DPoint& out) const
{
    out = GraphAt(0.0, 0.0);
}

void Box::Rotate(double degrees)
{
    const double a = Radians(degrees);
    const double c = std::cos(a), s = std::sin(a);
    const DPoint pivot = m_pixelNodes[6];
    for (int i = 0; i < kNodes; ++i)
        m_pixelNodes[i] = TurnAbout(m_pixelNodes[i], pivot, c, s);
    m_angle += degrees;
}

void Box::Resize(int hitCode, DPoint delta)
{
    const DPoint pivot = m_pixelNodes[6];
    const double a = Radians(m_angle);
    const double c = std::cos(a), s = std::sin(a);
    DPoint n[kNodes];
    Unrotate(pivot, n);
    const DPoint d{delta.x * c + delta.y * s, delta.y * c - delta.x * s};

    switch (hitCode) {
    case kHitTopLeft:
        n[0].x += d.x;
        n[0].y += d.y;
        n[6].x += d.x;
        n[2].y += d.y;
        break;
    case kHitTopRight:
        n[2].x += d.x;
        n[2].y += d.y;
        n[0].y += d.y;
        n[4].x += d.x;
        break;
    case kHitBottomRight:
        n[4].x += d.x;
        n[4].y += d.y;
        n[6].y += d.y;
        n[2].x += d.x;
        break;
    case kHitBottomLeft:
        n[6].x += d.x;
        n[6].y += d.y;
        n[0].x += d.x;
        n[4].y += d.y;
        break;
    case kHitLeft:
        n[0].x += d.x;
        n[6].x += d.x;
        break;
    case kHitRight:
        n[2].x += d.x;
        n[4].x += d.x;
        break;
    case kHitTop:
        n[0].y += d.y;
        n[2].y += d.y;
        break;
    case kHitBottom:
        n[4].y += d.y;
        n[6].y += d.y;
        break;
    default:
        return;
    }
    Midpoints(n);
    for (int i = 0; i < kNodes; ++i)
        m_pixelNodes[i] = TurnAbout(n[i], pivot, c, s);
}

void Box::ResizeByDrag(int hitCode, DPoint from, DPoint to)
{
    if (hitCode > 0)
        Resize(hitCode, {to.x - from.x, to.y - from.y});
}

void Box::MoveNode(int node, DPoint to)
{
    if (!IsDefined() || node < 0 || node >= kNodes || !std::isfinite(to.x) || !std::isfinite(to.y))
        return;
    if (node % 2 != 0) {
        m_pixelNodes[node] = to;
        return;
    }
    const int before = (node + kNodes - 2) % kNodes;
    const bool bentBefore = IsEdgeBent(before), bentAfter = IsEdgeBent(node);
    m_pixelNodes[node] = to;
    auto halfway = [this](int a) {
        const DPoint pa = m_pixelNodes[a], pb = m_pixelNodes[(a + 2) % kNodes];
        return DPoint{(pa.x + pb.x) / 2, (pa.y + pb.y) / 2};
    };
    if (!bentBefore)
        m_pixelNodes[before + 1] = halfway(before);
    if (!bentAfter)
        m_pixelNodes[node + 1] = halfway(node);
}

bool Box::IsEdgeBent(int corner) const
{
    const DPoint pa = m_pixelNodes[corner], pb = m_pixelNodes[(corner + 2) % kNodes];
    const DPoint mid = m_pixelNodes[(corner + 1) % kNodes];
    const double len = std::hypot(pb.x - pa.x, pb.y - pa.y);
    const double off = std::hypot(mid.x - (pa.x + pb.x) / 2, mid.y - (pa.y + pb.y) / 2);
    return off > 1e-9 * std::max(1.0, len);
}

DPoint Box::GrabPoint(int hitCode, DPoint pick) const
{
    if (!IsDefined())
        return pick;
    switch (hitCode) {
    case kHitTopLeft:
        return m_pixelNodes[0];
    case kHitTopRight:
        return m_pixelNodes[2];
    case kHitBottomRight:
        return m_pixelNodes[4];
    case kHitBottomLeft:
        return m_pixelNodes[6];
    default:
        break;
    }
    int a, b;
    switch (hitCode) {
    case kHitTop:
        a = 0, b = 2;
        break;
    case kHitRight:
        a = 2, b = 4;
        break;
    case kHitBottom:
        a = 4, b = 6;
        break;
    case kHitLeft:
        a = 6, b = 0;
        break;
    default:
        return pick;
    }
    // The foot of the pick on the chord between the edge's corners.
    const DPoint pa = m_pixelNodes[a], pb = m_pixelNodes[b];
    const double ex = pb.x - pa.x, ey = pb.y - pa.y;
    const double len2 = ex * ex + ey * ey;
    if (!(len2 > 0))
        return pa;
    const double u = ((pick.x - pa.x) * ex + (pick.y - pa.y) * ey) / len2;
    return {pa.x + u * ex, pa.y + u * ey};
}

// ---------------------------------------------------------------- picking

int Box::HitNode(const ToolEvent& pick) const
{
    if (!IsDefined())
        return -1;
    const double r2 = pick.tolerance.x * pick.tolerance.x + pick.tolerance.y * pick.tolerance.y;
    int best = -1;
    double bestD2 = r2;
    for (int i = 0; i < kNodes; ++i) {
        const double dx = m_pixelNodes[i].x - pick.scaled.x, dy = m_pixelNodes[i].y - pick.scaled.y;
        const double d2 = dx * dx + dy * dy;
        if (d2 <= bestD2) {
            best = i;
            bestD2 = d2;
        }
    }
    return best;
}

int Box::HitEdge(const ToolEvent& pick, DPoint a, DPoint b) const
{
    const double r =
        std::sqrt(pick.tolerance.x * pick.tolerance.x + pick.tolerance.y * pick.tolerance.y);
    const DPoint p = pick.scaled;
    const double ex = a.x - b.x, ey = a.y - b.y;
    const double len = std::sqrt(ex * ex + ey * ey);
    const double px = p.x - b.x, py = p.y - b.y;
    // A collapsed edge is a point: only its end can be hit.
    const double proj = len > 0 ? (ex * px + ey * py) / len : 0.0;
    if (px * px + py * py - proj * proj < r * r) {
        if (-r < proj && proj < r)
            return 2;
        if (len - r < proj && proj <= len + r)
            return 1;
        if (-r < proj && proj < len + r)
            return 3;
    }
    return 0;
}

int Box::HitTest(const ToolEvent& pick) const
{
    if (!IsDefined())
        return kHitNone;
    struct Edge {
        int a, b;
        int codes[3]; // for HitEdge results 1, 2, 3
    };
    static constexpr Edge kEdges[4] = {
        {0, 2, {kHitTopLeft, kHitTopRight, kHitTop}},
        {2, 4, {kHitTopRight, kHitBottomRight, kHitRight}},
        {4, 6, {kHitBottomRight, kHitBottomLeft, kHitBottom}},
        {6, 0, {kHitBottomLeft, kHitTopLeft, kHitLeft}},
    };
    for (const Edge& edge : kEdges) {
        const int hit = HitEdge(pick, m_pixelNodes[edge.a], m_pixelNodes[edge.b]);
        if (hit != 0)
            return edge.codes[hit - 1];
    }
    return kHitNone;
}

int Box::GetCursorIndex(const ToolEvent& pick) const
{
    const int code = HitTest(pick);
    const bool left = code & kHitLeft, right = code & kHitRight;
    const bool top = code & kHitTop, bottom = code & kHitBottom;
    int base;
    if ((left && top) || (right && bottom))
        base = 1;
    else if ((left && bottom) || (right && top))
        base = 3;
    else if (left || right)
        base = 4;
    else if (top || bottom)
        base = 2;
    else
        return -1;
    const double sign = m_angle < 0 ? -1.0 : 1.0;
    const double steps = std::trunc((m_angle + 22.5 * sign) / 45.0);
    // Reduced into 0..3 in floating point, so that any accumulated angle is safe.
    double reduced = std::fmod(steps, 4.0);
    if (reduced < 0)
        reduced += 4.0;
    const int k = std::isfinite(reduced) ? static_cast<int>(reduced) : 0;
    return ((base - 1 + k) % 4) + 1;
}

// ---------------------------------------------------------------- drawing

void Box::Draw(ToolEvent& e)
{
    if (m_pixelNodeCount <= 0)
        return;
    constexpr double kCornerS[4] = {-1, 1, 1, -1};
    constexpr double kCornerT[4] = {-1, -1, 1, 1};
    constexpr int kPieces = 24;
    for (int k = 0; k < 4; ++k) {
        const int a = 2 * k, b = (a + 2) % kNodes;
        // A bent edge (its midpoint moved off the chord) is drawn as the curve it maps by.
        if (e.drawMode == ToolEvent::kAnts || !IsEdgeBent(a)) {
            DrawLine(e, m_pixelNodes[a], m_pixelNodes[b]);
            continue;
        }
        const int k2 = (k + 1) % 4;
        DPoint from = m_pixelNodes[a];
        for (int i = 1; i <= kPieces; ++i) {
            const double u = static_cast<double>(i) / kPieces;
            const DPoint to = i == kPieces
                                  ? m_pixelNodes[b]
                                  : PixelAt(kCornerS[k] + u * (kCornerS[k2] - kCornerS[k]),
                                            kCornerT[k] + u * (kCornerT[k2] - kCornerT[k]));
            DrawLine(e, from, to);
            from = to;
        }
    }
}

void Box::DrawLine(ToolEvent& e, DPoint p1, DPoint p2)
{
    if (!e.dc)
        return;
    const IPoint w1{ToWindow(p1.x, e.scale), ToWindow(p1.y, e.scale)};
    const IPoint w2{ToWindow(p2.x, e.scale), ToWindow(p2.y, e.scale)};
    if (e.drawMode != ToolEvent::kAnts) {
        e.dc->MoveTo(w1.x, w1.y);
        e.dc->LineTo(w2.x, w2.y);
        return;
    }

    // Marching ants: single pixels along an axis-aligned run, the pattern stepping per pixel.
    e.antsLast = w1;
    const bool horizontal = w1.x != w2.x;
    const int fixed = horizontal ? w2.y : w1.x;
    const long long from = horizontal ? std::min(w1.x, w2.x) : std::min(w1.y, w2.y);
    const long long to = horizontal ? std::max(w1.x, w2.x) : std::max(w1.y, w2.y);
    // Only the part of the run inside the clip is visited; the pattern still advances over
    // the rest so the dashes stay where they belong.
    const IRect clip = e.dc->GetClipRect();
    const IPoint org = e.dc->GetViewportOrg();
    const long long lo = horizontal ? static_cast<long long>(clip.left) - org.x
                                    : static_cast<long long>(clip.top) - org.y;
    const long long hi = (horizontal ? static_cast<long long>(clip.right) - org.x
                                     : static_cast<long long>(clip.bottom) - org.y) -
                         1;
    const long long first = std::max(from, lo);
    const long long last = std::min(to, hi);
    if (first > last) {
        AdvancePattern(e.antsPattern, to - from + 1);
        return;
    }
    AdvancePattern(e.antsPattern, first - from);
    for (long long v = first; v <= last; ++v) {
        StepPattern(e.antsPattern);
        const Colour c = (e.antsPattern & 7) == 0 ? kBlack : kWhite;
        const int iv = static_cast<int>(v);
        if (horizontal)
            e.dc->SetPixel(iv, fixed, c);
        else
            e.dc->SetPixel(fixed, iv, c);
    }
    AdvancePattern(e.antsPattern, to - last);
}

bool Box::XLineEnds(DPoint graph, DPoint& from, DPoint& to) const
{
    double s, t;
    if (!InverseMap(graph, m_graphNodes, s, t))
        return false;
    if (!(s >= -1.01 && s <= 1.01))
        return false;
    from = PixelAt(s, -1.0);
    to = PixelAt(s, 1.0);
    return true;
}

bool Box::YLineEnds(DPoint graph, DPoint& from, DPoint& to) const
{
    double s, t;
    if (!InverseMap(graph, m_graphNodes, s, t))
        return false;
    if (!(t >= -1.01 && t <= 1.01))
        return false;
    from = PixelAt(-1.0, t);
    to = PixelAt(1.0, t);
    return true;
}

bool Box::DrawXLine(ToolEvent& e, DPoint graph)
{
    DPoint from, to;
    if (!XLineEnds(graph, from, to))
        return false;
    if (IsDefined())
        DrawLine(e, from, to);
    return true;
}

bool Box::DrawYLine(ToolEvent& e, DPoint graph)
{
    DPoint from, to;
    if (!YLineEnds(graph, from, to))
        return false;
    if (IsDefined())
        DrawLine(e, from, to);
    return true;
}

// ---------------------------------------------------------------- storage

void Box::WriteRawBlock(Archive& ar) const
{
    ar.WriteI32(m_pixelNodeCount);
    ar.WriteI32(m_graphNodeCount);
    for (const DPoint& p : m_pixelNodes) {
        ar.WriteF64(p.x);
        ar.WriteF64(p.y);
    }
    for (const DPoint& p : m_graphNodes) {
        ar.WriteF64(p.x);
        ar.WriteF64(p.y);
    }
    ar.WriteF64(m_angle);
}

void Box::ReadRawBlock(Archive& ar)
{
    ar.CheckCount(1, kRawBlockSize);
    const int pixelCount = ar.ReadI32();
    const int graphCount = ar.ReadI32();
    // A region has either no nodes or all eight.
    if ((pixelCount != 0 && pixelCount != kNodes) || (graphCount != 0 && graphCount != kNodes))
        throw ArchiveError("region node count out of range");
    DPoint pixel[kNodes], graph[kNodes];
    for (DPoint& p : pixel) {
        p.x = ar.ReadF64();
        p.y = ar.ReadF64();
    }
    for (DPoint& p : graph) {
        p.x = ar.ReadF64();
        p.y = ar.ReadF64();
    }
    const double angle = ar.ReadF64();
    m_pixelNodeCount = pixelCount;
    m_graphNodeCount = graphCount;
    std::copy(pixel, pixel + kNodes, m_pixelNodes);
    std::copy(graph, graph + kNodes, m_graphNodes);
    m_angle = angle;
}

void Box::Serialize(Archive& ar)
{
    if (ar.IsStoring()) {
        ar.WriteU32(1);
        WriteRawBlock(ar);
    } else {
        ar.ReadVersion(1, 1);
        ReadRawBlock(ar);
    }
}
