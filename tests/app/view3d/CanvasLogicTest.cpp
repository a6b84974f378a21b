// The canvas's logic without OpenGL: the one conversion to OpenGL's space, the
// numbering of snapshot files, and DXT decoding on the processor.

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <numbers>
#include <string>
#include <vector>

#include "TempFolder.h"
#include "view3d/GLSpace.h"
#include "view3d/SnapshotFiles.h"
#include "view3d/TextureDecode.h"

namespace vantor::view3d {
namespace {

using testing_support::ReadBytes;
using testing_support::TempFolder;
using testing_support::WriteBytes;

struct Ndc {
    float x = 0;
    float y = 0;
    float z = 0;
    float w = 0;
};

// Returns where a point of a model lands on the picture, in normalised device
// coordinates (x right, y up, both -1..1).
Ndc Project(const Camera& camera, const Matrix4& world, const Vector3& point, float aspect) {
    const Matrix4 all = MatrixMultiply(GLModelMatrix(world), GLViewProjection(camera, aspect));
    float clip[4] = {};
    const float in[4] = {point.x, point.y, point.z, 1};
    for (int column = 0; column < 4; ++column) {
        for (int row = 0; row < 4; ++row) {
            clip[column] += in[row] * all.m[row][column];
        }
    }
    return {clip[0] / clip[3], clip[1] / clip[3], clip[2] / clip[3], clip[3]};
}

constexpr float kAspect = 16.0F / 9.0F;

// The first view: from (10, 2, 0) towards (0, 2, 0), 50 degrees high.
float TanHalfView() {
    return std::tan(25.0F * std::numbers::pi_v<float> / 180.0F);
}

TEST(GLSpace, PutsTheSimulatorsAxesWhereTheFirstViewShowsThem) {
    struct Row {
        const char* name;
        Matrix4 world;
        Vector3 point;
        float expectedX;  // (lateral offset / distance), before the lens
        float expectedY;
    };
    const Row rows[] = {
        {"target in the middle", MatrixIdentity(), {0, 2, 0}, 0, 0},
        {"+Z on the right", MatrixIdentity(), {0, 2, 3}, 0.3F, 0},
        {"-Z on the left", MatrixIdentity(), {0, 2, -3}, -0.3F, 0},
        {"+Y up", MatrixIdentity(), {0, 3, 0}, 0, 0.1F},
        {"a model moved along +Z", MatrixTranslation(0, 0, 4), {0, 2, 0}, 0.4F, 0},
        {"a quarter turn takes +X to -Z",
         MatrixMultiply(MatrixRotationY(std::numbers::pi_v<float> / 2), MatrixTranslation(0, 2, 0)),
         {2, 0, 0},
         -0.2F,
         0},
    };
    const Camera camera;
    for (const Row& row : rows) {
        const Ndc ndc = Project(camera, row.world, row.point, kAspect);
        EXPECT_NEAR(ndc.x, row.expectedX / TanHalfView() / kAspect, 1e-4) << row.name;
        EXPECT_NEAR(ndc.y, row.expectedY / TanHalfView(), 1e-4) << row.name;
        EXPECT_GT(ndc.w, 0) << row.name;
    }
}

TEST(GLSpace, KeepsClockwiseTrianglesClockwiseOnThePicture) {
    // Seen from the camera: top, lower right, lower left (clockwise).
    const Vector3 triangle[3] = {{0, 3, 0}, {0, 1, 1}, {0, 1, -1}};
    Ndc p[3];
    for (int i = 0; i < 3; ++i) {
        p[i] = Project(Camera{}, MatrixIdentity(), triangle[i], kAspect);
    }
    const float signedArea =
        (p[1].x - p[0].x) * (p[2].y - p[0].y) - (p[2].x - p[0].x) * (p[1].y - p[0].y);
    EXPECT_LT(signedArea, 0);
}

TEST(GLSpace, DrawsUpToTheViewDistanceAndNotBehindTheEye) {
    Camera camera;
    camera.viewDistance = 600;
    EXPECT_LT(Project(camera, MatrixIdentity(), {-580, 2, 0}, kAspect).z, 1);
    EXPECT_GT(Project(camera, MatrixIdentity(), {-620, 2, 0}, kAspect).z, 1);
    EXPECT_LT(Project(camera, MatrixIdentity(), {20, 2, 0}, kAspect).w, 0);
    camera.fieldOfView = 90;
    EXPECT_NEAR(Project(camera, MatrixIdentity(), {0, 12, 0}, 1).y, 1, 1e-4);
}

TEST(GLSpace, TellsSpheresInTheViewFromThoseOutsideIt) {
    // At the target the picture is 2 x 10 tan 25 degrees high and 16/9 of that
    // wide: its left edge is at Z = -8.29, 0.77 of a step in Z away from it.
    struct Row {
        const char* name;
        Vector3 centre;
        float radius;
        bool visible;
    };
    const Row rows[] = {
        {"at the target", {0, 2, 0}, 0.1F, true},
        {"behind the eye", {20, 2, 0}, 1, false},
        {"beyond the view distance", {-700, 2, 0}, 1, false},
        {"past the left edge", {0, 2, -9.5F}, 0.5F, false},
        {"reaching over the left edge", {0, 2, -9.5F}, 1.5F, true},
        {"past the top edge", {0, 7.5F, 0}, 0.5F, false},
    };
    const Matrix4 view = GLViewProjection(Camera{}, kAspect);
    for (const Row& row : rows) {
        EXPECT_EQ(SphereInView(view, GLDirection(row.centre), row.radius), row.visible) << row.name;
    }
}

TEST(GLSpace, GivesAFiniteViewForAnEyeOnItsTargetOrLookingAlongUp) {
    Camera camera;
    const Vector3 cases[][2] = {{{1, 2, 3}, {1, 2, 3}}, {{0, 10, 0}, {0, 0, 0}}};
    for (const auto& eyeAndTarget : cases) {
        camera.eye = eyeAndTarget[0];
        camera.target = eyeAndTarget[1];
        const Matrix4 matrix = GLViewProjection(camera, kAspect);
        for (const auto& row : matrix.m) {
            for (const float value : row) {
                EXPECT_TRUE(std::isfinite(value));
            }
        }
    }
}

class SnapshotFilesTest : public testing::Test {
protected:
    // The base path as the program builds it: the folder, "\" and the base name.
    [[nodiscard]] std::string Base() const { return m_folder.Path().string() + "\\VantorC"; }
    void Make(const std::string& name) const { WriteBytes(m_folder.File(name), "earlier"); }

    TempFolder m_folder;
};

TEST_F(SnapshotFilesTest, NumbersTheNextFileAfterThoseThere) {
    struct Row {
        const char* name;
        std::vector<std::string> present;
        const char* expected;
    };
    const Row rows[] = {
        {"empty folder", {}, "0001"},
        {"two taken", {"VantorC0001.png", "VantorC0002.png"}, "0003"},
        {"a gap is used", {"VantorC0002.png"}, "0001"},
        {"names in another case count", {"vantorc0001.PNG"}, "0002"},
        {"other base names do not count", {"VantorS0001.png", "VantorC0001.bmp"}, "0001"},
    };
    for (const Row& row : rows) {
        for (const auto& entry : std::filesystem::directory_iterator(m_folder.Path())) {
            std::filesystem::remove(entry.path());
        }
        for (const std::string& name : row.present) {
            Make(name);
        }
        EXPECT_EQ(NextSnapshotFile(Base()), Base() + row.expected + ".png") << row.name;
    }
    EXPECT_EQ(NextSnapshotFile(""), "");
}

TEST_F(SnapshotFilesTest, WritesANewFileAndNeverReplacesOne) {
    Make("VantorC0001.png");
    std::string written;
    ASSERT_EQ(WriteSnapshotFile(Base(), "picture one", written), "");
    EXPECT_EQ(written, Base() + "0002.png");
    ASSERT_EQ(WriteSnapshotFile(Base(), "picture two", written), "");
    EXPECT_EQ(written, Base() + "0003.png");
    EXPECT_EQ(ReadBytes(m_folder.File("VantorC0001.png")), "earlier");
    EXPECT_EQ(ReadBytes(m_folder.File("VantorC0002.png")), "picture one");
}

TEST_F(SnapshotFilesTest, ReportsAFolderItCannotWriteToAndLeavesNothing) {
    Make("plain file");
    const std::string bases[] = {m_folder.Path().string() + "\\missing\\VantorS",
                                 m_folder.File("plain file") + "\\VantorS", ""};
    for (const std::string& base : bases) {
        std::string written = "stale";
        const std::string error = WriteSnapshotFile(base, "picture", written);
        EXPECT_NE(error.find("Cannot save the snapshot"), std::string::npos) << base;
        EXPECT_EQ(written, "") << base;
    }
    EXPECT_FALSE(std::filesystem::exists(m_folder.Path() / "missing"));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(m_folder.Path()),
                            std::filesystem::directory_iterator()),
              1);
}

// A DXT1 block: two RGB565 colours and 16 two-bit indices, pixel (x, y) at bit 2(4y + x).
std::vector<std::uint8_t> Dxt1Block(std::uint16_t c0, std::uint16_t c1,
                                    const std::array<int, 16>& indices) {
    std::uint32_t bits = 0;
    for (int i = 0; i < 16; ++i) {
        bits |= static_cast<std::uint32_t>(indices[static_cast<std::size_t>(i)]) << (2 * i);
    }
    return {static_cast<std::uint8_t>(c0 & 0xFF),
            static_cast<std::uint8_t>(c0 >> 8),
            static_cast<std::uint8_t>(c1 & 0xFF),
            static_cast<std::uint8_t>(c1 >> 8),
            static_cast<std::uint8_t>(bits & 0xFF),
            static_cast<std::uint8_t>((bits >> 8) & 0xFF),
            static_cast<std::uint8_t>((bits >> 16) & 0xFF),
            static_cast<std::uint8_t>(bits >> 24)};
}

std::array<int, 4> Pixel(const TextureLevel& level, int x, int y) {
    const auto at = (static_cast<std::size_t>(y) * static_cast<std::size_t>(level.width) +
                     static_cast<std::size_t>(x)) *
                    4;
    return {level.data[at], level.data[at + 1], level.data[at + 2], level.data[at + 3]};
}

constexpr std::uint16_t kRed565 = 0xF800;
constexpr std::uint16_t kBlue565 = 0x001F;

TEST(TextureDecode, DecodesDxt1BlocksInPlaceWithTheirOneBitAlpha) {
    if (!CanDecompressTextures()) {
        GTEST_SKIP() << "built without libsquish";
    }
    // Left block: four colours (c0 > c1), index 1 top right, 2 bottom left.
    std::array<int, 16> left{};
    left[3] = 1;
    left[12] = 2;
    // Right block: three colours and transparency (c0 <= c1), index 3 at (1, 1).
    std::array<int, 16> right{};
    right[5] = 3;
    right[6] = 2;
    TextureImage image{PixelFormat::Dxt1, {{8, 4, Dxt1Block(kRed565, kBlue565, left)}}, true};
    const auto second = Dxt1Block(kBlue565, kRed565, right);
    image.levels[0].data.insert(image.levels[0].data.end(), second.begin(), second.end());
    // A second level too short for its 4 x 2 pixels is dropped.
    image.levels.push_back({4, 2, {1, 2, 3}});

    const TextureImage decoded = DecompressTexture(image);
    ASSERT_EQ(decoded.format, PixelFormat::Rgba8);
    ASSERT_EQ(decoded.levels.size(), 1U);
    const TextureLevel& level = decoded.levels[0];
    EXPECT_EQ(Pixel(level, 0, 0), (std::array<int, 4>{255, 0, 0, 255}));
    EXPECT_EQ(Pixel(level, 3, 0), (std::array<int, 4>{0, 0, 255, 255}));
    const auto twoThirdsRed = Pixel(level, 0, 3);
    EXPECT_NEAR(twoThirdsRed[0], 170, 1);
    EXPECT_NEAR(twoThirdsRed[2], 85, 1);
    EXPECT_EQ(Pixel(level, 4, 0), (std::array<int, 4>{0, 0, 255, 255}));
    EXPECT_EQ(Pixel(level, 5, 1)[3], 0);
    const auto halfway = Pixel(level, 6, 1);
    EXPECT_NEAR(halfway[0], 128, 1);
    EXPECT_NEAR(halfway[2], 128, 1);
    EXPECT_EQ(halfway[3], 255);
}

TEST(TextureDecode, ReadsTheAlphaOfDxt3AndDxt5Blocks) {
    if (!CanDecompressTextures()) {
        GTEST_SKIP() << "built without libsquish";
    }
    const auto colour = Dxt1Block(kRed565, kBlue565, {});
    // DXT3: four explicit bits a pixel; pixel 0 has 8 (0x88), the others 15.
    std::vector<std::uint8_t> dxt3 = {0xF8, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
    dxt3.insert(dxt3.end(), colour.begin(), colour.end());
    // DXT5: alpha 255 and 0 with three-bit indices; pixel 0 takes index 1 (0).
    std::vector<std::uint8_t> dxt5 = {255, 0, 0x01, 0, 0, 0, 0, 0};
    dxt5.insert(dxt5.end(), colour.begin(), colour.end());

    const TextureImage three = DecompressTexture({PixelFormat::Dxt3, {{4, 4, dxt3}}, true});
    ASSERT_EQ(three.levels.size(), 1U);
    EXPECT_EQ(Pixel(three.levels[0], 0, 0), (std::array<int, 4>{255, 0, 0, 0x88}));
    EXPECT_EQ(Pixel(three.levels[0], 1, 0)[3], 255);
    const TextureImage five = DecompressTexture({PixelFormat::Dxt5, {{4, 4, dxt5}}, true});
    ASSERT_EQ(five.levels.size(), 1U);
    EXPECT_EQ(Pixel(five.levels[0], 0, 0)[3], 0);
    EXPECT_EQ(Pixel(five.levels[0], 1, 0)[3], 255);
}

TEST(TextureDecode, GivesNoLevelsForBlocksTooShortForTheirSize) {
    const TextureImage decoded =
        DecompressTexture({PixelFormat::Dxt5, {{8, 8, std::vector<std::uint8_t>(16)}}, false});
    EXPECT_TRUE(decoded.levels.empty());
}

}  // namespace
}  // namespace vantor::view3d
