#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <QToolBar>
#include <filesystem>

#include "ShellFixture.h"
#include "documents/DocumentWindow.h"
#include "shell/InstallPaths.h"
#include "shell/MainWindow.h"
#include "shell/QtSettingsStore.h"
#include "shell/SetLocationDialog.h"

namespace {

using testing::ElementsAre;
using testing_support::MakeFile;
using vantor::MessageIcon;

using testing_support::Q;
using testing_support::ShellTest;

// ---------------------------------------------------------------------------
// Start-up and shutdown

TEST_F(ShellTest, FirstStartUsesDefaultsAndTheRegisteredFolderWhichClosingStores) {
    auto window = Start();
    EXPECT_EQ(window->windowTitle(), "Vantor v1.0-75");
    EXPECT_EQ(window->pos(), QPoint(67, 67));  // 1000 twips at 15 twips a pixel
    EXPECT_EQ(window->size(), QSize(433, 433));
    EXPECT_EQ(vantor::MSTSDir(), "");
    EXPECT_EQ(vantor::MSTSPath(), m_registered);
    EXPECT_THAT(Captions(*window), ElementsAre("Consist List 1"));
    window->close();
    EXPECT_EQ(m_settings.Read("MSTSDir"), m_registered);
    EXPECT_EQ(m_settings.Read("MainLeft"), "1005");
    EXPECT_EQ(m_settings.Read("MainWidth"), "6495");
    EXPECT_EQ(m_settings.Read("ScreenShotDir"), m_folder.Path().string());
}

TEST_F(ShellTest, SettingsRoundTripThroughTheIniFile) {
    const std::string ini = m_folder.File("Vantor.conf");
    {
        vantor::QtSettingsStore store(Q(ini));
        store.Write("MainLeft", "3000");
        store.Write("MainTop", "1500");
        store.Write("MainWidth", "9000");
        store.Write("MainHeight", "7500");
        store.Write("MSTSDir", "/opt/my msts");
    }
    EXPECT_NE(testing_support::ReadBytes(ini).find("[Settings]"), std::string::npos);
    vantor::QtSettingsStore store(Q(ini));
    m_services.settings = &store;
    auto window = Start();
    EXPECT_EQ(window->pos(), QPoint(200, 100));
    EXPECT_EQ(window->size(), QSize(600, 500));
    EXPECT_EQ(vantor::MSTSPath(), "/opt/my msts");
    window->move(300, 150);
    window->close();
    vantor::QtSettingsStore reread(Q(ini));
    EXPECT_EQ(reread.Read("MainLeft"), "4500");
    EXPECT_EQ(reread.Read("MainTop"), "2250");
    EXPECT_EQ(reread.Read("MainHeight"), "7500");
    EXPECT_EQ(reread.Read("MSTSDir"), "/opt/my msts");
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

// ---------------------------------------------------------------------------
// Windows and menus

TEST_F(ShellTest, NewWindowsAreNumberedPerMode) {
    auto window = Start();
    Trigger(*window, "mnuWindowNewWindow");
    Trigger(*window, "mnuFileNewConsistList");
    EXPECT_THAT(Captions(*window),
                ElementsAre("Consist List 1", "Consist List 2", "Consist List 3"));
    EXPECT_EQ(window->Documents().at(2)->WindowNumber(), 3);
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

TEST_F(ShellTest, ToggledToolbarAndStatusBarFollowTheirCheckMarks) {
    auto window = Start();
    auto* toolbar = window->findChild<QToolBar*>("tbToolBar");
    Trigger(*window, "mnuViewToolbar");
    EXPECT_FALSE(toolbar->isVisible());
    Trigger(*window, "mnuViewStatusBar");
    EXPECT_FALSE(window->statusBar()->isVisible());
    Trigger(*window, "mnuViewToolbar");
    EXPECT_TRUE(toolbar->isVisible());
}

TEST_F(ShellTest, LockedTilingTilesAgainAfterAResize) {
    auto window = Start();
    Trigger(*window, "mnuWindowNewWindow");
    window->resize(800, 600);
    QCoreApplication::processEvents();
    Trigger(*window, "mnuWindowTileVertical");
    auto windows = window->Area()->subWindowList(QMdiArea::CreationOrder);
    ASSERT_EQ(windows.size(), 2);

    // Unlocked, a resize leaves the windows where they are.
    const QRect before = windows[1]->geometry();
    window->resize(1000, 700);
    QCoreApplication::processEvents();
    EXPECT_EQ(windows[1]->geometry(), before);

    Trigger(*window, "mnuWindowLockTiling");
    window->resize(600, 500);
    QCoreApplication::processEvents();
    const int width = window->Area()->viewport()->width();
    EXPECT_EQ(windows[0]->geometry().left(), 0);
    EXPECT_EQ(windows[1]->geometry().left(), width / 2);
    EXPECT_EQ(windows[0]->geometry().height(), window->Area()->viewport()->height());

    // A new window joins the tiling at once.
    Trigger(*window, "mnuWindowNewWindow");
    EXPECT_EQ(window->Area()->subWindowList(QMdiArea::CreationOrder)[2]->geometry().left(),
              width * 2 / 3);
}

TEST_F(ShellTest, ConsistListPropertiesFilterAndToolbarKeys) {
    const std::string folder = Installation("Inst", {"GP38 Freight", "Local", "C"});
    m_settings.Write("MSTSDir", folder);
    auto window = Start();
    const std::string filter = "Enter a filter string for consists:";
    const std::string properties = "Path:\t" + folder + "\\Trains\\Consists\r\n\r\nCount:\t3";
    m_prompts
        .ExpectMessage(MessageIcon::Information, "All Consists Properties (Filtered on )",
                       properties)
        .ExpectInput(filter, "Filter Consist List", "*", "")
        .ExpectMessage(MessageIcon::Information, "All Consists Properties (Filtered on )",
                       properties);
    Trigger(*window, "mnuFileProperties");
    Trigger(*window, "mnuViewFilter");
    Trigger(*window, "mnuFileProperties");

    m_prompts.ExpectInput(filter, "Filter Consist List", "*", "GP");
    window->ToolbarClick("Filter");
    EXPECT_EQ(Captions(*window).at(0), "Consist List 1 (Filtered on GP)");
    EXPECT_EQ(window->Documents().at(0)->ConsistRows(), std::vector<std::string>{"GP38 Freight"});
    window->ToolbarClick("Nothing");  // an unknown key does nothing
}

// ---------------------------------------------------------------------------
// Set MSTS Location

TEST_F(ShellTest, SetLocationStoresTheFolderOrTheMacroAndReloadsConsistLists) {
    const std::string first = Installation("First", {"One"});
    const std::string second = Installation("Second", {"Two", "Three"});
    m_settings.Write("MSTSDir", first);
    auto window = Start();
    const auto press = [](QDialog& dialog, const char* button) {
        QTest::mouseClick(dialog.findChild<QPushButton*>(button), Qt::LeftButton);
    };
    m_onDialog = [&](QDialog& dialog) {
        press(dialog, "CancelButton");
        return dialog.result();
    };
    Trigger(*window, "mnuFileSetLocation");
    EXPECT_EQ(vantor::MSTSDir(), first) << "Cancel changes nothing";

    m_onDialog = [&](QDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle(), "Location");
        auto* text = dialog.findChild<QLineEdit*>("txtLocation");
        EXPECT_EQ(text->text().toStdString(), first);
        text->setText(Q(second));
        press(dialog, "OKButton");
        return dialog.result();
    };
    Trigger(*window, "mnuFileSetLocation");
    EXPECT_EQ(vantor::MSTSDir(), second);
    EXPECT_EQ(window->Documents().at(0)->ConsistRows(), (std::vector<std::string>{"Three", "Two"}));

    m_onDialog = [&](QDialog& dialog) {
        press(dialog, "cmdSetDefault");
        EXPECT_EQ(dialog.findChild<QLineEdit*>("txtLocation")->text().toStdString(), m_registered);
        press(dialog, "OKButton");
        EXPECT_EQ(dynamic_cast<vantor::SetLocationDialog&>(dialog).Location(), "$MSTS");
        return dialog.result();
    };
    Trigger(*window, "mnuFileSetLocation");
    EXPECT_EQ(vantor::MSTSDir(), "");
    EXPECT_EQ(vantor::MSTSPath(), m_registered);
}

TEST_F(ShellTest, SetLocationIsRefusedWhileAConsistIsEdited) {
    m_settings.Write("MSTSDir", Installation("Inst", {"One"}));
    auto window = Start();
    window->NewDocumentWindow("x.con", 1, "Consist - x", nullptr);
    m_onDialog = [](QDialog&) {
        ADD_FAILURE() << "the dialog opened";
        return 0;
    };
    m_prompts.ExpectMessage(MessageIcon::Critical, "Set MSTS Location",
                            "Can't change MSTS location whilst editting a consist!");
    Trigger(*window, "mnuFileSetLocation");
}

// ---------------------------------------------------------------------------
// Launchers

TEST_F(ShellTest, LaunchersWithoutTheSimulatorSayItIsNotInstalledAndStayOpen) {
    UseRegistry({});
    auto window = Start();
    m_prompts
        .ExpectMessage(MessageIcon::Critical, "View MSTS",
                       "MSTS does not appear to be installed on this system!")
        .ExpectMessage(MessageIcon::Critical, "View MSTS Tools",
                       "MSTS does not appear to be installed on this system!")
        .ExpectMessage(MessageIcon::Critical, "View Shape Viewer",
                       "The Shape Viewer does not appear to be installed on this system!");
    Trigger(*window, "mnuViewTS");
    Trigger(*window, "mnuViewTSE");
    Trigger(*window, "mnuViewShapeViewer");
    EXPECT_FALSE(window->isMinimized());
    EXPECT_TRUE(m_spawned.empty());
}

TEST_F(ShellTest, LaunchersStartTheSimulatorThroughWineAndSayWhyWhenThatFails) {
    MakeFile(std::filesystem::path(m_registered) / "TRAIN.EXE");
    MakeFile(std::filesystem::path(m_registered) / "Launcher.exe");
    auto window = Start();
    Trigger(*window, "mnuViewTS");
    Trigger(*window, "mnuViewTSE");
    ASSERT_EQ(m_spawned.size(), 2u);
    EXPECT_THAT(m_spawned[0], ElementsAre("/usr/bin/wine", m_registered + "/TRAIN.EXE"));
    EXPECT_THAT(m_spawned[1],
                ElementsAre("/usr/bin/wine", m_registered + "/Launcher.exe", "-runeditor"));

    m_spawnError = "Cannot start TRAIN.EXE: permission denied";
    m_prompts.ExpectMessage(MessageIcon::Critical, "View MSTS", m_spawnError);
    Trigger(*window, "mnuViewTS");
    EXPECT_FALSE(window->isMinimized());
}

// ---------------------------------------------------------------------------
// Help and About

TEST_F(ShellTest, HelpOpensTheManualOrSaysThereIsNone) {
    auto window = Start();
    m_prompts.ExpectMessage(
        MessageIcon::Information, "Vantor v1.0-75",
        "Unable to display Help Contents. There is no Help currently associated "
        "with this application.");
    Trigger(*window, "mnuHelpContents");

    const auto manual = m_folder.Path() / "manual";
    MakeFile(manual / "index.html", "<html></html>");
    MakeFile(manual / "keywords.html", "<html></html>");
    m_services.manualFolder = manual.string();
    auto withManual = Start();
    Trigger(*withManual, "mnuHelpContents");
    Trigger(*withManual, "mnuHelpSearchForHelpOn");
    EXPECT_THAT(m_opened,
                ElementsAre(manual.string() + "/index.html", manual.string() + "/keywords.html"));
    m_openError = "No browser";
    m_prompts.ExpectMessage(MessageIcon::None, "Vantor v1.0-75", "No browser");
    Trigger(*withManual, "mnuHelpContents");
}

TEST_F(ShellTest, AboutShowsVersionAndHistory) {
    auto window = Start();
    bool shown = false;
    m_onDialog = [&](QDialog& dialog) {
        shown = true;
        EXPECT_EQ(dialog.objectName(), "frmAbout");
        EXPECT_EQ(dialog.windowTitle(), "AboutVantor");
        EXPECT_EQ(dialog.findChild<QLabel*>("lblVersion")->text(), "Version 1.0.75");
        EXPECT_EQ(dialog.findChild<QLabel*>("lblTitle")->text(), "Vantor");
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

TEST_F(ShellTest, SystemInfoStartsTheToolTheRegistryNames) {
    const auto tool = m_folder.Path() / "msinfo" / "MSINFO32.EXE";
    MakeFile(tool);
    UseRegistry(
        {{vantor::kMSTSRegistryKey, m_registered},
         {"SOFTWARE\\Microsoft\\Shared Tools Location", (m_folder.Path() / "msinfo").string()}});
    auto window = Start();
    vantor::ShellCommands commands(window->Commands().Context());
    commands.SystemInfo();
    ASSERT_EQ(m_spawned.size(), 1u);
    EXPECT_THAT(m_spawned[0], ElementsAre("/usr/bin/wine", tool.string()));
}

}  // namespace
