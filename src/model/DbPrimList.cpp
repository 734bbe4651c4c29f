#include "model/DbPrimList.h"

#include "model/DbAttPrim.h"
#include "model/DbPoint.h"
#include "platform/Archive.h"

#include <algorithm>

void DbPrimList::Append(std::unique_ptr<DbPrim> prim)
{
    m_prims.push_back(std::move(prim));
}

void DbPrimList::Insert(int index, std::unique_ptr<DbPrim> prim)
{
    const auto at = static_cast<std::size_t>(std::clamp(index, 0, GetCount()));
    m_prims.insert(m_prims.begin() + static_cast<std::ptrdiff_t>(at), std::move(prim));
}

int DbPrimList::IndexOf(const DbPrim* prim) const
{
    for (std::size_t i = 0; i < m_prims.size(); ++i)
        if (m_prims[i].get() == prim)
            return static_cast<int>(i);
    return -1;
}

std::unique_ptr<DbPrim> DbPrimList::Remove(const DbPrim* prim)
{
    for (auto it = m_prims.begin(); it != m_prims.end(); ++it)
        if (it->get() == prim) {
            std::unique_ptr<DbPrim> out = std::move(*it);
            m_prims.erase(it);
            return out;
        }
    return nullptr;
}

bool DbPrimList::Contains(const DbPrim* prim) const
{
    for (const auto& p : m_prims)
        if (p.get() == prim)
            return true;
    return false;
}

bool DbPrimList::HasKind(int kind) const
{
    for (const auto& p : m_prims)
        if (p->Kind() == kind)
            return true;
    return false;
}

namespace {

// The smallest stored entry: version, a reference tag, version and four doubles.
constexpr std::uint64_t kMinEntryBytes = 4 + 4 + 4 + 4 * 8;

} // namespace

void DbPrimList::Serialize(Archive& ar, DbRefTable& refs)
{
    if (ar.IsStoring()) {
        // Points only: the plain layout. Otherwise each entry is preceded by its kind.
        const bool tagged = HasKind(DbPrim::kAttPrim);
        ar.WriteU32(tagged ? 2 : 1);
        ar.WriteString(m_name);
        ar.WriteU32(0);
        ar.WriteU32(static_cast<std::uint32_t>(m_prims.size()));
        for (const auto& p : m_prims) {
            if (tagged)
                ar.WriteU32(static_cast<std::uint32_t>(p->Kind()));
            p->Serialize(ar, refs);
        }
        return;
    }

    const std::uint32_t version = ar.ReadU32();
    if (version != 1 && version != 2)
        throw ArchiveError("unknown set block version");
    m_name = ar.ReadString();
    ar.ReadU32(); // reserved
    const std::uint32_t count = ar.ReadU32();
    // An attribute entry is smaller than a point: the kind word plus version and tag.
    ar.CheckCount(count, version == 2 ? 12 : kMinEntryBytes);
    m_prims.clear();
    for (std::uint32_t i = 0; i < count; ++i) {
        std::unique_ptr<DbPrim> prim;
        const std::uint32_t kind =
            version == 2 ? ar.ReadU32() : static_cast<std::uint32_t>(DbPrim::kPoint);
        if (kind == DbPrim::kPoint)
            prim = std::make_unique<DbPoint>();
        else if (kind == DbPrim::kAttPrim)
            prim = std::make_unique<DbAttPrim>();
        else
            throw ArchiveError("unknown entry kind in a set");
        prim->Serialize(ar, refs);
        if (kind == DbPrim::kAttPrim && !static_cast<DbAttPrim*>(prim.get())->m_attribute.Get())
            throw ArchiveError("attribute entry without an attribute");
        m_prims.push_back(std::move(prim));
    }
}
