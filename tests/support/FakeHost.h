#pragma once

// A host for one document or results window, standing in for the main window: it
// records what the window asks of it and saves through the scripted prompts.

#include <QPoint>
#include <string>
#include <vector>

#include "ScriptedPrompter.h"
#include "common/Installation.h"
#include "documents/ConsistFiles.h"
#include "ui/WindowHost.h"

namespace testing_support {

class FakeHost : public vantor::WindowHost {
public:
    // A window the window asked to open.
    struct Opened {
        std::string fileName;
        vantor::DocumentMode mode;
        std::string caption;
    };

    // Hosts windows on an installation folder; the temporary consist goes in temporaryFolder.
    FakeHost(const std::string& installFolder, std::string temporaryFolder)
        : m_installation(vantor::platform::RegistrySource{}),
          m_temporaryFolder(std::move(temporaryFolder)) {
        m_installation.SetMSTSPath(installFolder);
        m_services.prompts = &prompts;
        m_services.installation = &m_installation;
        m_services.programFolder = m_temporaryFolder;
    }

    vantor::Services& Services() override { return m_services; }
    void ShowStatus(const std::string& text) override { status.push_back(text); }
    void OpenDocumentWindow(const std::string& fileName, vantor::DocumentMode mode,
                            const std::string& caption, corvane::TSFileItemPtr) override {
        opened.push_back({fileName, mode, caption});
    }
    bool SaveConsist(vantor::ConsistSaveTarget& target, bool quiet) override {
        return vantor::SaveCurrentConsist(target, quiet, prompts) == vantor::SaveOutcome::Saved;
    }
    [[nodiscard]] std::string TemporaryConsistPath() const override {
        return m_temporaryFolder + "/Temporary Consist.con";
    }
    void PopupMenu(vantor::ContextMenu menu, const QPoint&) override { menus.push_back(menu); }
    void OpenProperties(const std::string& name, const std::string& text) override {
        properties.push_back({name, text});
    }
    [[nodiscard]] const vantor::view3d::View3DParts* View3D() const override { return view3d; }

    ScriptedPrompter prompts;
    std::vector<std::string> status;
    std::vector<Opened> opened;
    std::vector<vantor::ContextMenu> menus;
    // The properties windows asked for: their name and text.
    std::vector<std::pair<std::string, std::string>> properties;
    // What 3D windows draw with; none by default.
    const vantor::view3d::View3DParts* view3d = nullptr;

private:
    vantor::Installation m_installation;
    std::string m_temporaryFolder;
    vantor::Services m_services;
};

}  // namespace testing_support
