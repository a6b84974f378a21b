#pragma once

// The recording canvas as a widget, and 3D parts that make it, for window tests
// that run without OpenGL.

#include <QWidget>
#include <memory>
#include <vector>

#include "FakeView3D.h"
#include "view3d/View3DParts.h"

namespace testing_support {

class FakeCanvasWidget : public QWidget, public FakeCanvas {
public:
    FakeCanvasWidget(Journal& journal, QWidget* parent) : QWidget(parent), FakeCanvas(journal) {}
};

// 3D parts whose canvases and models record into one journal.
struct FakeParts {
    Journal journal;
    FakeCanvasWidget* lastCanvas = nullptr;
    vantor::view3d::View3DParts parts{
        [this](QWidget* parent) {
            lastCanvas = new FakeCanvasWidget(journal, parent);
            return vantor::view3d::CanvasWidget{lastCanvas, lastCanvas};
        },
        FakeModels(journal)};
};

}  // namespace testing_support
