#pragma once

// What a document or results window needs of the window that holds it. The main
// window implements it; tests give a window a fake host.

#include <string>

#include "common/ConsistSaveTarget.h"
#include "common/DocumentMode.h"
#include "corvane/TSFileItem.h"
#include "ui/Services.h"

class QPoint;

namespace vantor::view3d {
struct View3DParts;
}  // namespace vantor::view3d

namespace vantor {

// The main window's menus that child windows show as context menus.
enum class ContextMenu { Consist, Stock };

class WindowHost {
public:
    virtual ~WindowHost() = default;

    // The program's seams: prompts, settings, installation, event loop.
    [[nodiscard]] virtual vantor::Services& Services() = 0;
    // Shows a text in the status bar's first panel.
    virtual void ShowStatus(const std::string& text) = 0;
    // Opens a document window on a file in a mode; item is the consist of a loose
    // consist window, null otherwise.
    virtual void OpenDocumentWindow(const std::string& fileName, DocumentMode mode,
                                    const std::string& caption, corvane::TSFileItemPtr item) = 0;
    // Saves a window's consist, asking for a file name when it has none and before
    // overwriting one; true when it was written.
    virtual bool SaveConsist(ConsistSaveTarget& target, bool quiet) = 0;
    // Returns where the temporary consist of View Consist goes.
    [[nodiscard]] virtual std::string TemporaryConsistPath() const = 0;
    // Shows one of the main window's menus at a point on the screen.
    virtual void PopupMenu(ContextMenu menu, const QPoint& at) = 0;
    // Opens a results window captioned "Properties of " + name that shows text.
    virtual void OpenProperties(const std::string& /*name*/, const std::string& /*text*/) {}
    // What 3D windows draw with; nullptr when this program cannot show 3D.
    [[nodiscard]] virtual const view3d::View3DParts* View3D() const { return nullptr; }
};

}  // namespace vantor
