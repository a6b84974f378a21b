#pragma once

// Drawing without a window: an OpenGL context on an offscreen surface with a
// framebuffer of a fixed size, and the canvas's device on it. vantor-cli's
// snapshots and the benchmarks draw with it; it needs a display that offers
// OpenGL (Xvfb does), not a window.

#include <QImage>
#include <memory>
#include <string>

#include "view3d/GLSpace.h"

class QOffscreenSurface;
class QOpenGLContext;
class QOpenGLFramebufferObject;

namespace vantor::view3d {

class GLDevice;

class OffscreenRenderer {
public:
    // Prepares a picture of width x height pixels; Error() tells whether it could.
    OffscreenRenderer(int width, int height);
    ~OffscreenRenderer();
    OffscreenRenderer(const OffscreenRenderer&) = delete;
    OffscreenRenderer& operator=(const OffscreenRenderer&) = delete;

    // "" when the renderer can draw, else why it cannot.
    [[nodiscard]] const std::string& Error() const { return m_error; }
    // The device models draw with; nullptr when the renderer cannot draw.
    GLDevice* Device();
    // The camera the picture is drawn with.
    Camera& View() { return m_camera; }
    // Draws the device's finished frame and returns the picture; a null image
    // when the renderer cannot draw.
    QImage Render();
    // Draws the device's finished frame and waits until the card has drawn it,
    // without reading the picture back; false when the renderer cannot draw.
    bool Draw();

private:
    std::string m_error;
    Camera m_camera;
    int m_width;
    int m_height;
    std::unique_ptr<QOpenGLContext> m_context;
    std::unique_ptr<QOffscreenSurface> m_surface;
    std::unique_ptr<QOpenGLFramebufferObject> m_framebuffer;
    std::unique_ptr<GLDevice> m_device;
};

}  // namespace vantor::view3d
