// The document window in its two 3D modes, on recording fakes: every way in
// loads the right view, the scroll bars follow the logic, Properties reports the
// textures, Save writes a snapshot and closing drops the view.

#include <gtest/gtest.h>

#include <QLabel>
#include <QScrollBar>
#include <QTest>

#include "FakeCanvasWidget.h"
#include "FakeHost.h"
#include "TempFolder.h"
#include "View3DTestSupport.h"
#include "documents/DocumentWindow.h"
#include "documents/View3DPage.h"

namespace {

using vantor::DocumentMode;
using vantor::MessageIcon;
using view3d_test::Car;

class View3DWindowTest : public ::testing::Test {
protected:
    View3DWindowTest() : host(install.Folder(), temporary.Path().string()) {
        install.Stock("Box", "Box20", "20m", "Box20.s");
        install.Stock("Box", "Box10", "10m", "Box10.s");
        install.Stock("Box", "Broken", "10m", "bad.s");
        host.view3d = &fake.parts;
    }

    vantor::DocumentWindow& Open(const std::string& fileName, DocumentMode mode,
                                 corvane::TSFileItemPtr item = nullptr) {
        window = std::make_unique<vantor::DocumentWindow>(host);
        window->setAttribute(Qt::WA_DeleteOnClose, false);
        window->SetFileName(fileName);
        window->SetItem(std::move(item));
        window->SetMode(mode);
        return *window;
    }
    [[nodiscard]] QScrollBar* Bar(const char* name) const {
        return window->findChild<QScrollBar*>(name);
    }
    [[nodiscard]] std::string Pair() const {
        return install.Consist("Pair",
                               {{"Wagon", "Box", "Box20"}, {"Wagon", "Box", "Box10", true}});
    }

    view3d_test::Installation install;
    testing_support::TempFolder temporary;
    testing_support::FakeParts fake;
    testing_support::FakeHost host;
    std::unique_ptr<vantor::DocumentWindow> window;
};

TEST_F(View3DWindowTest, AConsistFileShowsWithItsBarsAndTextures) {
    Open(Pair(), DocumentMode::Consist3D);
    EXPECT_EQ(window->windowTitle().toStdString(), "Consist - Pair");
    ASSERT_NE(window->findChild<QWidget*>("sfViewer"), nullptr);
    EXPECT_EQ(Bar("hscView")->maximum(), 30);
    EXPECT_EQ(Bar("hscView")->value(), 15);
    EXPECT_EQ(Bar("vscView")->value(), 2);

    // The user's bars reach the camera.
    Bar("hscView")->setValue(0);
    EXPECT_EQ(fake.journal.Starting("SetCamera").back(), "SetCamera 10 2 -30 0 2 -30 0 1 0");
    Bar("vscView")->setValue(9);
    EXPECT_EQ(fake.journal.Starting("SetCamera").back(), "SetCamera 10 9 -30 0 2 -30 0 1 0");
    window->ResetView();
    EXPECT_EQ(fake.journal.Starting("SetCamera").back(), "SetCamera 10 2 -15 0 2 -15 0 1 0");

    // A resize redraws from a fresh scene.
    fake.journal.calls.clear();
    window->resize(900, 500);
    window->show();
    QApplication::processEvents();
    EXPECT_FALSE(fake.journal.Starting("ResetScene").empty());

    window->ShowProperties();
    ASSERT_EQ(host.properties.size(), 1U);
    EXPECT_EQ(host.properties[0].second,
              "All Consist Textures\r\n\r\nItem 1 Textures: 2\r\n1\tBox20.s.ace\r\n2\tCommon.ace"
              "\r\n\r\nItem 2 Textures: 2\r\n1\tBox10.s.ace\r\n2\tCommon.ace");
}

TEST_F(View3DWindowTest, ShapesShowFromEveryWayIn) {
    const std::string shape = install.Folder() + "\\Trains\\Trainset\\Box\\Box20.s";
    Open(shape, DocumentMode::Shape3D);
    EXPECT_EQ(Bar("hscView")->maximum(), 0);
    window->setWindowTitle("Wagon - Box20");
    window->ShowProperties();
    ASSERT_EQ(host.properties.size(), 1U);
    EXPECT_EQ(host.properties[0].first, "Wagon - Box20");
    EXPECT_EQ(host.properties[0].second, "Shape Textures: 2\r\n1\tBox20.s.ace\r\n2\tCommon.ace");

    host.prompts.ExpectMessage(MessageIcon::Critical, "Error Loading Shape", "bad shape");
    Open(install.Folder() + "\\Trains\\Trainset\\Box\\bad.s", DocumentMode::Shape3D);
    window->ShowProperties();
    EXPECT_EQ(host.properties.back().second,
              "The shape could not be loaded, so there are no textures to report.");

    // A shape that is not there opens an empty view, without a message.
    fake.journal.calls.clear();
    Open(install.Folder() + "\\Trains\\Trainset\\Box\\Gone.s", DocumentMode::Shape3D);
    EXPECT_TRUE(fake.journal.Starting("model").empty());
}

TEST_F(View3DWindowTest, ActivitiesShowTheirLooseConsistAndOnlyLowerCaseActMeansOne) {
    const std::string path = view3d_test::Activity(install, "Loose");
    corvane::TSFile activity(path);
    activity.Load();
    ASSERT_TRUE(view3d_test::LooseConsist(activity));
    Open(install.Folder() + "\\Routes\\R\\Activities\\A.act", DocumentMode::Consist3D,
         view3d_test::LooseConsist(activity));
    EXPECT_EQ(window->windowTitle().toStdString(), "Loose Consist - Loose");
    EXPECT_EQ(window->View3D()->Controller()->View()->Models()->Count(), 1);

    // Upper-case ACT is read as a consist file (the reader then finds no consist
    // in an activity), not as the activity of a loose consist.
    host.prompts.ExpectMessage(MessageIcon::Critical, "Render Consist", "No consist to display");
    Open(install.Folder() + "\\Routes\\R\\Activities\\A.ACT", DocumentMode::Consist3D,
         view3d_test::LooseConsist(activity));
    EXPECT_EQ(window->windowTitle().toStdString(), "");
}

TEST_F(View3DWindowTest, SaveWritesASnapshotAndClosingDropsTheView) {
    testing_support::TempFolder shots;
    Open(Pair(), DocumentMode::Consist3D);
    const std::string written = window->SaveSnapshot(shots.Path().string());
    EXPECT_EQ(written, (shots.Path() / "VantorC0001.png").string());
    EXPECT_EQ(host.status[host.status.size() - 2], "Saving consist snapshot to " + written);

    window->close();
    EXPECT_EQ(window->View3D()->Controller()->View(), nullptr);
    EXPECT_EQ(fake.journal.calls.back().find("SetDevice none") != std::string::npos, true);
}

TEST_F(View3DWindowTest, WithoutA3DCanvasTheWindowSaysSo) {
    host.view3d = nullptr;
    Open(Pair(), DocumentMode::Consist3D);
    const auto labels = window->View3D()->findChildren<QLabel*>();
    ASSERT_EQ(labels.size(), 1);
    EXPECT_EQ(labels[0]->text().toStdString(),
              "Showing consists and shapes in 3D is not available in this version.");
    EXPECT_EQ(window->SaveSnapshot(temporary.Path().string()), "");
    window->ShowProperties();
    EXPECT_EQ(host.properties.back().second, "All Consist Textures");
}

}  // namespace
