// The shape model over real files: texture lookup, the shared library of shapes
// and textures, and what reaches the device.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "ShapeFixtures.h"
#include "TempFolder.h"
#include "view3d/ShapeFileModel.h"
#include "view3d/TextureLookup.h"

namespace {

using namespace vantor::view3d;
using namespace shape_fixtures;
using testing::HasSubstr;
using testing_support::MakeFile;
using testing_support::TempFolder;

struct FakeTexture : DeviceTexture {
    explicit FakeTexture(std::string k) : key(std::move(k)) {}
    std::string key;
};

// Records uploads and draws; keeps one handle per key as the real device does.
class RecordingDevice : public RenderDevice {
public:
    TextureHandle UploadTexture(const std::string& key, const TextureImage& /*image*/) override {
        ++uploads;
        auto& handle = handles[key];
        if (!handle) {
            handle = std::make_shared<FakeTexture>(key);
        }
        return handle;
    }
    void DrawMesh(const std::shared_ptr<const ShapeMesh>& mesh, const Matrix4& world,
                  const std::vector<TextureHandle>& textures) override {
        draws.push_back({mesh, world, textures});
    }

    struct Draw {
        std::shared_ptr<const ShapeMesh> mesh;
        Matrix4 world;
        std::vector<TextureHandle> textures;
    };
    std::map<std::string, TextureHandle> handles;
    std::vector<Draw> draws;
    int uploads = 0;
};

std::string KeyOf(const TextureHandle& handle) {
    return handle ? static_cast<const FakeTexture&>(*handle).key : std::string("(none)");
}

std::string Ace() {
    return AceFile({2, 2, std::vector<std::uint8_t>(16, 90)}, AceKind::Rgb, false);
}
std::string Dds() {
    return DdsFile(4, 4, "DXT1", 1, std::vector<std::uint8_t>(8, 0));
}

class ShapeFileModelTest : public testing::Test {
protected:
    // A stock folder with the shape in it and a TEXTURES folder beside it.
    std::string Stock(const std::string& name) const {
        return (m_folder.Path() / "Trainset" / "Wagon" / name).string();
    }
    std::string Textures(const std::string& name) const {
        return (m_folder.Path() / "Trainset" / "TEXTURES" / name).string();
    }
    std::unique_ptr<ShapeFileModel> Model() {
        auto model = std::make_unique<ShapeFileModel>(m_library);
        model->SetDevice(&m_device);
        model->SetTextureFolder("..\\textures\\");
        return model;
    }

    TempFolder m_folder;
    std::shared_ptr<ShapeLibrary> m_library = std::make_shared<ShapeLibrary>();
    RecordingDevice m_device;
};

TEST_F(ShapeFileModelTest, TexturesComeFromBesideTheShapeThenTheTextureFolderInAnyCase) {
    const std::string shape = MakeFile(Stock("wagon.s"), BinaryShape(TestShape()));
    MakeFile(Textures("BODY.ace"), Ace());   // named "Body.ACE" by the shape
    MakeFile(Stock("glass.ace"), Ace());     // "glass.dds" is missing: its ACE stands in
    MakeFile(Textures("glass.dds"), Dds());  // found later than the ACE beside the shape
    auto model = Model();
    model->LoadShapeFile(shape);
    ASSERT_EQ(model->LoadError(), "");
    ASSERT_EQ(model->TextureCount(), 2);
    EXPECT_EQ(model->GetTextureInfo(0).name, "Body.ACE");
    EXPECT_EQ(model->GetTextureInfo(1).name, "glass.dds");
    EXPECT_EQ(KeyOf(model->TextureObject(0)), Textures("BODY.ace"));
    EXPECT_EQ(KeyOf(model->TextureObject(1)), Stock("glass.ace"));
    // Every spelling of one file is one texture, read and uploaded once, also
    // where any case opens the file.
    const int reads = m_library->TextureReads();
    EXPECT_EQ(model->LoadTexture("..\\Textures\\body.ACE", true), model->TextureObject(0));
    EXPECT_EQ(model->LoadTexture("BODY.ACE", true), model->TextureObject(0));
    EXPECT_EQ(m_library->TextureReads(), reads);

    // Beside the shape wins over the texture folder.
    MakeFile(Stock("body.ace"), Ace());
    EXPECT_EQ(KeyOf(model->LoadTexture("Body.ACE", true)), Stock("body.ace"));
    EXPECT_EQ(FindTexture(shape, "..\\textures\\", "nothing.ace"), std::nullopt);
}

TEST_F(ShapeFileModelTest, AMissingOrBadTextureLeavesAnEmptySlotAndStillDraws) {
    const std::string shape = MakeFile(Stock("wagon.s"), TextShape(TestShape(), true));
    MakeFile(Stock("body.ace"), "SIMISA@@@@@@@@@@ damaged");
    auto model = Model();
    model->LoadShapeFile(shape);
    ASSERT_EQ(model->LoadError(), "");
    EXPECT_FALSE(model->TextureObject(0));
    EXPECT_FALSE(model->TextureObject(1));
    EXPECT_THAT(model->GetTextureInfo(0).text,
                HasSubstr("body.ace: the file is not an ACE texture"));
    std::int32_t flags = 1;
    float level = -1;
    model->SetTransform(MatrixTranslation(0, 0, 7));
    model->Render(flags, level);
    ASSERT_EQ(m_device.draws.size(), 1U);
    EXPECT_EQ(m_device.draws[0].world, MatrixTranslation(0, 0, 7));
    EXPECT_EQ(m_device.draws[0].mesh, model->Mesh());
}

TEST_F(ShapeFileModelTest, FilesUnderANonAsciiNameLoad) {
    const std::filesystem::path folder =
        testing_support::Utf8Path("Trainset/G\xc3\xbcterwagen \xc3\xa9t\xc3\xa9");
    const std::string shape =
        MakeFile(m_folder.Path() / folder / "wagon.s", BinaryShape(TestShape()));
    MakeFile(m_folder.Path() / folder / "body.ace", Ace());
    auto model = Model();
    model->LoadShapeFile(shape);
    ASSERT_EQ(model->LoadError(), "");
    EXPECT_EQ(model->GetTextureInfo(0).width, 2);
    EXPECT_TRUE(model->TextureObject(0));
}

TEST_F(ShapeFileModelTest, FiftyModelsOfOneShapeReadItOnce) {
    const std::string shape = MakeFile(Stock("wagon.s"), Compress(BinaryShape(TestShape())));
    MakeFile(Stock("body.ace"), Compress(Ace()));
    MakeFile(Stock("glass.dds"), Dds());
    std::vector<std::unique_ptr<ShapeFileModel>> models;
    for (int i = 0; i < 50; ++i) {
        models.push_back(Model());
        models.back()->LoadShapeFile(shape);
        ASSERT_EQ(models.back()->LoadError(), "");
    }
    EXPECT_EQ(m_library->ShapeReads(), 1);
    EXPECT_EQ(m_library->TextureReads(), 2);
    EXPECT_EQ(m_device.handles.size(), 2U);
    EXPECT_EQ(models.front()->Mesh(), models.back()->Mesh());
    EXPECT_EQ(models.front()->TextureObject(0), models.back()->TextureObject(0));

    // A shape changed on disk is read again.
    MakeFile(Stock("wagon.s"), BinaryShape(TestShape()) + std::string(4, '\0'));
    std::filesystem::last_write_time(
        shape, std::filesystem::last_write_time(shape) + std::chrono::seconds(5));
    Model()->LoadShapeFile(shape);
    EXPECT_EQ(m_library->ShapeReads(), 2);
}

// The reader's faults themselves are ShapeMeshTest's; here the model names the file.
TEST_F(ShapeFileModelTest, BadShapesGiveALoadErrorNamingFileAndFault) {
    const std::string binary = BinaryShape(TestShape());
    const std::string cut = MakeFile(Stock("cut.s"), binary.substr(0, binary.size() / 2));
    auto model = Model();
    model->LoadShapeFile(cut);
    EXPECT_EQ(model->LoadError(), cut + ": a block reaches past its parent at byte 32");
    EXPECT_EQ(model->TextureCount(), 0);
    // Large files are refused from their first bytes or their size, unread.
    const std::string zeros = MakeFile(Stock("zeros.s"));
    std::filesystem::resize_file(zeros, std::uintmax_t{100} << 20);
    model->LoadShapeFile(zeros);
    EXPECT_EQ(model->LoadError(), zeros + ": the file has no SIMIS header");
    const std::string huge = MakeFile(Stock("huge.s"), "SIMISA@@@@@@@@@@JINX0s1b______\r\n");
    std::filesystem::resize_file(huge, std::uintmax_t{300} << 20);
    model->LoadShapeFile(huge);
    EXPECT_EQ(model->LoadError(), huge + ": the file is too large (314572800 bytes)");
    model->LoadShapeFile(Stock("none.s"));
    EXPECT_EQ(model->LoadError(), Stock("none.s") + " does not exist");
    std::int32_t flags = 1;
    float level = -1;
    model->Render(flags, level);
    EXPECT_TRUE(m_device.draws.empty());
}

TEST_F(ShapeFileModelTest, DeviceAndSlotsFollowFlashDestroyAndRefresh) {
    const std::string shape = MakeFile(Stock("wagon.s"), BinaryShape(TestShape()));
    MakeFile(Stock("body.ace"), Ace());
    MakeFile(Stock("glass.dds"), Dds());
    ShapeFileModel model(m_library);
    model.LoadShapeFile(shape);  // no device yet: slots stay empty
    EXPECT_FALSE(model.TextureObject(0));
    model.SetDevice(&m_device);  // attaching fills the slots
    EXPECT_EQ(KeyOf(model.TextureObject(0)), Stock("body.ace"));
    model.SetTexture(1, nullptr);  // textures off, as a flash does
    m_device.handles.clear();      // the device dropped its scene
    model.Refresh();
    EXPECT_EQ(KeyOf(model.TextureObject(0)), Stock("body.ace"));
    EXPECT_EQ(model.TextureObject(0), m_device.handles[Stock("body.ace")]);
    EXPECT_FALSE(model.TextureObject(1));
    model.SetDevice(nullptr);
    EXPECT_FALSE(model.TextureObject(0));
    std::int32_t flags = 1;
    float level = -1;
    model.Render(flags, level);
    EXPECT_TRUE(m_device.draws.empty()) << "nothing drawn on a device let go";
}

}  // namespace

namespace {

// The demo's stock shapes in their three forms, each with bogies and wheels under
// matrices and textures in every format, beside the shape and in ..\TEXTURES\.
TEST(DemoShapes, LoadWithTheirTexturesFromEveryPlace) {
    const std::string stock = std::string(VANTOR_SOURCE_DIR) + "/demo/Trains/Trainset/";
    struct Row {
        const char* shape;
        std::vector<std::string> found;  // the file behind each image, "" when missing
    };
    const std::vector<Row> rows = {
        {"GP38/GP38.s", {"GP38/GP38.ace", "GP38/GP38_Frame.ace", "GP38/GP38_Bogie.ace"}},
        {"Boxcar/Boxcar40.s",
         {"Boxcar/Boxcar40.ace", "Boxcar/Underframe.ace", "TEXTURES/Bogie.ace"}},
        {"Hopper/Hopper.s", {"Hopper/Hopper.ace", "", "Hopper/Hopper_Bogie.dds"}},
        {"Caboose/Caboose.s",
         {"Caboose/Caboose.dds", "Caboose/Caboose_Frame.ace", "TEXTURES/Bogie.ace"}},
    };
    RecordingDevice device;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.shape);
        ShapeFileModel model(std::make_shared<ShapeLibrary>());
        model.SetDevice(&device);
        model.SetTextureFolder("..\\textures\\");
        model.LoadShapeFile(stock + row.shape);
        ASSERT_EQ(model.LoadError(), "");
        ASSERT_EQ(model.TextureCount(), static_cast<int>(row.found.size()));
        for (int i = 0; i < model.TextureCount(); ++i) {
            const std::string expected =
                row.found[i].empty()
                    ? "(none)"
                    : testing_support::Utf8Text(
                          testing_support::Utf8Path(stock + row.found[i]).make_preferred());
            EXPECT_EQ(KeyOf(model.TextureObject(i)), expected);
        }
        // Bogies and wheels stand below the body, on the rails at y = 0.
        float lowest = 100;
        for (const MeshVertex& v : model.Mesh()->vertices) {
            lowest = std::min(lowest, v.position.y);
        }
        EXPECT_NEAR(lowest, 0, 1e-4);
        // Two bogies and four wheel sets of three boxes: 14 boxes of 12 triangles,
        // besides at least two boxes of body.
        EXPECT_GE(model.Mesh()->indices.size(), (14U + 2U) * 36U);
    }
}

}  // namespace
