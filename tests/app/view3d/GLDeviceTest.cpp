// Pictures drawn by the real OpenGL device and canvas. They need a display with
// OpenGL (scripts/test.sh runs them under Xvfb); without one they skip.

#include <gtest/gtest.h>

#include <QApplication>
#include <QOpenGLWidget>
#include <QSignalSpy>
#include <QTest>
#include <filesystem>
#include <string>
#include <vector>

#include "GLTestScene.h"
#include "TempFolder.h"
#include "view3d/GLCanvas.h"
#include "view3d/GLDevice.h"
#include "view3d/OffscreenRenderer.h"

namespace vantor::view3d {
namespace {

using namespace testing_support;

constexpr int kWidth = 320;
constexpr int kHeight = 180;
const QColor kSkyColour(140, 173, 209);

class DeviceTest : public testing::Test {
protected:
    void SetUp() override {
        if (!m_renderer.Error().empty()) {
            GTEST_SKIP() << "no OpenGL here: " << m_renderer.Error();
        }
        m_device = m_renderer.Device();
    }

    TextureHandle Solid(const QColor& colour) {
        return m_device->UploadTexture(colour.name(QColor::HexArgb).toStdString(),
                                       RgbaTexture(1, 1, {colour}));
    }

    // Draws one frame of meshes, each with its world transform and texture.
    QImage Draw(
        const std::vector<std::tuple<std::shared_ptr<ShapeMesh>, Matrix4, TextureHandle>>& draws) {
        m_device->BeginFrame();
        for (const auto& [mesh, world, texture] : draws) {
            m_device->DrawMesh(mesh, world, {texture});
        }
        m_device->EndFrame();
        return m_renderer.Render();
    }

    QColor At(const QImage& picture, const Vector3& point) {
        const QPoint pixel = ExpectedPixel(m_renderer.View(), point, kWidth, kHeight);
        return picture.pixelColor(pixel);
    }

    OffscreenRenderer m_renderer{kWidth, kHeight};
    GLDevice* m_device = nullptr;
};

TEST_F(DeviceTest, DrawsBoxesWhereTheCameraSaysWithPlusZOnTheRightAndPlusYUp) {
    const QImage picture = Draw({{Box(0.5F), MatrixTranslation(0, 2, 3), Solid(Qt::red)},
                                 {Box(0.5F), MatrixTranslation(0, 4, 0), Solid(Qt::green)}});
    // The front faces stand half a metre nearer the camera than the boxes' centres.
    EXPECT_TRUE(Near(At(picture, {0.5F, 2, 3}), Qt::red))
        << At(picture, {0.5F, 2, 3}).name().toStdString();
    EXPECT_TRUE(Near(At(picture, {0.5F, 4, 0}), Qt::green));
    EXPECT_TRUE(Near(At(picture, {0.5F, 2, -3}), kSkyColour));
    // Moving the camera moves the picture: from the other side +Z is on the left.
    m_renderer.View().eye = {-10, 2, 0};
    const QImage behind = m_renderer.Render();
    EXPECT_TRUE(
        Near(behind.pixelColor(ExpectedPixel(Camera{}, {0.5F, 2, -3}, kWidth, kHeight)), Qt::red));
}

TEST_F(DeviceTest, DrawsOnlyTheFacesTurnedTowardsTheCamera) {
    const QImage picture = Draw({{Panel(1, 2, 3, true), MatrixIdentity(), Solid(Qt::red)},
                                 {Panel(1, 2, -3, false), MatrixIdentity(), Solid(Qt::red)}});
    EXPECT_TRUE(Near(At(picture, {0, 2, 3}), Qt::red));
    EXPECT_TRUE(Near(At(picture, {0, 2, -3}), kSkyColour));
}

// The texture of the quadrants test: red top left, green top right, blue bottom
// left, white bottom right.
std::vector<QColor> Quadrants() {
    return {Qt::red, Qt::green, Qt::blue, Qt::white};
}

// An 8 x 8 DXT1 texture of four one-colour blocks in the quadrants' colours.
TextureImage Dxt1Quadrants() {
    const std::uint16_t colours[4] = {0xF800, 0x07E0, 0x001F, 0xFFFF};
    TextureLevel level{8, 8, {}};
    for (const std::uint16_t colour : colours) {
        level.data.insert(level.data.end(), {static_cast<std::uint8_t>(colour & 0xFF),
                                             static_cast<std::uint8_t>(colour >> 8),
                                             static_cast<std::uint8_t>(colour & 0xFF),
                                             static_cast<std::uint8_t>(colour >> 8), 0, 0, 0, 0});
    }
    return {PixelFormat::Dxt1, {level}, false};
}

TEST_F(DeviceTest, ShowsTexturesTheRightWayUpAndNotMirrored) {
    const auto panel = Panel(1, 2, 0);
    const QImage rgba = Draw({{panel, MatrixIdentity(),
                               m_device->UploadTexture("rgba", RgbaTexture(2, 2, Quadrants()))}});
    ExpectQuadrants(rgba, m_renderer.View(), "RGBA");

    ASSERT_TRUE(m_device->CompressedTextures()) << "Mesa offers S3TC";
    const QImage compressed =
        Draw({{panel, MatrixIdentity(), m_device->UploadTexture("dxt1", Dxt1Quadrants())}});
    ExpectQuadrants(compressed, m_renderer.View(), "DXT1 on the card");

    m_device->SetCompressedTextures(false);
    const QImage decoded =
        Draw({{panel, MatrixIdentity(), m_device->UploadTexture("dxt1 decoded", Dxt1Quadrants())}});
    ExpectQuadrants(decoded, m_renderer.View(), "DXT1 decoded first");
}

TEST_F(DeviceTest, UploadsATextureOncePerKeyAndDrawsAMissingOneGrey) {
    const TextureHandle first = m_device->UploadTexture("a.ace", RgbaTexture(2, 2, Quadrants()));
    const TextureHandle again = m_device->UploadTexture("a.ace", RgbaTexture(1, 1, {Qt::black}));
    EXPECT_EQ(first, again);
    EXPECT_EQ(m_device->TextureUploads(), 1);
    // Data shorter than the size it claims gives no texture.
    TextureImage shortData = RgbaTexture(2, 2, Quadrants());
    shortData.levels[0].data.resize(5);
    EXPECT_EQ(m_device->UploadTexture("short.ace", shortData), nullptr);

    const QImage picture = Draw({{Panel(1, 2, 0), MatrixIdentity(), TextureHandle()}});
    EXPECT_TRUE(Near(At(picture, {0, 2, 0}), QColor(128, 128, 128), 2));
}

TEST_F(DeviceTest, DropsAlphaTestedPixelsAndBlendsTranslucentOnesOverOpaqueOnes) {
    const auto backdrop = Panel(2, 2, 0);
    const auto faint =
        m_device->UploadTexture("faint", RgbaTexture(1, 1, {QColor(0, 0, 255, 100)}));
    const auto half = m_device->UploadTexture("half", RgbaTexture(1, 1, {QColor(0, 0, 255, 128)}));
    // Drawn before the backdrop behind them, as models come: the order of the
    // passes, not of the calls, decides.
    const QImage picture = Draw({
        {Panel(0.5F, 2, -1, true, BlendMode::AlphaTest), MatrixTranslation(1, 0, 0), faint},
        {Panel(0.5F, 2, 1, true, BlendMode::Blend), MatrixTranslation(1, 0, 0), half},
        {backdrop, MatrixIdentity(), Solid(Qt::red)},
        {Panel(0.5F, 2.8F, 0, true, BlendMode::Opaque), MatrixTranslation(1, 0, 0), faint},
    });
    EXPECT_TRUE(Near(At(picture, {1, 2, -1}), Qt::red));
    EXPECT_TRUE(Near(At(picture, {1, 2, 1}), QColor(127, 0, 128)))
        << At(picture, {1, 2, 1}).name().toStdString();
    // Opaque parts ignore the texture's alpha.
    EXPECT_TRUE(Near(At(picture, {1, 2.8F, 0}), Qt::blue));
}

// Records what the canvas reports.
class RecordedEvents : public CanvasEvents {
public:
    void RedrawRequested() override { log.push_back("redraw"); }
    void ViewResetRequested() override { log.push_back("reset"); }
    void KeyDown(int keyCode, int shift) override {
        log.push_back("key " + std::to_string(keyCode) + " " + std::to_string(shift));
    }
    void MouseDown(int button, int shift, float x, float y) override {
        Mouse("down", button, shift, x, y);
    }
    void MouseMove(int button, int shift, float x, float y) override {
        Mouse("move", button, shift, x, y);
    }
    void MouseUp(int button, int shift, float x, float y) override {
        Mouse("up", button, shift, x, y);
    }

    std::vector<std::string> log;

private:
    void Mouse(const char* what, int button, int shift, float x, float y) {
        log.push_back(std::string(what) + " " + std::to_string(button) + " " +
                      std::to_string(shift) + " " + std::to_string(static_cast<int>(x)) + "," +
                      std::to_string(static_cast<int>(y)));
    }
};

class CanvasTest : public testing::Test {
protected:
    void SetUp() override {
        m_canvas.resize(kWidth, kHeight);
        m_canvas.InitialiseDevice();
        m_canvas.InitialiseScene();
        if (m_canvas.Device() == nullptr) {
            GTEST_SKIP() << "no OpenGL here: " << m_canvas.DeviceError();
        }
        float eye[3] = {10, 2, 0};
        float target[3] = {0, 2, 0};
        m_canvas.SetCamera(eye[0], eye[1], eye[2], target[0], target[1], target[2], 0, 1, 0);
        m_canvas.SetFieldOfView(50);
        m_canvas.SetViewDistance(600);
    }

    void DrawRedBox() {
        RenderDevice* device = m_canvas.Device();
        const TextureHandle red = device->UploadTexture("red", RgbaTexture(1, 1, {Qt::red}));
        ASSERT_TRUE(m_canvas.BeginFrame());
        device->DrawMesh(Box(0.5F), MatrixTranslation(0, 2, 3), {red});
        m_canvas.EndFrame();
    }

    QColor At(const QImage& picture, const Vector3& point) {
        return picture.pixelColor(
            ExpectedPixel(m_canvas.CurrentCamera(), point, picture.width(), picture.height()));
    }

    GLCanvas m_canvas;
    TempFolder m_folder;
};

TEST_F(CanvasTest, ShowsTheFrameItsModelsDrewBeforeTheWindowAppears) {
    DrawRedBox();
    const QImage before = m_canvas.Picture();
    EXPECT_TRUE(Near(At(before, {0.5F, 2, 3}), Qt::red));
    m_canvas.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&m_canvas));
    EXPECT_TRUE(Near(At(m_canvas.Picture(), {0.5F, 2, 3}), Qt::red));
    // A reset scene shows nothing until the models draw again.
    m_canvas.ResetScene();
    EXPECT_TRUE(Near(At(m_canvas.Picture(), {0.5F, 2, 3}), kSkyColour));
}

// Inside a window that is not on screen yet, the canvas makes its device when the
// window is shown (made before, inside the main window's area, it stayed black
// on screen), and draws from then on.
TEST(CanvasInAWindow, MakesItsDeviceWhenTheWindowIsShown) {
    if (const std::string why = ProbeOpenGL(); !why.empty()) {
        GTEST_SKIP() << "no OpenGL here: " << why;
    }
    QWidget window;
    auto* canvas = new GLCanvas(&window);
    canvas->setGeometry(0, 0, kWidth, kHeight);
    canvas->InitialiseDevice();
    EXPECT_EQ(canvas->Device(), nullptr);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    canvas->InitialiseDevice();
    ASSERT_NE(canvas->Device(), nullptr) << canvas->DeviceError();
    const TextureHandle red = canvas->Device()->UploadTexture("red", RgbaTexture(1, 1, {Qt::red}));
    ASSERT_TRUE(canvas->BeginFrame());
    canvas->Device()->DrawMesh(Box(0.5F), MatrixTranslation(0, 2, 3), {red});
    canvas->EndFrame();
    const QImage picture = canvas->Picture();
    EXPECT_TRUE(Near(picture.pixelColor(
                         ExpectedPixel(Camera{}, {0.5F, 2, 3}, picture.width(), picture.height())),
                     Qt::red));
}

// Numbering and refusing to replace are the snapshot files' (CanvasLogicTest): here
// the file is the canvas's picture, and the next location moves on.
TEST_F(CanvasTest, SavesTheDrawnPictureAsTheNextNumberedSnapshot) {
    DrawRedBox();
    const std::string base = m_folder.Path().string() + "\\VantorS";
    WriteBytes(m_folder.File("VantorS0001.png"), "earlier");
    m_canvas.SetSnapshotOption(false);
    m_canvas.SetSnapshotLocation(base);
    EXPECT_EQ(m_canvas.SnapshotLocation(), base + "0002.png");
    ASSERT_EQ(m_canvas.SaveSnapshot(), "");
    EXPECT_EQ(m_canvas.SnapshotLocation(), base + "0003.png");
    EXPECT_EQ(ReadBytes(m_folder.File("VantorS0001.png")), "earlier");
    const QImage saved(QString::fromStdString(m_folder.File("VantorS0002.png")));
    ASSERT_FALSE(saved.isNull());
    EXPECT_TRUE(Near(At(saved, {0.5F, 2, 3}), Qt::red));
}

TEST_F(CanvasTest, ReportsKeysAndMouseAsTheWindowsViewExpectsThem) {
    RecordedEvents events;
    m_canvas.SetEvents(&events);
    m_canvas.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&m_canvas));
    QApplication::processEvents();
    // Shown, the canvas asks its owner for a frame.
    ASSERT_FALSE(events.log.empty());
    EXPECT_EQ(events.log.front(), "redraw");
    events.log.clear();
    auto* surface = m_canvas.findChild<QOpenGLWidget*>();
    ASSERT_NE(surface, nullptr);
    QTest::keyClick(surface, Qt::Key_Left);
    QTest::keyClick(surface, Qt::Key_Delete, Qt::ShiftModifier);
    QTest::keyClick(surface, Qt::Key_Home);
    QTest::mousePress(surface, Qt::RightButton, Qt::NoModifier, QPoint(10, 20));
    QTest::mouseRelease(surface, Qt::RightButton, Qt::ControlModifier, QPoint(30, 40));
    // Shift itself is a key (16) as well.
    const std::vector<std::string> expected = {"key 37 0", "key 16 1",       "key 46 1",
                                               "reset",    "down 2 0 10,20", "up 2 2 30,40"};
    EXPECT_EQ(events.log, expected);
    m_canvas.SetEvents(nullptr);
    QTest::keyClick(surface, Qt::Key_Left);
    EXPECT_EQ(events.log.size(), expected.size());
}

}  // namespace
}  // namespace vantor::view3d
