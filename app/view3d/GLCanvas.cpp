#include "view3d/GLCanvas.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLWidget>
#include <QStackedLayout>
#include <QTimer>
#include <algorithm>

#include "view3d/GLDevice.h"
#include "view3d/SnapshotFiles.h"

namespace vantor::view3d {

namespace {

// Mouse buttons as the canvas reports them (the middle button is 4).
int ButtonCode(Qt::MouseButtons buttons) {
    int code = 0;
    if (buttons.testFlag(Qt::LeftButton)) {
        code |= kLeftButton;
    }
    if (buttons.testFlag(Qt::RightButton)) {
        code |= kRightButton;
    }
    if (buttons.testFlag(Qt::MiddleButton)) {
        code |= 4;
    }
    return code;
}

}  // namespace

int VirtualKeyCode(int qtKey) {
    struct Pair {
        int qt;
        int code;
    };
    static constexpr Pair kKeys[] = {
        {Qt::Key_Backspace, 8}, {Qt::Key_Tab, 9},      {Qt::Key_Return, 13}, {Qt::Key_Enter, 13},
        {Qt::Key_Shift, 16},    {Qt::Key_Control, 17}, {Qt::Key_Alt, 18},    {Qt::Key_Pause, 19},
        {Qt::Key_Escape, 27},   {Qt::Key_Space, 32},   {Qt::Key_PageUp, 33}, {Qt::Key_PageDown, 34},
        {Qt::Key_End, 35},      {Qt::Key_Home, 36},    {Qt::Key_Left, 37},   {Qt::Key_Up, 38},
        {Qt::Key_Right, 39},    {Qt::Key_Down, 40},    {Qt::Key_Insert, 45}, {Qt::Key_Delete, 46},
        {Qt::Key_Plus, 107},    {Qt::Key_Minus, 109},
    };
    for (const Pair& pair : kKeys) {
        if (pair.qt == qtKey) {
            return pair.code;
        }
    }
    // Letters and digits have the codes of their upper-case characters.
    if ((qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) || (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)) {
        return qtKey;
    }
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24) {
        return 112 + (qtKey - Qt::Key_F1);
    }
    return 0;
}

int ShiftState(Qt::KeyboardModifiers modifiers) {
    return (modifiers.testFlag(Qt::ShiftModifier) ? 1 : 0) |
           (modifiers.testFlag(Qt::ControlModifier) ? 2 : 0) |
           (modifiers.testFlag(Qt::AltModifier) ? 4 : 0);
}

std::string ProbeOpenGL() {
    const std::string platform = QGuiApplication::platformName().toStdString();
    QOpenGLContext context;
    if (!context.create()) {
        return "OpenGL is not available here (Qt platform \"" + platform +
               "\"): no OpenGL context could be made, so nothing can be drawn in 3D.";
    }
    QOffscreenSurface surface;
    surface.setFormat(context.format());
    surface.create();
    if (!surface.isValid() || !context.makeCurrent(&surface)) {
        return "OpenGL is not available here (Qt platform \"" + platform +
               "\"): the OpenGL context cannot be used, so nothing can be drawn in 3D.";
    }
    context.doneCurrent();
    return {};
}

std::string WidgetPlatformProblem(const std::string& platform) {
    for (const char* name : {"offscreen", "minimal", "minimalegl", "vnc", "linuxfb"}) {
        if (platform == name) {
            return "OpenGL is not available here: the Qt platform \"" + platform +
                   "\" cannot show OpenGL pictures, so nothing can be drawn in 3D.";
        }
    }
    return {};
}

// The OpenGL widget inside the canvas: it paints the device's finished frame and
// passes the input on.
class GLCanvas::Surface : public QOpenGLWidget {
public:
    explicit Surface(GLCanvas& canvas) : QOpenGLWidget(&canvas), m_canvas(canvas) {
        setFocusPolicy(Qt::StrongFocus);
        setMouseTracking(true);
    }

protected:
    void initializeGL() override {
        connect(context(), &QOpenGLContext::aboutToBeDestroyed, this,
                [this] { m_canvas.SurfaceLost(); });
        m_canvas.SurfaceInitialised();
    }
    void paintGL() override {
        if (m_canvas.m_device && m_canvas.m_device->Ready()) {
            const qreal ratio = devicePixelRatioF();
            m_canvas.m_device->Render(m_canvas.m_camera, static_cast<int>(width() * ratio),
                                      static_cast<int>(height() * ratio));
        }
    }
    void showEvent(QShowEvent* event) override {
        QOpenGLWidget::showEvent(event);
        m_canvas.RequestRedraw();
    }
    void keyPressEvent(QKeyEvent* event) override {
        CanvasEvents* events = m_canvas.m_events;
        if (events == nullptr) {
            return;
        }
        if (event->key() == Qt::Key_Home) {
            events->ViewResetRequested();
        } else if (const int code = VirtualKeyCode(event->key()); code != 0) {
            events->KeyDown(code, ShiftState(event->modifiers()));
        }
    }
    void mousePressEvent(QMouseEvent* event) override {
        setFocus(Qt::MouseFocusReason);
        Mouse(event, &CanvasEvents::MouseDown, event->button());
    }
    void mouseMoveEvent(QMouseEvent* event) override {
        Mouse(event, &CanvasEvents::MouseMove, event->buttons());
    }
    void mouseReleaseEvent(QMouseEvent* event) override {
        Mouse(event, &CanvasEvents::MouseUp, event->button());
    }

private:
    void Mouse(QMouseEvent* event, void (CanvasEvents::*handler)(int, int, float, float),
               Qt::MouseButtons buttons) {
        if (CanvasEvents* events = m_canvas.m_events) {
            const QPointF position = event->position();
            (events->*handler)(ButtonCode(buttons), ShiftState(event->modifiers()),
                               static_cast<float>(position.x()), static_cast<float>(position.y()));
        }
    }

    GLCanvas& m_canvas;
};

GLCanvas::GLCanvas(QWidget* parent) : QWidget(parent) {
    m_redraw = new QTimer(this);
    m_redraw->setSingleShot(true);
    m_redraw->setInterval(0);
    connect(m_redraw, &QTimer::timeout, this, [this] {
        if (m_events != nullptr) {
            m_events->RedrawRequested();
        }
    });
    m_layout = new QStackedLayout(this);
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_message = new QLabel(this);
    m_message->setObjectName("lblCanvasMessage");
    m_message->setAlignment(Qt::AlignCenter);
    m_message->setWordWrap(true);
    m_message->setMargin(12);
    m_layout->addWidget(m_message);
    m_error = WidgetPlatformProblem(QGuiApplication::platformName().toStdString());
    if (m_error.empty()) {
        m_error = ProbeOpenGL();
    }
    if (!m_error.empty()) {
        ShowFailure(m_error);
        return;
    }
    m_device = std::make_unique<GLDevice>([this] {
        if (m_surface == nullptr || m_surface->context() == nullptr) {
            return false;
        }
        m_surface->makeCurrent();
        return true;
    });
    m_surface = new Surface(*this);
    m_layout->addWidget(m_surface);
    m_layout->setCurrentWidget(m_surface);
}

GLCanvas::~GLCanvas() {
    if (m_surface != nullptr) {
        if (m_surface->context() != nullptr) {
            SurfaceLost();
        }
        // The widget goes while the device, which its context's last signal reaches, is here.
        delete m_surface;
        m_surface = nullptr;
    }
}

void GLCanvas::SurfaceInitialised() {
    const std::string error = m_device->Initialise(m_surface->context());
    if (!error.empty()) {
        ShowFailure(error);
        return;
    }
    m_error.clear();
    m_layout->setCurrentWidget(m_surface);
}

void GLCanvas::SurfaceLost() {
    if (m_device && m_device->Ready()) {
        m_surface->makeCurrent();
        m_device->Release();
        m_surface->doneCurrent();
    }
}

void GLCanvas::ShowFailure(const std::string& error) {
    m_error = error;
    m_message->setText(QString::fromStdString(error));
    m_layout->setCurrentWidget(m_message);
}

void GLCanvas::RequestRedraw() {
    // After the paint that runs now: the owner's frame asks for another paint.
    m_redraw->start();
}

RenderDevice* GLCanvas::Device() {
    return OpenGLDevice();
}

GLDevice* GLCanvas::OpenGLDevice() {
    return m_device && m_device->Ready() ? m_device.get() : nullptr;
}

std::string GLCanvas::DeviceError() const {
    if (m_error.empty() && (!m_device || !m_device->Ready())) {
        return "The 3D view is not set up yet.";
    }
    return m_error;
}

void GLCanvas::InitialiseDevice() {
    // A canvas inside a window that is not on screen yet makes its context when
    // shown: grabbed before, inside the main window's area, its surface stayed
    // black on screen. A canvas that is a window of its own may grab.
    if (m_surface == nullptr || m_surface->context() != nullptr ||
        (window() != this && !window()->isVisible())) {
        return;
    }
    // The widget makes its context when first shown or grabbed: grab it now, so
    // that models can upload before the window appears.
    if (m_surface->size().isEmpty()) {
        m_surface->resize(std::max(1, width()), std::max(1, height()));
    }
    m_surface->grabFramebuffer();
    if (m_surface->context() == nullptr && m_error.empty()) {
        ShowFailure("OpenGL is not available here: the 3D view could not make its context.");
    }
}

void GLCanvas::InitialiseScene() {
    if (m_device) {
        m_device->ClearFrames();
    }
    m_inFrame = false;
}

void GLCanvas::ResetScene() {
    InitialiseScene();
    if (m_surface != nullptr) {
        m_surface->update();
    }
}

void GLCanvas::SetCamera(float& eyeX, float& eyeY, float& eyeZ, float& targetX, float& targetY,
                         float& targetZ, short upX, short upY, short upZ) {
    m_camera.eye = {eyeX, eyeY, eyeZ};
    m_camera.target = {targetX, targetY, targetZ};
    m_camera.up = {static_cast<float>(upX), static_cast<float>(upY), static_cast<float>(upZ)};
}

bool GLCanvas::BeginFrame() {
    GLDevice* device = OpenGLDevice();
    if (device == nullptr) {
        return false;
    }
    device->BeginFrame();
    m_inFrame = true;
    return true;
}

void GLCanvas::EndFrame() {
    if (!m_inFrame || !m_device) {
        return;
    }
    m_inFrame = false;
    m_device->EndFrame();
    m_surface->update();
}

void GLCanvas::SetFieldOfView(int degrees) {
    m_camera.fieldOfView = static_cast<float>(std::clamp(degrees, 1, 179));
}

void GLCanvas::SetViewDistance(int metres) {
    m_camera.viewDistance = static_cast<float>(std::max(metres, 1));
}

void GLCanvas::SetSnapshotOption(bool option) {
    // Kept for the callers that set it; the picture is the same either way.
    m_snapshotOption = option;
}

void GLCanvas::SetSnapshotLocation(const std::string& basePath) {
    m_snapshotBase = basePath;
}

std::string GLCanvas::SnapshotLocation() const {
    return NextSnapshotFile(m_snapshotBase);
}

QImage GLCanvas::Picture() {
    if (OpenGLDevice() == nullptr) {
        return {};
    }
    return m_surface->grabFramebuffer();
}

std::string GLCanvas::SaveSnapshot() {
    if (OpenGLDevice() == nullptr) {
        return "Cannot save the snapshot: " + DeviceError();
    }
    const QImage picture = Picture();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (picture.isNull() || !picture.convertToFormat(QImage::Format_RGB32).save(&buffer, "PNG")) {
        return "Cannot save the snapshot: the picture could not be made";
    }
    std::string written;
    return WriteSnapshotFile(m_snapshotBase, std::string_view(bytes.constData(), bytes.size()),
                             written);
}

void GLCanvas::SetEvents(CanvasEvents* events) {
    m_events = events;
}

}  // namespace vantor::view3d
