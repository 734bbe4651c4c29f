#pragma once

#include "model/Observer.h"

#include <QTreeWidget>

#include <string>
#include <vector>

class DbPrim;
class DbSetMgr;

// The data list beside the image: a read-only report of the current data set in graph
// coordinates, one column per value and per attribute, rebuilt from the set's export text
// whenever the set manager notifies. Columns are only ever added. Its selected rows are the
// set manager's selected points: each shows the other.
class CDataView : public QTreeWidget, public Observer {
    Q_OBJECT
public:
    // The rows shown for a text: every line after the first (the set's name) whose first
    // field is not empty, split at the separator; maxFields is the most fields of any line,
    // the name line included.
    struct Table {
        std::vector<std::vector<std::string>> rows;
        // The line of the text each row comes from.
        std::vector<int> lines;
        int maxFields = 0;
    };
    static Table ParseText(const std::string& text, char separator);

    explicit CDataView(QWidget* parent = nullptr);
    ~CDataView() override;

    // The first showing: two columns as wide as "0.123456", then observes the set manager
    // and shows its current set.
    void OnInitialUpdate(DbSetMgr* setMgr);
    // Stops observing (before the set manager goes).
    void Detach();
    DbSetMgr* Subject() const { return m_subject; }

    void Update(Observer* subject, std::intptr_t hint) override;

signals:
    // A click in the list hands the activation back to the image view.
    void activateNextPane();
    // The user changed the selection in the list.
    void selectionEdited();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void OnSelectionChanged();

    DbSetMgr* m_subject = nullptr;
    // The entry of each row (null for headers).
    std::vector<DbPrim*> m_rowPrims;
    // Set while the list and the set manager's selection are being brought together.
    bool m_syncing = false;
};
