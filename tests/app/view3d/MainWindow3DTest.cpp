// 3D windows in the main window on OpenGL: one opened from the command line
// before the main window is first shown, and one opened afterwards, both draw.

#include <gtest/gtest.h>

#include <QImage>
#include <QTest>

#include "GLTestScene.h"
#include "ShellFixture.h"
#include "documents/DocumentWindow.h"
#include "documents/View3DPage.h"
#include "view3d/GLCanvas.h"

namespace {

using testing_support::DrawnShare;
using testing_support::ShellTest;

QImage Picture(vantor::DocumentWindow& document) {
    auto* canvas = dynamic_cast<vantor::view3d::GLCanvas*>(document.View3D()->Canvas());
    return canvas != nullptr ? canvas->Picture() : QImage();
}

TEST_F(ShellTest, ThreeDWindowsDrawWhetherOpenedBeforeOrAfterTheMainWindowShows) {
    if (const std::string why = vantor::view3d::ProbeOpenGL(); !why.empty()) {
        GTEST_SKIP() << "no OpenGL context can be made here: " << why;
    }
    const std::string demo = VANTOR_SOURCE_DIR "/demo";
    m_settings.Write("MSTSDir", demo);
    auto window = Start(demo + "\\Trains\\Trainset\\GP38\\GP38.eng");
    window->resize(1000, 700);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    QTest::qWait(200);
    ASSERT_EQ(window->Documents().size(), 1U);
    EXPECT_GT(DrawnShare(Picture(*window->Documents()[0])), 0.02);

    window->OpenFile(demo + "\\Trains\\Trainset\\Boxcar\\Boxcar40.s");
    QTest::qWait(200);
    ASSERT_EQ(window->Documents().size(), 2U);
    EXPECT_GT(DrawnShare(Picture(*window->Documents()[1])), 0.02);
}

}  // namespace
