#include "ui/QtSettingsStore.h"

#include "platform/Locations.h"
#include "ui/QtText.h"

namespace vantor {

QtSettingsStore::QtSettingsStore() {
#if defined(_WIN32)
    // The key where the settings have always been kept, so that they carry over.
    m_settings = std::make_unique<QSettings>(
        "HKEY_CURRENT_USER\\Software\\VB and VBA Program Settings\\Vantor",
        QSettings::NativeFormat);
#else
    m_settings = std::make_unique<QSettings>(Q(platform::SettingsFile()), QSettings::IniFormat);
#endif
}

QtSettingsStore::QtSettingsStore(const QString& iniFile)
    : m_settings(std::make_unique<QSettings>(iniFile, QSettings::IniFormat)) {}

std::optional<std::string> QtSettingsStore::Read(const std::string& key) const {
    const QString name = "Settings/" + Q(key);
    if (!m_settings->contains(name)) {
        return std::nullopt;
    }
    return S(m_settings->value(name).toString());
}

void QtSettingsStore::Write(const std::string& key, const std::string& value) {
    m_settings->setValue("Settings/" + Q(key), Q(value));
}

void QtSettingsStore::Sync() {
    m_settings->sync();
}

}  // namespace vantor
