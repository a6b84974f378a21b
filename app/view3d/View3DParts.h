#pragma once

// What a 3D window draws with: a canvas widget and the shape models. The program
// gives the OpenGL canvas and the models over the simulator's files; tests give
// recording fakes.

#include <functional>

#include "view3d/ShapeCanvas.h"
#include "view3d/TSView.h"

class QWidget;

namespace vantor::view3d {

// A canvas as a widget: the same object seen as the widget to lay out and as the
// canvas to draw on.
struct CanvasWidget {
    QWidget* widget = nullptr;
    ShapeCanvas* canvas = nullptr;
};

struct View3DParts {
    // Makes a canvas inside parent.
    std::function<CanvasWidget(QWidget* parent)> newCanvas;
    ModelFactory newModel;
};

}  // namespace vantor::view3d
