#include "model/DbPoint.h"

#include "model/GraphMapping.h"
#include "platform/Archive.h"
#include "platform/ToolEvent.h"

#include <cmath>

void DbPoint::Recompute(const GraphMapping* mapping)
{
    if (mapping)
        mapping->PixelToGraph(m_pixel, m_graph);
}

void DbPoint::Draw(ToolEvent& e)
{
    if (e.markerA)
        e.markerA(e, m_pixel.x, m_pixel.y);
}

void DbPoint::Serialize(Archive& ar, DbRefTable& refs)
{
    DbPrim::Serialize(ar, refs);
    if (ar.IsStoring()) {
        ar.WriteU32(1);
        ar.WriteF64(m_graph.x);
        ar.WriteF64(m_graph.y);
        ar.WriteF64(m_pixel.x);
        ar.WriteF64(m_pixel.y);
    } else {
        ar.ReadVersion(1, 1);
        m_graph.x = ar.ReadF64();
        m_graph.y = ar.ReadF64();
        m_pixel.x = ar.ReadF64();
        m_pixel.y = ar.ReadF64();
    }
}

int DbPoint::ColumnCount(ExportContext& ctx)
{
    return ctx.uncertainty ? 4 : 2;
}

namespace {

// The graph extent of a whole pixel's square about pixel, per axis; 0 without a mapping.
DPoint PixelExtent(const GraphMapping* mapping, DPoint pixel)
{
    double j[4];
    if (!mapping || !mapping->PixelJacobian(pixel, j))
        return {0.0, 0.0};
    return {std::fabs(j[0]) + std::fabs(j[1]), std::fabs(j[2]) + std::fabs(j[3])};
}

} // namespace

void DbPoint::AppendGraph(std::string& text, const std::string& sep,
                          const GraphMapping* mapping) const
{
    const DPoint extent = PixelExtent(mapping, m_pixel);
    AppendNumber(text, m_graph.x, DigitsFor(m_graph.x, extent.x / 20.0));
    text += sep;
    AppendNumber(text, m_graph.y, DigitsFor(m_graph.y, extent.y / 20.0));
}

void DbPoint::WriteRow(std::string& text, const std::string& sep, ExportContext& ctx)
{
    AppendGraph(text, sep, ctx.mapping);
    if (ctx.uncertainty) {
        const DPoint extent = PixelExtent(ctx.mapping, m_pixel);
        text += sep;
        AppendNumber(text, extent.x / 2.0, 3);
        text += sep;
        AppendNumber(text, extent.y / 2.0, 3);
    }
    DbPrim::WriteRow(text, sep, ctx);
    text += '\n';
}

void DbPoint::WriteHeader(std::string& text, const std::string& sep, ExportContext& ctx)
{
    text += "X";
    text += sep;
    text += "Y";
    if (ctx.uncertainty) {
        text += sep;
        text += "dX";
        text += sep;
        text += "dY";
    }
}

double DbPoint::SortKey(ExportContext&)
{
    return m_graph.x;
}

int DbPoint::Kind() const
{
    return kPoint;
}
