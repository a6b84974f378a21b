#pragma once

// The 3D parts of the program: the OpenGL canvas and the shape models over the
// simulator's files, which share one library of shapes and textures.

#include "view3d/View3DParts.h"

namespace vantor::view3d {

// Returns the parts every 3D window of the program draws with.
const View3DParts& OpenGLParts();

}  // namespace vantor::view3d
