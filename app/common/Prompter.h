#pragma once

// The one way the program asks the user anything: message boxes, input boxes,
// file and folder dialogs and the print dialog. The windows use the Qt
// implementation; tests script the answers.

#include <string>
#include <vector>

namespace vantor {

enum class MessageIcon { None, Critical, Question, Exclamation, Information };

enum class MessageButtons { Ok, OkCancel, YesNo, YesNoCancel, RetryCancel };

enum class Answer { Ok, Cancel, Yes, No, Retry };

// A file dialog: its title, its filter list ("Description|pattern|..." pairs),
// the folder and name it starts with, and the filter selected first (1-based).
struct FileDialogRequest {
    std::string title;
    std::string filter;
    std::string folder;
    std::string fileName;
    int filterIndex = 1;
    std::string defaultExtension;
};

// What the print dialog starts with and what the user chose in it.
struct PrintRequest {
    std::string title;
    int maxPage = 0;   // 0 when the page count is unknown
    int fromPage = 0;  // 0: all pages
    int toPage = 0;
    int copies = 1;
    std::string printerName;  // empty: the default printer
    std::string outputFile;   // not empty: print to this PDF file
    // The paper chosen, in millimetres; 0 when the printer's own is kept.
    double pageWidthMm = 0;
    double pageHeightMm = 0;
    bool landscape = false;
};

class Prompter {
public:
    virtual ~Prompter() = default;

    // Shows a message box and returns the button pressed.
    virtual Answer Message(MessageIcon icon, const std::string& title, const std::string& text,
                           MessageButtons buttons = MessageButtons::Ok) = 0;
    // Asks for a line of text; Cancel gives an empty answer.
    virtual std::string Input(const std::string& prompt, const std::string& title,
                              const std::string& defaultAnswer) = 0;
    // Asks for a file to open; empty when cancelled.
    virtual std::string OpenFileName(const FileDialogRequest& request) = 0;
    // Asks for a file to save to; empty when cancelled.
    virtual std::string SaveFileName(const FileDialogRequest& request) = 0;
    // Asks for a folder; empty when cancelled.
    virtual std::string FolderName(const std::string& title, const std::string& start) = 0;
    // Shows the print dialog and fills in the choices; false when cancelled.
    virtual bool PrintDialog(PrintRequest& request) = 0;
};

// Splits a filter list "Description|pattern|Description|pattern" into its pairs.
std::vector<std::pair<std::string, std::string>> FilterPairs(const std::string& filter);

}  // namespace vantor
