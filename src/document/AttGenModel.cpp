#include "document/AttGenModel.h"

#include "model/DbAttPrim.h"
#include "model/DbSetMgr.h"
#include "model/TaskSet.h"
#include "platform/Document.h"
#include "tasks/AddAttTask.h"
#include "tasks/DeleteAttTask.h"
#include "tasks/PlotData.h"
#include "tasks/PrimTask.h"
#include "tasks/UpdateAttTask.h"

AttGenModel::Remembered& AttGenModel::Last()
{
    static Remembered remembered;
    return remembered;
}

std::vector<AttGenModel::Row> AttGenModel::Rows() const
{
    std::vector<Row> rows;
    if (!m_data)
        return rows;
    const DbAttList& master = m_data->GetSetMgr()->GetAttMgr().GetMaster();
    rows.reserve(static_cast<std::size_t>(master.GetSize()));
    for (int i = 0; i < master.GetSize(); ++i) {
        const DbAttPtr& att = master[i];
        rows.push_back({att->m_name, att->m_value, att->m_active != 0});
    }
    return rows;
}

std::vector<std::string> AttGenModel::Names() const
{
    std::vector<std::string> names;
    for (Row& row : Rows())
        names.push_back(std::move(row.name));
    return names;
}

const AttGenModel::Row* AttGenModel::Find(const std::vector<Row>& rows,
                                          const std::string& name) const
{
    for (const Row& row : rows)
        if (row.name == name)
            return &row;
    return nullptr;
}

void AttGenModel::Run(std::unique_ptr<Task> task)
{
    m_data->Execute(std::move(task));
    if (Document* doc = m_data->GetDocument())
        doc->UpdateAllViews(nullptr, m_data->GetViewHint());
    m_data->ResetViewHint();
}

AttDlgFields AttGenModel::MakeAddFields() const
{
    AttDlgFields fields(Names());
    fields.m_name = Last().name;
    fields.m_value = Last().value;
    fields.m_currentSetOnly = Last().currentSetOnly;
    return fields;
}

bool AttGenModel::ApplyAdd(const AttDlgFields& fields)
{
    if (!m_data)
        return false;
    Last().name = fields.m_name;
    Last().value = fields.m_value;
    Last().currentSetOnly = fields.m_currentSetOnly ? 1 : 0;
    if (!fields.m_currentSetOnly) {
        Run(std::make_unique<AddAttTask>(m_data, fields.m_name, fields.m_value));
        return true;
    }
    auto prim =
        std::make_unique<DbAttPrim>(DbAttPtr(new DbAttRep(fields.m_name, fields.m_value, 1)));
    Run(std::make_unique<PrimTask>(m_data, std::move(prim)));
    return true;
}

AttDlgFields AttGenModel::MakeEditFields(const std::string& name) const
{
    const std::vector<Row> rows = Rows();
    std::vector<std::string> names;
    for (const Row& row : rows)
        names.push_back(row.name);
    AttDlgFields fields(std::move(names), name, true);
    fields.m_name = name;
    if (const Row* row = Find(rows, name))
        fields.m_value = row->value;
    return fields;
}

bool AttGenModel::ApplyEdit(const AttDlgFields& fields)
{
    if (!m_data)
        return false;
    const std::vector<Row> rows = Rows();
    const Row* row = Find(rows, fields.OriginalName());
    if (!row)
        return false;
    Last().name = fields.m_name;
    Last().value = fields.m_value;
    if (!fields.IsRename()) {
        Run(std::make_unique<UpdateAttTask>(m_data, fields.m_name, fields.m_value,
                                            row->active ? 1 : 0));
        return true;
    }
    auto rename = std::make_unique<TaskSet>(m_data, "Rename Attribute");
    rename->Add(std::make_unique<DeleteAttTask>(m_data, fields.OriginalName()));
    rename->Add(std::make_unique<AddAttTask>(m_data, fields.m_name, fields.m_value));
    Run(std::move(rename));
    return true;
}

bool AttGenModel::RenameInList(const std::string& name, const std::string& newName)
{
    AttDlgFields fields = MakeEditFields(name);
    fields.m_name = newName;
    if (!fields.OnOK() || !fields.IsRename())
        return false;
    return ApplyEdit(fields);
}

bool AttGenModel::SetActive(const std::string& name, bool active)
{
    if (!m_data)
        return false;
    const std::vector<Row> rows = Rows();
    const Row* row = Find(rows, name);
    if (!row)
        return false;
    Run(std::make_unique<UpdateAttTask>(m_data, name, row->value, active ? 1 : 0));
    return true;
}

bool AttGenModel::Delete(const std::string& name)
{
    if (!m_data)
        return false;
    const std::vector<Row> rows = Rows();
    if (!Find(rows, name))
        return false;
    Run(std::make_unique<DeleteAttTask>(m_data, name));
    return true;
}
