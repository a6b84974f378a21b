#pragma once

// The main window's small commands, without widgets: the launchers, help, the
// About texts, System Info, the commands that are not implemented, and the
// toolbar's keys. The window supplies what they need of it.

#include <functional>
#include <string>

#include "common/Installation.h"
#include "common/Prompter.h"
#include "platform/Launcher.h"

namespace vantor {

// Returns the message shown when no program opens the manual: it gives its path.
std::string NoManualViewerMessage(const std::string& manualPath);

// What the commands need of the program around them.
struct ShellContext {
    Prompter* prompts = nullptr;
    const platform::Launcher* launcher = nullptr;
    // Minimises the main window before a program starts, and restores it when the
    // start failed.
    std::function<void()> minimiseMain;
    std::function<void()> restoreMain;
    // Opens a document (a help page) in the desktop's viewer; returns a
    // description of the failure, empty on success.
    std::function<std::string(const std::string& path)> openDocument;
    // The main window's caption, the title of the help messages.
    std::string mainCaption;
    // The folder of the user manual; empty when the program has none.
    std::string manualFolder;
    // The installation the launchers start from; its registry tells where the
    // shape viewer and the system-information tool are.
    const Installation* installation = nullptr;
    // Programs tried for System Info when the registry names none.
    std::vector<std::string> systemInfoPrograms;
};

// The arrangements of the Window menu.
enum class Arrangement { Cascade = 0, TileHorizontal = 1, TileVertical = 2, ArrangeIcons = 3 };

class ShellCommands {
public:
    explicit ShellCommands(ShellContext context);

    // View, MSTS: starts the simulator.
    void ViewMSTS();
    // View, MSTS Tools: starts the simulator's tools.
    void ViewMSTSTools();
    // View, Shape Viewer: starts the outside shape viewer.
    void ViewShapeViewer();
    // Help, Contents: opens the manual's contents page.
    void HelpContents();
    // Help, Search For Help On: opens the manual's index.
    void HelpSearch();
    // About, System Info: starts the system-information tool.
    void SystemInfo();
    // Edit, Undo; Edit, Paste Special; View, Options: each says it is not implemented.
    void EditUndo();
    void EditPasteSpecial();
    void ViewOptions();

    [[nodiscard]] const ShellContext& Context() const { return m_context; }

private:
    void Launch(const std::string& title, const platform::LaunchRequest& request);
    void OpenManualPage(const std::string& page);

    ShellContext m_context;
};

// Returns the About dialog's caption: "About" and the program's file name.
std::string AboutCaption(const std::string& executableName);
// Returns the About dialog's version label: "Version 1.0.75".
std::string AboutVersionText();
// Returns the title of the version history box: "Vantor V1.0-75".
std::string VersionHistoryTitle();
// Returns the version history: one line per release, tag, tab and description.
std::string VersionHistoryText();
// Returns true when a resize of the main window tiles its windows again.
bool RetileOnResize(bool lockTiling, Arrangement lastArrangement);

}  // namespace vantor
