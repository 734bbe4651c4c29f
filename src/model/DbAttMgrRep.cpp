#include "model/DbAttMgrRep.h"

#include "model/DbRefTable.h"
#include "platform/Archive.h"

void DbAttMgrRep::PrepareForChange()
{
    // Once a list for new points was built, or when the master list came shared from a file,
    // others may hold it: change a copy that holds the same attribute references.
    if (!m_newListValid && !m_master.IsShared())
        return;
    DbAttListPtr copy;
    for (const DbAttPtr& att : *m_master)
        copy->Add(att);
    m_master = copy;
    m_newListValid = 0;
}

void DbAttMgrRep::AddAttribute(const DbAttPtr& att)
{
    PrepareForChange();
    m_master->Add(att);
    Notify(DataHint());
}

int DbAttMgrRep::FindAttribute(const std::string& name) const
{
    for (int i = 0; i < m_master->GetSize(); ++i)
        if ((*m_master)[i]->m_name == name)
            return i;
    return -1;
}

DbAttPtr DbAttMgrRep::DeleteAttribute(const std::string& name)
{
    PrepareForChange();
    const int i = FindAttribute(name);
    if (i < 0)
        return DbAttPtr(nullptr);
    DbAttPtr old = (*m_master)[i];
    m_master->RemoveAt(i);
    Notify(DataHint());
    return old;
}

DbAttPtr DbAttMgrRep::UpdateAttribute(const DbAttPtr& att)
{
    PrepareForChange();
    const int i = FindAttribute(att->m_name);
    if (i < 0)
        return DbAttPtr(nullptr);
    DbAttPtr old = (*m_master)[i];
    (*m_master)[i] = att;
    Notify(DataHint());
    return old;
}

DbAttListPtr DbAttMgrRep::ListForNewPoints()
{
    if (!m_newListValid) {
        DbAttListPtr fresh;
        for (const DbAttPtr& att : *m_master)
            if (att->m_active)
                fresh->Add(att);
        m_forNewPoints = fresh;
        m_newListValid = 1;
    }
    return m_forNewPoints;
}

void DbAttMgrRep::Serialize(Archive& ar, DbRefTable& refs)
{
    if (ar.IsStoring()) {
        ar.WriteU32(1);
        WriteAttributeListRef(ar, refs, m_master);
    } else {
        ar.ReadVersion(1, 1);
        ReadAttributeListRef(ar, refs, m_master);
        m_newListValid = 0;
    }
}
