#include "documents/ConsistFiles.h"

#include <algorithm>
#include <cctype>
#include <exception>
#include <filesystem>
#include <fstream>
#include <random>
#include <stdexcept>
#include <system_error>
#include <vector>

#include "common/Text.h"
#include "platform/Locations.h"
#include "platform/Paths.h"

namespace vantor {

namespace {

namespace fs = std::filesystem;

constexpr const char* kDeleteTitle = "Delete";
constexpr const char* kPasteTitle = "Paste";
constexpr const char* kCopyConsistTitle = "Copy Consist";
constexpr const char* kAssociationQuestionTitle = "Set File Association";
constexpr const char* kAssociationTitle = "Set Association";
constexpr const char* kTemporaryConsistName = "Temporary Consist.con";

fs::path FromUtf8(const std::string& text) {
    return platform::Utf8Path(text);
}

std::string ToUtf8(const fs::path& path) {
    return platform::Utf8Text(path);
}

std::string Join(const std::string& folder, const std::string& name) {
    return ToUtf8(FromUtf8(folder) / FromUtf8(name));
}

// Returns true when an ordinary file stands at a Windows-style path.
bool IsFile(const std::string& path) {
    return platform::ResolvePath(path).has_value() && !platform::FolderExists(path);
}

// Returns true when a file can be created in a folder.
bool FolderWritable(const std::string& folder) {
    const fs::path probe =
        FromUtf8(folder) / (".vantor-write-test-" + std::to_string(std::random_device{}()));
    bool written = false;
    {
        std::ofstream stream(probe, std::ios::binary);
        written = stream.is_open() && static_cast<bool>(stream << "x") &&
                  static_cast<bool>(stream.flush());
    }
    std::error_code ignored;
    fs::remove(probe, ignored);
    return written;
}

// Writes a text file whole, replacing it; throws std::runtime_error when it fails.
void WriteTextFile(const std::string& path, const std::string& text) {
    std::ofstream stream(FromUtf8(path), std::ios::binary | std::ios::trunc);
    if (!stream.is_open()) {
        throw std::runtime_error("Cannot create " + path);
    }
    stream << text;
    stream.close();
    if (!stream) {
        throw std::runtime_error("Cannot write " + path);
    }
}

// Returns one argument of a desktop entry's Exec line, quoted and escaped as it needs.
std::string ExecArgument(const std::string& argument) {
    const bool quote = argument.find_first_of(" \t\n\"'\\><~|&;$*?#()`") != std::string::npos;
    std::string command;
    for (const char c : argument) {
        if (quote && (c == '"' || c == '`' || c == '$' || c == '\\')) {
            command += '\\';
        }
        command += c == '%' ? std::string("%%") : std::string(1, c);
    }
    if (quote) {
        command = "\"" + command + "\"";
    }
    std::string value;
    for (const char c : command) {
        value += c == '\\' ? std::string("\\\\") : std::string(1, c);
    }
    return value;
}

std::string MimePackageText() {
    return std::string(
               "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
               "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
               "  <mime-type type=\"") +
           kConsistMimeType +
           "\">\n"
           "    <comment>Microsoft Train Simulator consist</comment>\n"
           "    <glob pattern=\"*.con\"/>\n"
           "    <glob pattern=\"*.CON\"/>\n"
           "  </mime-type>\n"
           "</mime-info>\n";
}

std::string DesktopEntryText(const std::string& programFile) {
    return "[Desktop Entry]\n"
           "Type=Application\n"
           "Name=Vantor\n"
           "Comment=Consist manager for Microsoft Train Simulator\n"
           "Exec=" +
           ExecArgument(programFile) + " %f\n" + "Icon=vantor\n" + "MimeType=" + kConsistMimeType +
           ";\n" + "Terminal=false\n";
}

// Starts a program by name; throws std::runtime_error when it cannot be started.
void Start(const AssociationSetup& setup, const std::string& program,
           std::vector<std::string> arguments, const std::string& context = {}) {
    platform::LaunchRequest request;
    request.program = program;
    request.arguments = std::move(arguments);
    request.hidden = true;
    const platform::LaunchResult result = setup.launcher->Start(request);
    if (!result.started) {
        throw std::runtime_error(context + result.error);
    }
}

void AssociateOnLinux(const AssociationSetup& setup) {
    if (setup.dataFolder.empty()) {
        throw std::runtime_error("The user's data folder is not known (HOME is not set).");
    }
    const std::string mimeFolder = Join(setup.dataFolder, "mime");
    const std::string packages = Join(mimeFolder, "packages");
    const std::string applications = Join(setup.dataFolder, "applications");
    platform::CreateFolders(packages);
    platform::CreateFolders(applications);
    WriteTextFile(Join(packages, "vantor-consist.xml"), MimePackageText());
    WriteTextFile(Join(applications, kDesktopEntryName), DesktopEntryText(setup.programFile));
    if (!setup.findProgram("update-mime-database").empty()) {
        Start(setup, "update-mime-database", {mimeFolder});
    }
    if (!setup.findProgram("update-desktop-database").empty()) {
        Start(setup, "update-desktop-database", {applications});
    }
    Start(setup, "xdg-mime", {"default", kDesktopEntryName, kConsistMimeType},
          "Consist files are registered, but Vantor could not be made the program that opens "
          "them: ");
}

void AssociateOnWindows(const AssociationSetup& setup) {
    std::string program(setup.programFile);
    const std::size_t slash = program.find_last_of("\\/");
    const std::string folder =
        slash == std::string::npos ? std::string() : program.substr(0, slash);
    std::string name = slash == std::string::npos ? program : program.substr(slash + 1);
    if (const std::size_t dot = name.rfind('.'); dot != std::string::npos) {
        name.resize(dot);
    }
    const std::string batch = folder + "\\SetAssoc.bat";
    if (IsFile(batch)) {
        platform::RemoveFile(*platform::ResolvePath(batch));
    }
    WriteTextFile(platform::HostPath(batch), AssociationBatchText(folder, name));
    Start(setup, batch, {});
}

const char* const kReservedNames[] = {
    "CON",  "PRN",  "AUX",  "NUL",  "COM1", "COM2", "COM3", "COM4", "COM5", "COM6", "COM7",
    "COM8", "COM9", "LPT1", "LPT2", "LPT3", "LPT4", "LPT5", "LPT6", "LPT7", "LPT8", "LPT9"};

}  // namespace

std::string WildcardNameMessage(const std::string& path) {
    return path + " cannot be a file name: \"*\" and \"?\" stand for other names.";
}

SaveOutcome SaveCurrentConsist(ConsistSaveTarget& target, bool quiet, Prompter& prompts,
                               const std::string& startFolder) {
    for (;;) {
        std::string path = target.FileName();
        if (path.empty()) {
            FileDialogRequest request;
            request.title = kSaveConsistAsTitle;
            request.filter = kConsistFilter;
            request.fileName = "*.con";
            request.folder = startFolder;
            path = prompts.SaveFileName(request);
            // The dialog gives its folder with the name, so the start name pressed
            // unchanged comes back as "<folder>/*.con".
            const std::string name = AnyFileNamePart(path);
            if (name.empty() || name == "*.con") {
                return SaveOutcome::Cancelled;
            }
            if (HasWildcard(name)) {
                prompts.Message(MessageIcon::Critical, kSaveConsistTitle,
                                WildcardNameMessage(path));
                continue;
            }
            // A consist file needs its extension: without it the file has no type
            // and is written without the consist's header line.
            if (name.find('.') == std::string::npos) {
                path += ".con";
            }
        }
        if (IsFile(path)) {
            const Answer answer =
                prompts.Message(MessageIcon::Question, kSaveConsistTitle,
                                path + " already exists.  Do you want to overwrite it?",
                                MessageButtons::YesNoCancel);
            if (answer == Answer::No) {
                target.SetFileName({});
                continue;
            }
            if (answer != Answer::Yes) {
                prompts.Message(MessageIcon::Critical, kSaveConsistTitle,
                                "Save of " + path + " cancelled by user!");
                return SaveOutcome::Cancelled;
            }
        }
        target.SetFileName(path);
        if (!quiet) {
            target.SetCaption("Consist - " + path);
        }
        return target.SaveForm(quiet) ? SaveOutcome::Saved : SaveOutcome::Failed;
    }
}

std::string TruncatedSaveQuestion(const std::string& fileName) {
    return fileName +
           " ends inside an item, so only the vehicles before that point were read.  Saving "
           "writes only those over the file.  Do you want to save it?";
}

bool SaveConsistForm(ConsistEditor& editor, const std::string& fileName, bool quiet,
                     Prompter& prompts) {
    if (fileName.empty()) {
        return false;
    }
    if (editor.Truncated() && !editor.TruncationAccepted() &&
        platform::HostPath(fileName) == platform::HostPath(editor.LoadedFrom())) {
        if (prompts.Message(MessageIcon::Exclamation, kSaveConsistTitle,
                            TruncatedSaveQuestion(fileName),
                            MessageButtons::YesNo) != Answer::Yes) {
            return false;
        }
        editor.AcceptTruncation();
    }
    try {
        editor.Save(fileName);
    } catch (const std::exception& e) {
        prompts.Message(MessageIcon::Critical, kSaveConsistTitle, e.what());
        return false;
    }
    if (!quiet) {
        prompts.Message(MessageIcon::Information, kSaveConsistTitle, fileName + " saved");
    }
    return true;
}

std::string ConsistPath(const std::string& installFolder, const std::string& name) {
    return installFolder + "\\Trains\\Consists\\" + name + ".con";
}

void CopyConsist(const std::optional<std::string>& selected, Clipboard& clipboard) {
    if (selected) {
        clipboard.SetText(*selected);
    }
}

bool CutConsist(const std::string& installFolder, const std::optional<std::string>& selected,
                Prompter& prompts) {
    if (!selected) {
        prompts.Message(MessageIcon::Critical, kDeleteTitle, "No consist is selected.");
        return false;
    }
    const std::string path = ConsistPath(installFolder, *selected);
    if (!IsFile(path)) {
        return false;
    }
    if (prompts.Message(MessageIcon::Question, kDeleteTitle, "Delete " + path + " ?",
                        MessageButtons::YesNo) != Answer::Yes) {
        return false;
    }
    try {
        platform::RemoveFile(platform::ResolvePath(path).value_or(path));
    } catch (const std::exception& e) {
        prompts.Message(MessageIcon::Critical, kDeleteTitle, e.what());
        return false;
    }
    return true;
}

std::string ConsistNameProblem(const std::string& name) {
    const bool badCharacter = std::any_of(name.begin(), name.end(), [](char c) {
        return static_cast<unsigned char>(c) < 0x20 ||
               std::string_view("\\/:*?\"<>|").find(c) != std::string_view::npos;
    });
    if (badCharacter) {
        return "\"" + name +
               "\" cannot be a consist name: a file name cannot hold a folder separator, any "
               "of : * ? \" < > | or a control character.";
    }
    std::string upper = name.substr(0, name.find('.'));
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    for (const char* reserved : kReservedNames) {
        if (upper == reserved) {
            return "\"" + name + "\" cannot be a consist name: Windows keeps the name " + reserved +
                   " for a device.";
        }
    }
    return {};
}

std::string PasteConsist(const std::string& installFolder, const Clipboard& clipboard,
                         Prompter& prompts) {
    const std::string name = clipboard.Text();
    const std::string answer =
        prompts.Input("Enter new consist name:", kCopyConsistTitle, "Copy of " + name);
    if (answer.empty()) {
        return {};
    }
    if (const std::string problem = ConsistNameProblem(answer); !problem.empty()) {
        prompts.Message(MessageIcon::Critical, kPasteTitle, problem);
        return {};
    }
    const std::string source = ConsistPath(installFolder, name);
    std::string target = ConsistPath(installFolder, answer);
    if (IsFile(target) && prompts.Message(MessageIcon::Question, kCopyConsistTitle,
                                          target + " already exists.  Do you want to overwrite it?",
                                          MessageButtons::YesNo) != Answer::Yes) {
        return {};
    }
    try {
        platform::FileCopy(source, target);
    } catch (const std::exception& e) {
        prompts.Message(MessageIcon::Critical, kPasteTitle, e.what());
        return {};
    }
    prompts.Message(MessageIcon::Information, kPasteTitle, "Created " + target);
    return target;
}

std::string TemporaryConsistPath(const std::string& programFolder, const std::string& cacheFolder) {
    if (!programFolder.empty() && FolderWritable(programFolder)) {
        return Join(programFolder, kTemporaryConsistName);
    }
    const std::string folder = Join(cacheFolder, "Vantor");
    try {
        platform::CreateFolders(folder);
    } catch (const std::exception&) {
        // The save that follows reports the folder that cannot be made.
    }
    return Join(folder, kTemporaryConsistName);
}

std::string UserDataFolder() {
#if defined(_WIN32)
    return platform::EnvironmentVariable("APPDATA");
#else
    std::string data = platform::EnvironmentVariable("XDG_DATA_HOME");
    if (!data.empty() && FromUtf8(data).is_absolute()) {
        return data;
    }
    const std::string home = platform::HomeFolder();
    return home.empty() ? std::string() : Join(Join(home, ".local"), "share");
#endif
}

AssociationSetup DefaultAssociationSetup(Prompter& prompts, const platform::Launcher& launcher) {
    AssociationSetup setup;
    setup.prompts = &prompts;
    setup.launcher = &launcher;
    setup.programFile = platform::ProgramFile();
    setup.dataFolder = UserDataFolder();
#if defined(_WIN32)
    setup.windows = true;
#endif
    return setup;
}

std::string AssociationBatchText(const std::string& programFolder, const std::string& programName) {
    return "assoc .con=con_auto_file\r\nftype con_auto_file=" + programFolder + "\\" + programName +
           ".exe %%1 %%*\r\n";
}

void SetFileAssociations(const AssociationSetup& setup) {
    Prompter& prompts = *setup.prompts;
    if (prompts.Message(MessageIcon::Question, kAssociationQuestionTitle,
                        "Do you want to associate .CON files with Vantor?\r\n\r\n(Doing this will "
                        "make Vantor load when you double click on a consist file)",
                        MessageButtons::YesNo) != Answer::Yes) {
        return;
    }
    try {
        if (setup.windows) {
            AssociateOnWindows(setup);
        } else {
            AssociateOnLinux(setup);
        }
    } catch (const std::exception& e) {
        prompts.Message(MessageIcon::Critical, kAssociationTitle, e.what());
        return;
    }
    prompts.Message(MessageIcon::Information, kAssociationTitle,
                    "Consist files now associations with Vantor.");
}

}  // namespace vantor
