// The main window's commands on files: opening files of every kind, saving
// consists, and the Edit commands on consist files.

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QThread>
#include <optional>

#include "common/Text.h"
#include "documents/ConsistFiles.h"
#include "documents/DocumentWindow.h"
#include "platform/Locations.h"
#include "platform/Paths.h"
#include "shell/FileOpening.h"
#include "shell/MainWindow.h"
#include "view3d/OpenGLParts.h"

namespace vantor {

namespace {

std::optional<std::string> SelectedName(const DocumentWindow& window) {
    const std::string selected = window.SelectedConsist();
    return selected.empty() ? std::nullopt : std::optional<std::string>(selected);
}

// Saves a window as Save does: a consist is written, a 3D view gives a snapshot.
bool SaveDocument(DocumentWindow& window, const std::string& screenShotDir, bool quiet) {
    if (window.Mode() == DocumentMode::Consist3D || window.Mode() == DocumentMode::Shape3D) {
        return !window.SaveSnapshot(screenShotDir).empty();
    }
    return window.SaveConsist(quiet);
}

}  // namespace

void MainWindow::OpenFile(const std::string& path) {
    try {
        OpenFileOfKind(path);
    } catch (const std::exception& e) {
        m_services.prompts->Message(MessageIcon::Critical, "Open File", e.what());
    }
}

void MainWindow::OpenFileOfKind(const std::string& path) {
    const std::string extension = OpenExtension(path);
    if (extension == "wag" || extension == "eng") {
        const StockShape shape = StockShapeOf(path, extension == "eng");
        NewDocumentWindow(shape.path, DocumentMode::Shape3D, shape.caption, nullptr);
    } else if (extension == "con") {
        NewDocumentWindow(path, DocumentMode::Consist, "Consist - " + path, nullptr);
    } else if (extension == "s") {
        NewDocumentWindow(path, DocumentMode::Shape3D, "Shape - " + path, nullptr);
    } else if (extension == "act") {
        corvane::TSFile activity(platform::HostPath(path));
        activity.Load();
        activity.SetFileName(path);
        const auto consists = LooseConsists(activity);
        const std::string answer = m_services.prompts->Input(
            LooseConsistQuestion(consists.size(), path), "Activity Loose Consists", "*");
        for (std::size_t i = 1; i <= consists.size(); ++i) {
            if (!LooseConsistChosen(answer, static_cast<int>(i))) {
                continue;
            }
            ShowStatus("Loading item " + std::to_string(i) + " of " +
                       std::to_string(consists.size()) + " from " + path);
            LetEventsRun();
            NewDocumentWindow(path, DocumentMode::Consist3D,
                              "Loose Consist " + std::to_string(i) + " from " + path,
                              consists[i - 1]);
            // Each loose consist gets half a second on screen before the next one opens.
            QThread::msleep(500);
            LetEventsRun();
        }
    } else if (extension == "w") {
        m_services.prompts->Message(MessageIcon::Critical, "Open File",
                                    "World files not supported in this version!");
    } else {
        m_services.prompts->Message(MessageIcon::Critical, "Open File", "File type not supported!");
    }
}

void MainWindow::FileOpen() {
    FileDialogRequest request;
    request.title = "Open";
    // The dialog starts where files of the active window's kind live.
    request.folder = ConsistFolder();
    if (const DocumentWindow* active = ActiveDocument()) {
        const std::string& fileName = active->FileName();
        if (active->Mode() == DocumentMode::Shape3D) {
            request.folder = DialogStartFolder(InstallFolder(), "\\Trains\\Trainset");
            request.filterIndex = 4;
        } else if (active->Mode() == DocumentMode::Consist3D && OpenExtension(fileName) == "act") {
            request.folder = platform::ResolvePath(ParentFolder(fileName)).value_or(request.folder);
            request.filterIndex = 5;
        }
    }
    request.filter =
        "Consist Files (*.con)|*.con|Wagon Files (*.wag)|*.wag|Engine Files (*.eng)|*.eng|"
        "Shape Files (*.s)|*.s|Activity Files (*.act)|*.act|All Files (*.*)|*.*";
    const std::string name = m_services.prompts->OpenFileName(request);
    if (HasWildcard(AnyFileNamePart(name))) {
        m_services.prompts->Message(MessageIcon::Critical, "Open File", WildcardNameMessage(name));
    } else if (!name.empty()) {
        OpenFile(name);
    }
}

void MainWindow::FileSaveAs() {
    DocumentWindow* window = ActiveDocument();
    if (window != nullptr && window->Mode() == DocumentMode::Consist) {
        window->SetFileName("");
        SaveCurrentConsist(false);
    }
}

void MainWindow::FileSaveAll() {
    for (DocumentWindow* document : Documents()) {
        if (auto* sub = qobject_cast<QMdiSubWindow*>(document->parentWidget())) {
            m_area->setActiveSubWindow(sub);
        }
        SaveDocument(*document, ScreenShotDir(), false);
    }
}

void MainWindow::FileClose() {
    if (QMdiSubWindow* active = m_area->activeSubWindow()) {
        active->close();
    }
}

void MainWindow::EditCopy() {
    DocumentWindow* window = ActiveDocument();
    if (window != nullptr && window->Mode() == DocumentMode::ConsistList &&
        m_services.clipboard != nullptr) {
        CopyConsist(SelectedName(*window), *m_services.clipboard);
    }
}

void MainWindow::EditCut() {
    DocumentWindow* window = ActiveDocument();
    if (window != nullptr && window->Mode() == DocumentMode::ConsistList &&
        CutConsist(InstallFolder(), SelectedName(*window), *m_services.prompts)) {
        window->SetMode(DocumentMode::ConsistList);
        window->LoadForm();
    }
}

void MainWindow::EditPaste() {
    DocumentWindow* window = ActiveDocument();
    if (window != nullptr && window->Mode() == DocumentMode::ConsistList &&
        m_services.clipboard != nullptr) {
        PasteConsist(InstallFolder(), *m_services.clipboard, *m_services.prompts);
    }
}

void MainWindow::EditSetAssociations() {
    SetFileAssociations(DefaultAssociationSetup(*m_services.prompts, *m_services.launcher));
}

bool MainWindow::SaveCurrentConsist(bool quiet) {
    DocumentWindow* window = ActiveDocument();
    return window != nullptr && SaveDocument(*window, ScreenShotDir(), quiet);
}

bool MainWindow::SaveConsist(ConsistSaveTarget& target, bool quiet) {
    return vantor::SaveCurrentConsist(target, quiet, *m_services.prompts, ConsistFolder()) ==
           SaveOutcome::Saved;
}

const view3d::View3DParts* MainWindow::View3D() const {
    return &view3d::OpenGLParts();
}

std::string MainWindow::TemporaryConsistPath() const {
    return vantor::TemporaryConsistPath(m_services.programFolder, platform::CacheFolder());
}

}  // namespace vantor
