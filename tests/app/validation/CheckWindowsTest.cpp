#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QLabel>
#include <QListWidget>
#include <QMdiSubWindow>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include "FakeHost.h"
#include "ShellFixture.h"
#include "TempFolder.h"
#include "documents/ConsistEditorView.h"
#include "documents/DocumentWindow.h"
#include "validation/ResultsWindowWidget.h"
#include "validation/RouteSelectorDialog.h"

namespace {

using testing::HasSubstr;

const std::string kDemo = VANTOR_SOURCE_DIR "/demo";

// The commands and their windows are tested without Qt in CheckCommandsTest; here
// only that the menu, the route dialog and the results window are joined up.
class CheckWindowsTest : public testing_support::ShellTest {
protected:
    CheckWindowsTest() { m_settings.Write("MSTSDir", kDemo); }
};

TEST_F(CheckWindowsTest, ConsistsAreCheckedInTheRoutesChosenInTheDialog) {
    auto window = Start();
    auto* list = window->Documents().at(0)->findChild<QTreeWidget*>("lvConsists");
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        QTreeWidgetItem* row = list->topLevelItem(i);
        if (row->text(0) == "Demo Freight" || row->text(0) == "Coal Drag") {
            row->setSelected(true);
            list->setCurrentItem(row, 0, QItemSelectionModel::Select);
        }
    }
    std::string offered;
    m_onDialog = [&offered](QDialog& dialog) {
        auto& selector = dynamic_cast<vantor::RouteSelectorDialog&>(dialog);
        offered = selector.SelectFrom();
        auto* items = selector.findChild<QListWidget*>("lvItems");
        items->item(0)->setSelected(true);
        QTest::mouseClick(selector.findChild<QPushButton*>("cmdAction_0"), Qt::LeftButton);
        return selector.result();
    };
    Trigger(*window, "mnuFileCheckDep");
    EXPECT_EQ(offered, "DemoVal(Demo Valley)|Harbour(Harbour Branch)");
    const auto windows = window->Area()->subWindowList(QMdiArea::CreationOrder);
    auto* results = qobject_cast<vantor::ResultsWindowWidget*>(windows.last()->widget());
    ASSERT_NE(results, nullptr);
    EXPECT_EQ(results->windowTitle(), "Usage check of Coal Drag|Demo Freight");
    EXPECT_THAT(results->Text(), HasSubstr("Evening Freight.srv"));
    EXPECT_EQ(window->findChild<QLabel*>("sbStatusBarPanel1")->text(), "Done");

    QTest::mouseClick(results->findChild<QPushButton*>("cmdClose"), Qt::LeftButton);
    QCoreApplication::processEvents();
    EXPECT_EQ(window->Area()->subWindowList().size(), windows.size() - 1);
}

TEST_F(CheckWindowsTest, CheckTimeIsTheLocalesShortDateAndTime) {
    m_services.now = [] { return QDateTime(QDate(2024, 3, 5), QTime(14, 7, 31)); };
    m_services.locale = QLocale(QLocale::German, QLocale::Germany);
    auto window = Start();
    window->Documents().at(0)->EditConsist("Demo Freight");
    vantor::DocumentWindow* consist = window->Documents().back();
    ASSERT_EQ(consist->Mode(), vantor::DocumentMode::Consist);
    consist->EditorView()->StockList()->setCurrentItem(
        consist->EditorView()->StockList()->topLevelItem(0));
    Trigger(*window, "mnuFileCheckDep");
    const auto windows = window->Area()->subWindowList(QMdiArea::CreationOrder);
    auto* results = qobject_cast<vantor::ResultsWindowWidget*>(windows.last()->widget());
    ASSERT_NE(results, nullptr);
    EXPECT_THAT(results->Text(), testing::StartsWith("Check Time  : 05.03.24 14:07\r\n"));
}

TEST(ResultsWindowTest, SaveAppendsTheReportThroughTheHostsPromptsAndCloseCloses) {
    const testing_support::TempFolder folder;
    testing_support::FakeHost host(kDemo, folder.Path().string());
    QPointer<vantor::ResultsWindowWidget> results =
        new vantor::ResultsWindowWidget(host, {"Usage check of Freight", "INFO: a\r\n"});
    const std::string log = folder.File("report.log");
    host.prompts.ExpectInput("Enter file name:", "Save Results",
                             (folder.Path() / "Freight.log").make_preferred().string(), log);
    QTest::mouseClick(results->findChild<QPushButton*>("cmdSave"), Qt::LeftButton);
    const std::string frame(80, '=');
    EXPECT_EQ(testing_support::ReadBytes(log), frame + "\r\nINFO: a\r\n\r\n" + frame + "\r\n");

    QTest::mouseClick(results->findChild<QPushButton*>("cmdClose"), Qt::LeftButton);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(results);
}

// A program folder that cannot be written sends the report to the user's documents.
TEST(ResultsWindowTest, SaveProposesTheDocumentsFolderWhenTheProgramsCannotBeWritten) {
    const testing_support::TempFolder folder;
    testing_support::FakeHost host(kDemo, folder.File("missing"));
    host.Services().documentsFolder = folder.Path().string();
    QPointer<vantor::ResultsWindowWidget> results =
        new vantor::ResultsWindowWidget(host, {"Usage check of Freight", "INFO: a\r\n"});
    host.prompts.ExpectInput("Enter file name:", "Save Results",
                             (folder.Path() / "Freight.log").make_preferred().string(), "");
    QTest::mouseClick(results->findChild<QPushButton*>("cmdSave"), Qt::LeftButton);
    delete results;
}

}  // namespace
