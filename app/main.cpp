// Vantor: the consist manager for Microsoft Train Simulator.

#include <QApplication>
#include <QDesktopServices>
#include <QStandardPaths>
#include <QUrl>

#include "common/Installation.h"
#include "platform/Launcher.h"
#include "platform/Locations.h"
#include "platform/Paths.h"
#include "platform/Registry.h"
#include "shell/MainWindow.h"
#include "ui/DesktopIcons.h"
#include "ui/QtClipboard.h"
#include "ui/QtPrompter.h"
#include "ui/QtSettingsStore.h"

namespace {

// Returns the folder of the user manual beside the program, or empty.
std::string ManualFolder(const std::string& programFolder) {
    for (const char* relative : {"/manual", "/../share/vantor/manual", "/../manual"}) {
        std::string folder = programFolder + relative;
        if (vantor::platform::FileExists(folder + "/index.html")) {
            return folder;
        }
    }
    return {};
}

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName("Vantor");
    QApplication::setWindowIcon(vantor::AppIcon());
    QApplication::setDesktopFileName("vantor");

    vantor::QtPrompter prompts;
    vantor::QtSettingsStore settings;
    const vantor::platform::Launcher launcher;
    vantor::QtClipboard clipboard;
    vantor::Installation installation(vantor::platform::SystemRegistry());

    vantor::Services services;
    services.prompts = &prompts;
    services.settings = &settings;
    services.launcher = &launcher;
    services.clipboard = &clipboard;
    services.openDocument = [](const std::string& path) {
        return QDesktopServices::openUrl(QUrl::fromLocalFile(vantor::Q(path)))
                   ? std::string()
                   : "Cannot open " + path;
    };
    services.processEvents = [] { QApplication::processEvents(); };
    services.installation = &installation;
    services.systemInfoPrograms = {"hardinfo2", "hardinfo", "kinfocenter", "gnome-system-monitor"};
    services.programFolder = vantor::platform::ProgramFolder();
    services.manualFolder = ManualFolder(services.programFolder);
    services.documentsFolder =
        vantor::S(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
    // The command line is one file path, blanks and all.
    for (int i = 1; i < argc; ++i) {
        services.commandLine += (i > 1 ? " " : "") + std::string(argv[i]);
    }

    vantor::MainWindow window(services);
    prompts.SetParent(&window);
    window.Load();
    window.show();
    window.WelcomeIfNotInstalled();
    const int result = QApplication::exec();
    settings.Sync();
    return result;
}
