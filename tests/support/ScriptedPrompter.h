#pragma once

// A Prompter that plays a script: each expected prompt with its answer, in order.
// A prompt that was not expected, or one that differs from the next expected one,
// fails the test; so do expectations left over when the object goes. Open, folder
// and print dialogs that were not expected fail and are cancelled.

#include <deque>
#include <string>

#include "common/Prompter.h"

namespace testing_support {

class ScriptedPrompter : public vantor::Prompter {
public:
    ~ScriptedPrompter() override;

    // Expects a message box with exactly these texts and answers it.
    ScriptedPrompter& ExpectMessage(vantor::MessageIcon icon, std::string title, std::string text,
                                    vantor::Answer answer = vantor::Answer::Ok,
                                    vantor::MessageButtons buttons = vantor::MessageButtons::Ok);
    // Expects a message box whose text begins with start (the rest, such as a
    // folder made while the test ran, is read back from LastMessage) and answers it.
    ScriptedPrompter& ExpectMessageStarting(vantor::MessageIcon icon, std::string title,
                                            std::string start,
                                            vantor::Answer answer = vantor::Answer::Ok);
    // Expects an input box and answers it ("" for Cancel).
    ScriptedPrompter& ExpectInput(std::string prompt, std::string title, std::string defaultAnswer,
                                  std::string answer);
    // Expects a file-open dialog with this title and answers it with a name.
    ScriptedPrompter& ExpectOpenFile(std::string title, std::string answer);
    // Expects a file-save dialog with this title and answers it with a name.
    ScriptedPrompter& ExpectSaveFile(std::string title, std::string answer);

    // Expects the print dialog with this title; accept false cancels it.
    ScriptedPrompter& ExpectPrint(std::string title, bool accept);

    // Returns true when every expected prompt came.
    [[nodiscard]] bool Done() const { return m_script.empty(); }
    // The last file dialog request seen, for checks of filters and start names.
    [[nodiscard]] const vantor::FileDialogRequest& LastFileRequest() const { return m_lastFile; }
    // The text of the last message box seen.
    [[nodiscard]] const std::string& LastMessage() const { return m_lastMessage; }
    // The last print dialog request seen.
    [[nodiscard]] const vantor::PrintRequest& LastPrintRequest() const { return m_lastPrint; }

    vantor::Answer Message(vantor::MessageIcon icon, const std::string& title,
                           const std::string& text, vantor::MessageButtons buttons) override;
    std::string Input(const std::string& prompt, const std::string& title,
                      const std::string& defaultAnswer) override;
    std::string OpenFileName(const vantor::FileDialogRequest& request) override;
    std::string SaveFileName(const vantor::FileDialogRequest& request) override;
    std::string FolderName(const std::string& title, const std::string& start) override;
    bool PrintDialog(vantor::PrintRequest& request) override;

private:
    enum class Kind { Message, Input, OpenFile, SaveFile, Folder, Print };
    struct Step {
        explicit Step(Kind k) : kind(k) {}
        Kind kind;
        vantor::MessageIcon icon = vantor::MessageIcon::None;
        vantor::MessageButtons buttons = vantor::MessageButtons::Ok;
        std::string title;
        std::string text;
        std::string defaultAnswer;
        vantor::Answer answer = vantor::Answer::Ok;
        std::string textAnswer;
        bool textIsStart = false;
    };
    Step Next(Kind kind, const std::string& what);

    std::deque<Step> m_script;
    vantor::FileDialogRequest m_lastFile;
    vantor::PrintRequest m_lastPrint;
    std::string m_lastMessage;
};

}  // namespace testing_support
