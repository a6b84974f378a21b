#include "view3d/OffscreenRenderer.h"

#include <QGuiApplication>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFramebufferObject>
#include <QOpenGLFunctions>

#include "view3d/GLDevice.h"

namespace vantor::view3d {

OffscreenRenderer::OffscreenRenderer(int width, int height) : m_width(width), m_height(height) {
    const std::string platform = QGuiApplication::platformName().toStdString();
    m_context = std::make_unique<QOpenGLContext>();
    if (!m_context->create()) {
        m_error = "OpenGL is not available here (Qt platform \"" + platform +
                  "\"): no OpenGL context could be made";
        return;
    }
    m_surface = std::make_unique<QOffscreenSurface>();
    m_surface->setFormat(m_context->format());
    m_surface->create();
    if (!m_surface->isValid() || !m_context->makeCurrent(m_surface.get())) {
        m_error = "OpenGL is not available here (Qt platform \"" + platform +
                  "\"): the OpenGL context cannot be used";
        return;
    }
    m_framebuffer = std::make_unique<QOpenGLFramebufferObject>(
        width, height, QOpenGLFramebufferObject::CombinedDepthStencil);
    if (!m_framebuffer->isValid()) {
        m_error = "OpenGL cannot draw a picture of " + std::to_string(width) + "x" +
                  std::to_string(height) + " pixels here";
        return;
    }
    m_device =
        std::make_unique<GLDevice>([this] { return m_context->makeCurrent(m_surface.get()); });
    m_error = m_device->Initialise(m_context.get());
}

OffscreenRenderer::~OffscreenRenderer() {
    if (m_context && m_surface && m_context->makeCurrent(m_surface.get())) {
        if (m_device) {
            m_device->Release();
        }
        m_framebuffer.reset();
        m_context->doneCurrent();
    }
}

GLDevice* OffscreenRenderer::Device() {
    return m_error.empty() ? m_device.get() : nullptr;
}

bool OffscreenRenderer::Draw() {
    if (!m_error.empty() || !m_context->makeCurrent(m_surface.get())) {
        return false;
    }
    m_framebuffer->bind();
    m_device->Render(m_camera, m_width, m_height);
    m_context->functions()->glFinish();
    m_framebuffer->release();
    return true;
}

QImage OffscreenRenderer::Render() {
    if (!m_error.empty() || !m_context->makeCurrent(m_surface.get())) {
        return {};
    }
    m_framebuffer->bind();
    m_device->Render(m_camera, m_width, m_height);
    QImage picture = m_framebuffer->toImage();
    m_framebuffer->release();
    return picture;
}

}  // namespace vantor::view3d
