#pragma once

#include "model/DbAttRep.h"

#include <cstdint>
#include <unordered_map>
#include <variant>
#include <vector>

class Archive;
class DbAttMgrRep;

// The table of shared objects of one project file: attribute-manager records, attribute
// lists and attributes are written once and referred to by index afterwards.
// A reference is a tag: 0 nothing follows (the owner keeps what it has), 1 an index of an
// object read or written before, 2 the object's body (it takes the next index, from 1).
class DbRefTable {
public:
    enum Tag : std::uint32_t { kNone = 0, kIndex = 1, kBody = 2 };

    void Clear();

    // Writing: the index of an object already written, or 0 after registering it under the
    // next index (the caller then writes tag 2 and the body).
    std::uint32_t IndexOrRegister(const void* object);

    // Reading.
    using Entry = std::variant<SmartPtr<DbAttMgrRep>, DbAttListPtr, DbAttPtr>;
    // Reserves the next index for an object whose body is being read.
    std::uint32_t Reserve();
    void Fill(std::uint32_t index, Entry entry);
    // The object under an index; raises ArchiveError for an index not in the table or an
    // object of another kind.
    template <class T> T Get(std::uint32_t index) const;

private:
    std::unordered_map<const void*, std::uint32_t> m_written;
    std::vector<std::variant<std::monostate, SmartPtr<DbAttMgrRep>, DbAttListPtr, DbAttPtr>> m_read;
};

// The stored forms of attributes and attribute lists as shared references.
void WriteAttributeRef(Archive& ar, DbRefTable& refs, const DbAttPtr& att);
void ReadAttributeRef(Archive& ar, DbRefTable& refs, DbAttPtr& att);
void WriteAttributeListRef(Archive& ar, DbRefTable& refs, const DbAttListPtr& list);
void ReadAttributeListRef(Archive& ar, DbRefTable& refs, DbAttListPtr& list);
