#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "TempFolder.h"
#include "platform/Locations.h"

namespace {

using testing_support::ScopedEnvironment;

TEST(LocationsTest, XdgFoldersWhenAbsoluteElseBelowHome) {
    const ScopedEnvironment home("HOME", "/home/u");
    {
        const ScopedEnvironment config("XDG_CONFIG_HOME", "/cfg");
        const ScopedEnvironment state("XDG_STATE_HOME", "/st");
        const ScopedEnvironment cache("XDG_CACHE_HOME", "/ca");
        EXPECT_EQ(vantor::platform::SettingsFile(), "/cfg/Vantor/Vantor.conf");
        EXPECT_EQ(vantor::platform::LogFile(), "/st/vantor/vantor.log");
        EXPECT_EQ(vantor::platform::CacheFolder(), "/ca");
    }
    const ScopedEnvironment config("XDG_CONFIG_HOME", "relative/cfg");
    const ScopedEnvironment state("XDG_STATE_HOME", std::nullopt);
    const ScopedEnvironment cache("XDG_CACHE_HOME", "");
    EXPECT_EQ(vantor::platform::SettingsFile(), "/home/u/.config/Vantor/Vantor.conf");
    EXPECT_EQ(vantor::platform::LogFile(), "/home/u/.local/state/vantor/vantor.log");
    EXPECT_EQ(vantor::platform::CacheFolder(), "/home/u/.cache");
}

TEST(LocationsTest, ProgramFolderHoldsTheRunningProgram) {
#if defined(_WIN32)
    const std::string name = "vantor_platform_tests.exe";
#else
    const std::string name = "vantor_platform_tests";
#endif
    const std::filesystem::path program = vantor::platform::ProgramFile();
    EXPECT_EQ(program.filename(), name);
    EXPECT_EQ(std::filesystem::path(vantor::platform::ProgramFolder()) / name, program);
}

}  // namespace
