#include "view3d/OffscreenCanvas.h"

#include <QSaveFile>
#include <QString>

#include "view3d/GLDevice.h"

namespace vantor::view3d {

OffscreenCanvas::OffscreenCanvas(int width, int height) : m_renderer(width, height) {}

RenderDevice* OffscreenCanvas::Device() {
    return m_renderer.Device();
}

std::string OffscreenCanvas::DeviceError() const {
    return m_renderer.Error();
}

void OffscreenCanvas::ResetScene() {
    if (GLDevice* device = m_renderer.Device()) {
        device->ClearFrames();
    }
}

void OffscreenCanvas::SetCamera(float& eyeX, float& eyeY, float& eyeZ, float& targetX,
                                float& targetY, float& targetZ, short upX, short upY, short upZ) {
    Camera& camera = m_renderer.View();
    camera.eye = {eyeX, eyeY, eyeZ};
    camera.target = {targetX, targetY, targetZ};
    camera.up = {static_cast<float>(upX), static_cast<float>(upY), static_cast<float>(upZ)};
}

bool OffscreenCanvas::BeginFrame() {
    GLDevice* device = m_renderer.Device();
    if (device == nullptr) {
        return false;
    }
    device->BeginFrame();
    m_inFrame = true;
    return true;
}

void OffscreenCanvas::EndFrame() {
    if (GLDevice* device = m_renderer.Device(); device != nullptr && m_inFrame) {
        device->EndFrame();
        ++m_frames;
    }
    m_inFrame = false;
}

void OffscreenCanvas::SetFieldOfView(int degrees) {
    m_renderer.View().fieldOfView = static_cast<float>(degrees);
}

void OffscreenCanvas::SetViewDistance(int metres) {
    m_renderer.View().viewDistance = static_cast<float>(metres);
}

QImage OffscreenCanvas::Picture() {
    return m_renderer.Render();
}

std::string OffscreenCanvas::SaveSnapshot() {
    const QImage picture = Picture();
    if (picture.isNull()) {
        return "There is no picture to save: " + m_renderer.Error();
    }
    // The file is replaced only when the whole picture was written.
    QSaveFile file(QString::fromStdString(m_location));
    if (!file.open(QIODevice::WriteOnly) ||
        !picture.convertToFormat(QImage::Format_RGB32).save(&file, "PNG") || !file.commit()) {
        return "Cannot write " + m_location + ": " + file.errorString().toStdString();
    }
    return {};
}

}  // namespace vantor::view3d
