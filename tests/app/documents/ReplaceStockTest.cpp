#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "ConsistTestSupport.h"
#include "ScriptedPrompter.h"
#include "TempFolder.h"
#include "corvane/TSFile.h"
#include "documents/ReplaceStock.h"

namespace {

namespace fs = std::filesystem;
using consist_test::Consist;
using consist_test::ConsistBytes;
using consist_test::Lines;
using consist_test::Vehicle;
using testing::ElementsAre;
using testing::HasSubstr;
using testing_support::MakeFile;
using testing_support::ReadBytes;
using testing_support::TempFolder;
using vantor::Answer;
using vantor::MessageButtons;
using vantor::MessageIcon;
using vantor::ReplaceRequest;
using vantor::ReplaceResult;
using vantor::StockRow;

const StockRow kBox{"Wagon", "Box", "Box"};
const StockRow kTank{"Wagon", "Tank", "Tank"};
const StockRow kLoco{"Engine", "Loco", "Loco"};

// An installation of three stock items and three consists: Mixed holds the box
// wagon twice around an engine, the first flipped; Plain holds it once; Other not at all.
class ReplaceStockTest : public testing::Test {
protected:
    void SetUp() override {
        for (const char* stock :
             {"Box/Box.wag", "Tank/Tank.wag", "Loco/Loco.eng", "Box Car/Van.wag"}) {
            MakeFile(m_install.Path() / "Trains" / "Trainset" / stock, ConsistBytes("Wagon ( W )"));
        }
        Write("Mixed", Consist("Mixed", "9",
                               Lines({Vehicle("Wagon", 4, "Box", "Box", true),
                                      Vehicle("Engine", 7, "Loco", "Loco"),
                                      Vehicle("Wagon", 2, "Box", "Box")})));
        Write("Plain", Consist("Plain", "2", Vehicle("Wagon", 1, "Box", "Box")));
        Write("Other", Consist("Other", "2", Vehicle("Wagon", 1, "Tank", "Tank")));
    }

    void Write(const std::string& name, const std::string& body) {
        m_before[name] = ConsistBytes(body);
        MakeFile(File(name), m_before[name]);
    }

    [[nodiscard]] std::string File(const std::string& name) const {
        return (m_install.Path() / "Trains" / "Consists" / (name + ".con")).string();
    }

    // The vehicles of a consist on disk: name, UiD, flip mark and Data parameters.
    [[nodiscard]] std::vector<std::string> Vehicles(const std::string& name) const {
        corvane::TSFile file(File(name));
        file.Load();
        std::vector<std::string> vehicles;
        const auto cfg = file.Items()->Item(1)->Children()->Item(1);
        for (int at = cfg->ChildIndex("Engine|Wagon", 0); at != 0;
             at = cfg->ChildIndex("Engine|Wagon", at)) {
            const auto vehicle = cfg->Children()->Item(at);
            const auto data = vehicle->Child(vehicle->Name() + "Data");
            std::string text = vehicle->Name() + (vehicle->Child("Flip") ? "*" : "") + " " +
                               vehicle->Child("UiD")->Parameter(0) + " " + data->Name();
            for (int k = 0; k < data->NumParameters(); ++k) {
                text += " " + data->Parameter(k);
            }
            vehicles.push_back(text);
        }
        return vehicles;
    }

    [[nodiscard]] bool Unchanged(const std::string& name) const {
        return ReadBytes(File(name)) == m_before.at(name);
    }

    [[nodiscard]] std::vector<fs::path> Backups() const {
        std::vector<fs::path> folders;
        for (const auto& entry : fs::directory_iterator(m_install.Path() / "Trains")) {
            if (entry.path().filename().string().starts_with("Consists backup")) {
                folders.push_back(entry.path());
            }
        }
        return folders;
    }

    ReplaceResult Replace(ReplaceRequest request) {
        return vantor::ReplaceStock(m_folder, request);
    }

    TempFolder m_install;
    std::string m_folder = m_install.Path().string();
    std::map<std::string, std::string> m_before;
};

TEST_F(ReplaceStockTest, KeepsPlaceUidAndFlipBacksUpFirstAndLeavesOthersAlone) {
    const ReplaceResult result = Replace({kBox, kTank});
    ASSERT_EQ(result.changed.size(), 2U);
    EXPECT_EQ(result.changed[0].name, "Mixed");
    EXPECT_THAT(result.changed[0].rows, ElementsAre(1, 3));
    EXPECT_THAT(Vehicles("Mixed"),
                ElementsAre("Wagon* 4 WagonData Tank Tank", "Engine 7 EngineData Loco Loco",
                            "Wagon 2 WagonData Tank Tank"));
    EXPECT_TRUE(Unchanged("Other"));

    // The originals are in one new folder beside the consists, which lists none of them.
    const auto backups = Backups();
    ASSERT_EQ(backups.size(), 1U);
    EXPECT_EQ(fs::path(result.backupFolder), backups[0]);
    EXPECT_EQ(ReadBytes((backups[0] / "Mixed.con").string()), m_before["Mixed"]);
    EXPECT_FALSE(fs::exists(backups[0] / "Other.con"));
    EXPECT_THAT(vantor::ConsistsUsing(m_folder, kTank), ElementsAre("Mixed", "Other", "Plain"));

    const std::string summary = vantor::ReplaceSummary({kBox, kTank}, result);
    EXPECT_THAT(summary, HasSubstr("Mixed: changed rows 1, 3\nPlain: changed row 1\n"));
    EXPECT_THAT(summary, HasSubstr(result.backupFolder));

    // A second replacement keeps the first backup and makes its own.
    Replace({kTank, kBox});
    EXPECT_EQ(Backups().size(), 2U);
    EXPECT_EQ(ReadBytes((backups[0] / "Mixed.con").string()), m_before["Mixed"]);
}

TEST_F(ReplaceStockTest, DryRunOpenEditedAndUntickedConsistsAreNotWritten) {
    ReplaceRequest dry{kBox, kTank};
    dry.dryRun = true;
    const ReplaceResult planned = Replace(dry);
    ASSERT_EQ(planned.changed.size(), 2U);
    EXPECT_TRUE(Backups().empty());
    EXPECT_THAT(vantor::ReplaceSummary(dry, planned), HasSubstr("Mixed: would change rows 1, 3"));

    ReplaceRequest request{kBox, kTank};
    request.openEdited = {"MIXED"};
    request.only = std::vector<std::string>{"mixed", "Other"};
    const ReplaceResult result = Replace(request);
    EXPECT_TRUE(result.changed.empty());
    ASSERT_EQ(result.skipped.size(), 1U);
    EXPECT_EQ(result.skipped[0].name, "Mixed");
    EXPECT_THAT(vantor::ReplaceSummary(request, result),
                HasSubstr("Mixed: skipped, open in an editor with unsaved changes"));
    EXPECT_TRUE(Backups().empty()) << "nothing to change, nothing to back up";
    for (const char* name : {"Mixed", "Plain", "Other"}) {
        EXPECT_TRUE(Unchanged(name)) << name;
    }
}

TEST_F(ReplaceStockTest, AConsistThatEndsInsideAnItemIsNotSavedShort) {
    const std::string whole =
        Consist("Cut", "3",
                Lines({Vehicle("Wagon", 1, "Box", "Box"), Vehicle("Wagon", 2, "Tank", "Tank")}));
    Write("Cut", whole.substr(0, whole.size() - 8));
    const ReplaceResult result = Replace({kBox, kTank});
    ASSERT_EQ(result.skipped.size(), 1U);
    EXPECT_EQ(result.skipped[0].name, "Cut");
    EXPECT_TRUE(Unchanged("Cut"));
}

TEST_F(ReplaceStockTest, KindsMustMatchUnlessAllowed) {
    EXPECT_EQ(vantor::ReplaceProblem(m_folder, {kBox, kLoco}),
              "A wagon can only be replaced by a wagon: Loco\\Loco.eng is an engine");
    EXPECT_THROW(Replace({kBox, kLoco}), std::invalid_argument);
    EXPECT_TRUE(Unchanged("Mixed"));
}

TEST_F(ReplaceStockTest, RefusesWhatTheReaderCannotTakeBack) {
    struct Row {
        const char* name;
        StockRow to;
        const char* problem;
    };
    const Row rows[] = {
        {"not installed", {"Wagon", "Gone", "Gone"}, "Gone\\Gone.wag is not installed"},
        {"itself", {"Wagon", "BOX", "box"}, "is the stock being replaced"},
        {"bracket", {"Wagon", "Box (old)", "Box"}, "holds \"(\""},
        {"blank in the file name", {"Wagon", "Box", "Box Van"}, "two words"},
        {"two blanks in the folder", {"Wagon", "A B C", "Box"}, "more than one blank"},
        {"quote", {"Wagon", "Box\"", "Box"}, "quote character"},
        {"no kind", {"Shape", "Box", "Box"}, "neither an engine nor a wagon"},
    };
    for (const Row& row : rows) {
        EXPECT_THAT(vantor::ReplaceProblem(m_folder, {kBox, row.to}), HasSubstr(row.problem))
            << row.name;
    }
    // A folder of two words is written in quotes and read back joined.
    const StockRow van{"Wagon", "Box Car", "Van"};
    EXPECT_EQ(vantor::ReplaceProblem(m_folder, {kBox, van}), "");
    Replace({kBox, van});
    EXPECT_THAT(vantor::ConsistsUsing(m_folder, van), ElementsAre("Mixed", "Plain"));
}

TEST_F(ReplaceStockTest, StockNamesFromArgumentsAndPaths) {
    EXPECT_EQ(vantor::StockArgument("Box Car/Van.WAG"), (StockRow{"Wagon", "Box Car", "Van"}));
    EXPECT_EQ(vantor::StockArgument("Loco\\Loco.eng"), kLoco);
    for (const char* bad :
         {"Loco.eng", "/Loco.eng", "a/b/Loco.eng", "Loco/Loco.s", "../x.eng", "Loco/.eng"}) {
        EXPECT_FALSE(vantor::StockArgument(bad)) << bad;
    }
    EXPECT_EQ(vantor::StockFromPath(m_folder + "\\Trains\\Trainset\\Loco\\Loco.eng"), kLoco);
    EXPECT_FALSE(vantor::StockFromPath(m_folder + "\\Trains\\Trainset\\Loco\\Loco.sd"));
}

TEST_F(ReplaceStockTest, TheWindowAsksBeforeAChangeOfKindAndReports) {
    const std::string question =
        "Box\\Box.wag is a wagon and Loco\\Loco.eng is an engine.  Replace it all the same?";
    ReplaceRequest request{kBox, kLoco};
    request.only = std::vector<std::string>{"Plain"};
    testing_support::ScriptedPrompter prompts;
    prompts.ExpectMessage(MessageIcon::Question, "Replace in Consists", question, Answer::No,
                          MessageButtons::YesNo);
    EXPECT_FALSE(vantor::ReplaceAfterAsking(m_folder, request, prompts));
    EXPECT_TRUE(Unchanged("Plain"));

    prompts.ExpectMessage(MessageIcon::Question, "Replace in Consists", question, Answer::Yes,
                          MessageButtons::YesNo);
    prompts.ExpectMessageStarting(MessageIcon::Information, "Replace in Consists",
                                  "Plain: changed row 1\n");
    const auto result = vantor::ReplaceAfterAsking(m_folder, request, prompts);
    ASSERT_TRUE(result);
    EXPECT_EQ(prompts.LastMessage(), "Plain: changed row 1\nThe consists as they were are in " +
                                         result->backupFolder +
                                         "; copy them back into the consists folder to undo.\n");
    EXPECT_THAT(Vehicles("Plain"), ElementsAre("Engine 1 EngineData Loco Loco"));
}

}  // namespace
