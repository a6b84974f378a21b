// Stock, Replace in Consists: the main window's part of replacing a stock item
// across the consists. It knows the open windows; the replacement itself and its
// questions are the documents' logic.

#include <QMdiSubWindow>
#include <algorithm>

#include "common/Text.h"
#include "documents/ConsistEditorView.h"
#include "documents/DocumentWindow.h"
#include "documents/ReplaceStock.h"
#include "documents/ReplaceStockDialog.h"
#include "platform/Paths.h"
#include "shell/MainWindow.h"
#include "ui/QtText.h"

namespace vantor {

namespace {

// Returns the consist name of a file in an installation's consists folder, or
// empty for a file elsewhere.
std::string ConsistNameIn(const std::string& installFolder, const std::string& fileName) {
    const auto folder = platform::ResolvePath(AnyParentFolder(fileName));
    const auto consists = platform::ResolvePath(installFolder + "\\Trains\\Consists");
    if (!folder || !consists || *folder != *consists) {
        return {};
    }
    std::string name = AnyFileNamePart(fileName);
    name.resize(name.size() >= 4 ? name.size() - 4 : 0);
    return name;
}

}  // namespace

std::vector<std::string> MainWindow::EditedConsists() const {
    std::vector<std::string> names;
    for (DocumentWindow* document : Documents()) {
        if (document->Mode() == DocumentMode::Consist && document->Editor().Changed()) {
            if (std::string name = ConsistNameIn(InstallFolder(), document->FileName());
                !name.empty()) {
                names.push_back(std::move(name));
            }
        }
    }
    return names;
}

void MainWindow::StockReplaceInConsists() {
    const std::string install = InstallFolder();
    Prompter& prompts = *m_services.prompts;
    // The stock row or vehicle selected in a consist window, else a file chosen.
    std::string path;
    if (DocumentWindow* active = ActiveDocument(); active != nullptr) {
        path = active->SelectedItem();
    }
    if (path.empty()) {
        path = prompts.OpenFileName({kReplaceTitle, "Engines and Wagons (*.eng;*.wag)|*.eng;*.wag",
                                     install + "\\Trains\\Trainset", "", 1, ""});
        if (path.empty()) {
            return;
        }
    }
    const std::optional<StockRow> from = StockFromPath(path);
    if (!from) {
        prompts.Message(MessageIcon::Critical, kReplaceTitle,
                        path + " is not an engine or wagon file.");
        return;
    }
    const std::vector<std::string> consists = ConsistsUsing(install, *from);
    if (consists.empty()) {
        prompts.Message(MessageIcon::Information, kReplaceTitle,
                        "No consist uses " + StockText(*from) + ".");
        return;
    }
    ReplaceStockDialog dialog(*from, consists, ScanStock(install, ""), this);
    if (m_services.runDialog(dialog) != QDialog::Accepted || !dialog.Replacement()) {
        return;
    }
    ReplaceRequest request;
    request.from = *from;
    request.to = *dialog.Replacement();
    request.only = dialog.TickedConsists();
    request.openEdited = EditedConsists();
    request.backupTime = S(m_services.now().toString("yyyy-MM-dd HH.mm.ss"));
    const auto result = ReplaceAfterAsking(install, request, prompts);
    if (!result) {
        return;
    }
    // A window that shows a changed consist without edits of its own reads it
    // again, so that a later save does not put the old stock back.
    for (DocumentWindow* document : Documents()) {
        if (document->Mode() != DocumentMode::Consist || document->Editor().Changed()) {
            continue;
        }
        const std::string name = ConsistNameIn(install, document->FileName());
        if (std::any_of(result->changed.begin(), result->changed.end(),
                        [&](const ConsistRows& changed) {
                            return !name.empty() && AsciiLower(changed.name) == AsciiLower(name);
                        })) {
            document->LoadForm();
        }
    }
}

}  // namespace vantor
