// The shape reader and the mesh builder, on shapes written by hand in all forms.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <string>
#include <vector>

#include "ShapeFixtures.h"
#include "view3d/MeshBuilder.h"
#include "view3d/ShapeFile.h"
#include "view3d/SimisData.h"

namespace {

using namespace vantor::view3d;
using namespace shape_fixtures;
using testing::HasSubstr;
using namespace std::string_literals;

ShapeMesh MeshOf(const std::string& bytes) {
    return BuildMesh(ReadShape(bytes));
}

// The corners of every triangle of a batch, rounded to a thousandth.
std::vector<std::vector<float>> Corners(const ShapeMesh& mesh, const MeshBatch& batch) {
    std::vector<std::vector<float>> corners;
    for (std::uint32_t i = batch.firstIndex; i < batch.firstIndex + batch.indexCount; ++i) {
        const Vector3& p = mesh.vertices.at(mesh.indices.at(i)).position;
        const auto round = [](float v) { return std::round(v * 1000) / 1000 + 0.0F; };
        corners.push_back({round(p.x), round(p.y), round(p.z)});
    }
    return corners;
}

std::string FormatErrorOf(const std::string& bytes) {
    try {
        MeshOf(bytes);
    } catch (const FormatError& e) {
        return e.what();
    }
    return "no error";
}

TEST(ShapeMesh, TextBinaryAndCompressedShapesGiveTheSameMesh) {
    const Block shape = TestShape();
    const ShapeMesh unicode = MeshOf(TextShape(shape, true));
    const std::vector<std::string> others = {TextShape(shape, false), BinaryShape(shape),
                                             Compress(BinaryShape(shape)),
                                             Compress(TextShape(shape, false))};
    for (const std::string& other : others) {
        const ShapeMesh mesh = MeshOf(other);
        ASSERT_EQ(mesh.batches.size(), unicode.batches.size());
        for (std::size_t b = 0; b < mesh.batches.size(); ++b) {
            EXPECT_EQ(Corners(mesh, mesh.batches[b]), Corners(unicode, unicode.batches[b]));
        }
        ASSERT_EQ(mesh.vertices.size(), unicode.vertices.size());
        for (std::size_t v = 0; v < mesh.vertices.size(); ++v) {
            EXPECT_EQ(mesh.vertices[v].u, unicode.vertices[v].u);
            EXPECT_EQ(mesh.vertices[v].v, unicode.vertices[v].v);
        }
    }
}

TEST(ShapeMesh, CarriesVerticesThroughTheHierarchyChildFirstAndSortsBatches) {
    const ShapeMesh mesh = MeshOf(BinaryShape(TestShape()));
    ASSERT_EQ(mesh.batches.size(), 2U);
    // Opaque first, although the file lists the blended trilist first.
    const MeshBatch& opaque = mesh.batches[0];
    EXPECT_EQ(opaque.blend, BlendMode::Opaque);
    EXPECT_EQ(opaque.texture, 0);
    EXPECT_EQ(opaque.address, AddressMode::Wrap);
    EXPECT_TRUE(opaque.lit);
    // Under MAIN: turned a quarter clockwise about Y, (x, y, z) -> (z, y, -x);
    // the root's own translation is dropped.
    EXPECT_EQ(Corners(mesh, opaque),
              (std::vector<std::vector<float>>{{0, 0, -1}, {0, 1, 0}, {1, 0, 0}}));
    const MeshBatch& blended = mesh.batches[1];
    EXPECT_EQ(blended.blend, BlendMode::Blend);
    EXPECT_EQ(blended.texture, 1);
    EXPECT_EQ(blended.address, AddressMode::Clamp);
    // Under WHEEL: moved by (0, 0, 2), then BOGIE's (0, 1, 0), then turned by MAIN.
    EXPECT_EQ(Corners(mesh, blended),
              (std::vector<std::vector<float>>{{2, 1, -1}, {3, 1, 0}, {3, 2, -1}}));
    // Vertex 0 serves both matrices: two mesh vertices, the uv kept.
    EXPECT_EQ(mesh.vertices.size(), 6U);
    EXPECT_EQ(mesh.vertices[mesh.indices[blended.firstIndex + 2]].u, 1);
    EXPECT_GT(mesh.radius, 0);
}

TEST(ShapeMesh, WorldMatricesMultiplyChildFirstAndDropTheRootsTranslation) {
    Matrix4 turn = MatrixRotationY(1.5707964F);
    turn.m[3][0] = 9;  // dropped: matrix 0 is a root
    const std::vector<Matrix4> matrices = {turn, MatrixTranslation(0, 0, 2),
                                           MatrixTranslation(4, 0, 0)};
    const std::vector<Matrix4> world = WorldMatrices(matrices, {-1, 0, -1});
    const Vector3 p = TransformPoint({1, 0, 0}, world[1]);
    // Child first: moved to (1, 0, 2), then turned to (2, 0, -1); parent first
    // would give (0, 0, 1).
    EXPECT_NEAR(p.x, 2, 1e-5);
    EXPECT_NEAR(p.z, -1, 1e-5);
    // A root other than matrix 0 keeps its translation.
    EXPECT_EQ(TransformPoint({0, 0, 0}, world[2]), (Vector3{4, 0, 0}));
}

TEST(ShapeMesh, HierarchyFaultsAreRefusedWithTheirMatrix) {
    const std::vector<Matrix4> three(3, MatrixIdentity());
    EXPECT_THAT(
        [&] {
            try {
                WorldMatrices(three, {-1, 2, 1});
            } catch (const FormatError& e) {
                return std::string(e.what());
            }
            return std::string();
        }(),
        HasSubstr("the matrix hierarchy loops or nests deeper than 32 at matrix 1"));
    EXPECT_THROW(WorldMatrices(three, {-1, 7, 0}), FormatError);
    EXPECT_THROW(WorldMatrices(three, {-1, -4, 0}), FormatError);
    std::vector<std::int64_t> chain = {-1};
    for (int i = 1; i < 40; ++i) {
        chain.push_back(i - 1);
    }
    EXPECT_THROW(WorldMatrices(std::vector<Matrix4>(40, MatrixIdentity()), chain), FormatError);
    chain.resize(32);
    EXPECT_NO_THROW(WorldMatrices(std::vector<Matrix4>(32, MatrixIdentity()), chain));
}

TEST(ShapeMesh, BadIndicesAreErrorsNamingTheIndex) {
    struct Case {
        const char* name;
        ShapeOptions options;
        const char* error;
    };
    ShapeOptions badVertex;
    badVertex.opaqueIndices = {0, 1, 9};
    ShapeOptions badPoint;
    badPoint.pointOfVertex3 = 70000;
    ShapeOptions badImage;
    badImage.imageOfTexture0 = 5;
    ShapeOptions badParent;
    badParent.hierarchy = {-1, 0, 3};
    const std::vector<Case> cases = {
        {"vertex index past the sub_object's vertices", badVertex,
         "vertex 9 is out of range (4 present)"},
        {"point index past the points", badPoint, "point 70000 is out of range (4 present)"},
        {"texture naming a missing image", badImage, "image 5 is out of range (2 present)"},
        {"parent past the matrices", badParent, "parent matrix 3 is out of range (3 present)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(FormatErrorOf(BinaryShape(TestShape(c.options))), c.error);
        EXPECT_EQ(FormatErrorOf(TextShape(TestShape(c.options), false)), c.error);
    }
}

TEST(ShapeMesh, ShaderNamesChooseBlendingAndLighting) {
    EXPECT_EQ(BlendOf("TexDiff", 0), BlendMode::Opaque);
    EXPECT_EQ(BlendOf("TexDiff", 1), BlendMode::AlphaTest);
    EXPECT_EQ(BlendOf("BlendATexDiff", 1), BlendMode::Blend);
    EXPECT_EQ(BlendOf("blendatex", 0), BlendMode::Blend);
    EXPECT_EQ(BlendOf("AddATex", 0), BlendMode::Additive);
    EXPECT_TRUE(LitShader("BlendATexDiff"));
    EXPECT_FALSE(LitShader("Tex"));
    EXPECT_FALSE(LitShader("AddATex"));
}

TEST(ShapeMesh, TextReaderTakesCommentsLabelsQuotesAndWrappedLists) {
    const std::string text =
        "SIMISA@@@@@@@@@@JINX0s1t______\r\n\r\nshape (\r\n comment ( an old ( note ) )\r\n"
        "\tshader_names ( 1 named_shader ( \"Tex\" + \"Diff\" ) )\r\n"
        "\tpoints ( 3\r\n\t\tpoint ( 0 0 0 ) point ( 1 0 0 )\r\n\t\tpoint ( 0 1.5e-000 0 ) )\r\n"
        "\tUV_POINTS ( 1 uv_point ( 0.5 -14.02 ) ) normals ( 1 vector ( 0 0 -1 ) )\r\n"
        "\tmatrices ( 1 matrix \"MAIN\" ( 1 0 0 0 1 0 0 0 1 0 0 0 ) )\r\n"
        "\timages ( 0 ) textures ( 0 )\r\n"
        "\tvtx_states ( 1 vtx_state ( 00000000 0 -8 0 00000002 ) )\r\n"
        "\tprim_states ( 1 prim_state Solid ( 00000000 0 tex_idxs ( 0 ) 0 0 1 0 1 ) )\r\n"
        "\tlod_controls ( 1 lod_control ( distance_levels_header ( 0 ) distance_levels ( 1\r\n"
        "\t distance_level ( distance_level_header ( dlevel_selection ( 200 ) hierarchy ( 1 -1 ) "
        ")\r\n"
        "\t  sub_objects ( 1 sub_object ( sub_object_header ( 00000400 -1 -1 000001d0 000001c4 "
        ")\r\n"
        "\t   vertices ( 3 vertex ( 00000000 0 0 ffffffff ff808080 vertex_uvs ( 1 0 ) )\r\n"
        "\t    vertex ( 00000000 1 0 ffffffff ff808080 vertex_uvs ( 0 ) )\r\n"
        "\t    vertex ( 00000000 2 0 ffffffff ff808080 vertex_uvs ( 1 0 ) ) )\r\n"
        "\t   primitives ( 2 prim_state_idx ( 0 ) indexed_trilist ( vertex_idxs ( 3 0\r\n"
        "\t    1\r\n 2 ) ) ) ) ) ) ) ) ) )\r\n";
    const ShapeFile shape = ReadShape(text);
    EXPECT_EQ(shape.shaders, std::vector<std::string>{"TexDiff"});
    EXPECT_EQ(shape.matrixNames, std::vector<std::string>{"MAIN"});
    ASSERT_EQ(shape.points.size(), 3U);
    EXPECT_EQ(shape.points[2].y, 1.5F);
    const ShapeMesh mesh = BuildMesh(shape);
    ASSERT_EQ(mesh.batches.size(), 1U);
    EXPECT_EQ(mesh.batches[0].indexCount, 3U);
    EXPECT_EQ(mesh.batches[0].texture, -1);
    EXPECT_FALSE(mesh.batches[0].lit);  // light material -8: full bright
    EXPECT_EQ(mesh.batches[0].blend, BlendMode::AlphaTest);
    EXPECT_EQ(mesh.vertices[1].u, 0);  // no vertex_uvs: (0, 0)
    EXPECT_EQ(mesh.vertices[2].v, -14.02F);
}

TEST(ShapeMesh, DamagedFilesAreRefusedWithWhatIsWrong) {
    const std::string binary = BinaryShape(TestShape());
    const std::string compressed = Compress(binary);
    std::string wrongLength = compressed;
    wrongLength[8] = static_cast<char>(wrongLength[8] + 1);
    std::string shortLength = compressed;
    shortLength[8] = static_cast<char>(shortLength[8] - 1);
    struct Case {
        const char* name;
        std::string bytes;
        const char* error;
    };
    const std::vector<Case> cases = {
        {"zero length", "", "the file is empty"},
        {"garbage", "MZ\x90\x00 not a shape at all"s, "the file has no SIMIS header"},
        {"binary cut short", binary.substr(0, binary.size() - 10),
         "a block reaches past its parent at byte 32"},
        {"text cut short", TextShape(TestShape(), false).substr(0, 600),
         "the text ends inside a block"},
        {"compressed cut short", compressed.substr(0, compressed.size() - 20),
         "the compressed data ends early"},
        {"stated length too long", wrongLength, "the compressed data inflates to"},
        {"stated length too short", shortLength,
         "the compressed data inflates past its stated length"},
        {"compressed garbage", "SIMISA@F\x10\0\0\0@@@@garbage garbage"s,
         "the compressed data is damaged"},
        {"a shape description", "SIMISA@@@@@@@@@@JINX0t1t______\r\nshape ( a.s )",
         "the file is not a shape (its header says JINX0t1t)"},
        {"text words where numbers belong",
         "SIMISA@@@@@@@@@@JINX0s1t______\r\nshape (\n points ( 1 point ( 1 x 2 ) ) )",
         "\"x\" is not a number at line 3"},
        {"no shape block", "SIMISA@@@@@@@@@@JINX0s1t______\r\nwagon ( )",
         "no shape block was found at line 2"},
    };
    for (const Case& c : cases) {
        EXPECT_THAT(FormatErrorOf(c.bytes), HasSubstr(c.error)) << c.name;
    }
}

TEST(ShapeMesh, AHundredMegabytesOfNonsenseEndQuickly) {
    const std::string big = "SIMISA@@@@@@@@@@JINX0s1b______\r\n" + std::string(100u << 20, '\0');
    const auto start = std::chrono::steady_clock::now();
    EXPECT_THAT(FormatErrorOf(big), HasSubstr("no shape block was found"));
    std::string text = "SIMISA@@@@@@@@@@JINX0s1t______\r\nshape ( points ( 1 ";
    text.resize(100u << 20, '(');
    EXPECT_THAT(FormatErrorOf(text), HasSubstr("a block was expected"));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
}

}  // namespace
