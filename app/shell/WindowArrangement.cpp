#include "shell/WindowArrangement.h"

#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <algorithm>
#include <cmath>

namespace vantor {

namespace {

// Returns how many twips (1/1440 inch) one pixel of a window is.
double TwipsPerPixel(const QWidget& window) {
    const int dpi = window.logicalDpiX();
    return dpi > 0 ? 1440.0 / dpi : 15.0;
}

int Pixels(float twips, double twipsPerPixel) {
    return static_cast<int>(std::lround(twips / twipsPerPixel));
}

}  // namespace

void WindowArranger::Arrange(Arrangement arrangement) {
    switch (arrangement) {
        case Arrangement::Cascade:
            m_area->cascadeSubWindows();
            break;
        case Arrangement::TileHorizontal:
            Tile(Qt::Vertical);
            break;
        case Arrangement::TileVertical:
            Tile(Qt::Horizontal);
            break;
        case Arrangement::ArrangeIcons:
            ArrangeIcons();
            break;
    }
    m_last = arrangement;
}

void WindowArranger::Retile(bool lockTiling) {
    if (RetileOnResize(lockTiling, m_last)) {
        Arrange(m_last);
    }
}

void WindowArranger::Tile(Qt::Orientation orientation) {
    QList<QMdiSubWindow*> windows;
    for (QMdiSubWindow* window : m_area->subWindowList(QMdiArea::CreationOrder)) {
        if (!window->isMinimized() && window->isVisible()) {
            windows << window;
        }
    }
    if (windows.isEmpty()) {
        return;
    }
    const QRect area = m_area->viewport()->rect();
    const int count = static_cast<int>(windows.size());
    for (int i = 0; i < count; ++i) {
        QRect band;
        if (orientation == Qt::Vertical) {
            const int top = area.height() * i / count;
            band = QRect(0, top, area.width(), area.height() * (i + 1) / count - top);
        } else {
            const int left = area.width() * i / count;
            band = QRect(left, 0, area.width() * (i + 1) / count - left, area.height());
        }
        windows[i]->showNormal();
        windows[i]->setGeometry(band);
    }
}

void WindowArranger::ArrangeIcons() {
    int x = 0;
    const int bottom = m_area->viewport()->height();
    for (QMdiSubWindow* window : m_area->subWindowList(QMdiArea::CreationOrder)) {
        if (window->isMinimized()) {
            const QSize size = window->size();
            window->move(x, bottom - size.height());
            x += size.width();
        }
    }
}

void PlaceWindow(QMainWindow& window, const WindowPlacement& placement) {
    const double twips = TwipsPerPixel(window);
    window.move(Pixels(placement.left, twips), Pixels(placement.top, twips));
    window.resize(std::max(1, Pixels(placement.width, twips)),
                  std::max(1, Pixels(placement.height, twips)));
}

WindowPlacement PlacementOf(const QMainWindow& window) {
    const double twips = TwipsPerPixel(window);
    // A maximised window keeps the place it goes back to when it is restored.
    const QRect frame = window.isMaximized() && window.normalGeometry().isValid()
                            ? window.normalGeometry()
                            : QRect(window.pos(), window.size());
    return {static_cast<float>(frame.x() * twips), static_cast<float>(frame.y() * twips),
            static_cast<float>(frame.width() * twips), static_cast<float>(frame.height() * twips)};
}

}  // namespace vantor
