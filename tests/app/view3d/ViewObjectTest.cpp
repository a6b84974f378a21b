// The view objects and the view: transforms, texture lists, loading, drawing and
// the camera, against a recording canvas and fake models.

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "FakeView3D.h"
#include "ScriptedPrompter.h"
#include "TempFolder.h"
#include "common/Installation.h"
#include "view3d/TSView.h"
#include "view3d/TSViewObject.h"

namespace {

using testing_support::FakeCanvas;
using testing_support::FakeModel;
using testing_support::FakeModels;
using testing_support::Journal;
using vantor::Answer;
using vantor::MessageIcon;
using vantor::view3d::MatrixRotationY;
using vantor::view3d::TransformPoint;
using vantor::view3d::TSView;
using vantor::view3d::TSViewObject;
using vantor::view3d::Vector3;
using vantor::view3d::ViewServices;

constexpr float kPi = std::numbers::pi_v<float>;

class ViewObjectTest : public ::testing::Test {
protected:
    ViewObjectTest()
        : installation(vantor::platform::RegistrySource{}, folder.File("vantor.log")) {}

    std::unique_ptr<TSViewObject> NewObject() {
        auto model = std::make_unique<FakeModel>(journal, 1);
        lastModel = model.get();
        return std::make_unique<TSViewObject>(std::move(model), Services());
    }
    ViewServices Services() { return {&prompts, &installation}; }
    // Writes a shape file (the fake model reads only its name) and returns its path.
    std::string Shape(const std::string& name) {
        return testing_support::MakeFile(folder.Path() / name, "shape");
    }
    // Returns where the model's transform puts a point of the shape.
    [[nodiscard]] Vector3 World(Vector3 point = {}) const {
        return TransformPoint(point, lastModel->transform);
    }

    testing_support::TempFolder folder;
    testing_support::ScriptedPrompter prompts;
    vantor::Installation installation;
    Journal journal;
    FakeModel* lastModel = nullptr;
};

void ExpectNear(const Vector3& actual, const Vector3& expected) {
    EXPECT_NEAR(actual.x, expected.x, 1e-4);
    EXPECT_NEAR(actual.y, expected.y, 1e-4);
    EXPECT_NEAR(actual.z, expected.z, 1e-4);
}

TEST_F(ViewObjectTest, MovesAndTurnsFollowTheirTransformOrder) {
    auto object = NewObject();
    object->MoveTo(1, 2, 3);
    const auto before = journal.calls.size();
    object->MoveBy(0, 0, 0);
    object->RotateBy(0);
    EXPECT_EQ(journal.calls.size(), before) << "a zero step leaves the model alone";

    object->SetZ(-7);
    ExpectNear(World(), {1, 2, -7});

    // A reversed vehicle: moved, then turned about the world's origin.
    object->MoveAndRotateTo(0, 0, 0, -kPi);
    object->SetZ(12);
    ExpectNear(World(), {0, 0, -12});
    ExpectNear(World({0, 0, 1}), {0, 0, -13});  // turned end for end

    object->MoveAndRotateTo(0, 0, 50, -kPi);
    const Vector3 moveThenRotate = World();
    const Vector3 frontA = World({0, 0, 1});
    object->RotateAndMoveTo(0, 0, -50, -kPi);
    ExpectNear(World(), moveThenRotate);
    ExpectNear(World({0, 0, 1}), frontA);

    object->RotateBy(kPi / 2);
    EXPECT_FLOAT_EQ(object->R(), -kPi / 2);
    object->MoveBy(1, 0, 0);
    EXPECT_FLOAT_EQ(object->X(), 1);
}

TEST_F(ViewObjectTest, LoadsListTheTexturesAndFailedOnesSayWhyAndKeepWhatWasThere) {
    auto object = NewObject();
    ASSERT_TRUE(object->LoadShape(Shape("Hopper.s")));
    EXPECT_EQ(object->Texture(1), "Hopper.s.ace");
    EXPECT_EQ(object->Texture(2), "Common.ace");
    EXPECT_EQ(object->Texture(3), "");

    EXPECT_FALSE(object->LoadShape(Shape("bad.s")));
    EXPECT_EQ(object->LastError(), "bad shape") << "trimmed at both ends";
    EXPECT_EQ(object->Texture(1), "Hopper.s.ace") << "the earlier list stays";

    const std::string missing = folder.File("Nowhere.s");
    prompts.ExpectMessage(MessageIcon::Critical, "LoadShape", missing + " does not exist!");
    EXPECT_FALSE(object->LoadShape(missing));
    EXPECT_EQ(object->LastError(), "bad shape") << "a missing file keeps the previous error";

    EXPECT_FALSE(object->LoadShape(Shape("throw.s")));
    EXPECT_EQ(object->LastError(), "Error 440 Texture list unreadable");
}

TEST_F(ViewObjectTest, DeselectingReloadsEveryTextureOnceAndDestroyEmptiesTheSlots) {
    auto object = NewObject();
    ASSERT_TRUE(object->LoadShape(Shape("Hopper.s")));
    object->SetSelected(true);
    journal.calls.clear();
    object->SetSelected(false);
    EXPECT_EQ(journal.calls,
              (std::vector<std::string>{
                  "model1 LoadTexture Hopper.s.ace true", "model1 SetTexture 0 texture",
                  "model1 LoadTexture Common.ace true", "model1 SetTexture 1 texture"}));
    EXPECT_FALSE(object->FlashOn());

    object->Flash();
    EXPECT_TRUE(object->FlashOn());
    EXPECT_EQ(journal.calls.back(), "model1 SetTexture 1 none");

    journal.calls.clear();
    object->Destroy();
    EXPECT_EQ(journal.calls,
              (std::vector<std::string>{"model1 SetTexture 0 none", "model1 SetTexture 1 none",
                                        "model1 SetDevice none"}));
}

class ViewTest : public ViewObjectTest {
protected:
    ViewTest() : canvas(journal) {}

    std::unique_ptr<TSView> NewView(bool initialise = true) {
        auto view = std::make_unique<TSView>(FakeModels(journal), Services());
        view->SetViewer(&canvas);
        if (initialise) {
            view->Initialise();
        }
        return view;
    }

    FakeCanvas canvas;
};

TEST_F(ViewTest, DrawsNothingBeforeItIsInitialised) {
    auto view = NewView(false);
    ASSERT_TRUE(view->LoadShapeInToViewer("a", Shape("A.s"), 0, 0, 0, 0, 0, 0));
    journal.calls.clear();
    view->ShowModels();
    EXPECT_TRUE(journal.calls.empty());
    view->Initialise();
    EXPECT_EQ(journal.calls, (std::vector<std::string>{"InitialiseDevice", "InitialiseScene"}));
}

TEST_F(ViewTest, ResetCameraPassesTheCameraThenDrawsOnce) {
    auto view = NewView();
    ASSERT_TRUE(view->LoadShapeInToViewer("a", Shape("A.s"), 0, 0, 0, 0, 0, 0));
    ASSERT_TRUE(view->LoadShapeInToViewer("b", Shape("B.s"), 0, 0, -20, 0, 0, 0));
    view->cameraX = 10;
    view->cameraY = 2;
    view->targetY = 2;
    journal.calls.clear();
    view->ResetCamera();
    EXPECT_EQ(journal.calls,
              (std::vector<std::string>{"SetCamera 10 2 0 0 2 0 0 1 0", "BeginFrame",
                                        "model1 Render 1 -1", "model2 Render 1 -1", "EndFrame"}));

    canvas.frames = false;
    journal.calls.clear();
    view->ShowModels();
    EXPECT_EQ(journal.calls, (std::vector<std::string>{"BeginFrame"}))
        << "a frame that cannot begin gets neither Render nor EndFrame";
}

TEST_F(ViewTest, LoadingAttachesTheModelAndPlacesItTurnedInDegrees) {
    auto view = NewView();
    journal.calls.clear();
    const std::string file = Shape("A.s");
    ASSERT_TRUE(view->LoadShapeInToViewer("a", file, 0, 0, 25, 0, -180, 0));
    EXPECT_EQ(journal.Starting("model1")[0], "model1 SetDevice");
    EXPECT_EQ(journal.Starting("model1")[1], "model1 TextureFolder ..\\textures\\");
    EXPECT_EQ(journal.Starting("model1")[2], "model1 LoadShapeFile " + file);
    ASSERT_EQ(view->Models()->Count(), 1);
    const TSViewObject& object = view->Models()->Item(1);
    EXPECT_EQ(object.R(), static_cast<float>(-3.1415926535898));
    ExpectNear(TransformPoint({}, static_cast<FakeModel&>(object.Model()).transform), {0, 0, -25});
}

TEST_F(ViewTest, AShapeThatFailsLeavesTheModelsAsTheyWere) {
    auto view = NewView();
    ASSERT_TRUE(view->LoadShapeInToViewer("a", Shape("A.s"), 0, 0, 0, 0, 0, 0));
    prompts.ExpectMessage(MessageIcon::Critical, "Error Loading Shape", "bad shape");
    EXPECT_FALSE(view->LoadShapeInToViewer("b", Shape("bad.s"), 0, 0, 0, 0, 0, 0));
    EXPECT_EQ(view->Models()->Count(), 1);

    // A missing file says so once; no second, empty box follows.
    const std::string missing = folder.File("Gone.s");
    prompts.ExpectMessage(MessageIcon::Critical, "LoadShape", missing + " does not exist!");
    EXPECT_FALSE(view->LoadShapeInToViewer("c", missing, 0, 0, 0, 0, 0, 0));
    EXPECT_EQ(view->Models()->Count(), 1);

    EXPECT_THROW(view->LoadShapeInToViewer("a", Shape("A2.s"), 0, 0, 0, 0, 0, 0),
                 std::invalid_argument);
}

TEST_F(ViewTest, RefreshResetsTheSceneRefreshesEachModelAndDraws) {
    auto view = NewView();
    int events = 0;
    view->SetProcessEvents([&events] { ++events; });
    ASSERT_TRUE(view->LoadShapeInToViewer("a", Shape("A.s"), 0, 0, 0, 0, 0, 0));
    ASSERT_TRUE(view->LoadShapeInToViewer("b", Shape("B.s"), 0, 0, 0, 0, 0, 0));
    journal.calls.clear();
    view->RefreshForm();
    EXPECT_EQ(journal.calls, (std::vector<std::string>{
                                 "ResetScene", "model1 Refresh", "model2 Refresh", "BeginFrame",
                                 "model1 Render 1 -1", "model2 Render 1 -1", "EndFrame"}));
    EXPECT_EQ(events, 3);

    canvas.hasDevice = false;
    journal.calls.clear();
    view->RefreshForm();
    EXPECT_EQ(journal.calls,
              (std::vector<std::string>{"ResetScene", "model1 Refresh", "model2 Refresh"}));

    view->SetViewer(nullptr);
    journal.calls.clear();
    view->RefreshForm();
    EXPECT_TRUE(journal.calls.empty()) << "no canvas, nothing to redraw";
}

// Views and view objects each log their making and their end under one number.
TEST_F(ViewTest, ViewsAndObjectsLogTheirLifeUnderOneNumber) {
    const std::uint64_t before = vantor::view3d::NextViewIdentity();
    std::uint64_t object = 0;
    {
        auto view = NewView();
        object = NewObject()->Identity();
        EXPECT_EQ(journal.calls.back(), "model1 SetDevice none") << "the object let its model go";
    }
    const std::string log = testing_support::ReadBytes(folder.File("vantor.log"));
    const std::string number = std::to_string(object);
    EXPECT_LT(log.find(" > tsviewobject " + number + "\r\n"),
              log.find(" < tsviewobject " + number + "\r\n"));
    EXPECT_NE(log.find(" < tsviewobject " + number + "\r\n"), std::string::npos) << log;
    const auto open = log.find("> tsview ");
    const auto close = log.find("< tsview ");
    ASSERT_NE(open, std::string::npos);
    ASSERT_NE(close, std::string::npos);
    const std::string view = log.substr(open + 9, log.find('\r', open) - open - 9);
    EXPECT_GT(std::stoull(view), before);
    EXPECT_EQ(log.substr(close + 9, view.size()), view);
}

}  // namespace
