#include "ui/DataSetsBox.h"

#include "document/CKurvoDoc.h"
#include "model/DbSetMgr.h"

#include <QKeyEvent>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

DataSetsBox::DataSetsBox(QWidget* parent) : QComboBox(parent)
{
    setObjectName(QStringLiteral("DataSetsBox"));
    setProperty("controlId", kControlId);
    setFixedWidth(150);
    setMaxVisibleItems(10);
    // activated is the user's confirmed choice, never a programmatic change.
    connect(this, &QComboBox::activated, this, [this](int index) { OnSelEndOk(index); });
}

DataSetsBox::~DataSetsBox()
{
    for (DbSetMgr* subject : m_subjects)
        subject->Detach(this);
}

void DataSetsBox::Observe(Observer* subject)
{
    auto* setMgr = dynamic_cast<DbSetMgr*>(subject);
    if (!setMgr)
        return;
    if (std::find(m_subjects.begin(), m_subjects.end(), setMgr) == m_subjects.end()) {
        m_subjects.push_back(setMgr);
        Observer::Observe(setMgr);
    }
    Update(setMgr, 0);
}

void DataSetsBox::Forget(DbSetMgr* setMgr, bool alive)
{
    auto it = std::find(m_subjects.begin(), m_subjects.end(), setMgr);
    if (it == m_subjects.end())
        return;
    if (alive)
        setMgr->Detach(this);
    m_subjects.erase(it);
    if (m_subjects.empty()) {
        m_filling = true;
        clear();
        m_filling = false;
    }
}

void DataSetsBox::Update(Observer* subject, std::intptr_t)
{
    auto* setMgr = dynamic_cast<DbSetMgr*>(subject);
    if (!setMgr)
        return;
    std::vector<std::pair<int, std::string>> sets;
    const int current = setMgr->ListSets(sets);
    m_filling = true;
    clear();
    int selected = -1;
    for (const auto& [slot, name] : sets) {
        if (slot == current)
            selected = count();
        addItem(QString::fromStdString(name), slot);
    }
    setCurrentIndex(selected);
    m_filling = false;
}

int DataSetsBox::SlotAt(int index) const
{
    const QVariant data = itemData(index);
    return data.isValid() ? data.toInt() : -1;
}

void DataSetsBox::OnSelEndOk(int index)
{
    if (m_filling)
        return;
    const int slot = SlotAt(index);
    CKurvoDoc* doc = m_active ? m_active() : nullptr;
    if (!doc || slot < 0)
        return;
    doc->SelectSet(slot);
}

void DataSetsBox::keyPressEvent(QKeyEvent* event)
{
    if (!event->isAutoRepeat()) {
        if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
            event->accept();
            return;
        }
        if (event->key() == Qt::Key_Escape)
            setCurrentIndex(currentIndex());
    }
    QComboBox::keyPressEvent(event);
}
