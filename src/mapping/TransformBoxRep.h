#pragma once

#include "mapping/Box.h"
#include "model/AttributeRep.h"

class TransformData;
struct ToolEvent;

// A transform representation that carries its own copy of the mapping region, with the
// region operations the region tools and the document work through.
class TransformBoxRep : public AttributeRep {
public:
    explicit TransformBoxRep(TransformData* data);

    void Draw(ToolEvent& e) { m_box.Draw(e); }
    int GetCursorIndex(const ToolEvent& pick) const { return m_box.GetCursorIndex(pick); }
    int HitTest(const ToolEvent& pick) const { return m_box.HitTest(pick); }
    // A fresh axis-aligned rectangle from the drag when nothing was picked or the region is
    // undefined; otherwise the picked edges or corner follow the drag.
    void DefineOrResize(int hitCode, DPoint from, DPoint to);
    bool IsDefined() const { return m_box.IsDefined(); }
    // Pixel node 6, the bottom-left corner the region turns about.
    DPoint GetPivot() const { return m_box.PixelNodes()[6]; }
    void GetSize(double& width, double& height) const { m_box.GetSize(width, height); }
    void Rotate(double degrees) { m_box.Rotate(degrees); }
    void Clear() { m_box.SetPixelNodeCount(0); }

    Box& GetBox() { return m_box; }
    const Box& GetBox() const { return m_box; }

protected:
    TransformData* m_data;
    Box m_box;
};
