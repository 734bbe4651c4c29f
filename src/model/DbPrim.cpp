#include "model/DbPrim.h"

#include "model/DbRefTable.h"
#include "platform/Archive.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>

void DbPrim::Recompute(const GraphMapping*)
{
}

void DbPrim::Draw(ToolEvent&)
{
}

void DbPrim::Serialize(Archive& ar, DbRefTable& refs)
{
    if (ar.IsStoring()) {
        ar.WriteU32(1);
        WriteAttributeListRef(ar, refs, m_attributes);
    } else {
        ar.ReadVersion(1, 1);
        ReadAttributeListRef(ar, refs, m_attributes);
    }
}

int DbPrim::ColumnCount(ExportContext&)
{
    return 0;
}

void DbPrim::WriteRow(std::string& text, const std::string& sep, ExportContext&)
{
    int highest = -1;
    for (const DbAttPtr& att : *m_attributes)
        if (att->m_active)
            highest = std::max(highest, att->m_column);
    for (int column = 0; column <= highest; ++column) {
        text += sep;
        for (const DbAttPtr& att : *m_attributes)
            if (att->m_column == column) {
                text += att->m_value;
                break;
            }
    }
}

void DbPrim::WriteHeader(std::string&, const std::string&, ExportContext&)
{
}

double DbPrim::SortKey(ExportContext&)
{
    return 0.0;
}

int DbPrim::Kind() const
{
    return kPrim;
}

void DbPrim::SetAttributes(const DbAttListPtr& list)
{
    m_attributes = list;
}

void DbPrim::AssignColumns(std::vector<std::string>& names)
{
    for (const DbAttPtr& att : *m_attributes) {
        auto it = std::find(names.begin(), names.end(), att->m_name);
        if (it == names.end()) {
            names.push_back(att->m_name);
            it = names.end() - 1;
        }
        att->m_column = static_cast<int>(it - names.begin());
    }
}

void AppendNumber(std::string& text, double value, int precision)
{
    // std::to_chars with the general format is "%.*g" without the locale.
    std::array<char, 64> buffer;
    auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                std::chars_format::general, precision);
    text.append(buffer.data(), result.ptr);
}

int DigitsFor(double value, double resolution)
{
    // The last digit written must stand for no more than the resolution: its place is the
    // decade of the resolution, counted down from the leading digit of the value.
    if (!(resolution > 0.0) || !std::isfinite(resolution))
        return 6;
    const double d =
        std::floor(std::log10(std::fabs(value))) - std::floor(std::log10(resolution)) + 1.0;
    if (!(d > 6.0)) // NaN and zero values too
        return 6;
    return d > 17.0 ? 17 : static_cast<int>(d);
}
