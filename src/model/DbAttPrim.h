#pragma once

#include "model/DbPrim.h"

// One attribute held in a data set as an entry of its own (added to the current set only);
// it writes itself as a "name, value" row.
class DbAttPrim : public DbPrim {
public:
    DbAttPrim() = default;
    explicit DbAttPrim(const DbAttPtr& att) : m_attribute(att) {}

    void Serialize(Archive& ar, DbRefTable& refs) override;
    int ColumnCount(ExportContext& ctx) override;
    void WriteRow(std::string& text, const std::string& sep, ExportContext& ctx) override;
    double SortKey(ExportContext& ctx) override;
    int Kind() const override;
    // The attribute's own column does not change.
    void AssignColumns(std::vector<std::string>& names) override;

    DbAttPtr m_attribute;
};
