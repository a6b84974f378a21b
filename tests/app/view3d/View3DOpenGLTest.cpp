// A 3D window on OpenGL: the demo consist drawn, a key and a mouse drag on the
// canvas, and a snapshot. Where no OpenGL context can be made the test skips.

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QOpenGLWidget>
#include <QTest>
#include <filesystem>

#include "FakeHost.h"
#include "GLTestScene.h"
#include "TempFolder.h"
#include "documents/DocumentWindow.h"
#include "documents/View3DPage.h"
#include "view3d/GLCanvas.h"
#include "view3d/OpenGLParts.h"

namespace {

using testing_support::DrawnShare;
using vantor::DocumentMode;

TEST(View3DOpenGLTest, TheDemoConsistIsDrawnMovedAndSaved) {
    if (const std::string why = vantor::view3d::ProbeOpenGL(); !why.empty()) {
        GTEST_SKIP() << "no OpenGL context can be made here: " << why;
    }
    const std::string demo = VANTOR_SOURCE_DIR "/demo";
    testing_support::TempFolder temporary;
    testing_support::FakeHost host(demo, temporary.Path().string());
    host.view3d = &vantor::view3d::OpenGLParts();
    host.Services().processEvents = [] { QApplication::processEvents(); };

    vantor::DocumentWindow window(host);
    window.setAttribute(Qt::WA_DeleteOnClose, false);
    window.resize(800, 480);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    window.SetFileName(demo + "\\Trains\\Consists\\Demo Freight.con");
    window.SetMode(DocumentMode::Consist3D);
    QApplication::processEvents();

    vantor::view3d::View3DController& logic = *window.View3D()->Controller();
    ASSERT_NE(logic.View(), nullptr);
    EXPECT_EQ(logic.View()->Models()->Count(), 6);
    EXPECT_TRUE(logic.FailedShapes().empty());
    EXPECT_EQ(host.status.back(), "Done");
    auto* canvas = dynamic_cast<vantor::view3d::GLCanvas*>(window.View3D()->Canvas());
    ASSERT_NE(canvas, nullptr);
    ASSERT_NE(canvas->Device(), nullptr) << canvas->DeviceError();
    EXPECT_GT(DrawnShare(canvas->Picture()), 0.02) << "the consist is drawn";

    auto* surface = canvas->findChild<QOpenGLWidget*>();
    ASSERT_NE(surface, nullptr);
    surface->setFocus();
    QTest::keyClick(surface, Qt::Key_Left);
    EXPECT_TRUE(logic.View()->Models()->Item(2).Selected())
        << "left arrow selects towards the rear";

    const float eyeX = logic.View()->cameraX;
    const QPoint start(surface->width() / 2, surface->height() / 2);
    QTest::mousePress(surface, Qt::LeftButton, {}, start);
    QTest::mouseMove(surface, start + QPoint(120, 0));
    QTest::mouseRelease(surface, Qt::LeftButton, {}, start + QPoint(120, 0));
    EXPECT_NE(logic.View()->cameraX, eyeX) << "a left drag turns the camera";
    EXPECT_EQ(host.status.back().rfind("Move(", 0), 0U);

    testing_support::TempFolder shots;
    const std::string written = window.SaveSnapshot(shots.Path().string());
    ASSERT_FALSE(written.empty());
    EXPECT_TRUE(std::filesystem::exists(written));
    const QImage saved(QString::fromStdString(written));
    EXPECT_GT(DrawnShare(saved), 0.02);
    EXPECT_EQ(window.SaveSnapshot(shots.Path().string()).find("0002.png") != std::string::npos,
              true)
        << "a second snapshot never replaces the first";
}

}  // namespace
