#include "view3d/GLDevice.h"

#include <QOpenGLContext>
#include <QOpenGLShaderProgram>
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>

#include "view3d/TextureDecode.h"

namespace vantor::view3d {

namespace detail {
// What the device's textures share with it: the names of textures let go, to be
// deleted when the context is current next.
struct GLDeviceState {
    std::vector<GLuint> freed;
};
}  // namespace detail

namespace {

// Enumerations beyond OpenGL ES 2.0, which QOpenGLFunctions declares.
constexpr GLenum kCompressedRgbaDxt1 = 0x83F1;
constexpr GLenum kCompressedRgbaDxt3 = 0x83F2;
constexpr GLenum kCompressedRgbaDxt5 = 0x83F3;
constexpr GLenum kTextureMaxLevel = 0x813D;
constexpr GLenum kClampToBorder = 0x812D;
constexpr GLenum kMirroredRepeat = 0x8370;

// The sky behind the picture.
constexpr float kSky[3] = {0.55F, 0.68F, 0.82F};
// Pixels of alpha-tested parts with less alpha are dropped.
constexpr float kAlphaReference = 200.0F / 255.0F;
// Where the light comes from: high, from the first view's side, a little ahead.
constexpr Vector3 kLightDirection{-0.45F, -0.8F, -0.4F};

const char* const kVertexShader = R"(
attribute vec3 aPosition;
attribute vec3 aNormal;
attribute vec2 aUv;
uniform mat4 uModel;
uniform mat4 uViewProjection;
uniform vec3 uLight;
uniform float uLit;
varying vec2 vUv;
varying float vBrightness;
void main() {
    gl_Position = uViewProjection * (uModel * vec4(aPosition, 1.0));
    vec3 normal = (uModel * vec4(aNormal, 0.0)).xyz;
    float facing = length(normal) > 0.0 ? max(dot(normalize(normal), -uLight), 0.0) : 1.0;
    vBrightness = mix(1.0, 0.45 + 0.55 * facing, uLit);
    vUv = aUv;
})";

const char* const kFragmentShader = R"(
uniform sampler2D uTexture;
uniform float uTextured;
uniform float uAlphaReference;
uniform float uOpaque;
varying vec2 vUv;
varying float vBrightness;
void main() {
    vec4 colour = uTextured > 0.5 ? texture2D(uTexture, vUv) : vec4(0.5, 0.5, 0.5, 1.0);
    if (colour.a < uAlphaReference) {
        discard;
    }
    gl_FragColor = vec4(colour.rgb * vBrightness, uOpaque > 0.5 ? 1.0 : colour.a);
})";

// A texture on the card.
class GLTexture : public DeviceTexture {
public:
    GLTexture(GLuint name, std::weak_ptr<detail::GLDeviceState> state)
        : m_name(name), m_state(std::move(state)) {}
    ~GLTexture() override {
        if (const auto state = m_state.lock()) {
            state->freed.push_back(m_name);
        }
    }
    GLTexture(const GLTexture&) = delete;
    GLTexture& operator=(const GLTexture&) = delete;

    // The texture's name on the card; 0 after the device let its context go.
    [[nodiscard]] GLuint Name() const { return m_name; }
    void Forget() { m_name = 0; }
    GLenum wrap = 0;  // the address mode last set

private:
    GLuint m_name;
    std::weak_ptr<detail::GLDeviceState> m_state;
};

// Returns a byte offset into the bound buffer in the pointer form OpenGL takes.
const void* BufferOffset(std::size_t bytes) {
    // NOLINTNEXTLINE(performance-no-int-to-ptr)
    return reinterpret_cast<const void*>(bytes);
}

GLenum WrapMode(AddressMode mode) {
    switch (mode) {
        case AddressMode::Wrap:
            return GL_REPEAT;
        case AddressMode::Mirror:
            return kMirroredRepeat;
        case AddressMode::Clamp:
            return GL_CLAMP_TO_EDGE;
        case AddressMode::Border:
            return kClampToBorder;
    }
    return GL_REPEAT;
}

int Pass(BlendMode mode) {
    switch (mode) {
        case BlendMode::Opaque:
        case BlendMode::AlphaTest:
            return 0;
        case BlendMode::Blend:
            return 1;
        case BlendMode::Additive:
            return 2;
    }
    return 0;
}

// Returns how many leading levels are the chain the first one starts: each half
// the one before (at least 1) and with the data its size needs.
std::size_t UsableLevels(const TextureImage& image) {
    std::size_t count = 0;
    int width = image.levels.empty() ? 0 : image.levels.front().width;
    int height = image.levels.empty() ? 0 : image.levels.front().height;
    for (const TextureLevel& level : image.levels) {
        if (level.width != width || level.height != height || width <= 0 || height <= 0 ||
            level.data.size() < LevelBytes(image.format, width, height)) {
            break;
        }
        ++count;
        if (width == 1 && height == 1) {
            break;
        }
        width = std::max(1, width / 2);
        height = std::max(1, height / 2);
    }
    return count;
}

}  // namespace

GLDevice::GLDevice(std::function<bool()> makeCurrent)
    : m_makeCurrent(std::move(makeCurrent)), m_state(std::make_shared<detail::GLDeviceState>()) {}

GLDevice::~GLDevice() = default;

std::string GLDevice::Initialise(QOpenGLContext* context) {
    if (context == nullptr || !context->isValid()) {
        return "OpenGL is not available: no OpenGL context could be made";
    }
    initializeOpenGLFunctions();
    m_s3tc = context->hasExtension("GL_EXT_texture_compression_s3tc");
    m_compressed = m_s3tc;
    m_program = std::make_unique<QOpenGLShaderProgram>();
    if (!m_program->addShaderFromSourceCode(QOpenGLShader::Vertex, kVertexShader) ||
        !m_program->addShaderFromSourceCode(QOpenGLShader::Fragment, kFragmentShader)) {
        return ShaderFailure();
    }
    m_program->bindAttributeLocation("aPosition", 0);
    m_program->bindAttributeLocation("aNormal", 1);
    m_program->bindAttributeLocation("aUv", 2);
    if (!m_program->link()) {
        return ShaderFailure();
    }
    m_ready = true;
    return {};
}

std::string GLDevice::ShaderFailure() {
    const std::string log = m_program->log().trimmed().toStdString();
    m_program.reset();
    return "OpenGL cannot draw here: its shaders do not build" +
           (log.empty() ? std::string() : " (" + log + ")");
}

void GLDevice::Release() {
    if (!m_ready) {
        return;
    }
    for (auto& [key, weak] : m_textures) {
        if (const auto texture = std::static_pointer_cast<GLTexture>(weak.lock())) {
            const GLuint name = texture->Name();
            glDeleteTextures(1, &name);
            texture->Forget();
        }
    }
    m_textures.clear();
    // The handles that models still hold name nothing now.
    m_state = std::make_shared<detail::GLDeviceState>();
    for (auto& [mesh, buffers] : m_meshes) {
        glDeleteBuffers(1, &buffers.vertexBuffer);
        glDeleteBuffers(1, &buffers.indexBuffer);
    }
    m_meshes.clear();
    m_recording.clear();
    m_frame.clear();
    m_program.reset();
    m_ready = false;
}

TextureHandle GLDevice::UploadTexture(const std::string& key, const TextureImage& image) {
    if (const auto found = m_textures.find(key); found != m_textures.end()) {
        if (auto texture = found->second.lock()) {
            return texture;
        }
    }
    if (!m_ready || !m_makeCurrent()) {
        return {};
    }
    FreeUnused();
    bool ok = false;
    const GLuint name = UploadLevels(image, ok);
    if (!ok) {
        glDeleteTextures(1, &name);
        return {};
    }
    ++m_textureUploads;
    auto texture = std::make_shared<GLTexture>(name, m_state);
    m_textures[key] = texture;
    return texture;
}

unsigned GLDevice::UploadLevels(const TextureImage& source, bool& ok) {
    const bool compressed = source.format != PixelFormat::Rgba8 && m_compressed;
    const TextureImage decoded = compressed || source.format == PixelFormat::Rgba8
                                     ? TextureImage{}
                                     : DecompressTexture(source);
    const TextureImage& image =
        compressed || source.format == PixelFormat::Rgba8 ? source : decoded;
    const std::size_t levels = UsableLevels(image);
    GLuint name = 0;
    glGenTextures(1, &name);
    ok = levels > 0;
    if (!ok) {
        return name;
    }
    glBindTexture(GL_TEXTURE_2D, name);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    ClearErrors();
    for (std::size_t i = 0; i < levels; ++i) {
        const TextureLevel& level = image.levels[i];
        const auto index = static_cast<GLint>(i);
        if (compressed) {
            const GLenum format = image.format == PixelFormat::Dxt1   ? kCompressedRgbaDxt1
                                  : image.format == PixelFormat::Dxt3 ? kCompressedRgbaDxt3
                                                                      : kCompressedRgbaDxt5;
            glCompressedTexImage2D(
                GL_TEXTURE_2D, index, format, level.width, level.height, 0,
                static_cast<GLsizei>(LevelBytes(image.format, level.width, level.height)),
                level.data.data());
        } else {
            glTexImage2D(GL_TEXTURE_2D, index, GL_RGBA, level.width, level.height, 0, GL_RGBA,
                         GL_UNSIGNED_BYTE, level.data.data());
        }
    }
    bool mipmapped = levels > 1;
    if (!mipmapped && !compressed) {
        glGenerateMipmap(GL_TEXTURE_2D);
        mipmapped = true;
    } else {
        glTexParameteri(GL_TEXTURE_2D, kTextureMaxLevel, static_cast<GLint>(levels - 1));
    }
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER,
                    mipmapped ? GL_LINEAR_MIPMAP_LINEAR : GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    ok = glGetError() == GL_NO_ERROR;
    glBindTexture(GL_TEXTURE_2D, 0);
    return name;
}

void GLDevice::ClearErrors() {
    for (int i = 0; i < 32 && glGetError() != GL_NO_ERROR; ++i) {
        // Errors of earlier calls are not the upload's.
    }
}

void GLDevice::DrawMesh(const std::shared_ptr<const ShapeMesh>& mesh, const Matrix4& world,
                        const std::vector<TextureHandle>& textures) {
    if (mesh && !mesh->batches.empty()) {
        m_recording.push_back({mesh, world, textures});
    }
}

void GLDevice::BeginFrame() {
    m_recording.clear();
}

void GLDevice::EndFrame() {
    m_frame = std::move(m_recording);
    m_recording.clear();
}

void GLDevice::ClearFrames() {
    m_recording.clear();
    m_frame.clear();
}

void GLDevice::FreeUnused() {
    if (!m_state->freed.empty()) {
        glDeleteTextures(static_cast<GLsizei>(m_state->freed.size()), m_state->freed.data());
        m_state->freed.clear();
    }
    std::erase_if(m_textures, [](const auto& entry) { return entry.second.expired(); });
    std::erase_if(m_meshes, [this](auto& entry) {
        if (!entry.second.mesh.expired()) {
            return false;
        }
        glDeleteBuffers(1, &entry.second.vertexBuffer);
        glDeleteBuffers(1, &entry.second.indexBuffer);
        return true;
    });
}

const GLDevice::MeshBuffers& GLDevice::Buffers(const std::shared_ptr<const ShapeMesh>& mesh) {
    MeshBuffers& buffers = m_meshes[mesh.get()];
    if (buffers.vertexBuffer != 0 && buffers.mesh.lock() == mesh) {
        return buffers;
    }
    if (buffers.vertexBuffer == 0) {
        glGenBuffers(1, &buffers.vertexBuffer);
        glGenBuffers(1, &buffers.indexBuffer);
    }
    buffers.mesh = mesh;
    std::vector<float> vertices;
    vertices.reserve(mesh->vertices.size() * 8);
    for (const MeshVertex& v : mesh->vertices) {
        vertices.insert(vertices.end(), {v.position.x, v.position.y, v.position.z, v.normal.x,
                                         v.normal.y, v.normal.z, v.u, v.v});
    }
    // An index past the vertices would read what is not there: it takes vertex 0.
    std::vector<std::uint32_t> indices = mesh->indices;
    const auto count = static_cast<std::uint32_t>(mesh->vertices.size());
    for (std::uint32_t& index : indices) {
        index = index < count ? index : 0;
    }
    Vector3 low = mesh->vertices.empty() ? Vector3{} : mesh->vertices.front().position;
    Vector3 high = low;
    for (const MeshVertex& v : mesh->vertices) {
        low = {std::min(low.x, v.position.x), std::min(low.y, v.position.y),
               std::min(low.z, v.position.z)};
        high = {std::max(high.x, v.position.x), std::max(high.y, v.position.y),
                std::max(high.z, v.position.z)};
    }
    buffers.centre = {(low.x + high.x) / 2, (low.y + high.y) / 2, (low.z + high.z) / 2};
    buffers.radius = 0;
    for (const MeshVertex& v : mesh->vertices) {
        const float dx = v.position.x - buffers.centre.x;
        const float dy = v.position.y - buffers.centre.y;
        const float dz = v.position.z - buffers.centre.z;
        buffers.radius = std::max(buffers.radius, std::sqrt(dx * dx + dy * dy + dz * dz));
    }
    glBindBuffer(GL_ARRAY_BUFFER, buffers.vertexBuffer);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(vertices.size() * sizeof(float)),
                 vertices.data(), GL_STATIC_DRAW);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, buffers.indexBuffer);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER,
                 static_cast<GLsizeiptr>(indices.size() * sizeof(std::uint32_t)), indices.data(),
                 GL_STATIC_DRAW);
    return buffers;
}

void GLDevice::Render(const Camera& camera, int width, int height) {
    glViewport(0, 0, width, height);
    glClearColor(kSky[0], kSky[1], kSky[2], 1);
    glDepthMask(GL_TRUE);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    if (!m_ready || width <= 0 || height <= 0) {
        return;
    }
    FreeUnused();
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);
    // The simulator's front faces are clockwise on the screen.
    glFrontFace(GL_CW);
    m_program->bind();
    const Matrix4 viewProjection =
        GLViewProjection(camera, static_cast<float>(width) / static_cast<float>(height));
    m_program->setUniformValue("uViewProjection", QMatrix4x4(&viewProjection.m[0][0]).transposed());
    const Vector3 light = GLDirection(kLightDirection);
    m_program->setUniformValue("uLight", QVector3D(light.x, light.y, light.z).normalized());
    m_program->setUniformValue("uTexture", 0);
    glActiveTexture(GL_TEXTURE0);
    for (int pass = 0; pass < 3; ++pass) {
        DrawPass(pass, camera, viewProjection);
    }
    glDisableVertexAttribArray(0);
    glDisableVertexAttribArray(1);
    glDisableVertexAttribArray(2);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    glDepthMask(GL_TRUE);
    glDisable(GL_BLEND);
    m_program->release();
}

bool GLDevice::InView(const Draw& draw, const Matrix4& viewProjection) {
    const MeshBuffers& buffers = Buffers(draw.mesh);
    const Matrix4 model = GLModelMatrix(draw.world);
    // The largest scale of the transform's axes.
    float scale = 0;
    for (int row = 0; row < 3; ++row) {
        scale = std::max(
            scale, std::sqrt(model.m[row][0] * model.m[row][0] + model.m[row][1] * model.m[row][1] +
                             model.m[row][2] * model.m[row][2]));
    }
    return SphereInView(viewProjection, TransformPoint(buffers.centre, model),
                        buffers.radius * scale);
}

void GLDevice::DrawPass(int pass, const Camera& camera, const Matrix4& viewProjection) {
    std::vector<const Draw*> draws;
    for (const Draw& draw : m_frame) {
        if (std::any_of(draw.mesh->batches.begin(), draw.mesh->batches.end(),
                        [pass](const MeshBatch& batch) { return Pass(batch.blend) == pass; }) &&
            InView(draw, viewProjection)) {
            draws.push_back(&draw);
        }
    }
    if (draws.empty()) {
        return;
    }
    if (pass == 0) {
        glDisable(GL_BLEND);
        glDepthMask(GL_TRUE);
    } else {
        glEnable(GL_BLEND);
        // The picture stays opaque: blending leaves its alpha alone.
        glBlendFuncSeparate(GL_SRC_ALPHA, pass == 1 ? GL_ONE_MINUS_SRC_ALPHA : GL_ONE, GL_ZERO,
                            GL_ONE);
        glDepthMask(GL_FALSE);
        // Blended parts are drawn from the furthest to the nearest.
        const auto distance = [&camera](const Draw* draw) {
            const Vector3 centre = TransformPoint(draw->mesh->centre, draw->world);
            const float dx = centre.x - camera.eye.x;
            const float dy = centre.y - camera.eye.y;
            const float dz = centre.z - camera.eye.z;
            return dx * dx + dy * dy + dz * dz;
        };
        std::stable_sort(draws.begin(), draws.end(), [&distance](const Draw* a, const Draw* b) {
            return distance(a) > distance(b);
        });
    }
    for (const Draw* draw : draws) {
        const MeshBuffers& buffers = Buffers(draw->mesh);
        glBindBuffer(GL_ARRAY_BUFFER, buffers.vertexBuffer);
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, buffers.indexBuffer);
        constexpr auto kStride = static_cast<GLsizei>(8 * sizeof(float));
        for (GLuint attribute = 0; attribute < 3; ++attribute) {
            glEnableVertexAttribArray(attribute);
        }
        glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, kStride, nullptr);
        glVertexAttribPointer(1, 3, GL_FLOAT, GL_FALSE, kStride, BufferOffset(3 * sizeof(float)));
        glVertexAttribPointer(2, 2, GL_FLOAT, GL_FALSE, kStride, BufferOffset(6 * sizeof(float)));
        const Matrix4 model = GLModelMatrix(draw->world);
        m_program->setUniformValue("uModel", QMatrix4x4(&model.m[0][0]).transposed());
        for (const MeshBatch& batch : draw->mesh->batches) {
            if (Pass(batch.blend) == pass) {
                DrawBatch(*draw, batch);
            }
        }
    }
}

void GLDevice::DrawBatch(const Draw& draw, const MeshBatch& batch) {
    const std::size_t indexCount = draw.mesh->indices.size();
    if (batch.firstIndex >= indexCount) {
        return;
    }
    const std::size_t count =
        std::min<std::size_t>(batch.indexCount, indexCount - batch.firstIndex) / 3 * 3;
    if (count == 0) {
        return;
    }
    auto* texture =
        batch.texture >= 0 && static_cast<std::size_t>(batch.texture) < draw.textures.size()
            ? static_cast<GLTexture*>(draw.textures[static_cast<std::size_t>(batch.texture)].get())
            : nullptr;
    if (texture != nullptr && texture->Name() == 0) {
        texture = nullptr;
    }
    m_program->setUniformValue("uTextured", texture != nullptr ? 1.0F : 0.0F);
    if (texture != nullptr) {
        glBindTexture(GL_TEXTURE_2D, texture->Name());
        const GLenum wrap = WrapMode(batch.address);
        if (texture->wrap != wrap) {
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, static_cast<GLint>(wrap));
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, static_cast<GLint>(wrap));
            texture->wrap = wrap;
        }
    }
    const bool opaque = batch.blend == BlendMode::Opaque;
    m_program->setUniformValue("uOpaque", opaque ? 1.0F : 0.0F);
    m_program->setUniformValue("uAlphaReference", batch.blend == BlendMode::AlphaTest
                                                      ? kAlphaReference
                                                  : opaque ? -1.0F
                                                           : 1.0F / 255.0F);
    m_program->setUniformValue("uLit", batch.lit ? 1.0F : 0.0F);
    glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(count), GL_UNSIGNED_INT,
                   BufferOffset(batch.firstIndex * sizeof(std::uint32_t)));
}

}  // namespace vantor::view3d
