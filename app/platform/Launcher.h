#pragma once

// Starting other programs: no shell in between, arguments passed one by one, and
// no waiting for the program. On Linux a Windows program (".exe") is started
// through Wine.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace vantor::platform {

// A program to start: its path (Windows-style paths work, a bare name is looked
// up on the search path), its arguments and the folder to start it in (empty:
// the current folder). Hidden asks for no window where the system can do that.
struct LaunchRequest {
    std::string program;
    std::vector<std::string> arguments;
    std::string workingFolder;
    bool hidden = false;
};

// The outcome of starting a program: started, or a description of why not.
struct LaunchResult {
    bool started = false;
    std::string error;
};

// Returns the full path of a program found by name on the search path, or empty.
using ProgramFinder = std::function<std::string(std::string_view name)>;

// Starts a command (a full program path and its arguments) in a folder and returns
// at once; returns a description of the failure, empty when the program started.
using ProgramSpawner = std::function<std::string(const std::vector<std::string>& command,
                                                 const std::string& workingFolder, bool hidden)>;

// Returns the full path of a program in the folders of a search path written as
// PATH is, or empty.
std::string FindInSearchPath(std::string_view name, std::string_view searchPath);

// Returns the full path of a program found on PATH, or empty.
std::string FindOnPath(std::string_view name);

// Starts a command without a shell and without waiting for it; returns a
// description of the failure, empty when the program started.
std::string SpawnDetached(const std::vector<std::string>& command, const std::string& workingFolder,
                          bool hidden);

// Starts programs, through Wine for Windows programs on other systems.
class Launcher {
public:
    // Uses FindOnPath and SpawnDetached.
    Launcher();
    Launcher(ProgramFinder finder, ProgramSpawner spawner);

    // Starts a program and returns at once; never throws.
    [[nodiscard]] LaunchResult Start(const LaunchRequest& request) const;

private:
    [[nodiscard]] LaunchResult Run(const LaunchRequest& request) const;

    ProgramFinder m_finder;
    ProgramSpawner m_spawner;
};

}  // namespace vantor::platform
