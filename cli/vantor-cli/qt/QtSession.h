#pragma once

// The Qt side of vantor-cli: the commands that draw or write PDF start Qt only
// when they run, so the other commands never need a display.

#include <string>

namespace vantor::cli {

// Starts Qt's application object once. Without a display (no DISPLAY or
// WAYLAND_DISPLAY, no QT_QPA_PLATFORM) it uses the offscreen platform, which can
// write PDF but has no OpenGL. Returns "" when Qt runs, else why it cannot.
std::string StartQt();

}  // namespace vantor::cli
