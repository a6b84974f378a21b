#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QToolBar>
#include <QTreeWidget>
#include <filesystem>

#include "ShellFixture.h"
#include "common/Installation.h"
#include "documents/ConsistEditorView.h"
#include "documents/DocumentWindow.h"
#include "documents/View3DPage.h"
#include "shell/MainWindow.h"
#include "shell/SetLocationDialog.h"
#include "ui/QtSettingsStore.h"

namespace {

using testing::ElementsAre;
using testing_support::MakeFile;
using vantor::MessageIcon;

using testing_support::Q;
using testing_support::ShellTest;

TEST_F(ShellTest, FirstStartUsesDefaultsAndTheRegisteredFolderWhichClosingStores) {
    auto window = Start();
    EXPECT_EQ(window->windowTitle(), "Vantor v1.0-75");
    EXPECT_EQ(window->pos(), QPoint(67, 67));  // 1000 twips at 15 twips a pixel
    EXPECT_EQ(m_installation.MSTSPath(), m_registered);
    EXPECT_THAT(Captions(*window), ElementsAre("Consist List 1"));
    window->close();
    EXPECT_EQ(m_settings.Read("MSTSDir"), m_registered);
    EXPECT_EQ(m_settings.Read("MainWidth"), "6495");
}

TEST_F(ShellTest, SettingsRoundTripThroughTheIniFile) {
    const std::string ini = m_folder.File("Vantor.conf");
    vantor::QtSettingsStore(Q(ini)).Write("MainLeft", "3000");
    vantor::QtSettingsStore store(Q(ini));
    m_services.settings = &store;
    auto window = Start();
    EXPECT_EQ(window->pos().x(), 200);
    window->move(300, 150);
    window->close();
    EXPECT_EQ(vantor::QtSettingsStore(Q(ini)).Read("MainLeft"), "4500");
}

TEST_F(ShellTest, CommandLineOpensItsFileInsteadOfAConsistList) {
    EXPECT_TRUE(Captions(*Start("   ")).empty()) << "blanks open nothing";
    m_prompts.ExpectMessage(MessageIcon::Critical, "Open File",
                            "World files not supported in this version!");
    auto window = Start(" w-005655+015119.w ");
    EXPECT_TRUE(Captions(*window).empty());
    // The quotes stay, so the extension is "con" and a quote.
    m_prompts.ExpectMessage(MessageIcon::Critical, "Open File", "File type not supported!");
    auto quoted = Start("\"My Train.con\"");
}

TEST_F(ShellTest, CommandsThatCannotRunSaySoAndResetViewDoesNothing) {
    auto window = Start("   ");
    m_prompts.ExpectMessage(MessageIcon::Critical, "Vantor", "Edit Undo not yet implemented")
        .ExpectMessage(MessageIcon::Critical, "Vantor", "Edit PasteSpecial not yet implemented")
        .ExpectMessage(MessageIcon::Critical, "Vantor", "View Options not yet implemented")
        .ExpectMessage(MessageIcon::Critical, "View Shape", "Nothing selected!");
    Trigger(*window, "mnuEditUndo");
    Trigger(*window, "mnuEditPasteSpecial");
    Trigger(*window, "mnuViewOptions");
    Trigger(*window, "mnuConsistViewShape");
    Trigger(*window, "mnuViewReset");
}

TEST_F(ShellTest, ToolbarCheckMarkFollowsTheToolbarHoweverItIsHidden) {
    auto window = Start();
    auto* toolbar = window->findChild<QToolBar*>("tbToolBar");
    auto* check = window->findChild<QAction*>("mnuViewToolbar");
    toolbar->toggleViewAction()->trigger();  // Qt's right-click menu on the bars
    EXPECT_FALSE(toolbar->isVisible());
    EXPECT_FALSE(check->isChecked());
    Trigger(*window, "mnuViewToolbar");
    EXPECT_TRUE(toolbar->isVisible());
    EXPECT_TRUE(check->isChecked());
}

// Cut, Copy and Consist View take the current row, not the first selected in list order.
TEST_F(ShellTest, ConsistCommandsTakeTheCurrentRowOfSeveralSelected) {
    const std::string folder = MakeInstallation("Inst", {"A", "B", "C"});
    m_settings.Write("MSTSDir", folder);
    auto window = Start();
    auto* list = window->Documents().at(0)->findChild<QTreeWidget*>("lvConsists");
    list->topLevelItem(0)->setSelected(true);
    list->setCurrentItem(list->topLevelItem(2), 0, QItemSelectionModel::Select);
    ASSERT_EQ(list->selectedItems().size(), 2);
    const std::string current = list->topLevelItem(2)->text(0).toStdString();

    Trigger(*window, "mnuEditCopy");
    EXPECT_EQ(m_clipboard.Text(), current);
    // The test's consists hold no vehicles, which the 3D window says.
    m_prompts.ExpectMessage(MessageIcon::Critical, "Render Consist", "No consist to display");
    Trigger(*window, "mnuConsistView");
    EXPECT_EQ(Captions(*window).back(), "Consist - " + current);
    window->Area()->setActiveSubWindow(window->Area()->subWindowList().at(0));
    const std::string path = folder + "\\Trains\\Consists\\" + current + ".con";
    m_prompts.ExpectMessage(MessageIcon::Question, "Delete", "Delete " + path + " ?",
                            vantor::Answer::No, vantor::MessageButtons::YesNo);
    Trigger(*window, "mnuEditCut");
}

TEST_F(ShellTest, ConsistListPropertiesAndFilter) {
    const std::string folder = MakeInstallation("Inst", {"GP38 Freight", "Local", "C"});
    m_settings.Write("MSTSDir", folder);
    auto window = Start();
    m_prompts
        .ExpectMessage(MessageIcon::Information, "All Consists Properties (Filtered on )",
                       "Path:\t" + folder + "\\Trains\\Consists\r\n\r\nCount:\t3")
        .ExpectInput("Enter a filter string for consists:", "Filter Consist List", "*", "GP");
    Trigger(*window, "mnuFileProperties");
    window->ToolbarClick("Filter");
    EXPECT_EQ(Captions(*window).at(0), "Consist List 1 (Filtered on GP)");
    EXPECT_EQ(window->Documents().at(0)->ConsistRows(), std::vector<std::string>{"GP38 Freight"});
}

TEST_F(ShellTest, SetLocationStoresTheFolderOrTheMacroAndReloadsConsistLists) {
    const std::string first = MakeInstallation("First", {"One"});
    const std::string second = MakeInstallation("Second", {"Two", "Three"});
    m_settings.Write("MSTSDir", first);
    auto window = Start();
    const auto press = [](QDialog& dialog, const char* button) {
        QTest::mouseClick(dialog.findChild<QPushButton*>(button), Qt::LeftButton);
    };
    m_onDialog = [&](QDialog& dialog) {
        auto* text = dialog.findChild<QLineEdit*>("txtLocation");
        EXPECT_EQ(text->text().toStdString(), first);
        text->setText(Q(second));
        press(dialog, "OKButton");
        return dialog.result();
    };
    Trigger(*window, "mnuFileSetLocation");
    EXPECT_EQ(m_installation.MSTSDir(), second);
    EXPECT_EQ(window->Documents().at(0)->ConsistRows(), (std::vector<std::string>{"Three", "Two"}));

    m_onDialog = [&](QDialog& dialog) {
        press(dialog, "cmdSetDefault");
        press(dialog, "OKButton");
        return dialog.result();
    };
    Trigger(*window, "mnuFileSetLocation");
    EXPECT_EQ(m_installation.MSTSDir(), "");
    EXPECT_EQ(m_installation.MSTSPath(), m_registered);

    window->NewDocumentWindow("x.con", vantor::DocumentMode::Consist, "Consist - x", nullptr);
    m_onDialog = [](QDialog&) {
        ADD_FAILURE() << "the dialog opened";
        return 0;
    };
    m_prompts.ExpectMessage(MessageIcon::Critical, "Set MSTS Location",
                            "Can't change MSTS location whilst editting a consist!");
    Trigger(*window, "mnuFileSetLocation");
}

TEST_F(ShellTest, ChangingTheDriveShowsItAndPutsItsFolderInTheTextBox) {
    const std::string first = MakeInstallation("First", {"One"});
    const std::string second = MakeInstallation("Second", {"Two"});
    vantor::SetLocationDialog dialog({{"c:", first}, {"d:", second}}, "");
    dialog.SetLocation(first + "/Trains");
    auto* text = dialog.findChild<QLineEdit*>("txtLocation");
    EXPECT_EQ(text->text().toStdString(), first + "/Trains");
    dialog.findChild<QComboBox*>("drvLocation")->setCurrentIndex(1);
    EXPECT_EQ(text->text().toStdString(), second);
    QTest::mouseClick(dialog.findChild<QPushButton*>("OKButton"), Qt::LeftButton);
    EXPECT_EQ(dialog.Location(), second);
}

TEST_F(ShellTest, LaunchersWithoutTheSimulatorSayItIsNotInstalledAndStayOpen) {
    UseRegistry({});
    auto window = Start();
    m_prompts
        .ExpectMessage(MessageIcon::Critical, "View MSTS",
                       "MSTS does not appear to be installed on this system!")
        .ExpectMessage(MessageIcon::Critical, "View Shape Viewer",
                       "The Shape Viewer does not appear to be installed on this system!");
    Trigger(*window, "mnuViewTS");
    Trigger(*window, "mnuViewShapeViewer");
    EXPECT_TRUE(m_spawned.empty());
}

TEST_F(ShellTest, LaunchersStartTheSimulatorThroughWine) {
    MakeFile(std::filesystem::path(m_registered) / "TRAIN.EXE");
    MakeFile(std::filesystem::path(m_registered) / "Launcher.exe");
    auto window = Start();
    Trigger(*window, "mnuViewTSE");
    EXPECT_THAT(m_spawned, ElementsAre(ElementsAre("/usr/bin/wine", m_registered + "/Launcher.exe",
                                                   "-runeditor")));
}

TEST_F(ShellTest, HelpOpensTheManualOrSaysThereIsNone) {
    auto window = Start();
    m_prompts.ExpectMessage(
        MessageIcon::Information, "Vantor v1.0-75",
        "Unable to display Help Contents. There is no Help currently associated "
        "with this application.");
    Trigger(*window, "mnuHelpContents");

    const auto manual = m_folder.Path() / "manual";
    MakeFile(manual / "index.html", "<html></html>");
    m_services.manualFolder = manual.string();
    auto withManual = Start();
    Trigger(*withManual, "mnuHelpContents");
    EXPECT_THAT(m_opened, ElementsAre(manual.string() + "/index.html"));
    m_openError = "No browser";
    m_prompts.ExpectMessage(MessageIcon::Information, "Vantor v1.0-75",
                            "No program to open the manual was found.  The manual is " +
                                manual.string() + "/index.html; open it in a web browser.");
    Trigger(*withManual, "mnuHelpContents");
}

TEST_F(ShellTest, AboutShowsVersionAndHistory) {
    auto window = Start();
    bool shown = false;
    m_onDialog = [&](QDialog& dialog) {
        shown = true;
        EXPECT_EQ(dialog.findChild<QLabel*>("lblVersion")->text(), "Version 1.0.75");
        m_prompts.ExpectMessage(MessageIcon::Information, "Vantor V1.0-75",
                                "1.0-50\tFirst public version\r\n1.0-74\tVarious bug fixes\r\n"
                                "1.0-75\tSecond public version");
        QTest::mouseClick(dialog.findChild<QLabel*>("lblDescription"), Qt::LeftButton);
        m_prompts.ExpectMessage(MessageIcon::None, "Vantor",
                                "System Information Is Unavailable At This Time");
        QTest::mouseClick(dialog.findChild<QPushButton*>("cmdSysInfo"), Qt::LeftButton);
        QTest::mouseClick(dialog.findChild<QPushButton*>("cmdOK"), Qt::LeftButton);
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
        return dialog.result();
    };
    Trigger(*window, "mnuHelpAbout");
    EXPECT_TRUE(shown);
}

TEST_F(ShellTest, FilesOpenInTheWindowTheirKindCallsFor) {
    const std::string install = MakeInstallation("Inst", {"Freight"});
    MakeFile(std::filesystem::path(install) / "Trains" / "Trainset" / "GP38" / "GP38.eng",
             "Wagon ( GP38\r\n\tWagonShape ( GP38.s )\r\n)\r\nEngine ( GP38 )");
    MakeFile(std::filesystem::path(install) / "odd.wag", "Wagon ( odd )");
    std::filesystem::copy_file(
        VANTOR_SOURCE_DIR "/demo/Trains/Consists/Yard Shunt.con",
        std::filesystem::path(install) / "Trains" / "Consists" / "Freight.con",
        std::filesystem::copy_options::overwrite_existing);
    m_settings.Write("MSTSDir", install);
    auto window = Start("   ");
    const std::string consist = install + "\\Trains\\Consists\\Freight.con";
    window->OpenFile(consist);
    window->OpenFile(install + "\\trains\\trainset\\gp38\\GP38.ENG");
    EXPECT_THAT(Captions(*window), ElementsAre("Consist - " + consist, "Engine - GP38"));
    const auto documents = window->Documents();
    ASSERT_EQ(documents.size(), 2u);
    EXPECT_EQ(documents[0]->Mode(), vantor::DocumentMode::Consist);
    EXPECT_EQ(documents[1]->Mode(), vantor::DocumentMode::Shape3D);
    m_prompts.ExpectMessage(MessageIcon::Critical, "Open File",
                            install + "\\odd.wag is not a usable wagon file: it names no shape.");
    window->OpenFile(install + "\\odd.wag");
    EXPECT_EQ(window->Documents().size(), 2u);

    // Save All asks to save the consist, then reaches the 3D window's snapshot,
    // which here has no OpenGL to draw with.
    const std::string noPicture =
        "There is no picture to save: " + documents[1]->View3D()->Canvas()->DeviceError();
    m_prompts
        .ExpectMessage(MessageIcon::Question, "Save Consist",
                       consist + " already exists.  Do you want to overwrite it?",
                       vantor::Answer::Cancel, vantor::MessageButtons::YesNoCancel)
        .ExpectMessage(MessageIcon::Critical, "Save Consist",
                       "Save of " + consist + " cancelled by user!")
        .ExpectMessage(MessageIcon::Critical, "Save Snapshot", noPicture);
    Trigger(*window, "mnuFileSaveAll");
}

// Stock, Replace in Consists on the stock row selected in a consist window: the
// dialog lists the consists that use it; an unticked consist and one with unsaved
// edits stay as they are, and a window showing a changed consist reads it again.
TEST_F(ShellTest, ReplaceInConsistsSparesUntickedAndEditedConsists) {
    const std::string folder = MakeInstallation("Inst", {});
    const auto trains = m_folder.Path() / "Inst" / "Trains";
    for (const char* stock : {"Box/Box.wag", "Tank/Tank.wag"}) {
        MakeFile(trains / "Trainset" / stock, "Wagon ( W )");
    }
    const auto consist = [&trains](const std::string& name,
                                   std::initializer_list<const char*> vehicles) {
        std::string text = "SIMISA@@@@@@@@@@JINX0D0t______\r\n\r\nTrain (\r\n\tTrainCfg ( " + name +
                           "\r\n\t\tName ( " + name +
                           " )\r\n\t\tMaxVelocity ( 1 1 )\r\n\t\tDurability ( 1 )\r\n";
        int uid = 0;
        for (const char* stock : vehicles) {
            text += "\t\tWagon (\r\n\t\t\tUiD ( " + std::to_string(++uid) +
                    " )\r\n\t\t\tWagonData ( " + stock + " " + stock + " )\r\n\t\t)\r\n";
        }
        return MakeFile(trains / "Consists" / (name + ".con"), text + "\t)\r\n)");
    };
    const std::string a = consist("A", {"Box"});
    consist("B", {"Box", "Tank", "Box"});
    const std::string c = consist("C", {"Box"});
    const std::string before = testing_support::ReadBytes(a) + testing_support::ReadBytes(c);
    m_settings.Write("MSTSDir", folder);
    m_services.now = [] { return QDateTime(QDate(2026, 1, 2), QTime(3, 4, 5)); };
    auto window = Start();
    const auto open = [&](const char* name) {
        return window->NewDocumentWindow(folder + "\\Trains\\Consists\\" + name + ".con",
                                         vantor::DocumentMode::Consist, "", nullptr);
    };
    open("C")->Editor().SetChanged(true);
    vantor::DocumentWindow* shown = open("B");
    vantor::DocumentWindow* editor = window->NewDocumentByMode(vantor::DocumentMode::Consist, "");
    QTreeWidget* stock = editor->EditorView()->StockList();
    stock->setCurrentItem(stock->findItems("Box", Qt::MatchExactly, 1).value(0));
    ASSERT_EQ(window->ActiveDocument(), editor);

    m_onDialog = [](QDialog& dialog) {
        auto* consists = dialog.findChild<QListWidget*>("lstConsists");
        auto* ok = dialog.findChild<QPushButton*>("cmdOK");
        auto* replacement = dialog.findChild<QTreeWidget*>("lvReplacement");
        EXPECT_EQ(consists->count(), 3);
        consists->item(0)->setCheckState(Qt::Unchecked);
        EXPECT_FALSE(ok->isEnabled()) << "no replacement picked yet";
        replacement->setCurrentItem(replacement->findItems("Tank", Qt::MatchExactly, 1).value(0));
        EXPECT_TRUE(ok->isEnabled());
        return int(QDialog::Accepted);
    };
    const auto backup = trains / "Consists backup 2026-01-02 03.04.05";
    m_prompts.ExpectMessage(MessageIcon::Information, "Replace in Consists",
                            "B: changed rows 1, 3\nC: skipped, open in an editor with unsaved "
                            "changes\nThe consists as they were are in " +
                                backup.string() +
                                "; copy them back into the consists folder to undo.\n");
    Trigger(*window, "mnuStockReplace");
    EXPECT_EQ(testing_support::ReadBytes(a) + testing_support::ReadBytes(c), before);
    EXPECT_TRUE(std::filesystem::exists(backup / "B.con"));
    ASSERT_EQ(shown->Editor().Rows().size(), 3U);
    for (const auto& row : shown->Editor().Rows()) {
        EXPECT_EQ(row.folder, "Tank");
    }
}

}  // namespace
