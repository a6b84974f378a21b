#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "ConsistTestSupport.h"
#include "TempFolder.h"
#include "documents/ConsistEditor.h"

namespace {

namespace fs = std::filesystem;
using consist_test::Consist;
using consist_test::ConsistBytes;
using consist_test::Dump;
using consist_test::Lines;
using consist_test::MarkedShapes;
using consist_test::Vehicle;
using testing_support::ReadBytes;
using testing_support::TempFolder;
using testing_support::WriteBytes;
using vantor::ConsistEditor;
using vantor::MoveCommand;
using vantor::StockRow;

const StockRow kHopper{"Wagon", "Hopper", "Hopper"};
const StockRow kEngine{"Engine", "GP38", "GP38"};

class EditHistoryTest : public testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(m_folder.Path() / "a");
        fs::create_directories(m_folder.Path() / "b");
    }
    // Writes a consist with three vehicles, a comment between them and a flip, and loads it.
    void LoadThree() {
        const std::string vehicles =
            Lines({Vehicle("Engine", 0, "V1", "Box"), "\t\tComment ( keep )",
                   Vehicle("Wagon", 1, "V2", "Box", true), Vehicle("Wagon", 2, "V3", "Box")});
        WriteBytes(m_folder.File("a/c.con"), ConsistBytes(Consist("c", "3", vehicles)));
        m_editor.Load(m_folder.File("a/c.con"));
    }
    // Returns the bytes the editor writes under the same consist name in folder b.
    std::string SavedBytes() {
        m_editor.Save(m_folder.File("b/c.con"));
        return ReadBytes(m_folder.File("b/c.con"));
    }

    TempFolder m_folder;
    ConsistEditor m_editor;
};

// Random edits of every kind, undone to the start, write the loaded consist's bytes.
TEST_F(EditHistoryTest, RandomEditsUndoneToTheStartGiveTheLoadedBytesBack) {
    std::mt19937 random(7011);
    const StockRow stock[] = {kHopper, kEngine};
    for (int sequence = 0; sequence < 80; ++sequence) {
        LoadThree();
        const std::string loadedBytes = SavedBytes();
        m_editor.Load(m_folder.File("a/c.con"));

        int done = 0;
        for (int step = 0; step < 30; ++step) {
            m_editor.SelectRow(static_cast<int>(random() % (m_editor.Rows().size() + 1)));
            const int kind = static_cast<int>(random() % 7);
            if (kind == 6) {
                m_editor.AddAt(stock[random() % 2],
                               static_cast<int>(random() % (m_editor.Rows().size() + 2)));
            } else {
                m_editor.Move(static_cast<MoveCommand>(kind), stock[random() % 2]);
            }
            done += m_editor.Acted() ? 1 : 0;
        }
        int undone = 0;
        while (m_editor.Undo()) {
            ++undone;
        }
        ASSERT_EQ(undone, done);
        ASSERT_FALSE(m_editor.Changed());
        ASSERT_EQ(SavedBytes(), loadedBytes);
        m_editor.Load(m_folder.File("a/c.con"));
        ASSERT_FALSE(m_editor.CanRedo()) << "loading forgets the history";
    }
}

TEST_F(EditHistoryTest, UndoRestoresTheSelectionAndRedoGoesForwardAgain) {
    LoadThree();
    m_editor.SelectRow(3);
    m_editor.Move(MoveCommand::Forwards);
    m_editor.Move(MoveCommand::Flip);
    ASSERT_EQ(MarkedShapes(m_editor), (std::vector<std::string>{"V1", "V3*", "V2*"}));
    EXPECT_EQ(m_editor.SelectedRow(), 0);

    ASSERT_TRUE(m_editor.Undo());
    EXPECT_EQ(MarkedShapes(m_editor), (std::vector<std::string>{"V1", "V3", "V2*"}));
    EXPECT_EQ(m_editor.SelectedRow(), 2) << "the row selected when Flip ran";
    ASSERT_TRUE(m_editor.Undo());
    EXPECT_EQ(m_editor.SelectedRow(), 3);
    EXPECT_FALSE(m_editor.Undo());

    ASSERT_TRUE(m_editor.Redo());
    EXPECT_EQ(MarkedShapes(m_editor), (std::vector<std::string>{"V1", "V3", "V2*"}));
    EXPECT_EQ(m_editor.SelectedRow(), 2);

    // A new edit after an undo drops what could be redone.
    m_editor.Move(MoveCommand::RemoveAll);
    EXPECT_FALSE(m_editor.CanRedo());
    ASSERT_TRUE(m_editor.Undo());
    EXPECT_EQ(MarkedShapes(m_editor), (std::vector<std::string>{"V1", "V3", "V2*"}));

    // A command that finds nothing to do is no step of the history.
    m_editor.SelectRow(1);
    m_editor.Move(MoveCommand::Forwards);
    ASSERT_TRUE(m_editor.Undo());
    EXPECT_EQ(MarkedShapes(m_editor), (std::vector<std::string>{"V1", "V2*", "V3"}));
}

TEST_F(EditHistoryTest, SavingKeepsTheHistoryAndMarksWhereChangedClears) {
    LoadThree();
    m_editor.SelectRow(1);
    m_editor.Move(MoveCommand::Remove);
    m_editor.Move(MoveCommand::Add, kHopper);
    m_editor.Save(m_folder.File("a/c.con"));
    EXPECT_FALSE(m_editor.Changed());
    ASSERT_TRUE(m_editor.CanUndo()) << "a save does not clear the history";

    m_editor.SelectRow(1);
    m_editor.Move(MoveCommand::Flip);
    EXPECT_TRUE(m_editor.Changed());
    m_editor.Undo();
    EXPECT_FALSE(m_editor.Changed()) << "back at the saved state";
    EXPECT_FALSE(m_editor.CanApply());
    m_editor.Undo();
    EXPECT_TRUE(m_editor.Changed()) << "before the saved state";
    m_editor.Redo();
    EXPECT_FALSE(m_editor.Changed());

    // Once an edit replaces what could be redone past the save, no state is the saved one.
    m_editor.Undo();
    m_editor.SelectRow(1);
    m_editor.Move(MoveCommand::Backwards);
    m_editor.Undo();
    EXPECT_TRUE(m_editor.Changed());

    // A new consist has no file: undoing to the template leaves it changed.
    m_editor.New();
    m_editor.Move(MoveCommand::Add, kEngine);
    m_editor.Undo();
    EXPECT_TRUE(m_editor.Rows().empty());
    EXPECT_TRUE(m_editor.Changed());
}

TEST_F(EditHistoryTest, AddAtPutsTheVehicleBeforeTheRowDroppedOnAsOneStep) {
    LoadThree();
    ASSERT_EQ(m_editor.AddAt(kHopper, 2), "");
    EXPECT_EQ(MarkedShapes(m_editor), (std::vector<std::string>{"V1", "Hopper", "V2*", "V3"}));
    EXPECT_EQ(m_editor.SelectedRow(), 2);
    // The comment after V1 stays where it was, after V1.
    EXPECT_NE(Dump(*m_editor.File().Items()).find("EngineData [V1] [Box]\n    Comment [keep]\n"),
              std::string::npos);
    m_editor.AddAt(kEngine, 99);
    EXPECT_EQ(MarkedShapes(m_editor).back(), "GP38");
    EXPECT_EQ(m_editor.SelectedRow(), 5);
    m_editor.Undo();
    m_editor.Undo();
    EXPECT_EQ(MarkedShapes(m_editor), (std::vector<std::string>{"V1", "V2*", "V3"}));
    EXPECT_NE(m_editor.AddAt(StockRow{"Wagon", "Bad(", "X"}, 1), "");
    EXPECT_FALSE(m_editor.CanUndo()) << "a refused add is no step";
}

}  // namespace
