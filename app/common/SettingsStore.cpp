#include "common/SettingsStore.h"

namespace vantor {

std::optional<std::string> MemorySettingsStore::Read(const std::string& key) const {
    const auto it = m_values.find(key);
    if (it == m_values.end()) {
        return std::nullopt;
    }
    return it->second;
}

void MemorySettingsStore::Write(const std::string& key, const std::string& value) {
    m_values[key] = value;
}

}  // namespace vantor
