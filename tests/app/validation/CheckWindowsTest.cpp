#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include "ShellFixture.h"
#include "documents/DocumentWindow.h"
#include "validation/CheckCommands.h"
#include "validation/ResultsWindowWidget.h"
#include "validation/RouteSelectorDialog.h"

namespace {

using testing::HasSubstr;
using testing_support::ReadBytes;
using vantor::Answer;
using vantor::MessageButtons;
using vantor::MessageIcon;

const std::string kDemo = VANTOR_SOURCE_DIR "/demo";

class CheckWindowsTest : public testing_support::ShellTest {
protected:
    CheckWindowsTest() { m_settings.Write("MSTSDir", kDemo); }

    // Selects consist rows of the first consist list by name.
    static void SelectConsists(vantor::MainWindow& window, const QStringList& names) {
        auto* list = window.Documents().at(0)->findChild<QTreeWidget*>("lvConsists");
        for (int i = 0; i < list->topLevelItemCount(); ++i) {
            QTreeWidgetItem* row = list->topLevelItem(i);
            if (names.contains(row->text(0))) {
                row->setSelected(true);
                list->setCurrentItem(row, 0, QItemSelectionModel::Select);
            }
        }
    }

    static vantor::ResultsWindowWidget* LastResults(vantor::MainWindow& window) {
        const auto windows = window.Area()->subWindowList(QMdiArea::CreationOrder);
        return windows.isEmpty()
                   ? nullptr
                   : qobject_cast<vantor::ResultsWindowWidget*>(windows.last()->widget());
    }

    // Picks routes in the selection dialog by their row texts, then presses OK.
    void ChooseRoutes(QStringList routes, std::string* offered = nullptr) {
        m_onDialog = [routes, offered](QDialog& dialog) {
            auto& selector = dynamic_cast<vantor::RouteSelectorDialog&>(dialog);
            if (offered != nullptr) {
                *offered = selector.SelectFrom();
            }
            auto* items = selector.findChild<QListWidget*>("lvItems");
            for (int i = 0; i < items->count(); ++i) {
                items->item(i)->setSelected(routes.contains(items->item(i)->text()));
            }
            QTest::mouseClick(selector.findChild<QPushButton*>("cmdAction_0"), Qt::LeftButton);
            return selector.result();
        };
    }
};

TEST_F(CheckWindowsTest, CheckDependenciesWithoutAWindowSaysNothingIsSelected) {
    auto window = Start("   ");
    m_prompts.ExpectMessage(MessageIcon::Critical, "Check Dependencies", "Nothing selected!");
    Trigger(*window, "mnuFileCheckDep");
    auto list = Start();
    m_prompts.ExpectMessage(MessageIcon::Critical, "Check Dependencies", "Nothing selected!");
    Trigger(*list, "mnuStockCheckDep");
}

TEST_F(CheckWindowsTest, ConsistsAreCheckedInTheChosenRoutes) {
    auto window = Start();
    SelectConsists(*window, {"Demo Freight", "Coal Drag"});
    std::string offered;
    ChooseRoutes({"DemoVal", "Harbour"}, &offered);
    Trigger(*window, "mnuFileCheckDep");
    EXPECT_EQ(offered, "DemoVal(Demo Valley)|Harbour(Harbour Branch)");
    auto* results = LastResults(*window);
    ASSERT_NE(results, nullptr);
    EXPECT_EQ(results->windowTitle(), "Usage check of Coal Drag|Demo Freight");
    EXPECT_THAT(results->Text(), HasSubstr("Demo Freight"));
    EXPECT_NE(window->Validator(), nullptr);
    EXPECT_EQ(window->findChild<QLabel*>("sbStatusBarPanel1")->text(), "Done");

    // Cancel in the route dialog ends the command without a window.
    m_onDialog = [](QDialog& dialog) {
        QTest::mouseClick(dialog.findChild<QPushButton*>("cmdAction_1"), Qt::LeftButton);
        return dialog.result();
    };
    const auto before = window->Area()->subWindowList().size();
    window->Area()->setActiveSubWindow(
        window->Area()->subWindowList(QMdiArea::CreationOrder).first());
    Trigger(*window, "mnuFileCheckDep");
    EXPECT_EQ(window->Area()->subWindowList().size(), before);
}

TEST_F(CheckWindowsTest, CheckStockOfTheCurrentConsistReportsMissingStock) {
    auto window = Start();
    SelectConsists(*window, {"Mixed Goods"});
    Trigger(*window, "mnuConsistCheckStock");
    auto* results = LastResults(*window);
    ASSERT_NE(results, nullptr);
    EXPECT_EQ(results->windowTitle(), "Stock check of Mixed Goods");
    EXPECT_THAT(results->Text(), HasSubstr("Flatcar60"));
    EXPECT_THAT(results->Text(), HasSubstr("ERROR"));
}

TEST_F(CheckWindowsTest, CheckAllStockAsksFirstAndReportsEveryStockFault) {
    auto window = Start();
    m_prompts.ExpectMessage(MessageIcon::Question, "Check All Stock",
                            vantor::kCheckAllStockQuestion, Answer::Yes, MessageButtons::YesNo);
    Trigger(*window, "mnuStockCheckAll");
    auto* results = LastResults(*window);
    ASSERT_NE(results, nullptr);
    EXPECT_EQ(results->windowTitle(), "TS Installation Check");
    for (const char* fault : {"Tanker.s", "DD40B.cvf", "DD40_Brake.ace", "Boxcar40Red_Thumb.ace",
                              "HopperLoaded_Squeal.wav"}) {
        EXPECT_THAT(results->Text(), HasSubstr(fault));
    }
    EXPECT_FALSE(window->findChild<QProgressBar*>("pbChecking")->isVisible());
}

TEST_F(CheckWindowsTest, ResultsSaveAppendsAFramedCopyAndPropertiesCountCharacters) {
    auto window = Start("   ");
    auto* results = window->ShowResults({"Usage check of X", "line one\r\nline two\r\n"});
    const std::string log = m_folder.File("checks.log");
    m_prompts.ExpectInput("Enter file name:", "Save Results", m_folder.Path().string() + "\\X.log",
                          log);
    QTest::mouseClick(results->findChild<QPushButton*>("cmdSave"), Qt::LeftButton);
    const std::string frame(80, '=');
    EXPECT_EQ(ReadBytes(log), frame + "\r\nline one\r\nline two\r\n\r\n" + frame + "\r\n");

    m_prompts.ExpectMessage(MessageIcon::Information, "Message Properties",
                            "20 characters in message");
    Trigger(*window, "mnuFileProperties");
    QTest::mouseClick(results->findChild<QPushButton*>("cmdClose"), Qt::LeftButton);
    QCoreApplication::processEvents();
    EXPECT_TRUE(window->Area()->subWindowList().isEmpty());
}

TEST(RouteSelector, RowsDetailsSelectAllAndOk) {
    vantor::RouteSelectorDialog dialog("Select Routes to Check");
    EXPECT_EQ(dialog.windowTitle(), "Select Routes to Check");
    dialog.SetSelectFrom("ABC(My Route)| DEF ");
    auto* items = dialog.findChild<QListWidget*>("lvItems");
    ASSERT_EQ(items->count(), 2);
    EXPECT_EQ(items->item(1)->text(), "DEF");
    auto* details = dialog.findChild<QLabel*>("lblDetails");
    EXPECT_EQ(details->text(), "My Route");
    QTest::mouseClick(items->viewport(), Qt::LeftButton, {},
                      items->visualItemRect(items->item(1)).center());
    EXPECT_EQ(details->text(), "DEF route");
    QTest::mouseClick(dialog.findChild<QCheckBox*>("chkAll"), Qt::LeftButton);
    QTest::mouseClick(dialog.findChild<QPushButton*>("cmdAction_0"), Qt::LeftButton);
    EXPECT_EQ(dialog.Selected(), "ABC|DEF");
}

}  // namespace
