// The 3D windows' logic: the consist laid out along the track, the camera, the
// scroll bars, mouse and keys, the texture reports and snapshots, against a
// recording canvas and fake models on a throw-away installation.

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <numbers>
#include <set>

#include "FakeView3D.h"
#include "ScriptedPrompter.h"
#include "View3DTestSupport.h"
#include "corvane/TSFile.h"
#include "view3d/ConsistLayout.h"
#include "view3d/View3DController.h"

namespace {

using testing_support::FakeCanvas;
using testing_support::FakeModels;
using testing_support::Journal;
using vantor::MessageIcon;
using vantor::view3d::MatrixMultiply;
using vantor::view3d::MatrixRotationY;
using vantor::view3d::MatrixTranslation;
using vantor::view3d::TransformPoint;
using vantor::view3d::TSViewObject;
using vantor::view3d::View3DController;
using view3d_test::Car;

constexpr float kPi = std::numbers::pi_v<float>;

// Returns where an object's origin stands in the world.
float WorldZ(const TSViewObject& object) {
    return TransformPoint({}, MatrixMultiply(MatrixTranslation(object.X(), object.Y(), object.Z()),
                                             MatrixRotationY(object.R())))
        .z;
}

class View3DControllerTest : public ::testing::Test {
protected:
    View3DControllerTest()
        : canvas(journal),
          controller(&canvas, FakeModels(journal), {&prompts, nullptr}, window, install.Folder()) {
        install.Stock("Box", "Box20", "20m", "Box20.s");
        install.Stock("Box", "Box10", "10.0", "Box10.s");
        install.Stock("Box", "Plain", "10", "plain.s");
        install.Stock("Box", "Broken", "10", "bad.s");
    }

    [[nodiscard]] vantor::view3d::ViewModels& Models() const {
        return *controller.View()->Models();
    }
    [[nodiscard]] std::vector<float> WorldZs() const {
        std::vector<float> zs;
        for (int i = 1; i <= Models().Count(); ++i) {
            zs.push_back(WorldZ(Models().Item(i)));
        }
        return zs;
    }
    [[nodiscard]] int Selected() const {
        int found = 0;
        for (int i = 1; i <= Models().Count(); ++i) {
            if (Models().Item(i).Selected()) {
                EXPECT_EQ(found, 0) << "one object selected at most";
                found = i;
            }
        }
        return found;
    }
    [[nodiscard]] std::string Trainset(const std::string& file) const {
        return install.Folder() + "\\Trains\\Trainset\\Box\\" + file;
    }

    view3d_test::Installation install;
    testing_support::ScriptedPrompter prompts;
    Journal journal;
    FakeCanvas canvas;
    view3d_test::FakeWindow window;
    View3DController controller;
};

TEST_F(View3DControllerTest, TwoWagonsLieEndToEndWithTheCameraAtTheMiddle) {
    const std::string file =
        install.Consist("Pair", {{"Wagon", "Box", "Box20"}, {"Wagon", "Box", "Box10", true}});
    ASSERT_TRUE(controller.RenderConsistFile(file));

    ASSERT_EQ(Models().Count(), 2);
    EXPECT_FLOAT_EQ(Models().Item(1).Z(), -10);
    EXPECT_FLOAT_EQ(Models().Item(2).Z(), 25) << "a reversed vehicle keeps its position negated";
    EXPECT_FLOAT_EQ(Models().Item(2).R(), -kPi);
    EXPECT_NEAR(WorldZ(Models().Item(2)), -25, 1e-4);
    EXPECT_FLOAT_EQ(controller.ConsistMiddleZ(), -15);
    EXPECT_EQ(controller.HorizontalBar().maximum, 30);
    EXPECT_EQ(controller.HorizontalBar().value, 15);
    EXPECT_EQ(Selected(), 1);

    const auto cameras = journal.Starting("SetCamera");
    ASSERT_FALSE(cameras.empty());
    EXPECT_EQ(cameras.front(), "SetCamera 10 2 0 0 2 0 0 1 0");
    EXPECT_EQ(cameras.back(), "SetCamera 10 2 -15 0 2 -15 0 1 0");
    // The canvas is set up before any shape loads.
    const auto& calls = journal.calls;
    const auto at = [&calls](const std::string& call) {
        return std::find(calls.begin(), calls.end(), call) - calls.begin();
    };
    EXPECT_LT(at("InitialiseScene"), at("FieldOfView 50"));
    EXPECT_LT(at("ViewDistance 600"), at("model1 LoadShapeFile " + Trainset("Box20.s")));

    EXPECT_EQ(window.status.front(), "Loading " + file) << "the name as the caller gave it";
    EXPECT_EQ(window.status.back(), "Done");
}

TEST_F(View3DControllerTest, AHundredEqualVehiclesAllGetAPlace) {
    const std::vector<Car> cars(100, Car{"Wagon", "Box", "Box20"});
    ASSERT_TRUE(controller.RenderConsistFile(install.Consist("Long", cars)));
    ASSERT_EQ(Models().Count(), 100);
    std::set<std::string> keys;
    for (int i = 1; i <= 100; ++i) {
        keys.insert(Models().Key(i));
    }
    EXPECT_EQ(keys.size(), 100U) << "equal vehicles never share a key";
    EXPECT_FLOAT_EQ(Models().Item(100).Z(), -1990);
    EXPECT_EQ(controller.HorizontalBar().maximum, 2000);
    EXPECT_EQ(controller.HorizontalBar().value, 1000);
}

TEST_F(View3DControllerTest, ConsistsThatCannotBeShownSaySoPlainly) {
    install.Write("Trains/Trainset/Box/NoShape.wag",
                  view3d_test::SimText({"Wagon ( NoShape", "\tSize ( 3m 4m 10m )", ")"}));
    install.Write("Trains/Trainset/Box/NoSize.wag",
                  view3d_test::SimText({"Wagon ( NoSize", "\tWagonShape ( Box20.s )", ")"}));
    install.Write("Trains/Trainset/Box/NoWagon.wag",
                  view3d_test::SimText({"Engine ( NoWagon", ")"}));
    struct Row {
        const char* name;
        std::vector<Car> cars;
        std::string message;
        int placed;
    };
    const std::vector<Row> rows{
        {"stock without a shape",
         {{"Wagon", "Box", "Box20"}, {"Wagon", "Box", "NoShape"}},
         Trainset("NoShape.wag") + " has no WagonShape item",
         1},
        {"stock without a size",
         {{"Wagon", "Box", "NoSize"}},
         Trainset("NoSize.wag") + " has no Size item",
         0},
        {"stock without a Wagon item",
         {{"Wagon", "Box", "NoWagon"}},
         Trainset("NoWagon.wag") + " has no Wagon item",
         0},
        {"missing stock",
         {{"Wagon", "Box", "Box20"}, {"Engine", "Box", "Gone"}},
         Trainset("Gone.eng") + " does not exist",
         1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        prompts.ExpectMessage(MessageIcon::Critical, "Render Consist", row.message);
        EXPECT_FALSE(controller.RenderConsistFile(install.Consist("Odd", row.cars)));
        EXPECT_EQ(Models().Count(), row.placed) << "what was placed before stays";
        EXPECT_TRUE(prompts.Done());
    }

    journal.calls.clear();
    prompts.ExpectMessage(MessageIcon::Critical, "Render Consist", "No consist to display");
    const std::string tiny = install.Write(
        "Trains/Consists/Tiny.con",
        view3d_test::SimText({"Train (", "\tTrainCfg ( Tiny", "\t\tName ( Tiny )", "\t)", ")"}));
    EXPECT_FALSE(controller.RenderConsistFile(tiny));
    prompts.ExpectMessage(MessageIcon::Critical, "Render Consist", "No consist to display");
    EXPECT_FALSE(
        controller.RenderConsistFile(install.Write("Trains/Consists/Junk.con", "\x01\x02")));
    EXPECT_TRUE(journal.Starting("SetCamera").empty()) << "nothing is drawn";
}

TEST_F(View3DControllerTest, AShapeThatFailsLeavesItsPlaceEmpty) {
    prompts.ExpectMessage(MessageIcon::Critical, "Error Loading Shape", "bad shape");
    EXPECT_FALSE(controller.RenderConsistFile(install.Consist(
        "Gap",
        {{"Wagon", "Box", "Box20"}, {"Wagon", "Box", "Broken"}, {"Wagon", "Box", "Box20"}})));
    EXPECT_EQ(WorldZs(), (std::vector<float>{-10, -40}));
    EXPECT_EQ(controller.FailedShapes(), (std::vector<std::string>{Trainset("bad.s")}));
    EXPECT_EQ(controller.HorizontalBar().maximum, 50);
    EXPECT_EQ(window.status.back(), "Done");
}

TEST_F(View3DControllerTest, ArrowsMoveTheSelectionAndStopAtTheEnds) {
    ASSERT_TRUE(controller.RenderConsistFile(install.Consist(
        "Three",
        {{"Wagon", "Box", "Box20"}, {"Wagon", "Box", "Box10"}, {"Wagon", "Box", "Box20"}})));
    journal.calls.clear();
    controller.KeyDown(vantor::view3d::kKeyRight, 0);
    EXPECT_EQ(Selected(), 1);
    EXPECT_TRUE(journal.calls.empty()) << "right arrow at the front does nothing";

    controller.KeyDown(vantor::view3d::kKeyLeft, 0);
    EXPECT_EQ(Selected(), 2);
    EXPECT_EQ(journal.Starting("model1 LoadTexture").size(), 2U) << "the old one's textures reload";
    EXPECT_EQ(journal.calls.back(), "EndFrame");
    controller.KeyDown(vantor::view3d::kKeyLeft, 0);
    journal.calls.clear();
    controller.KeyDown(vantor::view3d::kKeyLeft, 0);
    EXPECT_EQ(Selected(), 3);
    EXPECT_TRUE(journal.calls.empty()) << "left arrow at the rear does nothing";
    controller.KeyDown(vantor::view3d::kKeyRight, 0);
    EXPECT_EQ(Selected(), 2);
    controller.KeyDown(65, 0);
    EXPECT_EQ(Selected(), 2);
}

TEST_F(View3DControllerTest, DeleteClosesTheGapAndSelectsANeighbour) {
    const std::vector<Car> cars{{"Wagon", "Box", "Box20"},
                                {"Wagon", "Box", "Box10", true},
                                {"Wagon", "Box", "Box20"},
                                {"Wagon", "Box", "Box10", true}};
    ASSERT_TRUE(controller.RenderConsistFile(install.Consist("Four", cars)));
    ASSERT_EQ(WorldZs(), (std::vector<float>{-10, -25, -40, -55}));

    // The first: every other vehicle, reversed ones too, moves forward by the
    // distance between the first two centres.
    controller.KeyDown(vantor::view3d::kKeyDelete, 0);
    std::vector<float> zs = WorldZs();
    ASSERT_EQ(zs.size(), 3U);
    EXPECT_NEAR(zs[0], -10, 1e-4);
    EXPECT_NEAR(zs[1], -25, 1e-4);
    EXPECT_NEAR(zs[2], -40, 1e-4);
    EXPECT_EQ(Selected(), 1);
    EXPECT_EQ(journal.calls.back(), "EndFrame") << "the view redraws";

    // One in the middle: the one before it is selected next.
    controller.KeyDown(vantor::view3d::kKeyLeft, 0);
    controller.KeyDown(vantor::view3d::kKeyDelete, 0);
    zs = WorldZs();
    ASSERT_EQ(zs.size(), 2U);
    EXPECT_NEAR(zs[1], -25, 1e-4);
    EXPECT_EQ(Selected(), 1);

    // The last: nothing moves.
    controller.KeyDown(vantor::view3d::kKeyLeft, 0);
    controller.KeyDown(vantor::view3d::kKeyDelete, 0);
    EXPECT_EQ(WorldZs(), (std::vector<float>{-10}));
    EXPECT_EQ(Selected(), 1);
    controller.KeyDown(vantor::view3d::kKeyDelete, 0);
    EXPECT_EQ(Models().Count(), 0);
}

TEST_F(View3DControllerTest, TheMouseOrbitsAndShiftsTheCameraAndResetViewBringsItBack) {
    ASSERT_TRUE(controller.RenderConsistFile(
        install.Consist("Pair", {{"Wagon", "Box", "Box20"}, {"Wagon", "Box", "Box10"}})));
    auto& view = *controller.View();
    window.status.clear();
    journal.calls.clear();

    // A quarter turn to the left brings the camera round to the back.
    controller.MouseDown(vantor::view3d::kLeftButton, 0, 10, 20);
    controller.MouseMove(vantor::view3d::kLeftButton, 0, 10 + 100 * kPi, 20);
    EXPECT_EQ(window.status.back(), "Move(314.1593,0)");
    EXPECT_NEAR(view.cameraX, 0, 1e-4);
    EXPECT_NEAR(view.cameraY, 2, 1e-4);
    EXPECT_NEAR(view.cameraZ, -5, 1e-4);
    EXPECT_EQ(journal.calls.back(), "EndFrame");

    controller.HorizontalScrolled(3);
    controller.ResetView();
    EXPECT_EQ(journal.Starting("SetCamera").back(), "SetCamera 10 2 -15 0 2 -15 0 1 0");
    EXPECT_EQ(controller.HorizontalBar().value, 15);

    // A right drag to the side walks along the consist, one metre an event; down
    // raises camera and target, and the height bar follows.
    controller.MouseDown(vantor::view3d::kRightButton, 0, 0, 0);
    controller.MouseMove(vantor::view3d::kRightButton, 0, 4, 0);
    controller.MouseMove(vantor::view3d::kRightButton, 0, 9, 300);
    EXPECT_FLOAT_EQ(view.cameraZ, -17);
    EXPECT_FLOAT_EQ(view.cameraY, 5);
    EXPECT_EQ(controller.VerticalBar().value, 5);
    EXPECT_EQ(window.status.back(), "Move(5,300)");

    controller.MouseUp(vantor::view3d::kRightButton, 0, 9, 300);
    journal.calls.clear();
    controller.MouseMove(vantor::view3d::kRightButton, 0, 30, 30);
    EXPECT_TRUE(journal.calls.empty());

    controller.HorizontalScrolled(0);
    EXPECT_EQ(journal.Starting("SetCamera").back(), "SetCamera 10 5 -30 0 5 -30 0 1 0")
        << "the bar's 0 is the back of the consist";
    controller.VerticalScrolled(7);
    EXPECT_EQ(journal.Starting("SetCamera").back(), "SetCamera 10 7 -30 0 5 -30 0 1 0")
        << "the target height stays";
}

TEST_F(View3DControllerTest, AShapeStandsAtTheOriginAndReportsItsTextures) {
    const std::string shape = install.Folder() + "\\Trains\\Trainset\\Box\\Box20.s";
    ASSERT_TRUE(controller.RenderShape(shape));
    ASSERT_EQ(Models().Count(), 1);
    EXPECT_EQ(journal.Starting("SetCamera").back(), "SetCamera 10 2 0 0 2 0 0 1 0");
    EXPECT_EQ(controller.HorizontalBar().value, 0);
    EXPECT_EQ(window.status, (std::vector<std::string>{"Loading " + shape, "Done"}));
    EXPECT_EQ(controller.ShapeTexturesReport(),
              "Shape Textures: 2\r\n1\tBox20.s.ace\r\n2\tCommon.ace");
}

TEST_F(View3DControllerTest, AShapeWindowWithoutItsShapeStaysQuiet) {
    prompts.ExpectMessage(MessageIcon::Critical, "Error Loading Shape", "bad shape");
    EXPECT_FALSE(controller.RenderShape(Trainset("bad.s")));
    EXPECT_EQ(Models().Count(), 0);
    EXPECT_EQ(controller.ShapeTexturesReport(),
              "The shape could not be loaded, so there are no textures to report.");
    for (const int key :
         {vantor::view3d::kKeyDelete, vantor::view3d::kKeyLeft, vantor::view3d::kKeyRight}) {
        controller.KeyDown(key, 0);
    }
    EXPECT_EQ(Models().Count(), 0);
}

TEST_F(View3DControllerTest, TheConsistReportListsEveryVehicleOnce) {
    ASSERT_TRUE(controller.RenderConsistFile(install.Consist(
        "Pair",
        {{"Wagon", "Box", "Box20"}, {"Wagon", "Box", "Plain"}, {"Wagon", "Box", "Box20"}})));
    EXPECT_EQ(controller.ConsistTexturesReport(),
              "All Consist Textures\r\n\r\nItem 1 Textures: 2\r\n1\tBox20.s.ace\r\n2\tCommon.ace"
              "\r\n\r\nItem 2 Textures: 0"
              "\r\n\r\nItem 3 Textures: 2\r\n1\tBox20.s.ace\r\n2\tCommon.ace");
}

TEST_F(View3DControllerTest, ALooseConsistIsNamedAfterItsConfiguration) {
    corvane::TSFile activity(view3d_test::Activity(install, "\"Loose  One\""));
    activity.Load();
    const auto cfg = view3d_test::LooseConsist(activity);
    ASSERT_TRUE(cfg);
    ASSERT_TRUE(controller.RenderLooseConsist(cfg));
    EXPECT_EQ(window.caption, "Loose Consist - Loose  One");
    EXPECT_EQ(Models().Count(), 1);
    EXPECT_FALSE(controller.RenderLooseConsist(nullptr));
}

TEST_F(View3DControllerTest, ModelsLoadedBeforeTheCanvasCanDrawAreAttachedWhenItCan) {
    canvas.hasDevice = false;
    ASSERT_TRUE(controller.RenderConsistFile(
        install.Consist("Pair", {{"Wagon", "Box", "Box20"}, {"Wagon", "Box", "Box10"}})));
    EXPECT_EQ(journal.Starting("model1 SetDevice").front(), "model1 SetDevice none");
    canvas.hasDevice = true;
    journal.calls.clear();
    controller.RedrawRequested();
    EXPECT_EQ(journal.calls,
              (std::vector<std::string>{"model1 SetDevice", "model2 SetDevice", "BeginFrame",
                                        "model1 Render 1 -1", "model2 Render 1 -1", "EndFrame"}));
    journal.calls.clear();
    controller.RedrawRequested();
    EXPECT_TRUE(journal.Starting("model1 SetDevice").empty()) << "attached once";
}

TEST_F(View3DControllerTest, ClosingWhileLoadingStopsTheRender) {
    window.onEvents = [this] { controller.Close(); };
    EXPECT_FALSE(controller.RenderConsistFile(
        install.Consist("Pair", {{"Wagon", "Box", "Box20"}, {"Wagon", "Box", "Box10"}})));
    EXPECT_EQ(controller.View(), nullptr);
    EXPECT_FALSE(controller.Busy());
    EXPECT_NE(window.status.back(), "Done");
    controller.KeyDown(vantor::view3d::kKeyDelete, 0);
    controller.MouseDown(1, 0, 0, 0);
    controller.MouseMove(1, 0, 5, 5);
    controller.ResetView();
    controller.Resized();
}

class SnapshotTest : public View3DControllerTest {
protected:
    SnapshotTest() {
        EXPECT_TRUE(controller.RenderShape(Trainset("Box20.s")));
        window.status.clear();
        journal.calls.clear();
    }
    std::string Save() {
        return controller.SaveSnapshot(shots.Path().string(), pictures.Path().string(), "\\VantorS",
                                       "Saving stock snapshot to ");
    }

    testing_support::TempFolder shots;
    testing_support::TempFolder pictures;
};

TEST_F(SnapshotTest, GoesToTheSnapshotFolderAndNamesTheFile) {
    const std::string written = Save();
    EXPECT_EQ(written, (shots.Path() / "VantorS0001.png").string());
    EXPECT_EQ(journal.calls,
              (std::vector<std::string>{"SnapshotOption false", "SaveSnapshot " + written}));
    EXPECT_EQ(window.status,
              (std::vector<std::string>{"Saving stock snapshot to " + written, "Done"}));
}

TEST_F(SnapshotTest, AFolderThatCannotBeWrittenGivesWayToThePicturesFolder) {
    std::filesystem::remove_all(shots.Path());
    const std::string written = Save();
    EXPECT_EQ(written, (pictures.Path() / "VantorS0001.png").string());
    EXPECT_EQ(window.status.front(), "Saving stock snapshot to " + written);

    // Not even the pictures folder: a message, and nothing is claimed.
    std::filesystem::remove_all(pictures.Path());
    prompts.ExpectMessage(MessageIcon::Critical, "Save Snapshot",
                          "Neither " + shots.Path().string() + " nor " + pictures.Path().string() +
                              " can be written, so the snapshot was not saved.");
    EXPECT_EQ(Save(), "");
    EXPECT_EQ(window.status.back(), "Snapshot not saved");
}

TEST_F(SnapshotTest, NeverOverwritesAndNeverClaimsAFailedSave) {
    testing_support::MakeFile(shots.Path() / "VantorS0001.png", "earlier");
    prompts.ExpectMessage(MessageIcon::Critical, "Save Snapshot",
                          "The snapshot was not saved: " +
                              (shots.Path() / "VantorS0001.png").string() + " already exists.");
    EXPECT_EQ(Save(), "");
    EXPECT_EQ(testing_support::ReadBytes((shots.Path() / "VantorS0001.png").string()), "earlier");
    EXPECT_TRUE(journal.Starting("SaveSnapshot").empty());

    std::filesystem::remove(shots.Path() / "VantorS0001.png");
    canvas.snapshotError = "The picture could not be written";
    prompts.ExpectMessage(MessageIcon::Critical, "Save Snapshot",
                          "The picture could not be written");
    EXPECT_EQ(Save(), "");
    EXPECT_EQ(window.status.back(), "Snapshot not saved");

    canvas.hasDevice = false;
    prompts.ExpectMessage(MessageIcon::Critical, "Save Snapshot",
                          "There is no picture to save: No OpenGL here");
    EXPECT_EQ(Save(), "");
}

TEST(ConsistLayoutTest, LengthsReadTheirLeadingNumber) {
    using vantor::view3d::LeadingNumber;
    EXPECT_FLOAT_EQ(LeadingNumber("20.5m"), 20.5F);
    EXPECT_FLOAT_EQ(LeadingNumber("-3.5ft"), -3.5F);
    EXPECT_FLOAT_EQ(LeadingNumber("2e1m"), 20);
    EXPECT_FLOAT_EQ(LeadingNumber("2em"), 2);
    EXPECT_FLOAT_EQ(LeadingNumber("m20"), 0);
    EXPECT_FLOAT_EQ(LeadingNumber("inf"), 0);
    EXPECT_FLOAT_EQ(LeadingNumber(""), 0);
}

TEST(ConsistLayoutTest, BarValuesRoundHalvesToEvenWithinSixteenBits) {
    using vantor::view3d::RoundToWhole;
    EXPECT_EQ(RoundToWhole(2.5F), 2);
    EXPECT_EQ(RoundToWhole(3.5F), 4);
    EXPECT_EQ(RoundToWhole(-2.5F), -2);
    EXPECT_EQ(RoundToWhole(40000), 32767);
    EXPECT_EQ(RoundToWhole(std::nanf("")), 0);
}

}  // namespace
