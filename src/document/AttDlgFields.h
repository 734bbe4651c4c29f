#pragma once

#include <string>
#include <vector>

// The fields of the "Define Attribute" and "Edit Attribute" dialogs without their forms:
// name and value, trimmed of leading and trailing blanks on OK, and the name checked
// against the names already listed.
class AttDlgFields {
public:
    static constexpr int kIdName = 1036;
    static constexpr int kIdValue = 1037;
    static constexpr int kIdCurrentSetOnly = 1010;

    // names: the attribute names listed when the dialog opens. originalName: the name an
    // edited attribute had (empty for a new attribute, whose name is always checked).
    AttDlgFields(std::vector<std::string> names, std::string originalName = std::string(),
                 bool editing = false);

    // OK: trims name and value, then refuses a name that is already listed with "The
    // attribute name must not be a duplicate." and stays open (false). An edited
    // attribute whose name is unchanged is never a duplicate.
    bool OnOK();

    // Whether an edit renamed the attribute (after OnOK).
    bool IsRename() const { return m_editing && m_name != m_originalName; }
    bool IsEditing() const { return m_editing; }
    const std::string& OriginalName() const { return m_originalName; }

    // Leading and trailing blanks (space, tab, line breaks) removed.
    static std::string Trim(const std::string& text);

    std::string m_name;
    std::string m_value;
    // "Add only to current set" (new attributes only).
    int m_currentSetOnly = 0;

private:
    std::vector<std::string> m_names;
    std::string m_originalName;
    bool m_editing;
};
