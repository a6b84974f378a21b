#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>
#include <filesystem>

#include "ConsistTestSupport.h"
#include "FakeHost.h"
#include "TempFolder.h"
#include "documents/ConsistEditorView.h"
#include "documents/DocumentWindow.h"

// The consist editor's and consist files' own tests cover the editing, saving and
// file commands; these tests check that the window's buttons and menus reach them.

namespace {

using consist_test::ConsistBytes;
using testing::ElementsAre;
using testing_support::MakeFile;
using testing_support::ReadBytes;
using vantor::Answer;
using vantor::MessageButtons;
using vantor::MessageIcon;

// A consist file of one engine.
std::string ConsistText(const std::string& name) {
    return ConsistBytes(
        consist_test::Consist(name, "2", consist_test::Vehicle("Engine", 1, "GP38", "GP38")));
}

class DocumentTest : public testing::Test {
protected:
    DocumentTest() {
        m_install = (m_folder.Path() / "MSTS").string();
        const auto trains = m_folder.Path() / "MSTS" / "Trains";
        MakeFile(trains / "Trainset" / "GP38" / "GP38.eng",
                 ConsistBytes("Wagon ( GP38\r\n\tWagonShape ( GP38.s )\r\n)\r\nEngine ( GP38 )"));
        MakeFile(trains / "Trainset" / "Box Car" / "Box.wag",
                 ConsistBytes("Wagon ( Box\r\n\tWagonShape ( Box.s )\r\n)"));
        MakeFile(trains / "Consists" / "Freight.con", ConsistText("Freight"));
    }

    std::string Consist(const std::string& name) const {
        return m_install + "\\Trains\\Consists\\" + name + ".con";
    }
    std::string ConsistFile(const std::string& name) const {
        return (m_folder.Path() / "MSTS" / "Trains" / "Consists" / (name + ".con")).string();
    }

    // Opens the consist Freight in a window of its own, adds the stock of the folder
    // Box Car when asked to, and returns the window.
    vantor::DocumentWindow& OpenFreight(bool addBoxCar) {
        Open(Consist("Freight"));
        if (addBoxCar) {
            QTreeWidget* stock = m_document->EditorView()->StockList();
            stock->setCurrentItem(stock->findItems("Box Car", Qt::MatchExactly, 1).value(0));
            Click(*m_document, "cmdMove_0");
        }
        return *m_document;
    }

    // Opens a consist window on the file, a new consist when it is "", in place of the last.
    vantor::DocumentWindow& Open(const std::string& fileName) {
        delete m_document;
        m_document = new vantor::DocumentWindow(m_host);
        m_document->SetFileName(fileName);
        m_document->SetMode(vantor::DocumentMode::Consist);
        m_document->show();
        return *m_document;
    }

    static void Click(vantor::DocumentWindow& document, const char* button) {
        auto* found = document.findChild<QPushButton*>(button);
        ASSERT_NE(found, nullptr) << button;
        QTest::mouseClick(found, Qt::LeftButton);
    }

    testing_support::TempFolder m_folder;
    std::string m_install;
    testing_support::FakeHost m_host{(m_folder.Path() / "MSTS").string(), m_folder.Path().string()};
    QPointer<vantor::DocumentWindow> m_document;

    ~DocumentTest() override { delete m_document; }
};

TEST_F(DocumentTest, ButtonsEditApplyAndSaveTheConsist) {
    vantor::DocumentWindow& document = OpenFreight(true);
    EXPECT_EQ(document.Editor().Rows().at(1).folder, "Box Car");
    EXPECT_THAT(m_host.status, ElementsAre(vantor::kStockLoadingStatus, vantor::kStockDoneStatus));
    m_host.prompts.ExpectMessage(MessageIcon::Information, "Save Consist",
                                 Consist("Freight") + " saved");
    Click(document, "cmdAction_1");
    EXPECT_FALSE(document.Editor().Changed());
    EXPECT_NE(ReadBytes(ConsistFile("Freight")).find(testing_support::Utf16Bytes("Box Car", false)),
              std::string::npos);
}

// The facts under the vehicle list follow every edit; the test stock has no mass,
// so the vehicles without it are named.
TEST_F(DocumentTest, FactsFollowEveryEdit) {
    OpenFreight(false);
    const auto facts = [this] {
        return m_document->findChild<QLabel*>("lblFacts")->text().toStdString();
    };
    EXPECT_THAT(facts(), testing::StartsWith("1 vehicle (1 engine, 0 wagons, 0 flipped)"));
    OpenFreight(true);
    EXPECT_THAT(facts(), testing::StartsWith("2 vehicles (1 engine, 1 wagon, 0 flipped)"));
    EXPECT_THAT(facts(),
                testing::HasSubstr("2 vehicles without Mass: 1 GP38\\GP38, 2 Box Car\\Box"));
    m_document->Editor().SelectRow(2);
    Click(*m_document, "cmdMove_5");
    EXPECT_THAT(facts(), testing::StartsWith("2 vehicles (1 engine, 1 wagon, 1 flipped)"));
    m_document->Editor().SelectRow(1);
    Click(*m_document, "cmdMove_1");
    EXPECT_THAT(facts(), testing::StartsWith("1 vehicle (0 engines, 1 wagon, 1 flipped)"));
    Click(*m_document, "cmdMove_2");
    EXPECT_THAT(facts(), testing::StartsWith("0 vehicles (0 engines, 0 wagons, 0 flipped)"));
    ASSERT_TRUE(m_document->Undo());
    EXPECT_THAT(facts(), testing::StartsWith("1 vehicle (0 engines, 1 wagon, 1 flipped)"));
}

// A click whose command finds nothing to do changes only Changed and Apply and OK:
// the caption, the focus and the rows stay, and no events run.
TEST_F(DocumentTest, CommandsThatDoNothingLeaveTheWindowAlone) {
    int eventRuns = 0;
    m_host.Services().processEvents = [&eventRuns] { ++eventRuns; };
    const std::string savedAs = ConsistFile("Saved As");
    struct Setup {
        const char* consist;
        std::string fileName;
        bool saveAs;
    };
    const Setup setups[] = {{"new", "", false},
                            {"loaded", Consist("Freight"), false},
                            {"saved as", Consist("Freight"), true}};
    for (const Setup& setup : setups) {
        vantor::DocumentWindow& document = Open(setup.fileName);
        if (setup.saveAs) {
            m_host.prompts.ExpectSaveFile("Save Consist As", savedAs)
                .ExpectMessage(MessageIcon::Information, "Save Consist", savedAs + " saved");
            document.SetFileName("");
            ASSERT_TRUE(document.SaveConsist(false));
        }
        document.setWindowTitle("Caption before");
        const auto rows = document.Editor().Rows();
        auto* apply = document.findChild<QPushButton*>("cmdAction_1");

        // Without a vehicle or stock row selected, and the moves at the two ends.
        const int last = static_cast<int>(rows.size());
        std::vector<std::pair<const char*, int>> clicks = {{"cmdMove_0", 0},
                                                           {"cmdMove_1", 0},
                                                           {"cmdMove_3", 0},
                                                           {"cmdMove_4", 0},
                                                           {"cmdMove_5", 0}};
        if (last == 0) {
            clicks.emplace_back("cmdMove_2", 0);
        } else {
            clicks.insert(clicks.end(), {{"cmdMove_3", 1}, {"cmdMove_4", last}});
        }
        for (const auto& [button, selectedRow] : clicks) {
            const std::string what =
                std::string(setup.consist) + " " + button + " row " + std::to_string(selectedRow);
            QTreeWidget* vehicles = document.EditorView()->VehicleList();
            vehicles->setCurrentItem(selectedRow == 0 ? nullptr
                                                      : vehicles->topLevelItem(selectedRow - 1));
            document.Editor().SetConsistListActive(false);
            document.Editor().SetChanged(false);
            const int runsBefore = eventRuns;
            const bool add = std::string(button) == "cmdMove_0";
            if (add) {
                m_host.prompts.ExpectMessage(MessageIcon::Critical, "Add Stock",
                                             "No stock item is selected to add to the consist.");
            }
            Click(document, button);
            EXPECT_EQ(document.windowTitle(), "Caption before") << what;
            EXPECT_FALSE(document.Editor().ConsistListActive()) << what;
            EXPECT_EQ(eventRuns, runsBefore) << what;
            EXPECT_EQ(document.Editor().Rows(), rows) << what;
            // A refused Add changes nothing at all; the others mark the consist changed.
            EXPECT_EQ(document.Editor().Changed(), !add) << what;
            EXPECT_EQ(apply->isEnabled(), !add || document.Editor().CanApply()) << what;
        }
    }
}

TEST_F(DocumentTest, RefreshCaptionsALoadedConsistByItsNameAndKeepsANewOnesCaption) {
    vantor::DocumentWindow& document = OpenFreight(true);
    document.setWindowTitle("Consist 7");
    document.LoadForm();
    EXPECT_EQ(document.windowTitle(), "Consist - Freight");
    EXPECT_EQ(document.Editor().Rows().size(), 1u) << "the added vehicle is discarded";

    document.SetFileName("");
    document.setWindowTitle("Consist 7");
    document.LoadForm();
    EXPECT_EQ(document.windowTitle(), "Consist 7");
}

TEST_F(DocumentTest, DeleteRemovesOneVehicleAndShiftDeleteAllOnEitherKeypad) {
    struct Row {
        const char* keys;
        Qt::KeyboardModifiers modifiers;
        std::size_t rowsAfter;
    };
    const Row rows[] = {
        {"Delete", Qt::NoModifier, 1},
        {"keypad Delete", Qt::KeypadModifier, 1},
        {"Shift+Delete", Qt::ShiftModifier, 0},
        {"Shift+keypad Delete", Qt::ShiftModifier | Qt::KeypadModifier, 0},
        {"Ctrl+Shift+Delete", Qt::ShiftModifier | Qt::ControlModifier, 1},
    };
    for (const Row& row : rows) {
        vantor::DocumentWindow& document = OpenFreight(true);
        QTreeWidget* vehicles = document.EditorView()->VehicleList();
        vehicles->setCurrentItem(vehicles->topLevelItem(0));
        if (row.rowsAfter == 0) {
            m_host.prompts.ExpectMessage(MessageIcon::Question, "Remove All",
                                         "Remove all 2 vehicles from the consist?", Answer::Yes,
                                         MessageButtons::YesNo);
        }
        QTest::keyClick(vehicles, Qt::Key_Delete, row.modifiers);
        EXPECT_EQ(document.Editor().Rows().size(), row.rowsAfter) << row.keys;
    }
}

TEST_F(DocumentTest, SortingKeepsTheSelectedStockRowSelectedForAdd) {
    vantor::DocumentWindow& document = OpenFreight(false);
    QTreeWidget* stock = document.EditorView()->StockList();
    stock->setCurrentItem(stock->findItems("Box Car", Qt::MatchExactly, 1).value(0));
    for (int click = 0; click < 3; ++click) {  // sorted, reversed, sorted by another column
        stock->header()->sectionClicked(click < 2 ? 1 : 2);
        ASSERT_EQ(stock->selectedItems().size(), 1) << click;
        EXPECT_EQ(stock->selectedItems()[0]->text(1), "Box Car") << click;
        EXPECT_EQ(stock->currentItem(), stock->selectedItems()[0]) << click;
    }
    Click(document, "cmdMove_0");
    EXPECT_EQ(document.Editor().Rows().back().folder, "Box Car");
}

TEST_F(DocumentTest, StockRowsShowWhileTheScanGoesOn) {
    std::vector<int> rowsSeen;
    m_host.Services().processEvents = [this, &rowsSeen] {
        rowsSeen.push_back(m_document->EditorView()->StockList()->topLevelItemCount());
    };
    Open(Consist("Freight"));
    ASSERT_GE(rowsSeen.size(), 2u) << "events run after each of the two folders";
    EXPECT_EQ(rowsSeen[0], 1) << "the first folder's row shows before the second is read";
    EXPECT_EQ(m_document->EditorView()->StockList()->topLevelItemCount(), 2);
}

// View Consist with unsaved changes views a quiet temporary copy; the changes are
// lost only after No.
TEST_F(DocumentTest, ChangesAreViewedAsACopyAndLostOnlyAfterNo) {
    vantor::DocumentWindow& document = OpenFreight(true);
    m_host.prompts.ExpectMessage(
        MessageIcon::Question, "View Consist",
        "Consist has changed.  Do you want to save it before viewing the consist?", Answer::No,
        MessageButtons::YesNoCancel);
    Click(document, "cmdAction_3");
    ASSERT_EQ(m_host.opened.size(), 1u);
    EXPECT_EQ(m_host.opened[0].fileName, m_host.TemporaryConsistPath());
    EXPECT_EQ(m_host.opened[0].mode, vantor::DocumentMode::Consist3D);
    EXPECT_TRUE(std::filesystem::exists(m_host.TemporaryConsistPath()));
    EXPECT_EQ(document.FileName(), Consist("Freight"));

    const std::string changed =
        "Consist has changed.  All changes will be lost if you do not save it.  Do you want to "
        "save it before closing";
    m_host.prompts
        .ExpectMessage(MessageIcon::Question, "Close", changed + "?", Answer::Cancel,
                       MessageButtons::YesNoCancel)
        .ExpectMessage(MessageIcon::Question, "Cancel", changed + " the consist?", Answer::No,
                       MessageButtons::YesNoCancel);
    EXPECT_FALSE(document.close());
    ASSERT_TRUE(m_document);
    Click(document, "cmdAction_0");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(m_document) << "the window closed";
    EXPECT_EQ(ReadBytes(ConsistFile("Freight")), ConsistText("Freight"));
}

TEST_F(DocumentTest, ViewShapeDragAndContextMenusActOnTheSelectedStock) {
    vantor::DocumentWindow& document = OpenFreight(false);
    m_host.prompts.ExpectMessage(MessageIcon::Critical, "View Shape", "Nothing selected to view");
    document.ActionClick(vantor::ActionCommand::ViewShape);

    QTreeWidget* stock = document.EditorView()->StockList();
    stock->setCurrentItem(stock->topLevelItem(0));
    const QRect row = stock->visualItemRect(stock->topLevelItem(0));
    QTest::mousePress(stock->viewport(), Qt::LeftButton, {}, row.center());
    EXPECT_EQ(m_host.status.back(), "Dragging Wagon");
    QTest::mouseRelease(stock->viewport(), Qt::LeftButton, {}, row.center());
    EXPECT_EQ(m_host.status.back(), "Dragged Wagon");

    stock->setFocus();
    Click(document, "cmdAction_4");
    ASSERT_EQ(m_host.opened.size(), 1u);
    EXPECT_EQ(m_host.opened[0].caption, "Wagon - Box");
    EXPECT_EQ(m_host.opened[0].mode, vantor::DocumentMode::Shape3D);
    EXPECT_EQ(m_host.opened[0].fileName, m_install + "\\Trains\\Trainset\\Box Car\\Box.s");

    QTest::mouseClick(stock->viewport(), Qt::RightButton, {}, row.center());
    QTest::mouseClick(document.EditorView()->VehicleList()->viewport(), Qt::RightButton);
    EXPECT_THAT(m_host.menus,
                ElementsAre(vantor::ContextMenu::Stock, vantor::ContextMenu::Consist));
}

TEST_F(DocumentTest, TheConsistListOpensConsistsForEditingAndViewing) {
    vantor::DocumentWindow list(m_host);
    list.SetFilter("*");
    list.SetMode(vantor::DocumentMode::ConsistList);
    EXPECT_THAT(list.ConsistRows(), ElementsAre("Freight"));
    list.EditConsist("Freight");
    list.ViewConsist("Freight");
    ASSERT_EQ(m_host.opened.size(), 2u);
    EXPECT_EQ(m_host.opened[0].fileName, Consist("Freight"));
    EXPECT_EQ(m_host.opened[0].mode, vantor::DocumentMode::Consist);
    EXPECT_EQ(m_host.opened[1].mode, vantor::DocumentMode::Consist3D);
    EXPECT_EQ(m_host.opened[1].caption, "Consist - Freight");
}

// Each row of the vehicle list as "shape" with a "*" when flipped.
std::vector<std::string> Shapes(vantor::DocumentWindow& document) {
    return consist_test::MarkedShapes(document.Editor());
}

TEST_F(DocumentTest, AConsistThatCannotBeReadOpensNoEditor) {
    MakeFile(m_folder.Path() / "MSTS" / "Trains" / "Consists" / "Broken.con",
             ConsistBytes("Wagon ( Box )"));
    m_host.prompts.ExpectMessage(
        MessageIcon::Critical, "Load Consist",
        Consist("Broken") + " is not a usable consist: it has no \"Train\" item.");
    vantor::DocumentWindow& document = Open(Consist("Broken"));
    EXPECT_TRUE(document.LoadFailed());
    EXPECT_FALSE(document.Editor().Changed()) << "no new consist claims unsaved changes";
    EXPECT_EQ(document.FileName(), Consist("Broken"));
    EXPECT_FALSE(Open(Consist("Freight")).LoadFailed());
}

TEST_F(DocumentTest, TheDisplayFieldsTakeNoTyping) {
    vantor::DocumentWindow& document = OpenFreight(false);
    for (const char* name : {"txtMaxVelocity_0", "txtMaxVelocity_1", "txtDurability"}) {
        auto* field = document.findChild<QLineEdit*>(name);
        ASSERT_NE(field, nullptr) << name;
        const QString shown = field->text();
        QTest::keyClicks(field, "99");
        EXPECT_EQ(field->text(), shown) << name;
    }
    EXPECT_FALSE(document.Editor().Changed());
}

TEST_F(DocumentTest, RemoveAllAsksFirstWhenTheConsistHasMoreThanOneVehicle) {
    vantor::DocumentWindow& document = OpenFreight(true);
    document.Editor().SetChanged(false);
    m_host.prompts.ExpectMessage(MessageIcon::Question, "Remove All",
                                 "Remove all 2 vehicles from the consist?", Answer::No,
                                 MessageButtons::YesNo);
    Click(document, "cmdMove_2");
    EXPECT_EQ(document.Editor().Rows().size(), 2u);
    EXPECT_FALSE(document.Editor().Changed()) << "No changes nothing";

    // One vehicle goes without a question.
    QTreeWidget* vehicles = document.EditorView()->VehicleList();
    vehicles->setCurrentItem(vehicles->topLevelItem(1));
    Click(document, "cmdMove_1");
    Click(document, "cmdMove_2");
    EXPECT_TRUE(document.Editor().Rows().empty());
}

TEST_F(DocumentTest, DoubleClickAndDropAddStockWhereTheUserPointsAndUndoTakesThemBack) {
    vantor::DocumentWindow& document = OpenFreight(false);
    int notices = 0;
    QObject::connect(&document, &vantor::DocumentWindow::consistChanged, [&notices] { ++notices; });
    QTreeWidget* stock = document.EditorView()->StockList();
    QTreeWidget* vehicles = document.EditorView()->VehicleList();
    QTreeWidgetItem* box = stock->findItems("Box Car", Qt::MatchExactly, 1).value(0);
    ASSERT_NE(box, nullptr);
    QTest::mouseDClick(stock->viewport(), Qt::LeftButton, {}, stock->visualItemRect(box).center());
    EXPECT_THAT(Shapes(document), ElementsAre("GP38", "Box"));
    EXPECT_EQ(notices, 1);

    // Dropped on the first vehicle: the new one stands before it.
    const auto dropOn = [&](QTreeWidgetItem* from, QPoint at) {
        const QPoint start = stock->visualItemRect(from).center();
        QTest::mousePress(stock->viewport(), Qt::LeftButton, {}, start);
        QTest::mouseRelease(
            stock->viewport(), Qt::LeftButton, {},
            stock->viewport()->mapFromGlobal(vehicles->viewport()->mapToGlobal(at)));
    };
    QTreeWidgetItem* engine = stock->findItems("GP38", Qt::MatchExactly, 1).value(0);
    dropOn(engine, vehicles->visualItemRect(vehicles->topLevelItem(0)).center());
    EXPECT_THAT(Shapes(document), ElementsAre("GP38", "GP38", "Box"));
    EXPECT_EQ(m_host.status.back(), "Dragged Engine");
    // Below the last row: at the end. Released over the stock list: nothing.
    dropOn(box, QPoint(5, vehicles->viewport()->height() - 3));
    EXPECT_THAT(Shapes(document), ElementsAre("GP38", "GP38", "Box", "Box"));
    QTest::mousePress(stock->viewport(), Qt::LeftButton, {}, stock->visualItemRect(box).center());
    QTest::mouseRelease(stock->viewport(), Qt::LeftButton, {}, stock->visualItemRect(box).center());
    EXPECT_EQ(document.Editor().Rows().size(), 4u);

    EXPECT_TRUE(document.Undo());
    EXPECT_TRUE(document.Undo());
    EXPECT_THAT(Shapes(document), ElementsAre("GP38", "Box"));
    EXPECT_EQ(document.Editor().SelectedRow(), 2) << "the row selected before the drop";
    EXPECT_TRUE(document.Undo());
    EXPECT_FALSE(document.Undo());
    EXPECT_FALSE(document.Editor().Changed()) << "back where the consist was loaded";
    EXPECT_FALSE(document.findChild<QPushButton*>("cmdAction_1")->isEnabled());
}

}  // namespace
