#include "ui/AttGenDlg.h"

#include "app/ContextHelp.h"
#include "model/DbSetMgr.h"
#include "tasks/PlotData.h"
#include "ui/AddAttDlg.h"
#include "ui/AttListCtrl.h"
#include "ui/EditAttDlg.h"

#include <QDialog>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr int kNameRole = Qt::UserRole;
constexpr int kActiveRole = Qt::UserRole + 1;

} // namespace

AttGenDlg::AttGenDlg(QWidget* parent)
    : QWidget(parent, Qt::Tool), m_list(new AttListCtrl(this)),
      m_new(new QPushButton(QStringLiteral("New Attribute"), this)),
      m_runner([](QDialog& dialog) { return dialog.exec() == QDialog::Accepted; })
{
    setWindowTitle(QStringLiteral("Attributes"));
    setObjectName(QStringLiteral("AttGenDlg"));
    m_list->setObjectName(QStringLiteral("AttList"));
    m_new->setObjectName(QStringLiteral("NewAttribute"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(5);
    layout->addWidget(m_list, 1);
    layout->addWidget(m_new);
    resize(260, 200);

    connect(m_new, &QPushButton::clicked, this, &AttGenDlg::OnNewAttribute);
    // The list is refilled by the change a row's entry makes, so the entries run after
    // the list's own event handling has finished with the row.
    connect(m_list, &AttListCtrl::rowDoubleClicked, this, [this](QTreeWidgetItem* item) {
        const std::string name = item->data(0, kNameRole).toString().toStdString();
        QMetaObject::invokeMethod(
            this, [this, name] { OnEditRow(name); }, Qt::QueuedConnection);
    });
    connect(m_list, &AttListCtrl::deletePressed, this, [this] {
        QMetaObject::invokeMethod(
            this, [this] { OnDeleteSelected(); }, Qt::QueuedConnection);
    });
    connect(m_list, &QTreeWidget::itemChanged, this, &AttGenDlg::OnItemChanged);
    AddContextHelp(this);
}

AttGenDlg::~AttGenDlg()
{
    SetPlotData(nullptr);
}

void AttGenDlg::SetPlotData(PlotData* data)
{
    if (m_observed) {
        (*m_observed)->Detach(this);
        m_observed.reset();
    }
    m_model.SetData(data);
    if (data) {
        m_observed = data->GetSetMgr()->GetAttMgrPtr();
        (*m_observed)->Attach(this);
    }
    Refill();
}

void AttGenDlg::Update(Observer*, std::intptr_t)
{
    Refill();
}

void AttGenDlg::Refill()
{
    m_filling = true;
    m_list->clear();
    for (const AttGenModel::Row& row : m_model.Rows()) {
        auto* item = new QTreeWidgetItem;
        const QString name = QString::fromStdString(row.name);
        item->setText(0, name);
        item->setText(1, QString::fromStdString(row.value));
        item->setData(0, kNameRole, name);
        item->setData(0, kActiveRole, row.active);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable |
                       Qt::ItemIsEditable);
        item->setCheckState(0, row.active ? Qt::Checked : Qt::Unchecked);
        m_list->addTopLevelItem(item);
    }
    m_list->sortItems(0, Qt::AscendingOrder);
    m_filling = false;
}

void AttGenDlg::OnItemChanged(QTreeWidgetItem* item, int column)
{
    if (m_filling || column != 0)
        return;
    const std::string name = item->data(0, kNameRole).toString().toStdString();
    const bool wasActive = item->data(0, kActiveRole).toBool();
    const bool active = item->checkState(0) == Qt::Checked;
    const std::string text = item->text(0).toStdString();
    if (active != wasActive) {
        QMetaObject::invokeMethod(
            this, [this, name, active] { m_model.SetActive(name, active); }, Qt::QueuedConnection);
    } else if (text != name) {
        QMetaObject::invokeMethod(
            this,
            [this, name, text] {
                // A refused name goes back to the one the attribute has.
                if (!m_model.RenameInList(name, text))
                    Refill();
            },
            Qt::QueuedConnection);
    }
}

void AttGenDlg::OnNewAttribute()
{
    if (!m_model.GetData())
        return;
    AttDlgFields fields = m_model.MakeAddFields();
    AddAttDlg dialog(fields, this);
    if (m_runner(dialog))
        m_model.ApplyAdd(fields);
}

void AttGenDlg::OnEditRow(const std::string& name)
{
    if (!m_model.GetData())
        return;
    AttDlgFields fields = m_model.MakeEditFields(name);
    EditAttDlg dialog(fields, this);
    if (m_runner(dialog))
        m_model.ApplyEdit(fields);
}

void AttGenDlg::OnDeleteSelected()
{
    const QList<QTreeWidgetItem*> selected = m_list->selectedItems();
    if (selected.isEmpty())
        return;
    m_model.Delete(selected.front()->data(0, kNameRole).toString().toStdString());
}
