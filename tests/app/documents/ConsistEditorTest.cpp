#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <numeric>
#include <optional>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "ConsistTestSupport.h"
#include "TempFolder.h"
#include "documents/ConsistEditor.h"

namespace {

using testing::HasSubstr;
namespace fs = std::filesystem;
using consist_test::Consist;
using consist_test::ConsistBytes;
using consist_test::Dump;
using consist_test::Lines;
using consist_test::Vehicle;
using testing_support::ReadBytes;
using testing_support::TempFolder;
using testing_support::WriteBytes;
using vantor::ConsistEditor;
using vantor::MoveCommand;
using vantor::StockRow;
using vantor::VehicleRow;

const StockRow kBoxcar{"Wagon", "Demo Box", "Box"};

// The consist's TrainCfg item.
const corvane::TSFileItem& Cfg(const ConsistEditor& editor) {
    return *editor.File().Items()->Item(1)->Children()->Item(1);
}

// The vehicles' UiDs in row order.
std::vector<std::string> Uids(const ConsistEditor& editor) {
    std::vector<std::string> uids;
    for (const VehicleRow& row : editor.Rows()) {
        uids.push_back(Cfg(editor).Children()->Item(row.tag)->Child("UiD")->Parameter(0));
    }
    return uids;
}

// The counter's value, "none" when the consist has no counter.
std::string Counter(const ConsistEditor& editor) {
    const auto counter = Cfg(editor).Child("NextWagonUID");
    return counter ? counter->Parameter(0) : "none";
}

std::vector<std::string> Shapes(const ConsistEditor& editor) {
    std::vector<std::string> shapes;
    for (const VehicleRow& row : editor.Rows()) {
        shapes.push_back(row.shape);
    }
    return shapes;
}

// Returns the vehicles V1 to count with UiDs 0 to count - 1.
std::string Numbered(int count) {
    std::string lines;
    for (int i = 0; i < count; ++i) {
        lines += (i ? "\r\n" : "") + Vehicle("Wagon", i, "V" + std::to_string(i + 1), "Box");
    }
    return lines;
}

class ConsistEditorTest : public testing::Test {
protected:
    // Writes a consist file with this body and loads it.
    void Load(const std::string& body, const std::string& name = "c.con") {
        WriteBytes(m_folder.File(name), ConsistBytes(body));
        m_editor.Load(m_folder.File(name));
    }
    std::string TreeText() const { return Dump(*m_editor.File().Items()); }

    TempFolder m_folder;
    ConsistEditor m_editor;
};

TEST_F(ConsistEditorTest, LoadShowsRowsFieldsAndCaptionAsTheListDoes) {
    Load(Consist("\"Two Car\"", "4",
                 Vehicle("Engine", 0, "DD40", "\"Demo Diesel\"") + "\r\n" +
                     Vehicle("Wagon", 1, "Hopper", "Hopper", true) + "\r\n" +
                     Vehicle("Wagon", 2, "Odd", "\"Three Word Folder\"")));
    EXPECT_EQ(m_editor.Rows(), (std::vector<VehicleRow>{{"Engine", "Demo Diesel", "DD40", 5},
                                                        {"Wagon*", "Hopper", "Hopper", 6},
                                                        {"Wagon", "\"Three", "Odd", 7}}));
    EXPECT_EQ(m_editor.Caption(), "Consist - Two Car");
    EXPECT_EQ(m_editor.MaxVelocity(0), "22.35200");
    EXPECT_THROW((void)m_editor.MaxVelocity(2), std::out_of_range);
    EXPECT_FALSE(m_editor.Changed());
    EXPECT_EQ(m_editor.SelectedRow(), 0);
    m_editor.SelectRow(4);
    EXPECT_EQ(m_editor.SelectedRow(), 0) << "a row beyond the list selects none";
}

TEST_F(ConsistEditorTest, LoadRefusesWhatIsNotAUsableConsistAndKeepsWhatItHad) {
    Load(Consist("Good", "1", Numbered(1)));
    const std::string before = TreeText();
    struct Row {
        const char* fault;
        std::string body;  // empty: no file at all
        const char* says;
    };
    const std::string head = "Train (\r\n\tTrainCfg ( X\r\n\t\tName ( X )\r\n";
    const std::string fields = "\t\tMaxVelocity ( 40 1 )\r\n\t\tDurability ( 1 )\r\n";
    const std::string end = "\t)\r\n)";
    const Row rows[] = {
        {"missing file", "", "does not exist"},
        {"a wagon file named .con", "Wagon ( W\r\n\tMass ( 1 )\r\n)", "no \"Train\" item"},
        {"Train without TrainCfg", "Train (\r\n\tSerial ( 1 )\r\n)", "\"TrainCfg\""},
        {"MaxVelocity with one value",
         head + "\t\tMaxVelocity ( 40 )\r\n\t\tDurability ( 1 )\r\n" + end, "\"MaxVelocity\""},
        {"no Durability", head + "\t\tMaxVelocity ( 40 1 )\r\n" + end, "\"Durability\""},
        {"Data item without a folder",
         head + fields + "\t\tEngine (\r\n\t\t\tEngineData ( E )\r\n\t\t)\r\n" + end,
         "vehicle 1 (Engine) has no \"EngineData\""},
    };
    for (const Row& row : rows) {
        const std::string path = m_folder.File(std::string(row.fault) + ".con");
        if (!row.body.empty()) {
            WriteBytes(path, ConsistBytes(row.body));
        }
        try {
            m_editor.Load(path);
            ADD_FAILURE() << row.fault << ": loaded";
        } catch (const std::runtime_error& e) {
            EXPECT_THAT(e.what(), HasSubstr(row.says)) << row.fault;
        }
        EXPECT_EQ(TreeText(), before) << row.fault;
        EXPECT_EQ(m_editor.Caption(), "Consist - Good") << row.fault;
    }
}

TEST(ConsistTemplateTest, TemplateFillsOnlyConsistFilesWhateverTheExtensionsCase) {
    vantor::NewFileTemplate(nullptr, "con");
    corvane::TSFile wagon;
    vantor::NewFileTemplate(&wagon, "wag");
    EXPECT_EQ(wagon.Items()->Count(), 0);
    corvane::TSFile file;
    vantor::NewFileTemplate(&file, "CON");
    EXPECT_EQ(Dump(*file.Items()),
              "Train\n  TrainCfg\n    Name [Unknown]\n    MaxVelocity [40.00000] [1.00000]\n"
              "    NextWagonUID [1]\n    Durability [1.0]\n");
}

TEST_F(ConsistEditorTest, NewConsistChangesAtOnceAndNumbersFromOne) {
    m_editor.New();
    EXPECT_TRUE(m_editor.Changed());
    EXPECT_TRUE(m_editor.CanApply());
    EXPECT_EQ(m_editor.Caption(), "");
    EXPECT_EQ(m_editor.MaxVelocity(0), "") << "fields stay empty until the first edit";
    EXPECT_EQ(m_editor.Move(MoveCommand::Add, kBoxcar), "");
    EXPECT_EQ(Uids(m_editor), std::vector<std::string>{"1"});
    EXPECT_EQ(Counter(m_editor), "2");
    EXPECT_EQ(m_editor.Caption(), "Consist - ") << "TrainCfg of the template has no name";
    EXPECT_EQ(m_editor.MaxVelocity(0), "40.00000");
}

TEST_F(ConsistEditorTest, AddAppendsTheSelectedStockWithTheCounterAsUid) {
    Load(Consist("C", "7", Numbered(2)));
    m_editor.SelectRow(1);
    EXPECT_EQ(m_editor.Move(MoveCommand::Add, kBoxcar), "");
    EXPECT_EQ(m_editor.Rows().back(), (VehicleRow{"Wagon", "Demo Box", "Box", 7}));
    EXPECT_EQ(m_editor.SelectedRow(), 3);
    EXPECT_TRUE(m_editor.ConsistListActive());
    EXPECT_TRUE(m_editor.Changed());
    EXPECT_EQ(Counter(m_editor), "8");
    const std::string tree = TreeText();
    EXPECT_THAT(tree, HasSubstr("    Wagon\n      UiD [7]\n      WagonData [Box] [Demo Box]\n"));

    // The writer quotes the folder; read back it is two words, shown joined again.
    m_editor.Save(m_folder.File("again.con"));
    ConsistEditor again;
    again.Load(m_folder.File("again.con"));
    EXPECT_EQ(again.Rows().back().folder, "Demo Box");
}

TEST_F(ConsistEditorTest, RefusedAddChangesNothing) {
    struct Row {
        const char* fault;
        const char* counter;
        std::optional<StockRow> stock;
    };
    const Row rows[] = {
        {"no stock row selected", "3", std::nullopt},
        {"not an engine or a wagon", "3", StockRow{"Shape", "F", "S"}},
        {"counter would pass 32767", "32767", kBoxcar},
        {"a folder the reader would split", "3", StockRow{"Wagon", "GP38 (Conrail)", "GP38"}},
        {"a file the reader would split", "3", StockRow{"Wagon", "Box", "Car)"}},
    };
    for (const Row& row : rows) {
        Load(Consist("C", row.counter, Numbered(2)));
        const std::string before = TreeText();
        EXPECT_NE(m_editor.Move(MoveCommand::Add, row.stock), "") << row.fault;
        EXPECT_EQ(TreeText(), before) << row.fault;
        EXPECT_FALSE(m_editor.Changed()) << row.fault;
        EXPECT_EQ(m_editor.Rows().size(), 2u) << row.fault;
    }
}

TEST_F(ConsistEditorTest, NoTwoVehiclesEverShareAUid) {
    // Removing another vehicle than the last one added keeps the counter.
    Load(Consist("C", "7", Numbered(3)));
    m_editor.Move(MoveCommand::Add, kBoxcar);
    m_editor.SelectRow(1);
    m_editor.Move(MoveCommand::Remove);
    EXPECT_EQ(Counter(m_editor), "8");
    m_editor.Move(MoveCommand::Add, kBoxcar);
    EXPECT_EQ(Uids(m_editor), (std::vector<std::string>{"1", "2", "7", "8"}));

    // Removing the last vehicle added lowers it, so its number comes again.
    m_editor.SelectRow(4);
    m_editor.Move(MoveCommand::Remove);
    EXPECT_EQ(Counter(m_editor), "8");
    m_editor.Move(MoveCommand::Add, kBoxcar);
    EXPECT_EQ(Uids(m_editor), (std::vector<std::string>{"1", "2", "7", "8"}));

    // A counter whose number a vehicle holds gives the highest UiD plus one.
    Load(Consist("C", "1", Numbered(3)));
    m_editor.Move(MoveCommand::Add, kBoxcar);
    EXPECT_EQ(Uids(m_editor).back(), "3");
    EXPECT_EQ(Counter(m_editor), "4");

    // A counter that is not a whole number is passed over like a taken number.
    for (const char* counter : {"7.0", "abc"}) {
        Load(Consist("C", counter, Numbered(3)));
        EXPECT_EQ(m_editor.Move(MoveCommand::Add, kBoxcar), "") << counter;
        EXPECT_EQ(Uids(m_editor).back(), "3") << counter;
        EXPECT_EQ(Counter(m_editor), "4") << counter;
    }

    // Without a counter the first vehicle gets 0, the next ones what is free.
    Load(Consist("C", "", ""));
    m_editor.Move(MoveCommand::Add, kBoxcar);
    m_editor.Move(MoveCommand::Add, kBoxcar);
    EXPECT_EQ(Uids(m_editor), (std::vector<std::string>{"0", "1"}));
    EXPECT_EQ(Counter(m_editor), "none") << "no counter is created";

    // Remove all on numbered vehicles still lowers the counter once for each.
    Load(Consist("C", "3", Numbered(3)));
    m_editor.Move(MoveCommand::RemoveAll);
    EXPECT_TRUE(m_editor.Rows().empty());
    EXPECT_EQ(Counter(m_editor), "0");
}

TEST_F(ConsistEditorTest, RemoveSelectsTheRowBeforeOrNone) {
    struct Row {
        int vehicles;
        int selected;
        std::size_t rowsAfter;
        int selectedAfter;
    };
    // The only vehicle, the first, a later one, none selected.
    const Row rows[] = {{1, 1, 0, 0}, {3, 1, 2, 1}, {4, 4, 3, 3}, {3, 0, 3, 0}};
    for (const Row& row : rows) {
        Load(Consist("C", std::to_string(row.vehicles), Numbered(row.vehicles)));
        m_editor.SelectRow(row.selected);
        m_editor.Move(MoveCommand::Remove);
        EXPECT_EQ(m_editor.Rows().size(), row.rowsAfter) << row.vehicles << "/" << row.selected;
        EXPECT_EQ(m_editor.SelectedRow(), row.selectedAfter) << row.vehicles << "/" << row.selected;
        EXPECT_TRUE(m_editor.Changed()) << "even when there was nothing to remove";
        EXPECT_TRUE(m_editor.CanApply());
    }
}

// The random test below checks that items between the vehicles stay in place.
TEST_F(ConsistEditorTest, MovesPassExactlyOneVehicleOverItemsBetween) {
    using Shapes_ = std::vector<std::string>;
    struct Row {
        MoveCommand command;
        int selected;
        Shapes_ shapes;
        int selectedAfter;
    };
    const Row rows[] = {
        {MoveCommand::Forwards, 2, {"V2", "V1", "V3"}, 1},
        {MoveCommand::Backwards, 1, {"V2", "V1", "V3"}, 2},
        {MoveCommand::Forwards, 1, {"V1", "V2", "V3"}, 1},
        {MoveCommand::Backwards, 3, {"V1", "V2", "V3"}, 3},
        {MoveCommand::Backwards, 0, {"V1", "V2", "V3"}, 0},
    };
    const std::string vehicles = Vehicle("Wagon", 0, "V1", "Box") + "\r\n\t\tComment ( x )\r\n" +
                                 Vehicle("Wagon", 1, "V2", "Box") + "\r\n" +
                                 Vehicle("Engine", 2, "V3", "Box");
    for (const Row& row : rows) {
        Load(Consist("C", "3", vehicles));
        m_editor.SelectRow(row.selected);
        m_editor.Move(row.command);
        EXPECT_EQ(Shapes(m_editor), row.shapes) << row.selected;
        EXPECT_EQ(m_editor.SelectedRow(), row.selectedAfter) << row.selected;
        EXPECT_TRUE(m_editor.Changed());
    }
}

TEST_F(ConsistEditorTest, FlipAddsAndRemovesTheFirstChild) {
    Load(Consist("C", "2", Numbered(2)));
    m_editor.SelectRow(2);
    m_editor.Move(MoveCommand::Flip);
    EXPECT_EQ(m_editor.Rows()[1].type, "Wagon*");
    EXPECT_EQ(m_editor.SelectedRow(), 0);
    const auto& vehicle = Cfg(m_editor).Children()->Item(m_editor.Rows()[1].tag);
    EXPECT_EQ(Dump(*vehicle->Children()), "Flip []\nUiD [1]\nWagonData [V2] [Box]\n");
    m_editor.Move(MoveCommand::Flip);
    EXPECT_EQ(m_editor.Rows()[1].type, "Wagon*") << "no row selected: nothing flips";
    m_editor.SelectRow(2);
    m_editor.Move(MoveCommand::Flip);
    EXPECT_EQ(m_editor.Rows()[1].type, "Wagon");
    EXPECT_EQ(Dump(*vehicle->Children()), "UiD [1]\nWagonData [V2] [Box]\n");
}

TEST_F(ConsistEditorTest, FlipsSurviveAnyNumberOfSaves) {
    // "Flip ( )" reads as an item without values, as the simulator's own files have it.
    Load(Lines({"Train (", "\tTrainCfg ( F", "\t\tName ( F )", "\t\tMaxVelocity ( 1 2 )",
                "\t\tDurability ( 1 )", "\t\tFlip ( )", "\t\tEngine (", "\t\t\tFlip ( )",
                "\t\t\tUiD ( 0 )", "\t\t\tEngineData ( E Dir )", "\t\t)", "\t)", ")"}));
    const std::string saved = ConsistBytes(
        Lines({"train (", "\tTrainCfg ( F", "\t\tName ( F )", "\t\tMaxVelocity ( 1 2 )",
               "\t\tDurability ( 1 )", "\t\tFlip ( )", "\t\tEngine (", "\t\t\tFlip ( )",
               "\t\t\tUiD ( 0 )", "\t\t\tEngineData ( E Dir )", "\t\t)", "\t)", ")"}));
    for (int round = 1; round <= 3; ++round) {
        m_editor.Save(m_folder.File("F.con"));
        if (round == 1) {
            EXPECT_EQ(ReadBytes(m_folder.File("F.con")), saved)
                << "every Flip is written as it was read";
        }
        m_editor.Load(m_folder.File("F.con"));
        ASSERT_EQ(m_editor.Rows().size(), 1u);
        EXPECT_EQ(m_editor.Rows()[0].type, "Engine*") << "round " << round;
        EXPECT_EQ(Cfg(m_editor).Child("Engine")->NumParameters(), 0) << "round " << round;
    }
}

TEST_F(ConsistEditorTest, SaveWritesTheTreeNamedAfterTheFile) {
    // The consist files' tests pin a saved new consist, its name quoted.
    m_editor.New();
    m_editor.Save(m_folder.File("My Train.con"));
    EXPECT_FALSE(m_editor.Changed());
    EXPECT_FALSE(m_editor.CanApply());

    // Two dots: the name ends before the last; three name words become one.
    Load(Consist("\"Three Word Name\"", "2", Numbered(1)));
    m_editor.Move(MoveCommand::Add, StockRow{"Engine", "GP38", "GP38"});
    m_editor.Save(m_folder.File("Big.Train.v2.con"));
    // A loaded file is written back with its first item in lower case.
    EXPECT_EQ(
        ReadBytes(m_folder.File("Big.Train.v2.con")),
        ConsistBytes("t" + Consist("Big.Train.v2", "3",
                                   Numbered(1) + "\r\n" + Vehicle("Engine", 2, "GP38", "GP38"))
                               .substr(1)));

    // A Windows-style path finds its folder whatever the case; no dot: the whole name.
    fs::create_directory(m_folder.Path() / "Sub");
    m_editor.Save(m_folder.Path().string() + "\\SUB\\Plain");
    EXPECT_TRUE(fs::exists(m_folder.Path() / "Sub" / "Plain"));
    EXPECT_THAT(TreeText(), HasSubstr("TrainCfg [Plain]\n    Name [Plain]\n"));

    // A consist without a Name item gains one rather than renaming another first item.
    Load(Lines({"Train (", "\tTrainCfg ( Old", "\t\tSerial ( 1 )", "\t\tMaxVelocity ( 1 2 )",
                "\t\tDurability ( 1 )", "\t)", ")"}));
    m_editor.Save(m_folder.File("New.con"));
    EXPECT_THAT(TreeText(), HasSubstr("TrainCfg [New]\n    Name [New]\n    Serial [1]\n"));

    // A Name item spelled in another case is the Name item: no second one is added.
    Load(Lines({"Train (", "\tTrainCfg ( Old", "\t\tNAME ( Old )", "\t\tMaxVelocity ( 1 2 )",
                "\t\tDurability ( 1 )", "\t)", ")"}));
    m_editor.Save(m_folder.File("Upper.con"));
    EXPECT_THAT(TreeText(), HasSubstr("TrainCfg [Upper]\n    NAME [Upper]\n    MaxVelocity"));
}

// Random consists with items between and inside the vehicles, and random commands:
// no two vehicles ever share a UiD, and items that are not vehicles never move.
TEST_F(ConsistEditorTest, RandomCommandsKeepUidsUniqueAndOtherItemsInPlace) {
    std::mt19937 random(20240611);
    auto chance = [&](int percent) { return static_cast<int>(random() % 100) < percent; };
    const StockRow stock[] = {kBoxcar, {"Engine", "GP38", "GP38"}, {"Wagon", "Hopper", "Hopper"}};
    for (int sequence = 0; sequence < 2000; ++sequence) {
        std::vector<int> uids(40);
        std::iota(uids.begin(), uids.end(), 0);
        std::shuffle(uids.begin(), uids.end(), random);
        std::string vehicles;
        const int count = static_cast<int>(random() % 8);
        for (int i = 0; i < count; ++i) {
            vehicles += (i ? "\r\n" : "") +
                        Vehicle(chance(50) ? "Engine" : "Wagon", uids[i], "S", "F", chance(30));
            if (chance(30)) {
                vehicles += "\r\n\t\tComment ( " + std::to_string(i) + " )";
            }
        }
        const std::string counter = chance(10)  ? ""
                                    : chance(5) ? "x"
                                                : std::to_string(random() % (count + 4));
        Load(Consist("R", counter, vehicles));
        const auto& cfg = *Cfg(m_editor).Children();
        auto others = [&cfg] {
            std::vector<const corvane::TSFileItem*> items;
            for (const auto& item : cfg) {
                if (item->Name() != "Engine" && item->Name() != "Wagon") {
                    items.push_back(item.get());
                }
            }
            return items;
        };
        const auto before = others();
        for (int step = 0; step < 25; ++step) {
            m_editor.SelectRow(static_cast<int>(random() % (m_editor.Rows().size() + 2)));
            const auto command = static_cast<MoveCommand>(random() % 6);
            if (command == MoveCommand::RemoveAll && !chance(10)) {
                continue;
            }
            m_editor.Move(command, chance(90) ? std::optional(stock[random() % 3]) : std::nullopt);
            std::vector<std::string> held = Uids(m_editor);
            std::sort(held.begin(), held.end());
            ASSERT_EQ(std::adjacent_find(held.begin(), held.end()), held.end())
                << "sequence " << sequence << " step " << step << "\n"
                << TreeText();
            ASSERT_EQ(others(), before) << "sequence " << sequence << " step " << step;
        }
    }
}

}  // namespace
