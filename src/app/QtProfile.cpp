#include "app/QtProfile.h"

#include <QByteArray>
#include <QSettings>
#include <QVariant>

namespace {

QString KeyOf(const std::string& section, const std::string& key)
{
    return QString::fromStdString(section) + u'/' + QString::fromStdString(key);
}

} // namespace

QtProfile::QtProfile()
    : m_settings(std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                             QStringLiteral("Veldmark Software"),
                                             QStringLiteral("Kurvo")))
{
}

QtProfile::QtProfile(const QString& iniPath)
    : m_settings(std::make_unique<QSettings>(iniPath, QSettings::IniFormat))
{
}

QtProfile::~QtProfile() = default;

bool QtProfile::HasKey(const std::string& section, const std::string& key) const
{
    return m_settings->contains(KeyOf(section, key));
}

int QtProfile::GetInt(const std::string& section, const std::string& key, int def) const
{
    QVariant v = m_settings->value(KeyOf(section, key));
    if (!v.isValid())
        return def;
    bool ok = false;
    // Stored text must be a whole number; anything else (a hand edit) reads as absent.
    // Colours are unsigned 32-bit patterns, so the unsigned range is accepted too.
    QString text = v.toString().trimmed();
    int i = text.toInt(&ok, 10);
    if (ok)
        return i;
    uint u = text.toUInt(&ok, 10);
    return ok ? static_cast<int>(u) : def;
}

bool QtProfile::WriteInt(const std::string& section, const std::string& key, int value)
{
    m_settings->setValue(KeyOf(section, key), value);
    return m_settings->status() == QSettings::NoError;
}

std::string QtProfile::GetString(const std::string& section, const std::string& key,
                                 const std::string& def) const
{
    QVariant v = m_settings->value(KeyOf(section, key));
    if (!v.isValid())
        return def;
    return v.toString().toStdString();
}

bool QtProfile::WriteString(const std::string& section, const std::string& key,
                            const std::string& value)
{
    m_settings->setValue(KeyOf(section, key), QString::fromStdString(value));
    return m_settings->status() == QSettings::NoError;
}

bool QtProfile::GetBinary(const std::string& section, const std::string& key,
                          std::vector<std::uint8_t>& out) const
{
    QVariant v = m_settings->value(KeyOf(section, key));
    if (!v.isValid() || v.typeId() != QMetaType::QByteArray)
        return false;
    QByteArray bytes = v.toByteArray();
    out.assign(bytes.begin(), bytes.end());
    return true;
}

bool QtProfile::WriteBinary(const std::string& section, const std::string& key,
                            const std::vector<std::uint8_t>& value)
{
    QByteArray bytes(reinterpret_cast<const char*>(value.data()),
                     static_cast<qsizetype>(value.size()));
    m_settings->setValue(KeyOf(section, key), bytes);
    return m_settings->status() == QSettings::NoError;
}

void QtProfile::Sync()
{
    m_settings->sync();
}
