#include "model/DbPoint.h"

#include "model/GraphMapping.h"
#include "platform/Archive.h"
#include "platform/ToolEvent.h"

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

int DbPoint::ColumnCount(ExportContext&)
{
    return 2;
}

void DbPoint::WriteRow(std::string& text, const std::string& sep, ExportContext& ctx)
{
    AppendNumber(text, m_graph.x);
    text += sep;
    AppendNumber(text, m_graph.y);
    DbPrim::WriteRow(text, sep, ctx);
    text += '\n';
}

void DbPoint::WriteHeader(std::string& text, const std::string& sep, ExportContext&)
{
    text += "X";
    text += sep;
    text += "Y";
}

double DbPoint::SortKey(ExportContext&)
{
    return m_graph.x;
}

int DbPoint::Kind() const
{
    return kPoint;
}
