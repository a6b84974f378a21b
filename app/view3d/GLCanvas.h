#pragma once

// The OpenGL shape canvas. It holds an OpenGL widget that draws the frames its
// device records, when OpenGL can be used here; otherwise (Qt's offscreen
// platform, a driver that cannot make a context or build the shaders) it shows
// why in plain text, has no device, and never begins a frame. A QOpenGLWidget is
// made only after a context could be made: shown on a platform without OpenGL it
// would take the program down.
//
// The camera is a look-at in the shape files' space (see GLSpace.h); the first
// numeric property is the vertical field of view in degrees, the second the far
// distance in metres (nothing beyond it is drawn). Snapshots are PNG files named
// as SnapshotFiles.h tells. Events: Home asks for the view to be reset; other
// keys come as Windows virtual-key codes, mouse buttons as 1 left, 2 right,
// 4 middle, with positions in the widget's pixels.

#include <QImage>
#include <QWidget>
#include <memory>
#include <string>

#include "view3d/GLSpace.h"
#include "view3d/ShapeCanvas.h"

class QLabel;
class QStackedLayout;
class QTimer;

namespace vantor::view3d {

class GLDevice;

// Returns the Windows virtual-key code of a Qt key, or 0 for a key without one.
int VirtualKeyCode(int qtKey);
// Returns the Windows shift state of Qt's modifiers: 1 Shift, 2 Ctrl, 4 Alt.
int ShiftState(Qt::KeyboardModifiers modifiers);

class GLCanvas : public QWidget, public ShapeCanvas {
public:
    explicit GLCanvas(QWidget* parent = nullptr);
    ~GLCanvas() override;
    GLCanvas(const GLCanvas&) = delete;
    GLCanvas& operator=(const GLCanvas&) = delete;

    RenderDevice* Device() override;
    std::string DeviceError() const override;
    void InitialiseDevice() override;
    void InitialiseScene() override;
    void ResetScene() override;
    void SetCamera(float& eyeX, float& eyeY, float& eyeZ, float& targetX, float& targetY,
                   float& targetZ, short upX, short upY, short upZ) override;
    bool BeginFrame() override;
    void EndFrame() override;
    void SetFieldOfView(int degrees) override;
    void SetViewDistance(int metres) override;
    void SetSnapshotOption(bool option) override;
    void SetSnapshotLocation(const std::string& basePath) override;
    std::string SnapshotLocation() const override;
    std::string SaveSnapshot() override;
    void SetEvents(CanvasEvents* events) override;

    // The picture of the last finished frame, as a snapshot would save it; a
    // null image without a device.
    QImage Picture();
    // The camera the frames are drawn with.
    [[nodiscard]] const Camera& CurrentCamera() const { return m_camera; }
    // The device itself (for its texture settings), or nullptr.
    GLDevice* OpenGLDevice();

private:
    class Surface;
    friend class Surface;

    void SurfaceInitialised();
    void SurfaceLost();
    void ShowFailure(const std::string& error);
    void RequestRedraw();

    QStackedLayout* m_layout = nullptr;
    QLabel* m_message = nullptr;
    QTimer* m_redraw = nullptr;
    Surface* m_surface = nullptr;
    std::unique_ptr<GLDevice> m_device;
    std::string m_error;
    Camera m_camera;
    std::string m_snapshotBase;
    bool m_snapshotOption = false;
    bool m_inFrame = false;
    CanvasEvents* m_events = nullptr;
};

// Returns why OpenGL cannot be used on this platform, or "" when a context can
// be made and made current.
std::string ProbeOpenGL();

// Returns why the named Qt platform cannot show OpenGL widgets (even where it
// makes contexts, as the offscreen platform does on a display), or "".
std::string WidgetPlatformProblem(const std::string& platform);

}  // namespace vantor::view3d
