#include "model/DbSetMgr.h"

#include "model/DbRefTable.h"
#include "model/DbSetX1.h"
#include "model/DbSetX2.h"
#include "model/DbSetX3.h"
#include "platform/Archive.h"
#include "platform/ToolEvent.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <unordered_set>

DbSetMgr::DbSetMgr() = default;

DbSetMgr::~DbSetMgr() = default;

int DbSetMgr::NewSet()
{
    std::string name;
    for (;;) {
        ++m_nameCounter;
        char buffer[32];
        std::snprintf(buffer, sizeof buffer, "Line %d", m_nameCounter);
        name = buffer;
        const bool used = std::any_of(m_sets.begin(), m_sets.end(), [&](const auto& set) {
            return set && set->GetName() == name;
        });
        if (!used)
            break;
    }
    return AddSet(name);
}

int DbSetMgr::AddSet(const std::string& name)
{
    auto empty = std::find(m_sets.begin(), m_sets.end(), nullptr);
    int slot;
    if (empty != m_sets.end()) {
        slot = static_cast<int>(empty - m_sets.begin());
    } else {
        slot = GetSlotCount();
        m_sets.emplace_back();
    }
    m_sets[static_cast<std::size_t>(slot)] = std::make_unique<DbPrimList>(name);
    SetCurrent(slot);
    return slot;
}

DbPrimList* DbSetMgr::GetSet(int slot) const
{
    if (slot < 0 || slot >= GetSlotCount())
        return nullptr;
    return m_sets[static_cast<std::size_t>(slot)].get();
}

int DbSetMgr::AddPrim(std::unique_ptr<DbPrim>& prim, int slot)
{
    if (slot < 0)
        slot = m_current;
    DbPrimList* set = GetSet(slot);
    if (!set || !prim)
        return -1;
    prim->SetAttributes(m_attMgr->ListForNewPoints());
    set->Append(std::move(prim));
    NotifyData();
    return slot;
}

std::unique_ptr<DbPrim> DbSetMgr::RemovePrim(const DbPrim* prim, int slot)
{
    DbPrimList* set = GetSet(slot);
    if (!set)
        return nullptr;
    std::unique_ptr<DbPrim> removed = set->Remove(prim);
    if (removed)
        std::erase(m_selection, removed.get());
    return removed;
}

bool DbSetMgr::InsertPrim(std::unique_ptr<DbPrim>& prim, int slot, int index)
{
    DbPrimList* set = GetSet(slot);
    if (!set || !prim)
        return false;
    set->Insert(index, std::move(prim));
    return true;
}

bool DbSetMgr::Locate(const DbPrim* prim, int& slot, int& index) const
{
    for (int s = 0; s < GetSlotCount(); ++s)
        if (const DbPrimList* set = GetSet(s)) {
            const int i = set->IndexOf(prim);
            if (i >= 0) {
                slot = s;
                index = i;
                return true;
            }
        }
    return false;
}

bool DbSetMgr::IsSelected(const DbPrim* prim) const
{
    return std::find(m_selection.begin(), m_selection.end(), prim) != m_selection.end();
}

void DbSetMgr::SetSelection(const std::vector<DbPrim*>& prims)
{
    std::unordered_set<const DbPrim*> live;
    for (const auto& set : m_sets)
        if (set)
            for (int i = 0; i < set->GetCount(); ++i)
                live.insert(set->GetAt(i));
    std::vector<DbPrim*> kept;
    for (DbPrim* p : prims)
        if (live.erase(p)) // each primitive once
            kept.push_back(p);
    if (kept == m_selection)
        return;
    m_selection = std::move(kept);
    NotifyData();
}

void DbSetMgr::PruneSelection()
{
    if (m_selection.empty())
        return;
    std::unordered_set<const DbPrim*> live;
    for (const auto& set : m_sets)
        if (set)
            for (int i = 0; i < set->GetCount(); ++i)
                live.insert(set->GetAt(i));
    std::erase_if(m_selection, [&](const DbPrim* p) { return !live.contains(p); });
}

void DbSetMgr::SetCurrent(int slot)
{
    m_current = slot;
    NotifyData();
}

std::unique_ptr<DbSetX3> DbSetMgr::ClearAll()
{
    auto memento = std::make_unique<DbSetX3>(std::move(m_sets), m_current, m_nameCounter);
    m_sets.clear();
    m_selection.clear();
    m_current = -1;
    m_nameCounter = 0;
    NewSet();
    return memento;
}

std::unique_ptr<DbSetX1> DbSetMgr::ClearCurrentSet()
{
    DbPrimList* set = GetCurrentSet();
    if (!set)
        return nullptr;
    auto& owner = m_sets[static_cast<std::size_t>(m_current)];
    auto fresh = std::make_unique<DbPrimList>(set->GetName());
    auto memento = std::make_unique<DbSetX1>(std::move(owner), m_current);
    owner = std::move(fresh);
    PruneSelection();
    return memento;
}

std::unique_ptr<DbMemento> DbSetMgr::DeleteSet(int slot)
{
    if (GetSlotCount() == 1 || GetSetCount() == 1)
        return ClearAll();
    if (!GetSet(slot))
        return nullptr;
    auto memento =
        std::make_unique<DbSetX2>(std::move(m_sets[static_cast<std::size_t>(slot)]), slot);
    PruneSelection();
    if (slot == m_current) {
        // The next set after the deleted one, else the nearest one below it (or slot 0).
        int next = -1;
        for (int i = slot + 1; i < GetSlotCount(); ++i)
            if (GetSet(i)) {
                next = i;
                break;
            }
        if (next < 0) {
            next = slot;
            while (next > 0 && !GetSet(next))
                --next;
        }
        SetCurrent(next);
    }
    return memento;
}

void DbSetMgr::Restore(std::unique_ptr<DbMemento> memento)
{
    if (memento)
        memento->Restore(this);
    PruneSelection();
}

int DbSetMgr::GetSetCount() const
{
    return static_cast<int>(std::count_if(m_sets.begin(), m_sets.end(),
                                          [](const auto& set) { return set != nullptr; }));
}

int DbSetMgr::GetTotalCount() const
{
    int total = 0;
    for (const auto& set : m_sets)
        if (set)
            total += set->GetCount();
    return total;
}

int DbSetMgr::GetCurrentCount() const
{
    const DbPrimList* set = GetCurrentSet();
    return set ? set->GetCount() : 0;
}

void DbSetMgr::Recompute(const GraphMapping* mapping)
{
    for (const auto& set : m_sets)
        if (set)
            for (int i = 0; i < set->GetCount(); ++i)
                set->GetAt(i)->Recompute(mapping);
}

void DbSetMgr::Draw(ToolEvent& e)
{
    for (int slot = 0; slot < GetSlotCount(); ++slot) {
        DbPrimList* set = GetSet(slot);
        if (!set)
            continue;
        const bool current = slot == m_current;
        e.colour = current ? m_currentColour : m_otherColour;
        e.AttachPen(Pen{PenStyle::Solid, 0, e.colour});
        e.markerA = current ? e.markerB : e.markerC;
        for (int i = 0; i < set->GetCount(); ++i)
            set->GetAt(i)->Draw(e);
    }
    e.ReleasePen();
}

namespace {

// Comb sort on kind, then (when sorting) on the sort key; equal entries are never exchanged.
// Kinds and keys are taken once, so the passes compare plain numbers.
void CombSort(std::vector<DbPrim*>& prims, ExportContext& ctx)
{
    const std::size_t n = prims.size();
    if (n < 2)
        return;
    struct Entry {
        int kind;
        double key;
        DbPrim* prim;
    };
    std::vector<Entry> entries;
    entries.reserve(n);
    for (DbPrim* p : prims)
        entries.push_back({p->Kind(), ctx.sortFlag ? p->SortKey(ctx) : 0.0, p});
    auto outOfOrder = [&](const Entry& a, const Entry& b) {
        if (a.kind != b.kind)
            return a.kind > b.kind;
        return ctx.sortFlag && a.key > b.key;
    };
    std::size_t gap = n;
    bool swapped = true;
    while (gap > 1 || swapped) {
        gap = std::max<std::size_t>(1, static_cast<std::size_t>(static_cast<double>(gap) / 1.3));
        swapped = false;
        for (std::size_t i = 0; i + gap < n; ++i)
            if (outOfOrder(entries[i], entries[i + gap])) {
                std::swap(entries[i], entries[i + gap]);
                swapped = true;
            }
    }
    for (std::size_t i = 0; i < n; ++i)
        prims[i] = entries[i].prim;
}

bool LessNoCase(const std::string& a, const std::string& b)
{
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) <
               std::tolower(static_cast<unsigned char>(y));
    });
}

} // namespace

void DbSetMgr::WriteSetBody(DbPrimList& set, std::string& text, const std::string& sep,
                            ExportContext& ctx)
{
    std::vector<DbPrim*> prims;
    prims.reserve(static_cast<std::size_t>(set.GetCount()));
    for (int i = 0; i < set.GetCount(); ++i)
        prims.push_back(set.GetAt(i));
    CombSort(prims, ctx);

    for (std::size_t begin = 0; begin < prims.size();) {
        std::size_t end = begin;
        while (end < prims.size() && prims[end]->Kind() == prims[begin]->Kind())
            ++end;

        // The block's attribute names, distinct, sorted without regard to case.
        std::vector<std::string> names;
        for (std::size_t i = begin; i < end; ++i)
            for (const DbAttPtr& att : *prims[i]->GetAttributes())
                if (std::find(names.begin(), names.end(), att->m_name) == names.end())
                    names.push_back(att->m_name);
        std::stable_sort(names.begin(), names.end(), LessNoCase);
        ctx.maxColumns = 0;
        for (std::size_t i = begin; i < end; ++i) {
            prims[i]->AssignColumns(names);
            ctx.maxColumns = std::max(ctx.maxColumns, prims[i]->ColumnCount(ctx));
        }

        prims[begin]->WriteHeader(text, sep, ctx);
        for (const std::string& name : names) {
            text += sep;
            text += name;
        }
        text += '\n';
        if (ctx.lines)
            ctx.lines->push_back(nullptr);
        for (std::size_t i = begin; i < end; ++i) {
            prims[i]->WriteRow(text, sep, ctx);
            if (ctx.lines)
                ctx.lines->push_back(prims[i]);
        }
        text += '\n';
        if (ctx.lines)
            ctx.lines->push_back(nullptr);
        begin = end;
    }
}

void DbSetMgr::WriteAllSets(std::string& text, const std::string& sep, int sortFlag,
                            bool uncertainty)
{
    ExportContext ctx;
    ctx.sortFlag = sortFlag;
    ctx.mapping = m_mapping;
    ctx.uncertainty = uncertainty;
    for (const auto& set : m_sets) {
        if (!set)
            continue;
        text += set->GetName();
        text += '\n';
        WriteSetBody(*set, text, sep, ctx);
    }
}

void DbSetMgr::WriteCurrentSet(std::string& text, const std::string& sep, int sortFlag,
                               std::vector<DbPrim*>* lines)
{
    DbPrimList* set = GetCurrentSet();
    if (!set)
        return;
    ExportContext ctx;
    ctx.sortFlag = sortFlag;
    ctx.mapping = m_mapping;
    ctx.lines = lines;
    text += set->GetName();
    text += '\n';
    if (lines)
        lines->push_back(nullptr);
    WriteSetBody(*set, text, sep, ctx);
}

int DbSetMgr::ListSets(std::vector<std::pair<int, std::string>>& out) const
{
    out.clear();
    for (int slot = 0; slot < GetSlotCount(); ++slot)
        if (const DbPrimList* set = GetSet(slot))
            out.emplace_back(slot, set->GetName());
    return m_current;
}

namespace {

// More slots than any document has: a file asking for more is not a project file.
constexpr std::uint32_t kMaxSlots = 1u << 20;

} // namespace

void DbSetMgr::Serialize(Archive& ar, DbRefTable& refs)
{
    if (ar.IsStoring()) {
        ar.WriteU32(1);
        ar.WriteU32(static_cast<std::uint32_t>(GetSetCount()));
        ar.WriteU32(static_cast<std::uint32_t>(GetSlotCount()));
        ar.WriteI32(m_current);
        for (int slot = 0; slot < GetSlotCount(); ++slot)
            if (DbPrimList* set = GetSet(slot)) {
                ar.WriteU32(static_cast<std::uint32_t>(slot));
                set->Serialize(ar, refs);
            }
        if (refs.IndexOrRegister(m_attMgr.Get()) == 0) {
            ar.WriteU32(DbRefTable::kBody);
            m_attMgr->Serialize(ar, refs);
        } else {
            ar.WriteU32(DbRefTable::kIndex);
            ar.WriteU32(refs.IndexOrRegister(m_attMgr.Get()));
        }
        return;
    }

    if (ar.ReadU32() != 1)
        throw ArchiveError("unknown set manager version");
    const std::uint32_t setCount = ar.ReadU32();
    const std::uint32_t slotCount = ar.ReadU32();
    const std::int32_t current = ar.ReadI32();
    if (setCount > slotCount || slotCount > kMaxSlots)
        throw ArchiveError("impossible number of sets");
    // Each set takes at least its slot index, version, name prefix, reserved word and count.
    ar.CheckCount(setCount, 17);

    std::vector<std::unique_ptr<DbPrimList>> sets(slotCount);
    for (std::uint32_t i = 0; i < setCount; ++i) {
        const std::uint32_t slot = ar.ReadU32();
        if (slot >= slotCount || sets[slot])
            throw ArchiveError("set slot out of range");
        auto set = std::make_unique<DbPrimList>();
        set->Serialize(ar, refs);
        sets[slot] = std::move(set);
    }
    switch (ar.ReadU32()) {
    case DbRefTable::kNone:
        break;
    case DbRefTable::kIndex:
        m_attMgr = refs.Get<SmartPtr<DbAttMgrRep>>(ar.ReadU32());
        break;
    case DbRefTable::kBody: {
        const std::uint32_t index = refs.Reserve();
        SmartPtr<DbAttMgrRep> mgr;
        mgr->Serialize(ar, refs);
        refs.Fill(index, mgr);
        m_attMgr = mgr;
        break;
    }
    default:
        throw ArchiveError("unknown reference tag");
    }

    m_sets = std::move(sets);
    m_selection.clear();
    // A document always has a current set: an impossible current slot falls back to the
    // first set, and a file without sets gets a fresh one.
    int slot = current;
    if (!GetSet(slot)) {
        slot = -1;
        for (int i = 0; i < GetSlotCount() && slot < 0; ++i)
            if (GetSet(i))
                slot = i;
    }
    if (slot < 0)
        NewSet();
    else
        SetCurrent(slot);
}
