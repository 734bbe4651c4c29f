#pragma once

#include "platform/Profile.h"

#include <QString>

#include <memory>

class QSettings;

// The per-user settings on QSettings: "section/key" values of the organisation
// "Veldmark Software", application "Kurvo".
class QtProfile : public Profile {
public:
    // The user's own settings in the platform's native store.
    QtProfile();
    // Settings in an INI file of the given path (tests, portable use).
    explicit QtProfile(const QString& iniPath);
    ~QtProfile() override;

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

    // Writes pending changes to the store.
    void Sync();

private:
    std::unique_ptr<QSettings> m_settings;
};
