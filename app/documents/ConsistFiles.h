#pragma once

// The main window's operations on consist files, without widgets: saving the
// consist of a window (choosing a name, protecting an existing file), copying,
// deleting and pasting consist files of the consist list, the temporary consist,
// and associating consist files with the program. They ask through a Prompter.

#include <optional>
#include <string>

#include "common/Clipboard.h"
#include "common/ConsistSaveTarget.h"
#include "common/Prompter.h"
#include "documents/ConsistEditor.h"
#include "platform/Launcher.h"

namespace vantor {

// The titles and texts of the save operation.
inline constexpr const char* kSaveConsistTitle = "Save Consist";
inline constexpr const char* kSaveConsistAsTitle = "Save Consist As";
inline constexpr const char* kConsistFilter = "Consist Files (*.con)|*.con|All Files (*.*)|*.*";

// Returns the message for a name chosen in a file dialog that holds "*" or "?".
std::string WildcardNameMessage(const std::string& path);

// How a save operation ended.
enum class SaveOutcome { Saved, Cancelled, Failed };

// Saves a window's consist: asks for a file when needed (the dialog starting in
// startFolder) and before overwriting one, then calls its SaveForm; the old file
// is replaced by the save, never deleted first.
SaveOutcome SaveCurrentConsist(ConsistSaveTarget& target, bool quiet, Prompter& prompts,
                               const std::string& startFolder = {});

// The question asked before the first save over a consist file that ended inside an item.
std::string TruncatedSaveQuestion(const std::string& fileName);

// Writes an editor's consist as a window's SaveForm does, saying so unless quiet and
// showing any failure; returns true when written. Before the first save over a
// file that ended inside an item it asks, and writes nothing unless told Yes.
bool SaveConsistForm(ConsistEditor& editor, const std::string& fileName, bool quiet,
                     Prompter& prompts);

// Returns the path of a consist of an installation: "\Trains\Consists\" + name + ".con".
std::string ConsistPath(const std::string& installFolder, const std::string& name);

// Edit, Copy: puts the selected consist's name, if any, on the clipboard.
void CopyConsist(const std::optional<std::string>& selected, Clipboard& clipboard);

// Edit, Cut: asks, then deletes the selected consist's file; returns true when deleted.
bool CutConsist(const std::string& installFolder, const std::optional<std::string>& selected,
                Prompter& prompts);

// Edit, Paste: copies the clipboard's consist under a typed name; returns the new
// file's path, empty when nothing was copied.
std::string PasteConsist(const std::string& installFolder, const Clipboard& clipboard,
                         Prompter& prompts);

// Returns why a consist name cannot be a file name, empty when it can.
std::string ConsistNameProblem(const std::string& name);

// Returns the temporary consist: in the program's folder if writable, else in the cache.
std::string TemporaryConsistPath(const std::string& programFolder, const std::string& cacheFolder);

// What associating consist files with the program needs.
struct AssociationSetup {
    Prompter* prompts = nullptr;
    // Starts the registration programs (or the batch file) without a shell.
    const platform::Launcher* launcher = nullptr;
    // Finds a program on the search path; the update programs run only when found.
    platform::ProgramFinder findProgram = platform::FindOnPath;
    // The program to associate, a full path.
    std::string programFile;
    // The user's data folder ($XDG_DATA_HOME, else ~/.local/share).
    std::string dataFolder;
    // True: write and run the Windows batch file beside the program.
    bool windows = false;
};

// The MIME type and the desktop entry that associate consist files on Linux.
inline constexpr const char* kConsistMimeType = "application/x-msts-consist";
inline constexpr const char* kDesktopEntryName = "vantor.desktop";

// Returns the user's data folder: XDG_DATA_HOME when absolute, else ~/.local/share.
std::string UserDataFolder();

// Returns the setup for the running program on this system.
AssociationSetup DefaultAssociationSetup(Prompter& prompts, const platform::Launcher& launcher);

// Returns the two lines of the Windows association batch file, each ended by CR LF.
std::string AssociationBatchText(const std::string& programFolder, const std::string& programName);

// Edit, Set File Associations: asks, registers consist files for the user, and reports.
void SetFileAssociations(const AssociationSetup& setup);

}  // namespace vantor
