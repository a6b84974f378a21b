#pragma once

#include <QSettings>
#include <memory>

#include "common/SettingsStore.h"

namespace vantor {

// The settings in Qt's store: an INI file (group "Settings") on Linux, the
// per-user registry store for program settings on Windows.
class QtSettingsStore : public SettingsStore {
public:
    // Uses the program's own store.
    QtSettingsStore();
    // Uses an INI file of the caller's choice.
    explicit QtSettingsStore(const QString& iniFile);

    [[nodiscard]] std::optional<std::string> Read(const std::string& key) const override;
    void Write(const std::string& key, const std::string& value) override;
    // Writes what is pending to permanent storage.
    void Sync();

private:
    std::unique_ptr<QSettings> m_settings;
};

}  // namespace vantor
