#pragma once

// A main window on the offscreen platform with every outside seam faked: scripted
// prompts, settings in memory, a registry of fixed values, a launcher that records
// what it would start, and dialogs run by the test.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "ScriptedPrompter.h"
#include "TempFolder.h"
#include "common/Clipboard.h"
#include "common/Installation.h"
#include "shell/MainWindow.h"

namespace testing_support {

// A clipboard that holds its text in memory.
class FakeClipboard : public vantor::Clipboard {
public:
    [[nodiscard]] std::string Text() const override { return m_text; }
    void SetText(const std::string& text) override { m_text = text; }

private:
    std::string m_text;
};

inline QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

class ShellTest : public testing::Test {
protected:
    using RegistryRoot = vantor::platform::RegistryRoot;

    ShellTest() {
        m_registered = (m_folder.Path() / "Registered").string();
        std::filesystem::create_directories(std::filesystem::path(m_registered) / "Trains");
        UseRegistry({{vantor::kMSTSRegistryKey, m_registered}});
        m_services.prompts = &m_prompts;
        m_services.settings = &m_settings;
        m_services.launcher = &m_launcher;
        m_services.clipboard = &m_clipboard;
        m_services.processEvents = [] { QCoreApplication::processEvents(); };
        m_services.runDialog = [this](QDialog& dialog) {
            return m_onDialog ? m_onDialog(dialog) : int(QDialog::Rejected);
        };
        m_services.openDocument = [this](const std::string& path) {
            m_opened.push_back(path);
            return m_openError;
        };
        m_services.programFolder = m_folder.Path().string();
        m_services.installation = &m_installation;
    }

    void UseRegistry(std::map<std::string, std::string> values) {
        vantor::platform::RegistrySource source;
        source.getString = [values](RegistryRoot, std::string_view key, std::string_view) {
            const auto found = values.find(std::string(key));
            return found == values.end() ? std::string() : found->second;
        };
        source.toHostPath = [](std::string_view path) { return std::string(path); };
        m_installation = vantor::Installation(source);
    }

    // An installation folder with consists of these names.
    std::string MakeInstallation(const std::string& name,
                                 std::initializer_list<const char*> consists) {
        const auto root = m_folder.Path() / name;
        for (const char* consist : consists) {
            MakeFile(root / "Trains" / "Consists" / (std::string(consist) + ".con"), "Train ( )");
        }
        std::filesystem::create_directories(root / "Trains" / "Consists");
        return root.string();
    }

    std::unique_ptr<vantor::MainWindow> Start(const std::string& commandLine = "") {
        m_services.commandLine = commandLine;
        auto window = std::make_unique<vantor::MainWindow>(m_services);
        window->Load();
        window->show();
        return window;
    }

    static std::vector<std::string> Captions(const vantor::MainWindow& window) {
        std::vector<std::string> captions;
        for (QMdiSubWindow* sub : window.Area()->subWindowList(QMdiArea::CreationOrder)) {
            captions.push_back(sub->windowTitle().toStdString());
        }
        return captions;
    }

    static void Trigger(vantor::MainWindow& window, const char* action) {
        auto* found = window.findChild<QAction*>(action);
        ASSERT_NE(found, nullptr) << action;
        found->trigger();
    }

protected:
    TempFolder m_folder;
    vantor::Installation m_installation;
    std::string m_registered;
    ScriptedPrompter m_prompts;
    FakeClipboard m_clipboard;
    vantor::MemorySettingsStore m_settings;
    std::vector<std::vector<std::string>> m_spawned;
    std::string m_spawnError;
    vantor::platform::Launcher m_launcher{
        [](std::string_view name) {
            return name == "wine" ? std::string("/usr/bin/wine") : std::string();
        },
        [this](const std::vector<std::string>& command, const std::string&, bool) {
            m_spawned.push_back(command);
            return m_spawnError;
        }};
    std::function<int(QDialog&)> m_onDialog;
    std::vector<std::string> m_opened;
    std::string m_openError;
    vantor::Services m_services;
};

}  // namespace testing_support
