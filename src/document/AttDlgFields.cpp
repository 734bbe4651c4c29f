#include "document/AttDlgFields.h"

#include "platform/UiServices.h"

#include <algorithm>

AttDlgFields::AttDlgFields(std::vector<std::string> names, std::string originalName, bool editing)
    : m_names(std::move(names)), m_originalName(std::move(originalName)), m_editing(editing)
{
}

std::string AttDlgFields::Trim(const std::string& text)
{
    const char* const blanks = " \t\r\n\v\f";
    const std::size_t first = text.find_first_not_of(blanks);
    if (first == std::string::npos)
        return std::string();
    const std::size_t last = text.find_last_not_of(blanks);
    return text.substr(first, last - first + 1);
}

bool AttDlgFields::OnOK()
{
    m_name = Trim(m_name);
    m_value = Trim(m_value);
    if (m_editing && m_name == m_originalName)
        return true;
    if (std::find(m_names.begin(), m_names.end(), m_name) != m_names.end()) {
        GetUiServices().MessageBox("The attribute name must not be a duplicate.");
        return false;
    }
    return true;
}
