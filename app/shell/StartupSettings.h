#pragma once

// The settings the main window reads when it loads and writes when it closes.

#include <optional>
#include <string>

#include "common/Installation.h"
#include "common/SettingsStore.h"

namespace vantor {

// The main window's place and size, in twips (1/1440 inch): the unit the stored
// settings "MainLeft" to "MainHeight" have always been kept in.
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
StartupSettings ReadStartupSettings(const SettingsStore& store, const std::string& programFolder,
                                    Installation& installation);

// Writes the settings when the main window closes: its place and size unless it
// is minimised (no placement), the installation folder as MSTSPath() gives it,
// and the snapshot folder.
void WriteShutdownSettings(SettingsStore& store, const std::optional<WindowPlacement>& placement,
                           const std::string& screenShotDir, const Installation& installation);

// Returns a single-precision number as the settings store keeps it ("6500", "1012.5").
std::string FormatSingle(float value);

}  // namespace vantor
