#include "model/DbAttPrim.h"

#include "model/DbRefTable.h"
#include "platform/Archive.h"

void DbAttPrim::Serialize(Archive& ar, DbRefTable& refs)
{
    if (ar.IsStoring()) {
        ar.WriteU32(1);
        WriteAttributeRef(ar, refs, m_attribute);
    } else {
        ar.ReadVersion(1, 1);
        ReadAttributeRef(ar, refs, m_attribute);
    }
}

int DbAttPrim::ColumnCount(ExportContext&)
{
    return 2;
}

void DbAttPrim::WriteRow(std::string& text, const std::string& sep, ExportContext&)
{
    text += m_attribute->m_name;
    text += sep;
    text += m_attribute->m_value;
    text += '\n';
}

double DbAttPrim::SortKey(ExportContext&)
{
    if (m_attribute->m_name.empty())
        return 0.0;
    return static_cast<double>(static_cast<signed char>(m_attribute->m_name[0]));
}

int DbAttPrim::Kind() const
{
    return kAttPrim;
}

void DbAttPrim::AssignColumns(std::vector<std::string>&)
{
}
