#include "ScriptedPrompter.h"

#include <gtest/gtest.h>

namespace testing_support {

using vantor::Answer;
using vantor::MessageButtons;
using vantor::MessageIcon;

namespace {
const char* KindName(int kind) {
    static const char* kNames[] = {"message box", "input box",     "open dialog",
                                   "save dialog", "folder dialog", "print dialog"};
    return kNames[kind];
}
}  // namespace

ScriptedPrompter::~ScriptedPrompter() {
    for (const Step& step : m_script) {
        ADD_FAILURE() << "expected " << KindName(static_cast<int>(step.kind)) << " \"" << step.title
                      << "\" / \"" << step.text << "\" never came";
    }
}

ScriptedPrompter& ScriptedPrompter::ExpectMessage(MessageIcon icon, std::string title,
                                                  std::string text, Answer answer,
                                                  MessageButtons buttons) {
    Step step(Kind::Message);
    step.icon = icon;
    step.buttons = buttons;
    step.title = std::move(title);
    step.text = std::move(text);
    step.answer = answer;
    m_script.push_back(std::move(step));
    return *this;
}

ScriptedPrompter& ScriptedPrompter::ExpectMessageStarting(MessageIcon icon, std::string title,
                                                          std::string start, Answer answer) {
    ExpectMessage(icon, std::move(title), std::move(start), answer);
    m_script.back().textIsStart = true;
    return *this;
}

ScriptedPrompter& ScriptedPrompter::ExpectInput(std::string prompt, std::string title,
                                                std::string defaultAnswer, std::string answer) {
    Step step(Kind::Input);
    step.text = std::move(prompt);
    step.title = std::move(title);
    step.defaultAnswer = std::move(defaultAnswer);
    step.textAnswer = std::move(answer);
    m_script.push_back(std::move(step));
    return *this;
}

ScriptedPrompter& ScriptedPrompter::ExpectOpenFile(std::string title, std::string answer) {
    Step step(Kind::OpenFile);
    step.title = std::move(title);
    step.textAnswer = std::move(answer);
    m_script.push_back(std::move(step));
    return *this;
}

ScriptedPrompter& ScriptedPrompter::ExpectSaveFile(std::string title, std::string answer) {
    Step step(Kind::SaveFile);
    step.title = std::move(title);
    step.textAnswer = std::move(answer);
    m_script.push_back(std::move(step));
    return *this;
}

ScriptedPrompter& ScriptedPrompter::ExpectPrint(std::string title, bool accept) {
    Step step(Kind::Print);
    step.title = std::move(title);
    step.answer = accept ? Answer::Ok : Answer::Cancel;
    m_script.push_back(std::move(step));
    return *this;
}

ScriptedPrompter::Step ScriptedPrompter::Next(Kind kind, const std::string& what) {
    if (m_script.empty()) {
        ADD_FAILURE() << "unexpected " << KindName(static_cast<int>(kind)) << ": " << what;
        Step none(kind);
        none.answer = Answer::Cancel;
        return none;
    }
    Step step = m_script.front();
    m_script.pop_front();
    if (step.kind != kind) {
        ADD_FAILURE() << "expected " << KindName(static_cast<int>(step.kind)) << " \"" << step.title
                      << "\" but got " << KindName(static_cast<int>(kind)) << ": " << what;
    }
    return step;
}

Answer ScriptedPrompter::Message(MessageIcon icon, const std::string& title,
                                 const std::string& text, MessageButtons buttons) {
    m_lastMessage = text;
    const Step step = Next(Kind::Message, title + " / " + text);
    EXPECT_EQ(title, step.title);
    EXPECT_EQ(step.textIsStart ? text.substr(0, step.text.size()) : text, step.text);
    EXPECT_EQ(static_cast<int>(icon), static_cast<int>(step.icon)) << "icon of \"" << text << "\"";
    EXPECT_EQ(static_cast<int>(buttons), static_cast<int>(step.buttons))
        << "buttons of \"" << text << "\"";
    return step.answer;
}

std::string ScriptedPrompter::Input(const std::string& prompt, const std::string& title,
                                    const std::string& defaultAnswer) {
    const Step step = Next(Kind::Input, title + " / " + prompt);
    EXPECT_EQ(prompt, step.text);
    EXPECT_EQ(title, step.title);
    EXPECT_EQ(defaultAnswer, step.defaultAnswer);
    return step.textAnswer;
}

std::string ScriptedPrompter::OpenFileName(const vantor::FileDialogRequest& request) {
    m_lastFile = request;
    const Step step = Next(Kind::OpenFile, request.title);
    EXPECT_EQ(request.title, step.title);
    return step.textAnswer;
}

std::string ScriptedPrompter::SaveFileName(const vantor::FileDialogRequest& request) {
    m_lastFile = request;
    const Step step = Next(Kind::SaveFile, request.title);
    EXPECT_EQ(request.title, step.title);
    return step.textAnswer;
}

std::string ScriptedPrompter::FolderName(const std::string& title, const std::string& start) {
    Next(Kind::Folder, title + " from " + start);
    return {};
}

bool ScriptedPrompter::PrintDialog(vantor::PrintRequest& request) {
    m_lastPrint = request;
    const Step step = Next(Kind::Print, request.title);
    EXPECT_EQ(request.title, step.title);
    return step.kind == Kind::Print && step.answer == Answer::Ok;
}

}  // namespace testing_support
