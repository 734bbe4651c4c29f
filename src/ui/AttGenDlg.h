#pragma once

#include "document/AttGenModel.h"
#include "model/DbAttMgrRep.h"
#include "model/Observer.h"
#include "model/util/SmartPtr.h"

#include <QWidget>

#include <functional>
#include <optional>

class AttListCtrl;
class PlotData;
class QDialog;
class QPushButton;
class QTreeWidgetItem;

// The attributes bar: the attributes of the active document with a check box each (the
// attribute is given to newly collected points while checked) and "New Attribute".
// Double-clicking a row edits it, the Delete key removes it, a name edited in place
// renames it. Every change is an undoable task; the bar refills itself whenever the
// document's attributes tell it of a change.
class AttGenDlg : public QWidget, public Observer {
    Q_OBJECT
public:
    static constexpr int kIdNewAttribute = 1034;
    // Runs a modal dialog; true when it closed with OK.
    using DialogRunner = std::function<bool(QDialog&)>;

    explicit AttGenDlg(QWidget* parent = nullptr);
    ~AttGenDlg() override;

    // The data shown (null: none). The bar observes that data's attribute manager.
    void SetPlotData(PlotData* data);
    PlotData* GetPlotData() const { return m_model.GetData(); }

    // The user's entries, also reachable by the widgets.
    void OnNewAttribute();
    void OnEditRow(const std::string& name);
    void OnDeleteSelected();

    AttListCtrl* List() const { return m_list; }
    QPushButton* NewButton() const { return m_new; }
    // Replaces how the define and edit dialogs are run (tests drive them here).
    void SetDialogRunner(DialogRunner runner) { m_runner = std::move(runner); }

    void Update(Observer* subject, std::intptr_t hint) override;

private:
    void Refill();
    void OnItemChanged(QTreeWidgetItem* item, int column);

    AttGenModel m_model;
    // Kept so that detaching stays safe whatever happens to the document first.
    std::optional<SmartPtr<DbAttMgrRep>> m_observed;
    AttListCtrl* m_list;
    QPushButton* m_new;
    DialogRunner m_runner;
    bool m_filling = false;
};
