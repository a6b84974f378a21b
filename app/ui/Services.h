#pragma once

// The seams between the program and the world outside it, built once in main()
// and handed to the windows. Tests build them with fakes.

#include <QDateTime>
#include <QDialog>
#include <QLocale>
#include <functional>
#include <string>
#include <vector>

#include "common/Clipboard.h"
#include "common/Installation.h"
#include "common/Prompter.h"
#include "common/SettingsStore.h"
#include "platform/Launcher.h"

namespace vantor {

struct Services {
    Prompter* prompts = nullptr;
    SettingsStore* settings = nullptr;
    const platform::Launcher* launcher = nullptr;
    Clipboard* clipboard = nullptr;
    // Opens a document in the desktop's viewer; returns a description of the
    // failure, empty on success.
    std::function<std::string(const std::string& path)> openDocument;
    // Shows a modal dialog and returns its result.
    std::function<int(QDialog& dialog)> runDialog = [](QDialog& dialog) { return dialog.exec(); };
    // The clock and the locale whose short date and time the check reports show.
    std::function<QDateTime()> now = [] { return QDateTime::currentDateTime(); };
    QLocale locale = QLocale::system();
    // Lets pending window events run once.
    std::function<void()> processEvents;
    // The installation: its folder, the registry it and System Info read, the log.
    Installation* installation = nullptr;
    // Programs tried for System Info when the registry names none.
    std::vector<std::string> systemInfoPrograms;
    // The folder that holds the program, its file name, and its user manual.
    std::string programFolder;
    std::string executableName = "Vantor";
    std::string manualFolder;
    // The user's documents folder: check reports go there when the program's
    // folder cannot be written.
    std::string documentsFolder;
    // The command line: one optional file path, untrimmed.
    std::string commandLine;
};

}  // namespace vantor
