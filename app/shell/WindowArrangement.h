#pragma once

// The arrangement of the main window's child windows and the main window's own
// place, which the settings keep in twips.

#include <Qt>

#include "shell/ShellCommands.h"
#include "shell/StartupSettings.h"

class QMainWindow;
class QMdiArea;

namespace vantor {

// Arranges the windows of an MDI area as the Window menu asks and remembers the
// last arrangement, so that locked tiling can tile again.
class WindowArranger {
public:
    explicit WindowArranger(QMdiArea* area) : m_area(area) {}

    // Arranges the child windows and remembers the arrangement.
    void Arrange(Arrangement arrangement);
    [[nodiscard]] Arrangement Last() const { return m_last; }
    // Tiles again when tiling is locked and the last arrangement was a tiling.
    void Retile(bool lockTiling);

private:
    // Tiles the windows that are not minimised in bands: stacked one above the other
    // (Qt::Vertical, "Tile Horizontal") or side by side (Qt::Horizontal, "Tile Vertical").
    void Tile(Qt::Orientation orientation);
    // Lines the minimised windows up along the bottom of the area.
    void ArrangeIcons();

    QMdiArea* m_area;
    Arrangement m_last = Arrangement::Cascade;
};

// Places and sizes a window from a placement in twips.
void PlaceWindow(QMainWindow& window, const WindowPlacement& placement);
// Returns a window's place and size in twips.
WindowPlacement PlacementOf(const QMainWindow& window);

}  // namespace vantor
