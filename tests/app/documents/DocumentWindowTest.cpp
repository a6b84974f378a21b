#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>
#include <filesystem>

#include "ConsistTestSupport.h"
#include "ShellFixture.h"
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

class DocumentTest : public testing_support::ShellTest {
protected:
    DocumentTest() {
        m_install = (m_folder.Path() / "MSTS").string();
        const auto trains = m_folder.Path() / "MSTS" / "Trains";
        MakeFile(trains / "Trainset" / "GP38" / "GP38.eng",
                 ConsistBytes("Wagon ( GP38\r\n\tWagonShape ( GP38.s )\r\n)\r\nEngine ( GP38 )"));
        MakeFile(trains / "Trainset" / "Box Car" / "Box.wag",
                 ConsistBytes("Wagon ( Box\r\n\tWagonShape ( Box.s )\r\n)"));
        MakeFile(trains / "Consists" / "Freight.con", ConsistText("Freight"));
        m_settings.Write("MSTSDir", m_install);
    }

    std::string Consist(const std::string& name) const {
        return m_install + "\\Trains\\Consists\\" + name + ".con";
    }
    std::string ConsistFile(const std::string& name) const {
        return (m_folder.Path() / "MSTS" / "Trains" / "Consists" / (name + ".con")).string();
    }

    // Starts without windows, opens the consist Freight, adds the stock of the
    // folder Box Car when asked to, and returns the consist's window.
    vantor::DocumentWindow& OpenFreight(bool addBoxCar) {
        m_window = Start("   ");
        m_window->OpenFile(Consist("Freight"));
        vantor::DocumentWindow& document = *m_window->Documents().back();
        if (addBoxCar) {
            QTreeWidget* stock = document.EditorView()->StockList();
            stock->setCurrentItem(stock->findItems("Box Car", Qt::MatchExactly, 1).value(0));
            Click(document, "cmdMove_0");
        }
        return document;
    }

    static void Click(vantor::DocumentWindow& document, const char* button) {
        auto* found = document.findChild<QPushButton*>(button);
        ASSERT_NE(found, nullptr) << button;
        QTest::mouseClick(found, Qt::LeftButton);
    }

    std::string m_install;
    std::unique_ptr<vantor::MainWindow> m_window;
};

TEST_F(DocumentTest, FilesOpenInTheWindowTheirKindCallsFor) {
    MakeFile(m_folder.Path() / "MSTS" / "odd.wag", "Wagon ( odd )");
    auto window = Start("   ");
    window->OpenFile(Consist("Freight"));
    window->OpenFile(m_install + "\\trains\\trainset\\gp38\\GP38.ENG");
    EXPECT_THAT(Captions(*window), ElementsAre("Consist - " + Consist("Freight"), "Engine - GP38"));
    m_prompts.ExpectMessage(MessageIcon::Critical, "Open File",
                            m_install + "\\odd.wag is not a usable wagon file: it names no shape.");
    window->OpenFile(m_install + "\\odd.wag");
    EXPECT_EQ(window->Documents().size(), 2u);
}

TEST_F(DocumentTest, ButtonsEditApplyAndSaveTheConsist) {
    vantor::DocumentWindow& document = OpenFreight(true);
    EXPECT_EQ(document.Editor().Rows().at(1).folder, "Box Car");
    m_prompts.ExpectMessage(MessageIcon::Information, "Save Consist",
                            Consist("Freight") + " saved");
    Click(document, "cmdAction_1");
    EXPECT_FALSE(document.Editor().Changed());
    EXPECT_NE(ReadBytes(ConsistFile("Freight")).find(testing_support::Utf16Bytes("Box Car", false)),
              std::string::npos);
}

TEST_F(DocumentTest, ChangesAreLostOnlyAfterNo) {
    vantor::DocumentWindow& document = OpenFreight(true);
    const std::string changed =
        "Consist has changed.  All changes will be lost if you do not save it.  Do you want to "
        "save it before closing";
    m_prompts
        .ExpectMessage(MessageIcon::Question, "Close", changed + "?", Answer::Cancel,
                       MessageButtons::YesNoCancel)
        .ExpectMessage(MessageIcon::Question, "Cancel", changed + " the consist?", Answer::No,
                       MessageButtons::YesNoCancel);
    Trigger(*m_window, "mnuFileClose");
    QCoreApplication::processEvents();
    ASSERT_EQ(m_window->Documents().size(), 1u);
    Click(document, "cmdAction_0");
    QCoreApplication::processEvents();
    EXPECT_TRUE(m_window->Documents().empty());
    EXPECT_EQ(ReadBytes(ConsistFile("Freight")), ConsistText("Freight"));
}

TEST_F(DocumentTest, ViewConsistWithUnsavedChangesViewsAQuietTemporaryCopy) {
    vantor::DocumentWindow& document = OpenFreight(true);
    m_prompts.ExpectMessage(
        MessageIcon::Question, "View Consist",
        "Consist has changed.  Do you want to save it before viewing the consist?", Answer::No,
        MessageButtons::YesNoCancel);
    Click(document, "cmdAction_3");
    ASSERT_EQ(m_window->Documents().size(), 2u);
    EXPECT_EQ(m_window->Documents()[1]->FileName(), m_window->TemporaryConsistPath());
    EXPECT_EQ(document.FileName(), Consist("Freight"));
    EXPECT_TRUE(document.Editor().Changed());
}

TEST_F(DocumentTest, ViewShapeAndDragActOnTheSelectedStock) {
    vantor::DocumentWindow& document = OpenFreight(false);
    m_prompts.ExpectMessage(MessageIcon::Critical, "View Shape", "Nothing selected to view");
    Trigger(*m_window, "mnuStockViewShape");

    QTreeWidget* stock = document.EditorView()->StockList();
    stock->setCurrentItem(stock->topLevelItem(0));
    const QRect row = stock->visualItemRect(stock->topLevelItem(0));
    auto* status = m_window->findChild<QLabel*>("sbStatusBarPanel1");
    QTest::mousePress(stock->viewport(), Qt::LeftButton, {}, row.center());
    EXPECT_EQ(status->text(), "Dragging Wagon");
    QTest::mouseRelease(stock->viewport(), Qt::LeftButton, {}, row.center());
    EXPECT_EQ(status->text(), "Dragged Wagon");

    stock->setFocus();
    Click(document, "cmdAction_4");
    EXPECT_EQ(Captions(*m_window).back(), "Wagon - Box");
    EXPECT_EQ(m_window->Documents().back()->FileName(),
              m_install + "\\Trains\\Trainset\\Box Car\\Box.s");
}

}  // namespace
