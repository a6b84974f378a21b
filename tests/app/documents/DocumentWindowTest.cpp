#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QHeaderView>
#include <QLabel>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>
#include <filesystem>

#include "ConsistTestSupport.h"
#include "ShellFixture.h"
#include "documents/ConsistEditorView.h"
#include "documents/DocumentWindow.h"

namespace {

using consist_test::ConsistBytes;
using consist_test::Vehicle;
using testing::ElementsAre;
using testing_support::MakeFile;
using testing_support::ReadBytes;
using testing_support::Utf16Bytes;
using vantor::Answer;
using vantor::MessageButtons;
using vantor::MessageIcon;

// A consist file of one engine.
std::string ConsistText(const std::string& name) {
    return ConsistBytes(consist_test::Consist(name, "2", Vehicle("Engine", 1, "GP38", "GP38")));
}

class DocumentTest : public testing_support::ShellTest {
protected:
    DocumentTest() {
        m_install = (m_folder.Path() / "MSTS").string();
        const auto trainset = m_folder.Path() / "MSTS" / "Trains" / "Trainset";
        MakeFile(trainset / "GP38" / "GP38.eng",
                 ConsistBytes("Wagon ( GP38\r\n\tWagonShape ( GP38.s )\r\n)\r\nEngine ( GP38 )"));
        MakeFile(trainset / "Box Car" / "Box.wag",
                 ConsistBytes("Wagon ( Box\r\n\tWagonShape ( Box.s )\r\n)"));
        MakeFile(m_folder.Path() / "MSTS" / "Trains" / "Consists" / "Freight.con",
                 ConsistText("Freight"));
        m_settings.Write("MSTSDir", m_install);
    }

    std::string Consist(const std::string& name) const {
        return m_install + "\\Trains\\Consists\\" + name + ".con";
    }
    std::string ConsistFile(const std::string& name) const {
        return (m_folder.Path() / "MSTS" / "Trains" / "Consists" / (name + ".con")).string();
    }

    // Starts without windows, opens the consist Freight and returns its window.
    vantor::DocumentWindow& OpenFreight() {
        m_window = Start("   ");
        m_window->OpenFile(Consist("Freight"));
        return *m_window->Documents().back();
    }

    // Selects the stock row of a folder in a consist window.
    static void SelectStock(vantor::DocumentWindow& document, const QString& folder) {
        QTreeWidget* stock = document.EditorView()->StockList();
        for (int i = 0; i < stock->topLevelItemCount(); ++i) {
            if (stock->topLevelItem(i)->text(1) == folder) {
                stock->setCurrentItem(stock->topLevelItem(i));
                return;
            }
        }
        ADD_FAILURE() << "no stock in " << folder.toStdString();
    }

    static void Click(vantor::DocumentWindow& document, const char* button) {
        auto* found = document.findChild<QPushButton*>(button);
        ASSERT_NE(found, nullptr) << button;
        QTest::mouseClick(found, Qt::LeftButton);
    }

    std::string m_install;
    std::unique_ptr<vantor::MainWindow> m_window;
};

// ---------------------------------------------------------------------------
// Opening files

TEST_F(DocumentTest, FilesOpenInTheWindowTheirKindCallsFor) {
    MakeFile(m_folder.Path() / "MSTS" / "odd.wag", "Wagon ( odd )");
    auto window = Start("   ");
    window->OpenFile(Consist("Freight"));
    window->OpenFile(m_install + "\\Trains\\Trainset\\GP38\\GP38.s");
    window->OpenFile(m_install + "\\trains\\trainset\\gp38\\GP38.ENG");
    EXPECT_THAT(
        Captions(*window),
        ElementsAre("Consist - " + Consist("Freight"),
                    "Shape - " + m_install + "\\Trains\\Trainset\\GP38\\GP38.s", "Engine - GP38"));
    const auto documents = window->Documents();
    EXPECT_EQ(documents[0]->Mode(), 1);
    EXPECT_EQ(documents[1]->Mode(), 3);
    EXPECT_EQ(documents[2]->Mode(), 3);
    EXPECT_EQ(documents[2]->FileName(), m_install + "\\trains\\trainset\\gp38\\GP38.s");
    EXPECT_EQ(documents[0]->Editor().Rows().at(0).shape, "GP38");

    // The command line's tests pin the messages for world files and other kinds.
    m_prompts.ExpectMessage(MessageIcon::Critical, "Open File",
                            m_install + "\\odd.wag is not a usable wagon file: it names no shape.");
    window->OpenFile(m_install + "\\odd.wag");
    EXPECT_EQ(window->Documents().size(), 3u);
}

TEST_F(DocumentTest, ActivityOffersItsLooseConsists) {
    std::string objects;
    for (int i = 1; i <= 3; ++i) {
        objects += "\t\t\tActivityObject (\r\n\t\t\t\tTrain_Config (\r\n\t\t\t\t\tTrainCfg ( L" +
                   std::to_string(i) + "\r\n\t\t\t\t\t)\r\n\t\t\t\t)\r\n\t\t\t)\r\n";
    }
    MakeFile(
        m_folder.Path() / "MSTS" / "a.act",
        Utf16Bytes("SIMISA@@@@@@@@@@JINX0a0t______\r\n\r\nTr_Activity (\r\n\tTr_Activity_File (\r\n"
                   "\t\tActivityObjects (\r\n" +
                   objects + "\t\t)\r\n\t)\r\n)"));
    const std::string path = m_install + "\\a.act";
    const std::string question =
        "Found 3 loose consist(s) in activity " + path + "\r\n\r\nWhich do you want to load?";
    auto window = Start("   ");
    m_prompts.ExpectInput(question, "Activity Loose Consists", "*", "2");
    window->OpenFile(path);
    EXPECT_THAT(Captions(*window), ElementsAre("Loose Consist 2 from " + path));
    EXPECT_EQ(window->Documents()[0]->Item()->Parameter(0), "L2");
    EXPECT_EQ(window->Documents()[0]->Mode(), 2);
}

// ---------------------------------------------------------------------------
// Consist list

TEST_F(DocumentTest, EnterOpensEverySelectedConsistShiftEnterViewsThem) {
    MakeFile(m_folder.Path() / "MSTS" / "Trains" / "Consists" / "Local.con", ConsistText("Local"));
    auto window = Start();
    auto* list = window->Documents()[0]->findChild<QTreeWidget*>("lvConsists");
    list->selectAll();
    QTest::keyClick(list, Qt::Key_Return);
    QTest::keyClick(list, Qt::Key_Return, Qt::ShiftModifier);
    EXPECT_THAT(Captions(*window),
                ElementsAre("Consist List 1", "Consist - Freight", "Consist - Local",
                            "Consist - Freight", "Consist - Local"));
    const auto documents = window->Documents();
    EXPECT_EQ(documents[1]->Mode(), 1);
    EXPECT_EQ(documents[4]->Mode(), 2);
    EXPECT_EQ(documents[1]->FileName(), Consist("Freight"));
}

TEST_F(DocumentTest, CopyPasteAndCutWorkOnTheSelectedConsist) {
    auto window = Start();
    auto* list = window->Documents()[0]->findChild<QTreeWidget*>("lvConsists");
    list->setCurrentItem(list->topLevelItem(0));
    Trigger(*window, "mnuEditCopy");
    EXPECT_EQ(m_clipboard.Text(), "Freight");

    const std::string copy = Consist("Copy of Freight");
    m_prompts
        .ExpectInput("Enter new consist name:", "Copy Consist", "Copy of Freight",
                     "Copy of Freight")
        .ExpectMessage(MessageIcon::Information, "Paste", "Created " + copy);
    Trigger(*window, "mnuEditPaste");
    EXPECT_EQ(ReadBytes(ConsistFile("Copy of Freight")), ConsistText("Freight"));

    Trigger(*window, "mnuViewRefresh");
    list->setCurrentItem(list->topLevelItem(0));
    m_prompts.ExpectMessage(MessageIcon::Question, "Delete", "Delete " + copy + " ?", Answer::Yes,
                            MessageButtons::YesNo);
    Trigger(*window, "mnuEditCut");
    EXPECT_FALSE(std::filesystem::exists(ConsistFile("Copy of Freight")));
    EXPECT_THAT(window->Documents()[0]->ConsistRows(), ElementsAre("Freight"));
}

// ---------------------------------------------------------------------------
// Editing and saving

TEST_F(DocumentTest, NewConsistIsEditedAndSavedUnderAChosenName) {
    auto window = Start("   ");
    Trigger(*window, "mnuFileNewConsist");
    vantor::DocumentWindow& document = *window->Documents().back();
    EXPECT_EQ(Captions(*window).back(), "Consist 1");
    EXPECT_TRUE(document.Editor().Changed());
    SelectStock(document, "Box Car");
    Click(document, "cmdMove_0");
    SelectStock(document, "GP38");
    Click(document, "cmdMove_0");
    ASSERT_EQ(document.Editor().Rows().size(), 2u);
    EXPECT_EQ(document.Editor().Rows()[0].folder, "Box Car");

    const std::string target = ConsistFile("My Train");
    m_prompts
        .ExpectSaveFile("Save Consist As",
                        (m_folder.Path() / "MSTS" / "Trains" / "Consists" / "My Train").string())
        .ExpectMessage(MessageIcon::Information, "Save Consist", target + " saved");
    Trigger(*window, "mnuFileSave");
    EXPECT_EQ(Captions(*window).back(), "Consist - " + target);
    EXPECT_FALSE(document.Editor().Changed());
    EXPECT_EQ(
        ReadBytes(target),
        ConsistBytes(
            "Train (\r\n\tTrainCfg ( \"My Train\"\r\n\t\tName ( \"My Train\" )\r\n"
            "\t\tMaxVelocity ( 40.00000 1.00000 )\r\n\t\tNextWagonUID ( 3 )\r\n"
            "\t\tDurability ( 1.0 )\r\n\t\tWagon (\r\n\t\t\tUiD ( 1 )\r\n"
            "\t\t\tWagonData ( Box \"Box Car\" )\r\n\t\t)\r\n\t\tEngine (\r\n\t\t\tUiD ( 2 )\r\n"
            "\t\t\tEngineData ( GP38 GP38 )\r\n\t\t)\r\n\t)\r\n)"));
}

TEST_F(DocumentTest, ExistingConsistAppliesToItsFileAndCanBeSavedAs) {
    vantor::DocumentWindow& document = OpenFreight();
    EXPECT_FALSE(document.findChild<QPushButton*>("cmdAction_1")->isEnabled());
    document.Editor().SelectRow(1);
    Click(document, "cmdMove_5");
    EXPECT_EQ(document.Editor().Rows()[0].type, "Engine*");
    EXPECT_TRUE(document.findChild<QPushButton*>("cmdAction_1")->isEnabled());
    m_prompts.ExpectMessage(MessageIcon::Information, "Save Consist",
                            Consist("Freight") + " saved");
    Click(document, "cmdAction_1");
    EXPECT_NE(ReadBytes(ConsistFile("Freight")).find(Utf16Bytes("Flip (  )", false)),
              std::string::npos);

    const std::string copy = ConsistFile("Freight Copy");
    m_prompts.ExpectSaveFile("Save Consist As", copy)
        .ExpectMessage(MessageIcon::Information, "Save Consist", copy + " saved");
    Trigger(*m_window, "mnuFileSaveAs");
    EXPECT_EQ(document.FileName(), copy);
    EXPECT_NE(ReadBytes(copy).find(Utf16Bytes("Name ( \"Freight Copy\" )", false)),
              std::string::npos);
}

TEST_F(DocumentTest, ClosingWithChangesAsksAndAnUnsavedYesKeepsTheWindow) {
    auto window = Start("   ");
    Trigger(*window, "mnuFileNewConsist");
    const char* question =
        "Consist has changed.  All changes will be lost if you do not save it.  Do you want to "
        "save it before closing?";
    for (const Answer answer : {Answer::Cancel, Answer::Yes, Answer::No}) {
        m_prompts.ExpectMessage(MessageIcon::Question, "Close", question, answer,
                                MessageButtons::YesNoCancel);
        if (answer == Answer::Yes) {
            m_prompts.ExpectSaveFile("Save Consist As", "");
        }
        Trigger(*window, "mnuFileClose");
        QCoreApplication::processEvents();
        EXPECT_EQ(window->Documents().size(), answer == Answer::No ? 0u : 1u)
            << "the edits are lost only after No";
    }
}

TEST_F(DocumentTest, CancelButtonAsksItsOwnQuestionOnce) {
    vantor::DocumentWindow& document = OpenFreight();
    SelectStock(document, "GP38");
    Click(document, "cmdMove_0");
    m_prompts.ExpectMessage(
        MessageIcon::Question, "Cancel",
        "Consist has changed.  All changes will be lost if you do not save it.  Do you "
        "want to save it before closing the consist?",
        Answer::No, MessageButtons::YesNoCancel);
    Click(document, "cmdAction_0");
    QCoreApplication::processEvents();
    EXPECT_TRUE(m_window->Documents().empty());
    EXPECT_EQ(ReadBytes(ConsistFile("Freight")), ConsistText("Freight"));
}

TEST_F(DocumentTest, ViewConsistWithUnsavedChangesViewsAQuietTemporaryCopy) {
    vantor::DocumentWindow& document = OpenFreight();
    SelectStock(document, "Box Car");
    Click(document, "cmdMove_0");
    const std::string caption = Captions(*m_window).back();
    m_prompts.ExpectMessage(
        MessageIcon::Question, "View Consist",
        "Consist has changed.  Do you want to save it before viewing the consist?", Answer::No,
        MessageButtons::YesNoCancel);
    Click(document, "cmdAction_3");
    const std::string temporary = m_window->TemporaryConsistPath();
    ASSERT_EQ(m_window->Documents().size(), 2u);
    EXPECT_EQ(m_window->Documents()[1]->Mode(), 2);
    EXPECT_EQ(m_window->Documents()[1]->FileName(), temporary);
    EXPECT_EQ(Captions(*m_window).back(), caption);
    EXPECT_EQ(document.FileName(), Consist("Freight"));
    EXPECT_TRUE(document.Editor().Changed());
    EXPECT_NE(ReadBytes(temporary).find(Utf16Bytes("Name ( \"Temporary Consist\" )", false)),
              std::string::npos);
    EXPECT_EQ(ReadBytes(ConsistFile("Freight")), ConsistText("Freight"));
}

TEST_F(DocumentTest, ViewShapeOpensTheSelectedStocksShape) {
    vantor::DocumentWindow& document = OpenFreight();
    m_prompts.ExpectMessage(MessageIcon::Critical, "View Shape", "Nothing selected to view");
    Trigger(*m_window, "mnuStockViewShape");
    SelectStock(document, "Box Car");
    document.EditorView()->StockList()->setFocus();
    EXPECT_EQ(document.SelectedItem(), m_install + "\\Trains\\Trainset\\Box Car\\Box.wag");
    Click(document, "cmdAction_4");
    EXPECT_EQ(Captions(*m_window).back(), "Wagon - Box");
    EXPECT_EQ(m_window->Documents().back()->FileName(),
              m_install + "\\Trains\\Trainset\\Box Car\\Box.s");
}

TEST_F(DocumentTest, StockListSortsByClickedColumnAndDragShowsStatus) {
    vantor::DocumentWindow& document = OpenFreight();
    QTreeWidget* stock = document.EditorView()->StockList();
    ASSERT_EQ(stock->topLevelItemCount(), 2);
    EXPECT_EQ(stock->topLevelItem(0)->text(1), "Box Car");
    emit stock->header()->sectionClicked(0);
    EXPECT_EQ(stock->topLevelItem(0)->text(0), "Engine");
    emit stock->header()->sectionClicked(0);
    EXPECT_EQ(stock->topLevelItem(0)->text(0), "Wagon");
    const QRect row = stock->visualItemRect(stock->topLevelItem(0));
    QTest::mousePress(stock->viewport(), Qt::LeftButton, {}, row.center());
    EXPECT_EQ(m_window->findChild<QLabel*>("sbStatusBarPanel1")->text(), "Dragging Wagon");
    QTest::mouseRelease(stock->viewport(), Qt::LeftButton, {}, row.center());
    EXPECT_EQ(m_window->findChild<QLabel*>("sbStatusBarPanel1")->text(), "Dragged Wagon");
    EXPECT_EQ(document.Editor().Rows().size(), 1u);
}

}  // namespace
