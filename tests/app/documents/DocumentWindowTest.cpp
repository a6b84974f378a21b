#include <gmock/gmock.h>
#include <gtest/gtest.h>

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
        m_document = new vantor::DocumentWindow(m_host);
        m_document->SetFileName(Consist("Freight"));
        m_document->SetMode(vantor::DocumentMode::Consist);
        m_document->show();
        if (addBoxCar) {
            QTreeWidget* stock = m_document->EditorView()->StockList();
            stock->setCurrentItem(stock->findItems("Box Car", Qt::MatchExactly, 1).value(0));
            Click(*m_document, "cmdMove_0");
        }
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

TEST_F(DocumentTest, ChangesAreLostOnlyAfterNo) {
    vantor::DocumentWindow& document = OpenFreight(true);
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

TEST_F(DocumentTest, ViewConsistWithUnsavedChangesViewsAQuietTemporaryCopy) {
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
    EXPECT_TRUE(document.Editor().Changed());
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

}  // namespace
