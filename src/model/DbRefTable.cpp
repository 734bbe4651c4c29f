#include "model/DbRefTable.h"

#include "model/DbAttMgrRep.h"
#include "platform/Archive.h"

void DbRefTable::Clear()
{
    m_written.clear();
    m_read.clear();
}

std::uint32_t DbRefTable::IndexOrRegister(const void* object)
{
    auto it = m_written.find(object);
    if (it != m_written.end())
        return it->second;
    const auto index = static_cast<std::uint32_t>(m_written.size() + 1);
    m_written.emplace(object, index);
    return 0;
}

std::uint32_t DbRefTable::Reserve()
{
    m_read.emplace_back(std::monostate{});
    return static_cast<std::uint32_t>(m_read.size());
}

void DbRefTable::Fill(std::uint32_t index, Entry entry)
{
    std::visit([&](auto&& e) { m_read[index - 1] = e; }, entry);
}

template <class T> T DbRefTable::Get(std::uint32_t index) const
{
    if (index == 0 || index > m_read.size())
        throw ArchiveError("reference to an object not yet read");
    const auto& slot = m_read[index - 1];
    if (const T* p = std::get_if<T>(&slot))
        return *p;
    throw ArchiveError("reference to an object of another kind");
}

template SmartPtr<DbAttMgrRep> DbRefTable::Get<SmartPtr<DbAttMgrRep>>(std::uint32_t) const;
template DbAttListPtr DbRefTable::Get<DbAttListPtr>(std::uint32_t) const;
template DbAttPtr DbRefTable::Get<DbAttPtr>(std::uint32_t) const;

namespace {

// Minimum stored size of one shared reference (its tag).
constexpr std::uint64_t kMinRefBytes = 4;

} // namespace

void WriteAttributeRef(Archive& ar, DbRefTable& refs, const DbAttPtr& att)
{
    if (std::uint32_t index = refs.IndexOrRegister(att.Get())) {
        ar.WriteU32(DbRefTable::kIndex);
        ar.WriteU32(index);
        return;
    }
    ar.WriteU32(DbRefTable::kBody);
    ar.WriteU32(1);
    ar.WriteString(att->m_name);
    ar.WriteString(att->m_value);
    ar.WriteU32(static_cast<std::uint32_t>(att->m_active));
}

void ReadAttributeRef(Archive& ar, DbRefTable& refs, DbAttPtr& att)
{
    switch (ar.ReadU32()) {
    case DbRefTable::kNone:
        return;
    case DbRefTable::kIndex:
        att = refs.Get<DbAttPtr>(ar.ReadU32());
        return;
    case DbRefTable::kBody: {
        const std::uint32_t index = refs.Reserve();
        ar.ReadVersion(1, 1);
        DbAttPtr fresh;
        fresh->m_name = ar.ReadString();
        fresh->m_value = ar.ReadString();
        fresh->m_active = static_cast<int>(ar.ReadU32());
        refs.Fill(index, fresh);
        att = fresh;
        return;
    }
    default:
        throw ArchiveError("unknown reference tag");
    }
}

void WriteAttributeListRef(Archive& ar, DbRefTable& refs, const DbAttListPtr& list)
{
    if (std::uint32_t index = refs.IndexOrRegister(list.Get())) {
        ar.WriteU32(DbRefTable::kIndex);
        ar.WriteU32(index);
        return;
    }
    ar.WriteU32(DbRefTable::kBody);
    ar.WriteU32(1);
    ar.WriteU32(static_cast<std::uint32_t>(list->GetSize()));
    for (const DbAttPtr& att : *list)
        WriteAttributeRef(ar, refs, att);
}

void ReadAttributeListRef(Archive& ar, DbRefTable& refs, DbAttListPtr& list)
{
    switch (ar.ReadU32()) {
    case DbRefTable::kNone:
        return;
    case DbRefTable::kIndex:
        list = refs.Get<DbAttListPtr>(ar.ReadU32());
        return;
    case DbRefTable::kBody: {
        const std::uint32_t index = refs.Reserve();
        ar.ReadVersion(1, 1);
        const std::uint32_t count = ar.ReadU32();
        ar.CheckCount(count, kMinRefBytes);
        DbAttListPtr fresh;
        for (std::uint32_t i = 0; i < count; ++i) {
            DbAttPtr att;
            ReadAttributeRef(ar, refs, att);
            fresh->Add(att);
        }
        refs.Fill(index, fresh);
        list = fresh;
        return;
    }
    default:
        throw ArchiveError("unknown reference tag");
    }
}
