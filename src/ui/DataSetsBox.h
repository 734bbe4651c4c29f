#pragma once

#include "model/Observer.h"

#include <QComboBox>

#include <functional>
#include <vector>

class CKurvoDoc;
class DbSetMgr;

// The drop-down list of the data sets of the active document. It observes the set manager of
// every document it is given and shows the sets of whichever notified last (activating a
// document's view makes its data notify, so the list follows the active document). Each
// entry holds a set's name and its slot; choosing one makes that set current in the active
// document.
class DataSetsBox : public QComboBox, public Observer {
    Q_OBJECT
public:
    static constexpr int kControlId = 104;

    explicit DataSetsBox(QWidget* parent = nullptr);
    ~DataSetsBox() override;

    // Where a confirmed choice goes: the active document, or null.
    void SetActiveDocument(std::function<CKurvoDoc*()> active) { m_active = std::move(active); }

    // Observes a document's set manager and shows its sets.
    void Observe(Observer* subject) override;
    // Stops observing a set manager that is about to go; alive false when it is gone
    // already (then it is only struck from the list).
    void Forget(DbSetMgr* setMgr, bool alive = true);
    int ObservedCount() const { return static_cast<int>(m_subjects.size()); }

    // Refills the list from the set manager that notified.
    void Update(Observer* subject, std::intptr_t hint) override;
    // The slot of an entry (its item data), -1 for none.
    int SlotAt(int index) const;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void OnSelEndOk(int index);

    std::vector<DbSetMgr*> m_subjects;
    std::function<CKurvoDoc*()> m_active;
    bool m_filling = false;
};
