#pragma once

#include "platform/Geometry.h"

class Archive;
struct ToolEvent;

// The mapping region: an eight-node quadrilateral held both in image pixels and in graph
// coordinates, with the rotation it was given. Points map between the two node sets through
// the natural coordinates (s, t) of the serendipity element.
//
// Nodes 0..7 lie at natural (-1,-1), (0,-1), (1,-1), (1,0), (1,1), (0,1), (-1,1), (-1,0).
// In pixels node 0 is the top-left corner, 2 top-right, 4 bottom-right, 6 bottom-left; the
// odd nodes are edge midpoints. In graph coordinates node 6 carries (X Min, Y Min).
class Box {
public:
    static constexpr int kNodes = 8;
    // Hit codes: bit sets of the edges a pick lies on.
    enum HitCode {
        kHitNone = 0,
        kHitLeft = 1,
        kHitRight = 2,
        kHitTop = 4,
        kHitBottom = 8,
        kHitTopLeft = 5,
        kHitTopRight = 6,
        kHitBottomLeft = 9,
        kHitBottomRight = 10,
    };

    Box();
    virtual ~Box() = default;
    Box(const Box&) = default;
    Box& operator=(const Box&) = default;

    // ---- drawing
    // The outline through the four corners, when the pixel nodes are defined.
    virtual void Draw(ToolEvent& e);
    // The line of constant s through a graph point (node space); false when the point does
    // not invert or lies outside the region in s.
    virtual bool DrawXLine(ToolEvent& e, DPoint graph);
    // The line of constant t through a graph point (node space).
    virtual bool DrawYLine(ToolEvent& e, DPoint graph);
    // The pixel ends of those lines, without drawing; the same conditions as above.
    bool XLineEnds(DPoint graph, DPoint& from, DPoint& to) const;
    bool YLineEnds(DPoint graph, DPoint& from, DPoint& to) const;
    // One line between two image-pixel points in the record's drawing mode.
    virtual void DrawLine(ToolEvent& e, DPoint p1, DPoint p2);

    // ---- defining
    // Graph corners of a pixel mapping: scale from aspect and points per unit, turned by the
    // region's angle, origin at node 6.
    virtual void SetPixelMappingCorners(double aspect, double pointsPerUnit, DPoint origin);
    // Graph nodes from 4 corners (odd nodes become the midpoints) or from `count` nodes.
    virtual void SetGraphNodes(int count, const DPoint* points);
    // Pixel nodes of the axis-aligned rectangle with corners p1 (top-left) and p2.
    virtual void SetPixelRect(DPoint p1, DPoint p2);
    // Pixel nodes from 4 corners or from `count` nodes; the angle becomes 0.
    virtual void SetPixelNodes(int count, const DPoint* points);

    // ---- picking
    // Index 1..4 of the resize cursor that fits the picked edge or corner, -1 for none.
    virtual int GetCursorIndex(const ToolEvent& pick) const;
    // 0 no hit, 1 near a, 2 near b, 3 along the edge from a to b.
    virtual int HitEdge(const ToolEvent& pick, DPoint a, DPoint b) const;
    // The hit code of a pick (HitCode), 0 when undefined or missed.
    virtual int HitTest(const ToolEvent& pick) const;
    // The pixel node (0..7) nearest a pick within its tolerance, -1 for none.
    int HitNode(const ToolEvent& pick) const;

    // ---- geometry
    virtual void GetGraphCenter(DPoint& out) const;
    // Width and height in pixels measured in the region's own (unrotated) frame.
    virtual void GetSize(double& width, double& height) const;
    // Turns the pixel nodes about pixel node 6 by the angle (degrees) and adds it to angle.
    virtual void Rotate(double degrees);
    // Moves the edges or corner named by the hit code by delta (image pixels), in the
    // region's own frame.
    virtual void Resize(int hitCode, DPoint delta);
    virtual void ResizeByDrag(int hitCode, DPoint from, DPoint to);
    // The point of the picked edges or corner a drag takes along: the corner itself, or the
    // point of the edge nearest the pick. A drag from there puts the edge under the pointer.
    DPoint GrabPoint(int hitCode, DPoint pick) const;
    // Moves one pixel node alone, leaving the others and the angle: skewed, keystoned or
    // curved regions. A corner takes along each neighbouring midpoint that sits halfway
    // along its edge, so a straight edge stays straight; a bent edge keeps its midpoint.
    void MoveNode(int node, DPoint to);
    // Whether the midpoint of the edge from corner node `corner` to the next is off its chord.
    bool IsEdgeBent(int corner) const;

    // ---- mapping
    virtual bool PixelToGraph(DPoint pixel, DPoint& graph) const;
    virtual bool GraphToPixel(DPoint graph, DPoint& pixel) const;
    // Copies up to `capacity` of the pixel corners (nodes 0, 2, 4, 6); returns how many.
    virtual int GetPixelCorners(int capacity, DPoint* out) const;

    // The element's mathematics, open to the grid and the tests.
    static void ShapeFunctions(double s, double t, double n[kNodes]);
    static void ShapeDerivatives(double s, double t, double n[kNodes], double ds[kNodes],
                                 double dt[kNodes]);
    // Natural coordinates of target over a node set by Newton iteration; false when the
    // Jacobian turns singular or the iteration does not converge.
    static bool InverseMap(DPoint target, const DPoint nodes[kNodes], double& s, double& t);
    bool InversePixel(DPoint target, double& s, double& t) const;
    static DPoint Interpolate(const double n[kNodes], const DPoint nodes[kNodes]);
    static void Jacobian(const double ds[kNodes], const double dt[kNodes],
                         const DPoint nodes[kNodes], double j[4]);
    void JacobianPixel(double s, double t, double j[4]) const;
    static double Determinant(const double j[4]);
    static bool Invert(const double j[4], double out[4]);

    // Pixel or graph position at natural coordinates.
    DPoint PixelAt(double s, double t) const;
    DPoint GraphAt(double s, double t) const;

    // ---- state
    bool IsDefined() const { return m_pixelNodeCount > 0; }
    int GetPixelNodeCount() const { return m_pixelNodeCount; }
    int GetGraphNodeCount() const { return m_graphNodeCount; }
    void SetPixelNodeCount(int count) { m_pixelNodeCount = count; }
    const DPoint* PixelNodes() const { return m_pixelNodes; }
    const DPoint* GraphNodes() const { return m_graphNodes; }
    double GetAngle() const { return m_angle; }
    // The recorded rotation alone; the nodes stay where they are.
    void SetAngle(double degrees) { m_angle = degrees; }
    // Copies counts, both node sets and the angle (everything a region is) from another box.
    void CopyRegion(const Box& other);
    bool SameRegion(const Box& other) const;

    // Version word 1, then counts, pixel nodes, graph nodes and angle as one raw block.
    void Serialize(Archive& ar);
    // The raw block alone (272 bytes), as the older transform block embeds it.
    void ReadRawBlock(Archive& ar);
    void WriteRawBlock(Archive& ar) const;
    static constexpr int kRawBlockSize = 272;

protected:
    // The pixel nodes turned by -angle about p (the region's own frame).
    void Unrotate(DPoint pivot, DPoint out[kNodes]) const;

    int m_pixelNodeCount = 0;
    int m_graphNodeCount = 0;
    DPoint m_pixelNodes[kNodes];
    DPoint m_graphNodes[kNodes];
    double m_angle = 0.0;
};
