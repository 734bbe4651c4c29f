#pragma once

#include "document/AttDlgFields.h"

#include <memory>
#include <string>
#include <vector>

class PlotData;
class Task;

// What the attributes bar does, without its widgets: the rows it lists, the fields its
// define and edit dialogs open with, and the attribute task each user action executes.
// Every change goes through the document's history, so it can be undone.
class AttGenModel {
public:
    struct Row {
        std::string name;
        std::string value;
        bool active;
    };
    // Remembered for the whole program: the last name and value entered and the last
    // state of "Add only to current set".
    struct Remembered {
        std::string name;
        std::string value;
        int currentSetOnly = 0;
    };
    static Remembered& Last();

    explicit AttGenModel(PlotData* data = nullptr) : m_data(data) {}

    void SetData(PlotData* data) { m_data = data; }
    PlotData* GetData() const { return m_data; }

    // The attributes of the master list, in order.
    std::vector<Row> Rows() const;
    std::vector<std::string> Names() const;

    // "New Attribute": the fields the define dialog opens with.
    AttDlgFields MakeAddFields() const;
    // After OK of the define dialog: remembers the fields and defines the attribute for
    // the whole document, or only in the current set. False without data.
    bool ApplyAdd(const AttDlgFields& fields);

    // Editing a listed attribute: the fields the edit dialog opens with.
    AttDlgFields MakeEditFields(const std::string& name) const;
    // After OK of the edit dialog: remembers name and value; an unchanged name updates the
    // value keeping the active state, a new name replaces the attribute in one undo step.
    // False without data or when the edited attribute is no longer listed.
    bool ApplyEdit(const AttDlgFields& fields);
    // A name typed into the list itself: checked and applied like an edit of the name.
    // False when refused (duplicate, unchanged or not listed).
    bool RenameInList(const std::string& name, const std::string& newName);

    // The row's check box: the attribute becomes active or inactive.
    bool SetActive(const std::string& name, bool active);
    // The Delete key on a row.
    bool Delete(const std::string& name);

private:
    const Row* Find(const std::vector<Row>& rows, const std::string& name) const;
    void Run(std::unique_ptr<Task> task);

    PlotData* m_data;
};
