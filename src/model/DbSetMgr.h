#pragma once

#include "model/DbAttMgrRep.h"
#include "model/DbMemento.h"
#include "model/DbPrim.h"
#include "model/DbPrimList.h"
#include "model/Observer.h"
#include "model/util/SmartPtr.h"
#include "platform/Colour.h"

#include <memory>
#include <string>
#include <utility>
#include <vector>

class DbMemento;
class DbSetX1;
class DbSetX2;
class DbSetX3;

// The named data sets of a document. Sets live in slots whose indexes never change: a
// deleted set leaves its slot empty (null) until a new set takes it. One set is current.
// Observers (the data list, the data-sets bar) hear of every change of the current set or
// its contents.
class DbSetMgr : public DbPrim, public Observer {
public:
    DbSetMgr();
    ~DbSetMgr() override;

    // A new set named "Line %d" with the next number no set uses; becomes current.
    int NewSet();
    // A set of the given name in the first empty slot or a new one; becomes current.
    int AddSet(const std::string& name);
    // Appends to the set at the slot (negative: the current set) with the list of attributes
    // for new points, notifies; returns the slot used. When there is no such set the result
    // is -1 and the caller keeps the primitive.
    int AddPrim(std::unique_ptr<DbPrim>& prim, int slot);
    // Unlinks the primitive from the set at the slot and hands it back.
    std::unique_ptr<DbPrim> RemovePrim(const DbPrim* prim, int slot);
    // Puts a primitive back at its position in the set at the slot, attributes untouched;
    // false (the caller keeps it) when there is no such set.
    bool InsertPrim(std::unique_ptr<DbPrim>& prim, int slot, int index);
    // The slot and position of a primitive of a set; false when no set holds it.
    bool Locate(const DbPrim* prim, int& slot, int& index) const;

    // The selected primitives (of any set), in the order they were selected. Primitives
    // that leave the sets leave the selection.
    const std::vector<DbPrim*>& GetSelection() const { return m_selection; }
    bool IsSelected(const DbPrim* prim) const;
    // Keeps those of prims that a set holds, once each; observers hear of a change.
    void SetSelection(const std::vector<DbPrim*>& prims);
    // The mapping the exports take their precision from (the document's).
    void SetMapping(const GraphMapping* mapping) { m_mapping = mapping; }
    void SetCurrent(int slot);

    std::unique_ptr<DbSetX3> ClearAll();
    std::unique_ptr<DbSetX1> ClearCurrentSet();
    // Deleting the last remaining set clears all data instead.
    std::unique_ptr<DbMemento> DeleteSet(int slot);
    void Restore(std::unique_ptr<DbMemento> memento);

    int GetCurrent() const { return m_current; }
    int GetSlotCount() const { return static_cast<int>(m_sets.size()); }
    int GetSetCount() const;
    // The set in a slot; null for an empty or missing slot.
    DbPrimList* GetSet(int slot) const;
    DbPrimList* GetCurrentSet() const { return GetSet(m_current); }
    int GetNameCounter() const { return m_nameCounter; }
    int GetTotalCount() const;
    int GetCurrentCount() const;

    // Every primitive recomputes its graph position (after the mapping changed).
    void Recompute(const GraphMapping* mapping) override;
    // Draws every set: the current one in the current colour with the plus marker, the
    // others in the other colour with the dotted plus.
    void Draw(ToolEvent& e) override;

    // Text of all sets, and of the current set: name line, then per block of one kind a
    // header, the rows (sorted on X when sortFlag is set) and an empty line.
    // With uncertainty, points add the columns dX and dY; lines, when given, receives one
    // entry per line written (the primitive of a row, null for other lines).
    void WriteAllSets(std::string& text, const std::string& sep, int sortFlag,
                      bool uncertainty = false);
    void WriteCurrentSet(std::string& text, const std::string& sep, int sortFlag,
                         std::vector<DbPrim*>* lines = nullptr);

    // Names of the sets with their slots; returns the current slot.
    int ListSets(std::vector<std::pair<int, std::string>>& out) const;

    // Attribute manager: the master list and the list new points receive.
    DbAttMgrRep& GetAttMgr() { return *m_attMgr; }
    const SmartPtr<DbAttMgrRep>& GetAttMgrPtr() const { return m_attMgr; }
    void AddAttribute(const DbAttPtr& att) { m_attMgr->AddAttribute(att); }
    DbAttPtr DeleteAttribute(const std::string& name) { return m_attMgr->DeleteAttribute(name); }
    DbAttPtr UpdateAttribute(const DbAttPtr& att) { return m_attMgr->UpdateAttribute(att); }

    // The set manager block of project files.
    void Serialize(Archive& ar, DbRefTable& refs) override;

    Colour m_currentColour = 255;
    Colour m_otherColour = 0xFF0000;

private:
    friend class DbSetX1;
    friend class DbSetX2;
    friend class DbSetX3;

    void NotifyData() { Notify(DataHint()); }
    static void WriteSetBody(DbPrimList& set, std::string& text, const std::string& sep,
                             ExportContext& ctx);
    // Drops selected primitives no set holds any more.
    void PruneSelection();

    SmartPtr<DbAttMgrRep> m_attMgr;
    std::vector<std::unique_ptr<DbPrimList>> m_sets;
    int m_current = -1;
    int m_nameCounter = 0;
    std::vector<DbPrim*> m_selection;
    const GraphMapping* m_mapping = nullptr;
};
