#pragma once

// The shape canvas: the surface the 3D view draws on, its camera and its
// snapshots, and the events it raises. The OpenGL canvas (a QOpenGLWidget)
// implements it; tests drive the view's logic against a recording fake.

#include <string>

#include "view3d/RenderDevice.h"

namespace vantor::view3d {

// Mouse buttons as the canvas reports them.
inline constexpr int kLeftButton = 1;
inline constexpr int kRightButton = 2;

// What the canvas tells its owner. Mouse positions are in the canvas's pixels.
class CanvasEvents {
public:
    virtual ~CanvasEvents() = default;
    virtual void RedrawRequested() = 0;
    virtual void ViewResetRequested() = 0;
    virtual void KeyDown(
        int keyCode, int shift) = 0;  // Windows virtual-key codes (37 left, 39 right, 46 Delete)
    virtual void MouseDown(int button, int shift, float x, float y) = 0;
    virtual void MouseMove(int button, int shift, float x, float y) = 0;
    virtual void MouseUp(int button, int shift, float x, float y) = 0;
};

class ShapeCanvas {
public:
    virtual ~ShapeCanvas() = default;

    // The device models draw with; nullptr when there is no usable OpenGL.
    virtual RenderDevice* Device() = 0;
    // Why there is no device (shown to the user); empty when there is one.
    virtual std::string DeviceError() const = 0;
    // The two set-up calls: after both the canvas can draw.
    virtual void InitialiseDevice() = 0;
    virtual void InitialiseScene() = 0;
    // Forgets what the scene held (after a resize or a change of the models).
    virtual void ResetScene() = 0;
    // A look-at camera from the eye to the target with the up direction, in the
    // shape files' (left-handed) coordinates.
    virtual void SetCamera(float& eyeX, float& eyeY, float& eyeZ, float& targetX, float& targetY,
                           float& targetZ, short upX, short upY, short upZ) = 0;
    // Starts a frame; false when nothing can be drawn now (then no EndFrame).
    virtual bool BeginFrame() = 0;
    // Ends the frame the models drew into and shows it.
    virtual void EndFrame() = 0;
    // The two numeric properties set before any shape loads (50 and 600): the
    // vertical field of view in degrees and the far distance in metres.
    virtual void SetFieldOfView(int degrees) = 0;
    virtual void SetViewDistance(int metres) = 0;
    virtual void SetSnapshotOption(bool option) = 0;
    // The base path of the next snapshot; read back, the file the next snapshot
    // writes (the base name, a number that never overwrites an earlier snapshot,
    // ".png").
    virtual void SetSnapshotLocation(const std::string& basePath) = 0;
    virtual std::string SnapshotLocation() const = 0;
    // Writes a PNG of the current picture at SnapshotLocation(); returns "" when
    // written, else a text naming what went wrong.
    virtual std::string SaveSnapshot() = 0;
    // Where the canvas sends its events; nullptr stops them.
    virtual void SetEvents(CanvasEvents* events) = 0;
};

}  // namespace vantor::view3d
