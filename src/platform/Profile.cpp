#include "platform/Profile.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>

bool MemoryProfile::HasKey(const std::string& section, const std::string& key) const
{
    Key k{section, key};
    return m_ints.count(k) || m_strings.count(k) || m_binary.count(k);
}

int MemoryProfile::GetInt(const std::string& section, const std::string& key, int def) const
{
    Key k{section, key};
    if (auto it = m_ints.find(k); it != m_ints.end())
        return it->second;
    if (auto it = m_strings.find(k); it != m_strings.end()) {
        // A value stored as text reads as a number when it is one, as a registry would.
        const char* s = it->second.c_str();
        char* end = nullptr;
        errno = 0;
        long v = std::strtol(s, &end, 10);
        if (end != s && *end == '\0' && errno == 0)
            return static_cast<int>(v);
    }
    return def;
}

void MemoryProfile::Touch(const std::string& section, const std::string& key)
{
    Key k{section, key};
    if (std::find(m_order.begin(), m_order.end(), k) == m_order.end())
        m_order.push_back(k);
}

bool MemoryProfile::WriteInt(const std::string& section, const std::string& key, int value)
{
    Key k{section, key};
    m_strings.erase(k);
    m_binary.erase(k);
    m_ints[k] = value;
    Touch(section, key);
    return true;
}

std::string MemoryProfile::GetString(const std::string& section, const std::string& key,
                                     const std::string& def) const
{
    Key k{section, key};
    if (auto it = m_strings.find(k); it != m_strings.end())
        return it->second;
    if (auto it = m_ints.find(k); it != m_ints.end())
        return std::to_string(it->second);
    return def;
}

bool MemoryProfile::WriteString(const std::string& section, const std::string& key,
                                const std::string& value)
{
    Key k{section, key};
    m_ints.erase(k);
    m_binary.erase(k);
    m_strings[k] = value;
    Touch(section, key);
    return true;
}

bool MemoryProfile::GetBinary(const std::string& section, const std::string& key,
                              std::vector<std::uint8_t>& out) const
{
    auto it = m_binary.find(Key{section, key});
    if (it == m_binary.end())
        return false;
    out = it->second;
    return true;
}

bool MemoryProfile::WriteBinary(const std::string& section, const std::string& key,
                                const std::vector<std::uint8_t>& value)
{
    Key k{section, key};
    m_ints.erase(k);
    m_strings.erase(k);
    m_binary[k] = value;
    Touch(section, key);
    return true;
}
