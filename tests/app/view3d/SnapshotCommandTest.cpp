// vantor-cli snapshot shape: a shape file and its ACE texture, written by the
// test, drawn as the shape window's first view shows them. Needs a display with
// OpenGL (Xvfb counts); without one it skips.

#include <gtest/gtest.h>

#include <QImage>
#include <filesystem>
#include <string>

#include "GLTestScene.h"
#include "InProcessCli.h"
#include "ShapeFixtures.h"
#include "TempFolder.h"
#include "view3d/GLCanvas.h"

namespace vantor::view3d {
namespace {

using namespace testing_support;

// A square 2 m wide in the plane X = 0 around (0, 2, 0), facing the first
// view's camera, with the full-bright shader and the texture "Quadrants.ace"
// from its top left corner.
constexpr const char* kPanelShape = R"(SIMISA@@@@@@@@@@JINX0s1t______

shape (
	shape_header ( 00000000 00000000 )
	volumes ( 1 vol_sphere ( vector ( 0 2 0 ) 1.5 ) )
	shader_names ( 1 named_shader ( Tex ) )
	texture_filter_names ( 1 named_filter_mode ( MipLinear ) )
	points ( 4 point ( 0 3 -1 ) point ( 0 3 1 ) point ( 0 1 1 ) point ( 0 1 -1 ) )
	uv_points ( 4 uv_point ( 0 0 ) uv_point ( 1 0 ) uv_point ( 1 1 ) uv_point ( 0 1 ) )
	normals ( 1 vector ( 1 0 0 ) )
	sort_vectors ( 0 )
	colours ( 0 )
	matrices ( 1 matrix PANEL ( 1 0 0 0 1 0 0 0 1 0 0 0 ) )
	images ( 1 image ( Quadrants.ace ) )
	textures ( 1 texture ( 0 0 0 ff000000 ) )
	light_materials ( 0 )
	light_model_cfgs ( 1 light_model_cfg ( 00000000 uv_ops ( 1 uv_op_copy ( 1 0 ) ) ) )
	vtx_states ( 1 vtx_state ( 00000000 0 -5 0 00000002 ) )
	prim_states ( 1 prim_state Panel ( 00000000 0 tex_idxs ( 1 0 ) 0 0 0 0 1 ) )
	lod_controls ( 1 lod_control ( distance_levels_header ( 0 ) distance_levels ( 1
		distance_level ( distance_level_header ( dlevel_selection ( 2000 ) hierarchy ( 1 -1 ) )
		sub_objects ( 1 sub_object ( sub_object_header ( 00000000 -1 -1 000001d0 000001c4 )
			vertices ( 4
				vertex ( 00000000 0 0 ffffffff ff808080 vertex_uvs ( 1 0 ) )
				vertex ( 00000000 1 0 ffffffff ff808080 vertex_uvs ( 1 1 ) )
				vertex ( 00000000 2 0 ffffffff ff808080 vertex_uvs ( 1 2 ) )
				vertex ( 00000000 3 0 ffffffff ff808080 vertex_uvs ( 1 3 ) ) )
			vertex_sets ( 1 vertex_set ( 0 0 4 ) )
			primitives ( 2 prim_state_idx ( 0 )
				indexed_trilist ( vertex_idxs ( 6 0 1 2 0 2 3 ) normal_idxs ( 2 0 3 0 3 ) flags ( 2 00000000 00000000 ) ) )
		) ) ) ) ) )
)
)";

class SnapshotCommandTest : public testing::Test {
protected:
    void SetUp() override {
        if (const std::string error = ProbeOpenGL(); !error.empty()) {
            GTEST_SKIP() << error;
        }
        m_shape = MakeFile(m_folder.Path() / "Trainset" / "Panel" / "Panel.s", kPanelShape);
        // Red top left, green top right, blue bottom left, white bottom right.
        const shape_fixtures::AcePicture picture{
            2, 2, {255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255, 255, 255, 255}};
        MakeFile(m_folder.Path() / "Trainset" / "Panel" / "QUADRANTS.ACE",
                 shape_fixtures::AceFile(picture, shape_fixtures::AceKind::Rgb, false));
    }

    TempFolder m_folder;
    std::string m_shape;
};

TEST_F(SnapshotCommandTest, DrawsTheShapeAsTheFirstViewShowsItIntoAPng) {
    const std::string out = m_folder.File("panel.png");
    const auto result = RunCliInProcess({"snapshot", "shape", m_shape, out, "--size", "320x180"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const QImage picture(QString::fromStdString(out));
    ASSERT_EQ(picture.size(), QSize(320, 180));
    const Camera firstView;
    ExpectQuadrants(picture, firstView, "the first view");
    EXPECT_TRUE(Near(picture.pixelColor(ExpectedPixel(firstView, {0, 2, 3}, 320, 180)),
                     QColor(140, 173, 209)))
        << "sky beside the panel";

    // The default size, and an existing picture replaced.
    ASSERT_EQ(RunCliInProcess({"snapshot", "shape", m_shape, out}).exitCode, 0);
    EXPECT_EQ(QImage(QString::fromStdString(out)).size(), QSize(1280, 720));
}

TEST_F(SnapshotCommandTest, ExitsWithTwoAndAReasonWhenItCannotDrawOrWrite) {
    MakeFile(m_folder.Path() / "broken.s", "SIMISA@@@@@@@@@@JINX0s1t______\r\nshape ( points ( 3");
    const std::string out = m_folder.File("out.png");
    struct Row {
        const char* name;
        std::vector<std::string> arguments;
        const char* message;
    };
    const Row rows[] = {
        {"missing shape", {m_folder.File("none.s"), out}, "cannot load the shape"},
        {"broken shape", {m_folder.File("broken.s"), out}, "cannot load the shape"},
        {"folder that is not there",
         {m_shape, m_folder.File("no/such/folder/out.png")},
         "cannot write"},
        {"size without a height", {m_shape, out, "--size", "640"}, "is not WIDTHxHEIGHT"},
        {"size of nothing", {m_shape, out, "--size=0x10"}, "is not WIDTHxHEIGHT"},
        {"one file only", {m_shape}, "wrong arguments"},
    };
    for (const Row& row : rows) {
        std::vector<std::string> arguments = {"snapshot", "shape"};
        arguments.insert(arguments.end(), row.arguments.begin(), row.arguments.end());
        const auto result = RunCliInProcess(arguments);
        EXPECT_EQ(result.exitCode, 2) << row.name;
        EXPECT_NE(result.err.find(row.message), std::string::npos)
            << row.name << ": " << result.err;
        EXPECT_FALSE(std::filesystem::exists(out)) << row.name;
    }
}

}  // namespace
}  // namespace vantor::view3d
