#pragma once

// The per-user store of the program's settings: one section, "Settings", of
// string values under the program's name.

#include <map>
#include <optional>
#include <string>

namespace vantor {

class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    // Returns the value of a key of the "Settings" section, or nothing.
    [[nodiscard]] virtual std::optional<std::string> Read(const std::string& key) const = 0;
    // Writes the value of a key of the "Settings" section.
    virtual void Write(const std::string& key, const std::string& value) = 0;
};

// Settings held in memory, for the command-line program and for tests.
class MemorySettingsStore : public SettingsStore {
public:
    [[nodiscard]] std::optional<std::string> Read(const std::string& key) const override;
    void Write(const std::string& key, const std::string& value) override;

private:
    std::map<std::string, std::string> m_values;
};

}  // namespace vantor
