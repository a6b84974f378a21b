#pragma once

// A shape canvas without a window: it draws into an offscreen picture of a fixed
// size with the OpenGL canvas's own device, so the command line and the
// benchmarks show a consist exactly as a 3D window's first view does.

#include <QImage>
#include <string>

#include "view3d/OffscreenRenderer.h"
#include "view3d/ShapeCanvas.h"

namespace vantor::view3d {

class OffscreenCanvas : public ShapeCanvas {
public:
    OffscreenCanvas(int width, int height);

    RenderDevice* Device() override;
    std::string DeviceError() const override;
    void InitialiseDevice() override {}
    void InitialiseScene() override {}
    void ResetScene() override;
    void SetCamera(float& eyeX, float& eyeY, float& eyeZ, float& targetX, float& targetY,
                   float& targetZ, short upX, short upY, short upZ) override;
    bool BeginFrame() override;
    void EndFrame() override;
    void SetFieldOfView(int degrees) override;
    void SetViewDistance(int metres) override;
    void SetSnapshotOption(bool /*option*/) override {}
    // The snapshot goes to exactly the path given.
    void SetSnapshotLocation(const std::string& basePath) override { m_location = basePath; }
    std::string SnapshotLocation() const override { return m_location; }
    std::string SaveSnapshot() override;
    void SetEvents(CanvasEvents* /*events*/) override {}

    // Draws the last finished frame; a null image without a device.
    QImage Picture();
    // How many frames were finished.
    [[nodiscard]] int Frames() const { return m_frames; }

private:
    OffscreenRenderer m_renderer;
    std::string m_location;
    bool m_inFrame = false;
    int m_frames = 0;
};

}  // namespace vantor::view3d
