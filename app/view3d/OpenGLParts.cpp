#include "view3d/OpenGLParts.h"

#include <memory>

#include "view3d/GLCanvas.h"
#include "view3d/ShapeFileModel.h"

namespace vantor::view3d {

const View3DParts& OpenGLParts() {
    static const View3DParts parts{
        [](QWidget* parent) {
            auto* canvas = new GLCanvas(parent);
            return CanvasWidget{canvas, canvas};
        },
        [] { return std::make_unique<ShapeFileModel>(ShapeLibrary::Shared()); }};
    return parts;
}

}  // namespace vantor::view3d
