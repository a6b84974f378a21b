#include "shell/StartupSettings.h"

#include <charconv>
#include <cmath>

#include "common/Text.h"

namespace vantor {

namespace {

float ReadSingle(const SettingsStore& store, const std::string& key, float fallback) {
    const auto text = store.Read(key);
    if (!text) {
        return fallback;
    }
    const std::string trimmed = TrimBlanks(*text);
    float value = 0;
    const auto [end, error] =
        std::from_chars(trimmed.data(), trimmed.data() + trimmed.size(), value);
    if (error != std::errc() || end != trimmed.data() + trimmed.size() || !std::isfinite(value)) {
        return fallback;
    }
    return value;
}

}  // namespace

std::string FormatSingle(float value) {
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

StartupSettings ReadStartupSettings(const SettingsStore& store, const std::string& programFolder,
                                    Installation& installation) {
    StartupSettings settings;
    const WindowPlacement defaults;
    settings.placement.left = ReadSingle(store, "MainLeft", defaults.left);
    settings.placement.top = ReadSingle(store, "MainTop", defaults.top);
    settings.placement.width = ReadSingle(store, "MainWidth", defaults.width);
    settings.placement.height = ReadSingle(store, "MainHeight", defaults.height);
    settings.screenShotDir = store.Read("ScreenShotDir").value_or(programFolder);
    installation.SetMSTSPath(store.Read("MSTSDir").value_or(""));
    return settings;
}

void WriteShutdownSettings(SettingsStore& store, const std::optional<WindowPlacement>& placement,
                           const std::string& screenShotDir, const Installation& installation) {
    if (placement) {
        store.Write("MainLeft", FormatSingle(placement->left));
        store.Write("MainTop", FormatSingle(placement->top));
        store.Write("MainWidth", FormatSingle(placement->width));
        store.Write("MainHeight", FormatSingle(placement->height));
    }
    store.Write("MSTSDir", installation.MSTSPath());
    store.Write("ScreenShotDir", screenShotDir);
}

}  // namespace vantor
