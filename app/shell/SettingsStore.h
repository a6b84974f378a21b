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
    [[nodiscard]] const std::map<std::string, std::string>& Values() const { return m_values; }

private:
    std::map<std::string, std::string> m_values;
};

// The main window's place and size, in twips (1/1440 inch).
struct WindowPlacement {
    float left = 1000;
    float top = 1000;
    float width = 6500;
    float height = 6500;
};

// What the main window reads when it loads.
struct StartupSettings {
    WindowPlacement placement;
    std::string screenShotDir;
};

// Reads the window's place and size, the snapshot folder (default: the program's
// folder) and the installation folder, which goes through SetMSTSPath. A number
// that cannot be read keeps its default.
StartupSettings ReadStartupSettings(const SettingsStore& store, const std::string& programFolder);

// Writes the settings when the main window closes: its place and size unless it
// is minimised (no placement), the installation folder as MSTSPath() gives it,
// and the snapshot folder.
void WriteShutdownSettings(SettingsStore& store, const std::optional<WindowPlacement>& placement,
                           const std::string& screenShotDir);

// Returns a single-precision number as the settings store keeps it ("6500", "1012.5").
std::string FormatSingle(float value);

}  // namespace vantor
