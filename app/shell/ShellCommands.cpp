#include "shell/ShellCommands.h"

#include <array>

#include "common/Installation.h"
#include "platform/Locations.h"
#include "platform/Paths.h"
#include "shell/Version.h"

namespace vantor {

namespace {

constexpr const char* kNotInstalled = "MSTS does not appear to be installed on this system!";
constexpr const char* kNoHelp =
    "Unable to display Help Contents. There is no Help currently associated with this "
    "application.";
constexpr const char* kNoSystemInfo = "System Information Is Unavailable At This Time";

}  // namespace

std::string NoManualViewerMessage(const std::string& manualPath) {
    return "No program to open the manual was found.  The manual is " + manualPath +
           "; open it in a web browser.";
}

ShellCommands::ShellCommands(ShellContext context) : m_context(std::move(context)) {}

void ShellCommands::Launch(const std::string& title, const platform::LaunchRequest& request) {
    if (m_context.minimiseMain) {
        m_context.minimiseMain();
    }
    const platform::LaunchResult result = m_context.launcher->Start(request);
    if (!result.started) {
        if (m_context.restoreMain) {
            m_context.restoreMain();
        }
        m_context.prompts->Message(MessageIcon::Critical, title, result.error);
    }
}

void ShellCommands::ViewMSTS() {
    const Installation& install = *m_context.installation;
    if (!install.MSTSInstalled()) {
        m_context.prompts->Message(MessageIcon::Critical, "View MSTS", kNotInstalled);
        return;
    }
    Launch("View MSTS", {install.MSTSPath() + "\\train.exe", {}, install.MSTSPath()});
}

void ShellCommands::ViewMSTSTools() {
    const Installation& install = *m_context.installation;
    if (!install.MSTSInstalled()) {
        m_context.prompts->Message(MessageIcon::Critical, "View MSTS Tools", kNotInstalled);
        return;
    }
    Launch("View MSTS Tools",
           {install.MSTSPath() + "\\launcher.exe", {"-runeditor"}, install.MSTSPath()});
}

void ShellCommands::ViewShapeViewer() {
    if (!m_context.installation->ShapeViewerInstalled()) {
        m_context.prompts->Message(
            MessageIcon::Critical, "View Shape Viewer",
            "The Shape Viewer does not appear to be installed on this system!");
        return;
    }
    const std::string viewer = m_context.installation->ShapeViewerPath();
    Launch("View Shape Viewer", {viewer, {}, {}});
}

void ShellCommands::OpenManualPage(const std::string& page) {
    const std::string path =
        m_context.manualFolder.empty() ? std::string() : m_context.manualFolder + "/" + page;
    if (path.empty() || !platform::FileExists(path)) {
        m_context.prompts->Message(MessageIcon::Information, m_context.mainCaption, kNoHelp);
        return;
    }
    const std::string error = m_context.openDocument ? m_context.openDocument(path)
                                                     : std::string("No viewer for help pages");
    if (!error.empty()) {
        m_context.prompts->Message(MessageIcon::Information, m_context.mainCaption,
                                   NoManualViewerMessage(path));
    }
}

void ShellCommands::HelpContents() {
    OpenManualPage("index.html");
}

void ShellCommands::HelpSearch() {
    OpenManualPage("keywords.html");
}

void ShellCommands::SystemInfo() {
    std::string program;
    const platform::RegistrySource& registry = m_context.installation->Registry();
    if (registry.getString) {
        const auto read = [&](const char* key, const char* value) {
            return registry.getString(platform::RegistryRoot::LocalMachine, key, value);
        };
        const auto host = [&](const std::string& windowsPath) {
            if (!registry.toHostPath) {
                return windowsPath;
            }
            const std::string converted = registry.toHostPath(windowsPath);
            return converted.empty() ? windowsPath : converted;
        };
        program = read("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO", "PATH");
        if (!program.empty()) {
            program = host(program);
        } else {
            const std::string folder = read("SOFTWARE\\Microsoft\\Shared Tools Location", "MSINFO");
            if (!folder.empty() && platform::FileExists(host(folder) + "\\MSINFO32.EXE")) {
                program = host(folder) + "\\MSINFO32.EXE";
            }
        }
    }
    for (const std::string& name : m_context.systemInfoPrograms) {
        if (!program.empty()) {
            break;
        }
        program = platform::FindOnPath(name);
    }
    if (program.empty() || !m_context.launcher->Start({program, {}, {}}).started) {
        m_context.prompts->Message(MessageIcon::None, kAppTitle, kNoSystemInfo);
    }
}

void ShellCommands::EditUndo() {
    m_context.prompts->Message(MessageIcon::Critical, kAppTitle, "Edit Undo not yet implemented");
}

void ShellCommands::EditPasteSpecial() {
    m_context.prompts->Message(MessageIcon::Critical, kAppTitle,
                               "Edit PasteSpecial not yet implemented");
}

void ShellCommands::ViewOptions() {
    m_context.prompts->Message(MessageIcon::Critical, kAppTitle,
                               "View Options not yet implemented");
}

std::string AboutCaption(const std::string& executableName) {
    return "About" + executableName;
}

std::string AboutVersionText() {
    return "Version " + std::to_string(kVersionMajor) + "." + std::to_string(kVersionMinor) + "." +
           std::to_string(kVersionRevision);
}

std::string VersionHistoryTitle() {
    return std::string(kAppTitle) + " V" + std::to_string(kVersionMajor) + "." +
           std::to_string(kVersionMinor) + "-" + std::to_string(kVersionRevision);
}

std::string VersionHistoryText() {
    struct Release {
        const char* tag;
        const char* description;
    };
    static constexpr std::array<Release, 3> kReleases = {{
        {"1.0-50", "First public version"},
        {"1.0-74", "Various bug fixes"},
        {"1.0-75", "Second public version"},
    }};
    std::string text;
    for (const Release& release : kReleases) {
        std::string tag = release.tag;
        tag.resize(std::max<std::size_t>(tag.size(), 6), ' ');
        if (!text.empty()) {
            text += "\r\n";
        }
        text += tag + "\t" + release.description;
    }
    return text;
}

bool RetileOnResize(bool lockTiling, Arrangement lastArrangement) {
    return lockTiling && (lastArrangement == Arrangement::TileHorizontal ||
                          lastArrangement == Arrangement::TileVertical);
}

}  // namespace vantor
