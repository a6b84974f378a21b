#pragma once

// The render device of the OpenGL canvas. Models draw into a frame between
// BeginFrame and EndFrame: the device keeps the frame's draws, and Render draws
// the last finished frame whenever the picture is painted or saved, so what a
// window shows and what a snapshot writes are the same frame. Meshes are copied
// to the graphics card once per mesh object, textures once per key.
//
// Batches are drawn opaque and alpha-tested first (alpha test at 200/255), then
// blended ones without depth writes, furthest first, then additive ones. DXT
// textures go to the card as they are where the driver offers S3TC, otherwise
// they are decoded first. An empty texture handle, or a texture slot without a
// handle, draws neutral grey.

#include <QOpenGLFunctions>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "view3d/GLSpace.h"
#include "view3d/RenderDevice.h"

class QOpenGLContext;
class QOpenGLShaderProgram;

namespace vantor::view3d {

namespace detail {
struct GLDeviceState;
}  // namespace detail

class GLDevice : public RenderDevice, protected QOpenGLFunctions {
public:
    // makeCurrent makes the device's context current (for uploads outside
    // painting) and returns whether it could.
    explicit GLDevice(std::function<bool()> makeCurrent);
    ~GLDevice() override;
    GLDevice(const GLDevice&) = delete;
    GLDevice& operator=(const GLDevice&) = delete;

    // Prepares the device on the current context; returns "" when it can draw,
    // else why it cannot.
    std::string Initialise(QOpenGLContext* context);
    // Frees what the device holds on the card; its context must be current.
    void Release();

    TextureHandle UploadTexture(const std::string& key, const TextureImage& image) override;
    void DrawMesh(const std::shared_ptr<const ShapeMesh>& mesh, const Matrix4& world,
                  const std::vector<TextureHandle>& textures) override;

    // Starts recording a frame.
    void BeginFrame();
    // Makes the recorded frame the one that Render draws.
    void EndFrame();
    // Forgets the recorded and the finished frame.
    void ClearFrames();
    // Draws the finished frame with the camera into the framebuffer bound on the
    // current context.
    void Render(const Camera& camera, int width, int height);

    // Whether DXT textures go to the card compressed; false decodes them first.
    [[nodiscard]] bool CompressedTextures() const { return m_compressed; }
    // Whether the device can draw (Initialise succeeded).
    [[nodiscard]] bool Ready() const { return m_ready; }
    void SetCompressedTextures(bool compressed) { m_compressed = compressed && m_s3tc; }
    // How many textures were sent to the card.
    [[nodiscard]] int TextureUploads() const { return m_textureUploads; }

private:
    struct Draw {
        std::shared_ptr<const ShapeMesh> mesh;
        Matrix4 world;
        std::vector<TextureHandle> textures;
    };
    struct MeshBuffers {
        std::weak_ptr<const ShapeMesh> mesh;
        unsigned vertexBuffer = 0;
        unsigned indexBuffer = 0;
        Vector3 centre;  // of a sphere round every vertex, in the mesh's space
        float radius = 0;
    };

    std::string ShaderFailure();
    void ClearErrors();
    void FreeUnused();
    const MeshBuffers& Buffers(const std::shared_ptr<const ShapeMesh>& mesh);
    unsigned UploadLevels(const TextureImage& image, bool& ok);
    void DrawPass(int pass, const Camera& camera, const Matrix4& viewProjection);
    bool InView(const Draw& draw, const Matrix4& viewProjection);
    void DrawBatch(const Draw& draw, const MeshBatch& batch);

    std::function<bool()> m_makeCurrent;
    std::shared_ptr<detail::GLDeviceState> m_state;
    std::unique_ptr<QOpenGLShaderProgram> m_program;
    std::unordered_map<std::string, std::weak_ptr<DeviceTexture>> m_textures;
    std::unordered_map<const ShapeMesh*, MeshBuffers> m_meshes;
    std::vector<Draw> m_recording;
    std::vector<Draw> m_frame;
    bool m_ready = false;
    bool m_s3tc = false;
    bool m_compressed = false;
    int m_textureUploads = 0;
};

}  // namespace vantor::view3d
