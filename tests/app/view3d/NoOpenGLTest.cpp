// The canvas where OpenGL cannot be used: these tests run on Qt's offscreen
// platform without a display (their main sees to it), where no OpenGL context
// can be made.

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QTest>
#include <filesystem>

#include "RunProgram.h"
#include "TempFolder.h"
#include "view3d/GLCanvas.h"
#include "view3d/OffscreenRenderer.h"

namespace vantor::view3d {
namespace {

using testing_support::TempFolder;

TEST(NoOpenGL, TheCanvasSaysWhyItCannotDrawAndTheProgramGoesOn) {
    ASSERT_FALSE(ProbeOpenGL().empty()) << "this test needs a platform without OpenGL";
    GLCanvas canvas;
    canvas.resize(200, 100);
    canvas.InitialiseDevice();
    canvas.InitialiseScene();
    canvas.show();
    QApplication::processEvents();
    EXPECT_EQ(canvas.Device(), nullptr);
    const std::string error = canvas.DeviceError();
    EXPECT_NE(error.find("OpenGL is not available"), std::string::npos) << error;
    const auto* message = canvas.findChild<QLabel*>("lblCanvasMessage");
    ASSERT_NE(message, nullptr);
    EXPECT_TRUE(message->isVisible());
    EXPECT_EQ(message->text().toStdString(), error);

    EXPECT_FALSE(canvas.BeginFrame());
    canvas.EndFrame();
    canvas.ResetScene();
    EXPECT_TRUE(canvas.Picture().isNull());
    TempFolder folder;
    canvas.SetSnapshotLocation(folder.Path().string() + "\\VantorS");
    EXPECT_EQ(canvas.SnapshotLocation(), folder.Path().string() + "\\VantorS0001.png");
    EXPECT_NE(canvas.SaveSnapshot().find(error), std::string::npos);
    EXPECT_TRUE(std::filesystem::is_empty(folder.Path()));

    const OffscreenRenderer renderer(64, 64);
    EXPECT_NE(renderer.Error().find("OpenGL is not available"), std::string::npos);
}

TEST(NoOpenGL, TheSnapshotCommandExitsWithTwoAndWritesNothing) {
    TempFolder folder;
    const std::string out = folder.File("shape.png");
    // The program itself, which must also end cleanly after Qt ran.
    const auto result = testing_support::RunProgram(
        VANTOR_CLI, {"snapshot", "shape", folder.File("any.s"), out, "--size", "64x48"});
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_NE(result.err.find("OpenGL is not available"), std::string::npos) << result.err;
    EXPECT_FALSE(std::filesystem::exists(out));
}

TEST(VirtualKeyCode, GivesTheWindowsCodesOfTheKeysTheViewUses) {
    const std::pair<int, int> rows[] = {
        {Qt::Key_Left, 37}, {Qt::Key_Right, 39}, {Qt::Key_Delete, 46}, {Qt::Key_Up, 38},
        {Qt::Key_A, 65},    {Qt::Key_7, 55},     {Qt::Key_F2, 113},    {Qt::Key_Eacute, 0}};
    for (const auto& [key, code] : rows) {
        EXPECT_EQ(VirtualKeyCode(key), code) << key;
    }
    EXPECT_EQ(ShiftState(Qt::ShiftModifier | Qt::AltModifier), 5);
}

TEST(WidgetPlatformProblem, RefusesThePlatformsThatCannotShowOpenGLWidgets) {
    // Shown there, an OpenGL widget takes the program down.
    for (const char* platform : {"offscreen", "minimal"}) {
        EXPECT_NE(WidgetPlatformProblem(platform).find("OpenGL is not available"),
                  std::string::npos);
    }
    for (const char* platform : {"xcb", "wayland", "windows", "cocoa"}) {
        EXPECT_EQ(WidgetPlatformProblem(platform), "");
    }
}

}  // namespace
}  // namespace vantor::view3d

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qunsetenv("DISPLAY");
    qunsetenv("WAYLAND_DISPLAY");
    QApplication application(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
