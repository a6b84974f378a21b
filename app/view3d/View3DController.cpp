#include "view3d/View3DController.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <utility>

#include "common/Prompter.h"
#include "platform/Paths.h"
#include "view3d/ConsistLayout.h"

namespace vantor::view3d {

namespace {

constexpr float kCameraSide = 10;
constexpr float kCameraHeight = 2;
constexpr int kFieldOfView = 50;
constexpr int kViewDistance = 600;

// Marks a render as running, and drops the view afterwards when the window was
// closed while it ran.
class BusyScope {
public:
    BusyScope(bool& busy, std::function<void()> whenClosed)
        : m_busy(busy), m_whenClosed(std::move(whenClosed)) {
        m_busy = true;
    }
    ~BusyScope() {
        m_busy = false;
        m_whenClosed();
    }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    bool& m_busy;
    std::function<void()> m_whenClosed;
};

// Returns true when a file can be created in folder.
bool FolderWritable(const std::string& folder) {
    if (folder.empty() || !platform::FolderExists(folder)) {
        return false;
    }
    const std::filesystem::path probe =
        std::filesystem::path(platform::HostPath(folder)) /
        (".vantor-write-test-" + std::to_string(NextViewIdentity()));
    {
        std::ofstream out(probe, std::ios::binary);
        if (!out) {
            return false;
        }
    }
    std::error_code ignored;
    std::filesystem::remove(probe, ignored);
    return true;
}

}  // namespace

int RoundToWhole(float value) {
    if (std::isnan(value)) {
        return 0;
    }
    const float clamped = std::clamp(value, -32768.0F, 32767.0F);
    return static_cast<int>(std::nearbyint(clamped));
}

std::string SingleText(float value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.7G", static_cast<double>(value));
    return text;
}

void View3DController::RotatePair(float angle, float& a, float& b) {
    const float c = std::cos(angle);
    const float s = std::sin(angle);
    const float a2 = a * c - b * s;
    const float b2 = a * s + b * c;
    a = a2;
    b = b2;
}

View3DController::View3DController(ShapeCanvas* canvas, ModelFactory newModel,
                                   ViewServices services, View3DHost& host,
                                   std::string installFolder)
    : m_canvas(canvas),
      m_newModel(std::move(newModel)),
      m_services(services),
      m_host(host),
      m_installFolder(std::move(installFolder)) {}

View3DController::~View3DController() {
    m_closed = true;
    if (!m_busy) {
        Close();
    }
}

void View3DController::LetEventsRun() {
    m_host.LetEventsRun();
}

void View3DController::RefreshBars() {
    m_host.ScrollBarsChanged();
}

void View3DController::NewView() {
    // The old view goes first, so that its objects leave the canvas before new ones come.
    m_view.reset();
    m_view = std::make_unique<TSView>(m_newModel, m_services);
    m_view->SetViewer(m_canvas);
    m_device = m_canvas != nullptr ? m_canvas->Device() : nullptr;
    m_view->SetProcessEvents([this] { LetEventsRun(); });
    m_view->Initialise();
    m_view->cameraX = kCameraSide;
    m_view->cameraY = kCameraHeight;
    m_view->cameraZ = 0;
    m_view->targetX = 0;
    m_view->targetY = kCameraHeight;
    m_view->targetZ = 0;
    m_view->ResetCamera();
    if (m_canvas != nullptr) {
        m_canvas->SetFieldOfView(kFieldOfView);
        m_canvas->SetViewDistance(kViewDistance);
    }
}

bool View3DController::RenderConsistFile(const std::string& fileName) {
    m_file = std::make_unique<corvane::TSFile>(platform::HostPath(fileName));
    try {
        m_file->Load();
    } catch (const std::exception& e) {
        return Failed("Render Consist", e);
    }
    m_file->SetFileName(fileName);
    return RenderConsist(*m_file);
}

bool View3DController::RenderConsist(const corvane::TSFile& file) {
    try {
        m_host.ShowStatus("Loading " + file.FileName());
        LetEventsRun();
        if (Abandoned()) {
            return false;
        }
        const corvane::TSFileItemPtr train = file.Child("Train");
        const corvane::TSFileItemPtr cfg = train ? train->Child("TrainCfg") : nullptr;
        if (!cfg || cfg->Children()->Count() < 5) {
            throw std::runtime_error("No consist to display");
        }
        m_host.SetCaption("Consist - " + ConfigurationName(*cfg));
    } catch (const std::exception& e) {
        return Failed("Render Consist", e);
    }
    return RenderVehicles(*file.Child("Train")->Child("TrainCfg"));
}

bool View3DController::RenderLooseConsist(const corvane::TSFileItemPtr& item) {
    if (!item) {
        return false;
    }
    m_host.SetCaption("Loose Consist - " + ConfigurationName(*item));
    return RenderVehicles(*item);
}

bool View3DController::RenderVehicles(const corvane::TSFileItem& cfg) {
    const BusyScope busy(m_busy, [this] {
        if (m_closed) {
            Close();
        }
    });
    m_failedShapes.clear();
    try {
        NewView();
        if (Abandoned()) {
            return false;
        }
        const ConsistLayout layout = LayOutConsist(cfg, m_installFolder);
        for (const VehiclePlace& place : layout.vehicles) {
            // A running number keeps the keys of equal vehicles apart.
            const std::string key = place.stockName + " " + std::to_string(++m_keyNumber);
            const float z = place.reversed ? -place.centreZ : place.centreZ;
            const float angle = place.reversed ? -180.0F : 0.0F;
            if (!m_view->LoadShapeInToViewer(key, place.shapeFile, 0, 0, z, 0, angle, 0)) {
                m_failedShapes.push_back(place.shapeFile);
            }
        }
        if (!layout.error.empty()) {
            throw std::runtime_error(layout.error);
        }
        m_consistEndZ = layout.endZ;
        m_consistMiddleZ = layout.endZ / 2;
        m_view->cameraZ = m_consistMiddleZ;
        m_view->targetZ = m_consistMiddleZ;
        m_hscView.minimum = 0;
        m_hscView.maximum = RoundToWhole(-m_consistEndZ);
        m_hscView.value = std::clamp(m_hscView.value, m_hscView.minimum, m_hscView.maximum);
        RefreshBars();
        SetHorizontalValue(RoundToWhole(-m_consistEndZ / 2));
        if (Abandoned()) {
            return false;
        }
        return Finished();
    } catch (const std::exception& e) {
        return Failed("Render Consist", e);
    }
}

bool View3DController::RenderShape(const std::string& fileName) {
    const BusyScope busy(m_busy, [this] {
        if (m_closed) {
            Close();
        }
    });
    m_failedShapes.clear();
    try {
        m_host.ShowStatus("Loading " + fileName);
        LetEventsRun();
        if (Abandoned()) {
            return false;
        }
        NewView();
        if (Abandoned()) {
            return false;
        }
        if (!m_view->LoadShapeInToViewer("Shape", fileName, 0, 0, 0, 0, 0, 0)) {
            m_failedShapes.push_back(fileName);
        }
        m_consistEndZ = 0;
        m_consistMiddleZ = 0;
        m_view->cameraZ = 0;
        m_view->targetZ = 0;
        m_hscView = {0, 0, 0};
        RefreshBars();
        return Finished();
    } catch (const std::exception& e) {
        return Failed("Render Shape", e);
    }
}

bool View3DController::Finished() {
    // A view none of whose shapes could be loaded has nothing to select; each
    // failure has had its message.
    if (m_view->Models()->Count() > 0) {
        m_view->Models()->Item(1).SetSelected(true);
    }
    m_view->ResetCamera();
    m_host.ShowStatus("Done");
    LetEventsRun();
    return m_failedShapes.empty();
}

bool View3DController::Failed(const std::string& title, const std::exception& error) {
    if (m_services.prompts != nullptr) {
        m_services.prompts->Message(MessageIcon::Critical, title, error.what());
    }
    return false;
}

void View3DController::ResetView() {
    if (!m_view) {
        return;
    }
    m_view->cameraX = kCameraSide;
    m_view->cameraY = kCameraHeight;
    m_view->cameraZ = m_consistMiddleZ;
    m_view->targetX = 0;
    m_view->targetY = kCameraHeight;
    m_view->targetZ = m_consistMiddleZ;
    m_view->ResetCamera();
    SetHorizontalValue(RoundToWhole(-m_consistMiddleZ));
}

void View3DController::Resized() {
    if (m_view && !m_busy) {
        AttachModels();
        m_view->RefreshForm();
    }
}

void View3DController::AttachModels() {
    ViewModels* models = m_view->Models();
    RenderDevice* device = m_canvas != nullptr ? m_canvas->Device() : nullptr;
    if (models == nullptr || device == m_device) {
        return;
    }
    m_device = device;
    for (int i = 1; i <= models->Count(); ++i) {
        models->Item(i).Model().SetDevice(device);
    }
}

void View3DController::Close() {
    m_closed = true;
    if (m_busy || !m_view) {
        return;
    }
    if (ViewModels* models = m_view->Models()) {
        for (int i = 1; i <= models->Count(); ++i) {
            models->Item(i).Destroy();
        }
        m_view->DropModels();
    }
    m_view.reset();
}

// ---------------------------------------------------------------------------
// Scroll bars

void View3DController::SetHorizontalValue(int value) {
    value = std::clamp(value, m_hscView.minimum, m_hscView.maximum);
    if (value == m_hscView.value) {
        return;
    }
    m_hscView.value = value;
    RefreshBars();
    HorizontalScrolled(value);
}

void View3DController::SetVerticalValue(int value) {
    value = std::clamp(value, m_vscView.minimum, m_vscView.maximum);
    if (value == m_vscView.value) {
        return;
    }
    m_vscView.value = value;
    RefreshBars();
    VerticalScrolled(value);
}

void View3DController::HorizontalScrolled(int value) {
    m_hscView.value = std::clamp(value, m_hscView.minimum, m_hscView.maximum);
    if (!m_view) {
        return;
    }
    m_view->cameraZ = static_cast<float>(m_hscView.value) + m_consistEndZ;
    m_view->targetZ = m_view->cameraZ;
    m_view->ResetCamera();
}

void View3DController::VerticalScrolled(int value) {
    m_vscView.value = std::clamp(value, m_vscView.minimum, m_vscView.maximum);
    if (!m_view) {
        return;
    }
    m_view->cameraY = static_cast<float>(m_vscView.value);
    m_view->ResetCamera();
}

void View3DController::FollowCameraHeight() {
    const float y = m_view->cameraY;
    if (y >= static_cast<float>(m_vscView.minimum) && y <= static_cast<float>(m_vscView.maximum)) {
        SetVerticalValue(RoundToWhole(y));
    }
}

// ---------------------------------------------------------------------------
// Canvas events

void View3DController::RedrawRequested() {
    if (m_view && !m_busy) {
        AttachModels();
        m_view->ShowModels();
    }
}

void View3DController::ViewResetRequested() {
    ResetView();
}

void View3DController::MouseDown(int /*button*/, int /*shift*/, float x, float y) {
    m_mouseDragging = true;
    m_lastMouseX = x;
    m_lastMouseY = y;
}

void View3DController::MouseUp(int /*button*/, int /*shift*/, float /*x*/, float /*y*/) {
    m_mouseDragging = false;
}

void View3DController::MouseMove(int button, int /*shift*/, float x, float y) {
    if (!m_mouseDragging) {
        return;
    }
    const float dx = x - m_lastMouseX;
    const float dy = y - m_lastMouseY;
    m_host.ShowStatus("Move(" + SingleText(dx) + "," + SingleText(dy) + ")");
    if (m_view) {
        if (button == kLeftButton) {
            Orbit(dx, dy);
        } else if (button == kRightButton) {
            Shift(dx, dy);
        }
    }
    m_lastMouseX = x;
    m_lastMouseY = y;
}

void View3DController::Orbit(float dx, float dy) {
    TSView& view = *m_view;
    const float a = dx / 200;
    const float b = dy / 100;
    float ux = view.cameraX - view.targetX;
    float uy = view.cameraY - view.targetY;
    float uz = view.cameraZ - view.targetZ;
    RotatePair(a, ux, uz);
    RotatePair(b, uy, uz);
    view.cameraX = view.targetX + ux;
    view.cameraY = view.targetY + uy;
    FollowCameraHeight();
    if (!m_view) {
        return;
    }
    m_view->cameraZ = m_view->targetZ + uz;
    m_view->ResetCamera();
}

void View3DController::Shift(float dx, float dy) {
    m_view->cameraY += dy / 100;
    FollowCameraHeight();
    if (!m_view) {
        return;
    }
    TSView& view = *m_view;
    view.targetY += dy / 100;
    const float ax = view.cameraX - view.targetX;
    const float az = view.cameraZ - view.targetZ;
    const float s = dx > 0 ? 1.0F : (dx < 0 ? -1.0F : 0.0F);
    float sx = 0;
    float sz = 0;
    if (az == 0) {
        sz = s;
    } else if (ax == 0) {
        sx = s;
    } else {
        sx = s;
        sz = s * std::fabs(ax) / std::fabs(az);
    }
    view.cameraX -= sx;
    view.targetX -= sx;
    view.cameraZ -= sz;
    view.targetZ -= sz;
    view.ResetCamera();
}

void View3DController::KeyDown(int keyCode, int /*shift*/) {
    // While a render places the vehicles, the set of objects is not settled yet.
    if (!m_view || !m_view->Models() || m_busy) {
        return;
    }
    if (keyCode == kKeyLeft) {
        MoveSelection(1);
    } else if (keyCode == kKeyRight) {
        MoveSelection(-1);
    } else if (keyCode == kKeyDelete) {
        DeleteSelected();
    }
}

int View3DController::SelectedPosition() const {
    const ViewModels& models = *m_view->Models();
    for (int p = 1; p <= models.Count(); ++p) {
        if (models.Item(p).Selected()) {
            return p;
        }
    }
    return 0;
}

void View3DController::MoveSelection(int step) {
    ViewModels& models = *m_view->Models();
    const int p = SelectedPosition();
    if (p == 0 || p + step < 1 || p + step > models.Count()) {
        return;
    }
    models.Item(p).SetSelected(false);
    models.Item(p + step).SetSelected(true);
    m_view->ShowModels();
}

namespace {

// Returns where an object's origin stands in the world.
Vector3 WorldPosition(const TSViewObject& object) {
    Matrix4 m = MatrixMultiply(MatrixTranslation(object.X(), object.Y(), object.Z()),
                               MatrixRotationY(object.R()));
    return TransformPoint({0, 0, 0}, m);
}

// Moves an object along the world's Z axis. A reversed vehicle keeps its position
// negated (it is turned about the origin after it is moved), so its own
// coordinates move the other way.
void MoveAlongTrack(TSViewObject& object, float distance) {
    const Vector3 step = TransformPoint({0, 0, distance}, MatrixRotationY(-object.R()));
    object.MoveBy(step.x, 0, step.z);
}

}  // namespace

void View3DController::DeleteSelected() {
    ViewModels& models = *m_view->Models();
    int p = SelectedPosition();
    if (p == 0) {
        return;
    }
    if (p < models.Count()) {
        const float gap = WorldPosition(models.Item(p)).z - WorldPosition(models.Item(p + 1)).z;
        for (int q = p + 1; q <= models.Count(); ++q) {
            MoveAlongTrack(models.Item(q), gap);
        }
    }
    models.Item(p).Destroy();
    models.Remove(p);
    if (p > 1) {
        --p;
    }
    if (p <= models.Count()) {
        models.Item(p).SetSelected(true);
    }
    m_view->RefreshForm();
}

// ---------------------------------------------------------------------------
// Reports and snapshots

std::string View3DController::ConsistTexturesReport() const {
    std::string text = "All Consist Textures";
    const ViewModels* models = m_view ? m_view->Models() : nullptr;
    for (int i = 1; models != nullptr && i <= models->Count(); ++i) {
        const TSViewObject& object = models->Item(i);
        text += "\r\n\r\nItem " + std::to_string(i) +
                " Textures: " + std::to_string(object.NumTextures());
        for (int k = 1; k <= object.NumTextures(); ++k) {
            text += "\r\n" + std::to_string(k) + "\t" + object.Texture(k);
        }
    }
    return text;
}

std::string View3DController::ShapeTexturesReport() const {
    const ViewModels* models = m_view ? m_view->Models() : nullptr;
    if (models == nullptr || models->Count() == 0) {
        return "The shape could not be loaded, so there are no textures to report.";
    }
    const TSViewObject& object = models->Item(1);
    std::string text = "Shape Textures: " + std::to_string(object.NumTextures());
    for (int k = 1; k <= object.NumTextures(); ++k) {
        text += "\r\n" + std::to_string(k) + "\t" + object.Texture(k);
    }
    return text;
}

std::string View3DController::SaveSnapshot(const std::string& screenShotDir,
                                           const std::string& fallbackDir,
                                           const std::string& baseName,
                                           const std::string& statusText) {
    const auto fail = [this](const std::string& text) {
        if (m_services.prompts != nullptr) {
            m_services.prompts->Message(MessageIcon::Critical, "Save Snapshot", text);
        }
        m_host.ShowStatus("Snapshot not saved");
        return std::string();
    };
    if (m_canvas == nullptr || m_canvas->Device() == nullptr) {
        const std::string why = m_canvas != nullptr ? m_canvas->DeviceError() : std::string();
        return fail("There is no picture to save" + (why.empty() ? "." : ": " + why));
    }
    std::string folder = screenShotDir;
    if (!FolderWritable(folder)) {
        folder = fallbackDir;
        if (!FolderWritable(folder)) {
            return fail("Neither " + screenShotDir + " nor " + fallbackDir +
                        " can be written, so the snapshot was not saved.");
        }
    }
    m_canvas->SetSnapshotOption(false);
    m_canvas->SetSnapshotLocation(platform::HostPath(folder + baseName));
    std::string location = m_canvas->SnapshotLocation();
    m_host.ShowStatus(statusText + location);
    if (location.empty() || std::filesystem::exists(std::filesystem::path(location))) {
        return fail("The snapshot was not saved: " + location + " already exists.");
    }
    const std::string error = m_canvas->SaveSnapshot();
    if (!error.empty()) {
        return fail(error);
    }
    m_host.ShowStatus("Done");
    return location;
}

}  // namespace vantor::view3d
