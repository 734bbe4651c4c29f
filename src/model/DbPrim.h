#pragma once

#include "model/DbAttRep.h"
#include "model/DbBase.h"

#include <string>
#include <vector>

class Archive;
class DbPrim;
class DbRefTable;
class GraphMapping;
struct ToolEvent;

// What the text writers hand to the primitives they write.
struct ExportContext {
    // Sort the rows of each block on their sort key.
    int sortFlag = 0;
    // The largest column count of the block being written.
    int maxColumns = 0;
    // The mapping the points take their precision (and uncertainty) from; null: "%g".
    const GraphMapping* mapping = nullptr;
    // Points add the columns dX and dY: half an image pixel in graph units.
    bool uncertainty = false;
    // When set, one entry per line written: the primitive of a row, null for other lines.
    std::vector<DbPrim*>* lines = nullptr;
};

// Base of everything a data set holds (and of the set manager and its mementos): a list of
// shared attributes and the operations through which sets, exports, drawing and project
// files treat all primitives alike.
class DbPrim : public DbBase {
public:
    enum Kind { kPrim = 1, kPoint = 2, kAttPrim = 3 };

    DbPrim() = default;

    // Recomputes derived values (graph coordinates) from the primary ones.
    virtual void Recompute(const GraphMapping* mapping);
    virtual void Draw(ToolEvent& e);
    // Version and attribute list.
    virtual void Serialize(Archive& ar, DbRefTable& refs);
    virtual int ColumnCount(ExportContext& ctx);
    // The separator and the values of the attribute columns (none past the highest column
    // of an active attribute).
    virtual void WriteRow(std::string& text, const std::string& sep, ExportContext& ctx);
    virtual void WriteHeader(std::string& text, const std::string& sep, ExportContext& ctx);
    virtual double SortKey(ExportContext& ctx);
    virtual int Kind() const;
    // Shares the given list, letting go of the old one.
    virtual void SetAttributes(const DbAttListPtr& list);
    // Gives each attribute the position of its name in names, adding absent names.
    virtual void AssignColumns(std::vector<std::string>& names);

    const DbAttListPtr& GetAttributes() const { return m_attributes; }

protected:
    DbAttListPtr m_attributes;
};

// "%.*g" in the C locale ("%g" by default).
void AppendNumber(std::string& text, double value, int precision = 6);
// The significant digits that resolve `resolution` in value, at least six (at most 17).
int DigitsFor(double value, double resolution);
