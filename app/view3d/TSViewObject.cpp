#include "view3d/TSViewObject.h"

#include <atomic>
#include <exception>
#include <limits>

#include "common/Installation.h"
#include "common/Prompter.h"
#include "common/Text.h"
#include "platform/Paths.h"

namespace vantor::view3d {

namespace {

// The number an error of the model carries in LastError: the one the program's
// own runtime gives errors that an object raises.
constexpr int kModelErrorNumber = 440;

void Log(const ViewServices& services, const std::string& line) {
    if (services.installation != nullptr) {
        services.installation->WriteLog(line);
    }
}

}  // namespace

std::uint64_t NextViewIdentity() {
    static std::atomic<std::uint64_t> next{1};
    return next++;
}

TSViewObject::TSViewObject(std::unique_ptr<ShapeModel> model, ViewServices services)
    : m_model(std::move(model)), m_services(services), m_identity(NextViewIdentity()) {
    Log(m_services, "> tsviewobject " + std::to_string(m_identity));
}

TSViewObject::~TSViewObject() {
    if (m_model) {
        m_model->SetDevice(nullptr);
        m_model.reset();
    }
    Log(m_services, "< tsviewobject " + std::to_string(m_identity));
}

std::int16_t TSViewObject::NumTextures() const {
    constexpr std::size_t kMost = std::numeric_limits<std::int16_t>::max();
    return static_cast<std::int16_t>(std::min(m_textureNames.size(), kMost));
}

std::string TSViewObject::Texture(int index) const {
    if (index < 1 || static_cast<std::size_t>(index) > m_textureNames.size()) {
        return {};
    }
    return m_textureNames[static_cast<std::size_t>(index) - 1];
}

bool TSViewObject::LoadShape(const std::string& fileName) {
    if (!platform::FileExists(fileName)) {
        if (m_services.prompts != nullptr) {
            m_services.prompts->Message(MessageIcon::Critical, "LoadShape",
                                        fileName + " does not exist!");
        }
        return false;
    }
    try {
        m_model->LoadShapeFile(fileName);
    } catch (const std::exception&) {
        // What went wrong is read back from the model's LoadError below.
    }
    try {
        m_lastError = TrimBlanks(m_model->LoadError());
        if (!m_lastError.empty()) {
            return false;
        }
        ListTextures();
        m_texturesShown = true;
        return true;
    } catch (const std::exception& e) {
        m_lastError = "Error " + std::to_string(kModelErrorNumber) + " " + e.what();
        return false;
    }
}

void TSViewObject::ListTextures() {
    const int count = m_model->TextureCount();
    std::vector<std::string> names;
    names.reserve(static_cast<std::size_t>(std::max(count, 0)));
    for (int i = 0; i < count; ++i) {
        names.push_back(m_model->GetTextureInfo(i).name);
        static_cast<void>(m_model->TextureObject(i));
    }
    m_textureNames = std::move(names);
}

void TSViewObject::MoveBy(float dx, float dy, float dz) {
    if (dx != 0 || dy != 0 || dz != 0) {
        MoveTo(m_x + dx, m_y + dy, m_z + dz);
    }
}

void TSViewObject::MoveTo(float x, float y, float z) {
    m_x = x;
    m_y = y;
    m_z = z;
    ApplyMoveThenRotate();
}

void TSViewObject::MoveAndRotateTo(float x, float y, float z, float r) {
    m_r = r;
    MoveTo(x, y, z);
}

void TSViewObject::RotateAndMoveTo(float x, float y, float z, float r) {
    m_x = x;
    m_y = y;
    m_z = z;
    m_r = r;
    Matrix4 m = MatrixIdentity();
    m = MatrixMultiply(MatrixTranslation(m_x, m_y, m_z), m);
    m = MatrixMultiply(MatrixRotationY(m_r), m);
    m_model->SetTransform(m);
}

void TSViewObject::RotateBy(float dr) {
    if (dr != 0) {
        RotateTo(m_r + dr);
    }
}

void TSViewObject::RotateTo(float r) {
    m_r = r;
    ApplyMoveThenRotate();
}

void TSViewObject::ApplyMoveThenRotate() {
    Matrix4 m = MatrixIdentity();
    m = MatrixMultiply(MatrixRotationY(m_r), m);
    m = MatrixMultiply(MatrixTranslation(m_x, m_y, m_z), m);
    m_model->SetTransform(m);
}

void TSViewObject::Flash() {
    m_texturesShown = !m_texturesShown;
    const int count = m_model->TextureCount();
    for (int i = 0; i < count; ++i) {
        if (m_texturesShown) {
            // A model may hold more slots than names were read (a load that failed
            // after an earlier good one): such a slot gets no texture.
            const std::string name = Texture(i + 1);
            m_model->SetTexture(i,
                                name.empty() ? TextureHandle() : m_model->LoadTexture(name, true));
        } else {
            m_model->SetTexture(i, nullptr);
        }
    }
}

void TSViewObject::UnFlash() {
    m_texturesShown = false;
    Flash();
}

void TSViewObject::SetSelected(bool value) {
    m_selected = value;
    if (!value) {
        UnFlash();
    }
}

void TSViewObject::Destroy() {
    const int count = m_model->TextureCount();
    for (int i = 0; i < count; ++i) {
        m_model->SetTexture(i, nullptr);
    }
    m_model->SetDevice(nullptr);
}

}  // namespace vantor::view3d
