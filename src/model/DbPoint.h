#pragma once

#include "model/DbPrim.h"
#include "platform/Geometry.h"

// A digitized point: the image-pixel position where it was collected (the primary datum)
// and the graph position the transform makes of it.
class DbPoint : public DbPrim {
public:
    DbPoint() = default;
    explicit DbPoint(DPoint pixel) : m_pixel(pixel) {}

    void Recompute(const GraphMapping* mapping) override;
    void Draw(ToolEvent& e) override;
    void Serialize(Archive& ar, DbRefTable& refs) override;
    int ColumnCount(ExportContext& ctx) override;
    void WriteRow(std::string& text, const std::string& sep, ExportContext& ctx) override;
    // X, sep, Y in graph units, with the digits that resolve a twentieth of a pixel on each
    // axis through the mapping ("%g" without one), as the export writes them.
    void AppendGraph(std::string& text, const std::string& sep, const GraphMapping* mapping) const;
    void WriteHeader(std::string& text, const std::string& sep, ExportContext& ctx) override;
    double SortKey(ExportContext& ctx) override;
    int Kind() const override;

    DPoint m_graph;
    DPoint m_pixel;
};
