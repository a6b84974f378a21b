// vantor-cli snapshot consist: a consist drawn as its 3D window first shows it,
// on the demo's stock. Drawing needs a display with OpenGL (Xvfb counts); without
// one the command must say so and write nothing.

#include <gtest/gtest.h>

#include <QImage>
#include <filesystem>
#include <string>

#include "InProcessCli.h"
#include "TempFolder.h"
#include "View3DTestSupport.h"
#include "view3d/GLCanvas.h"

namespace {

namespace fs = std::filesystem;

class ConsistSnapshotTest : public ::testing::Test {
protected:
    ConsistSnapshotTest() {
        // The demo's boxcars, and a wagon whose shape is not a shape.
        fs::create_directories(fs::path(install.Folder()) / "Trains" / "Trainset");
        fs::copy(fs::path(VANTOR_SOURCE_DIR) / "demo" / "Trains" / "Trainset" / "Boxcar",
                 fs::path(install.Folder()) / "Trains" / "Trainset" / "Boxcar",
                 fs::copy_options::recursive);
        install.Stock("Broken", "Broken", "12m", "Broken.s");
        install.Write("Trains/Trainset/Broken/Broken.s", "not a shape at all");
        install.Write("Trains/Trainset/Broken/NoSize.wag",
                      view3d_test::SimText({"Wagon ( NoSize", "\tWagonShape ( Broken.s )", ")"}));
    }

    testing_support::ProgramResult Snapshot(const std::string& consist,
                                            const std::string& extra = "--size=320x180") {
        return testing_support::RunCliInProcess(
            {"--msts", install.Folder(), "snapshot", "consist", consist, Picture(), extra});
    }
    [[nodiscard]] std::string Picture() const { return (out.Path() / "shot.png").string(); }
    [[nodiscard]] static bool HasOpenGL() { return vantor::view3d::ProbeOpenGL().empty(); }

    view3d_test::Installation install;
    testing_support::TempFolder out;
};

TEST_F(ConsistSnapshotTest, DrawsTheConsistAndNamesTheShapesItCouldNotLoad) {
    static_cast<void>(install.Consist("Mixed", {{"Wagon", "Boxcar", "Boxcar40"},
                                                {"Wagon", "Broken", "Broken"},
                                                {"Wagon", "Boxcar", "Boxcar40Red"}}));
    const auto result = Snapshot("Mixed");
    if (!HasOpenGL()) {
        EXPECT_EQ(result.exitCode, 2);
        EXPECT_NE(result.err.find("there is no OpenGL here"), std::string::npos) << result.err;
        EXPECT_FALSE(fs::exists(Picture()));
        GTEST_SKIP() << "no OpenGL context can be made here";
    }
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const QImage picture(QString::fromStdString(Picture()));
    EXPECT_EQ(picture.size(), QSize(320, 180));
    // The camera looks at the middle of the consist, where the broken wagon would
    // stand: its place is empty, with the boxcars on either side.
    const QRgb sky = picture.pixel(160, 2);
    EXPECT_EQ(picture.pixel(160, 90), sky);
    EXPECT_NE(picture.pixel(4, 90), sky);
    EXPECT_NE(picture.pixel(315, 90), sky);
    const std::string broken = install.Folder() + "\\Trains\\Trainset\\Broken\\Broken.s";
    EXPECT_NE(result.err.find("the shape " + broken + " could not be loaded"), std::string::npos)
        << result.err;
    EXPECT_NE(result.out.find("Wrote " + Picture()), std::string::npos);
}

TEST_F(ConsistSnapshotTest, WritesNothingWhenTheConsistCannotBeDrawn) {
    struct Row {
        const char* name;
        std::string consist;
        std::string extra;
        std::string message;
    };
    static_cast<void>(install.Consist("NoSize", {{"Wagon", "Broken", "NoSize"}}));
    const std::vector<Row> rows{
        {"no such consist", "Nowhere", "--size=320x180", "there is no such file"},
        {"a stock file without a size", "NoSize", "--size=320x180",
         HasOpenGL() ? "cannot draw the consist" : "there is no OpenGL here"},
        {"a size that is not one", "NoSize", "--size=0x10", "--size takes WxH"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const auto result = Snapshot(row.consist, row.extra);
        EXPECT_EQ(result.exitCode, 2);
        EXPECT_NE(result.err.find(row.message), std::string::npos) << result.err;
        EXPECT_FALSE(fs::exists(Picture()));
    }
}

}  // namespace
