#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

// Per-user settings: integers, strings and binary values under section/key names.
// The desktop program keeps them on QSettings; tests and kurvo-cli use MemoryProfile.
class Profile {
public:
    virtual ~Profile() = default;

    virtual bool HasKey(const std::string& section, const std::string& key) const = 0;
    virtual int GetInt(const std::string& section, const std::string& key, int def) const = 0;
    virtual bool WriteInt(const std::string& section, const std::string& key, int value) = 0;
    virtual std::string GetString(const std::string& section, const std::string& key,
                                  const std::string& def) const = 0;
    virtual bool WriteString(const std::string& section, const std::string& key,
                             const std::string& value) = 0;
    // Binary values (a window placement); false when absent.
    virtual bool GetBinary(const std::string& section, const std::string& key,
                           std::vector<std::uint8_t>& out) const = 0;
    virtual bool WriteBinary(const std::string& section, const std::string& key,
                             const std::vector<std::uint8_t>& value) = 0;
};

// Settings held in memory: the headless profile, and the one tests inspect.
class MemoryProfile : public Profile {
public:
    bool HasKey(const std::string& section, const std::string& key) const override;
    int GetInt(const std::string& section, const std::string& key, int def) const override;
    bool WriteInt(const std::string& section, const std::string& key, int value) override;
    std::string GetString(const std::string& section, const std::string& key,
                          const std::string& def) const override;
    bool WriteString(const std::string& section, const std::string& key,
                     const std::string& value) override;
    bool GetBinary(const std::string& section, const std::string& key,
                   std::vector<std::uint8_t>& out) const override;
    bool WriteBinary(const std::string& section, const std::string& key,
                     const std::vector<std::uint8_t>& value) override;

    // Keys in the order they were first written, for tests of the writing order.
    const std::vector<std::pair<std::string, std::string>>& WriteOrder() const { return m_order; }

private:
    void Touch(const std::string& section, const std::string& key);

    using Key = std::pair<std::string, std::string>;
    std::map<Key, std::string> m_strings;
    std::map<Key, int> m_ints;
    std::map<Key, std::vector<std::uint8_t>> m_binary;
    std::vector<Key> m_order;
};
