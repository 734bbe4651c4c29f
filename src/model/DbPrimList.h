#pragma once

#include "model/DbPrim.h"

#include <memory>
#include <string>
#include <vector>

// One data set: its primitives in the order they were added, and its name. The list owns
// its primitives.
class DbPrimList {
public:
    explicit DbPrimList(std::string name = {}) : m_name(std::move(name)) {}
    DbPrimList(const DbPrimList&) = delete;
    DbPrimList& operator=(const DbPrimList&) = delete;

    const std::string& GetName() const { return m_name; }
    void SetName(const std::string& name) { m_name = name; }

    int GetCount() const { return static_cast<int>(m_prims.size()); }
    bool IsEmpty() const { return m_prims.empty(); }
    DbPrim* GetAt(int i) const { return m_prims[static_cast<std::size_t>(i)].get(); }

    // Appends and takes ownership.
    void Append(std::unique_ptr<DbPrim> prim);
    // Inserts at index (clamped to the list) and takes ownership.
    void Insert(int index, std::unique_ptr<DbPrim> prim);
    // The position of the primitive, -1 when absent.
    int IndexOf(const DbPrim* prim) const;
    // Unlinks the first entry holding the primitive and hands it back (null when absent).
    std::unique_ptr<DbPrim> Remove(const DbPrim* prim);
    bool Contains(const DbPrim* prim) const;
    // Whether any entry is of the given kind.
    bool HasKind(int kind) const;

    // Set block: version, name, reserved word, count, and the entries. Sets holding
    // attribute entries are written as version 2 with a kind word before each entry.
    void Serialize(Archive& ar, DbRefTable& refs);

private:
    std::vector<std::unique_ptr<DbPrim>> m_prims;
    std::string m_name;
};
