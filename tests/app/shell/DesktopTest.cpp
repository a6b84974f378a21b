// The main window as a desktop program: where windows go, where dialogs start,
// the first start, closing with unsaved consists, keys, icons and enabling.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QToolBar>
#include <QTreeWidget>
#include <chrono>
#include <filesystem>
#include <thread>

#include "../documents/ConsistTestSupport.h"
#include "ShellFixture.h"
#include "documents/ConsistEditorView.h"
#include "documents/DocumentWindow.h"
#include "shell/MainWindow.h"

namespace {

namespace fs = std::filesystem;
using testing::ElementsAre;
using testing_support::MakeFile;
using testing_support::Q;
using testing_support::ShellTest;
using vantor::Answer;
using vantor::DocumentMode;
using vantor::MessageButtons;
using vantor::MessageIcon;

constexpr const char* kCloseQuestion =
    "Consist has changed.  All changes will be lost if you do not save it.  Do you want to save it "
    "before closing?";

// Returns the bytes of a consist of one engine.
std::string OneEngine(const std::string& name) {
    return consist_test::ConsistBytes(
        consist_test::Consist(name, "2", consist_test::Vehicle("Engine", 1, "GP38", "GP38")));
}

class DesktopTest : public ShellTest {
protected:
    // An installation whose folders are named in other cases than the program's paths.
    std::string MakeMixedCaseInstallation() {
        const fs::path root = m_folder.Path() / "Msts";
        MakeFile(root / "TRAINS" / "consists" / "Freight.con", OneEngine("Freight"));
        MakeFile(root / "TRAINS" / "TrainSet" / "GP38" / "GP38.eng",
                 consist_test::ConsistBytes("Wagon ( GP38\r\n\tWagonShape ( GP38.s )\r\n)"));
        m_settings.Write("MSTSDir", root.string());
        return root.string();
    }

    static bool Inside(const vantor::MainWindow& window, QMdiSubWindow* sub) {
        return window.Area()->viewport()->rect().contains(sub->geometry());
    }

    static bool Enabled(const vantor::MainWindow& window, const char* name) {
        auto* action = window.findChild<QAction*>(name);
        EXPECT_NE(action, nullptr) << name;
        return action != nullptr && action->isEnabled();
    }

    // Lets events run until a condition holds or two seconds have passed.
    static bool Eventually(const std::function<bool()>& condition) {
        for (int i = 0; i < 200 && !condition(); ++i) {
            QCoreApplication::processEvents();
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return condition();
    }
};

TEST_F(DesktopTest, EveryNewWindowOpensInsideTheAreaAndReportsAtAReadableSize) {
    MakeMixedCaseInstallation();
    auto window = Start();
    window->resize(1000, 700);
    QCoreApplication::processEvents();
    for (int i = 0; i < 8; ++i) {
        window->NewDocumentByMode(DocumentMode::Consist, "");
    }
    window->NewDocumentByMode(DocumentMode::ConsistList, "");
    vantor::ResultsWindowWidget* results = window->ShowPropertiesText("#Report", "line");
    QCoreApplication::processEvents();
    const QSize area = window->Area()->viewport()->size();
    for (QMdiSubWindow* sub : window->Area()->subWindowList()) {
        EXPECT_TRUE(Inside(*window, sub)) << sub->windowTitle().toStdString();
    }
    const QWidget* report = reinterpret_cast<QWidget*>(results)->parentWidget();
    EXPECT_GE(report->width(), area.width() * 8 / 10);
    EXPECT_GE(report->height(), area.height() * 8 / 10);
    EXPECT_FALSE(window->Area()->horizontalScrollBar()->isVisible());
    EXPECT_FALSE(window->Area()->verticalScrollBar()->isVisible());
    // Windows cascade: no two of the first ones share a top left corner.
    const auto windows = window->Area()->subWindowList(QMdiArea::CreationOrder);
    EXPECT_NE(windows[1]->pos(), windows[2]->pos());

    // A smaller main window keeps them inside.
    window->resize(700, 500);
    QCoreApplication::processEvents();
    for (QMdiSubWindow* sub : window->Area()->subWindowList()) {
        EXPECT_TRUE(Inside(*window, sub)) << sub->windowTitle().toStdString() << " after shrinking";
    }
}

TEST_F(DesktopTest, AMaximisedMainWindowIsRestoredMaximisedWithItsNormalPlaceKept) {
    auto window = Start();
    window->showMaximized();
    window->close();
    EXPECT_EQ(m_settings.Read("MainMaximized").value_or(""), "1");
    auto again = Start();
    EXPECT_TRUE(again->isMaximized());
    again->showNormal();
    again->close();
    EXPECT_EQ(m_settings.Read("MainMaximized").value_or(""), "0");
    EXPECT_FALSE(Start()->isMaximized());
}

TEST_F(DesktopTest, FileDialogsStartInTheirKindsFolderFoundWhateverItsCase) {
    const std::string install = MakeMixedCaseInstallation();
    const std::string consists = (fs::path(install) / "TRAINS" / "consists").string();
    auto window = Start();
    m_prompts.ExpectOpenFile("Open", "");
    Trigger(*window, "mnuFileOpen");
    EXPECT_EQ(m_prompts.LastFileRequest().folder, consists);
    EXPECT_EQ(m_prompts.LastFileRequest().filterIndex, 1);

    window->NewDocumentByMode(DocumentMode::Consist, "");
    m_prompts.ExpectSaveFile("Save Consist As", "");
    Trigger(*window, "mnuFileSave");
    EXPECT_EQ(m_prompts.LastFileRequest().folder, consists);

    // A shape window: the stock folder, with the shape filter chosen.
    window->NewDocumentWindow(install + "\\Trains\\Trainset\\GP38\\GP38.s", DocumentMode::Shape3D,
                              "Shape", nullptr);
    m_prompts.ExpectOpenFile("Open", "");
    Trigger(*window, "mnuFileOpen");
    EXPECT_EQ(m_prompts.LastFileRequest().folder,
              (fs::path(install) / "TRAINS" / "TrainSet").string());
    EXPECT_EQ(m_prompts.LastFileRequest().filterIndex, 4);

    // No installation: the dialog chooses.
    UseRegistry({});
    m_prompts.ExpectOpenFile("Open", "");
    Trigger(*window, "mnuFileOpen");
    EXPECT_EQ(m_prompts.LastFileRequest().folder, "");
}

TEST_F(DesktopTest, WithoutAnInstallationTheFirstStartSaysSoAndAFolderWithoutTrainsIsQuestioned) {
    UseRegistry({});
    const std::string empty = (m_folder.Path() / "Empty").string();
    fs::create_directories(empty);
    const std::string install = MakeMixedCaseInstallation();
    m_settings.Write("MSTSDir", "");
    auto window = Start();

    std::vector<std::string> shown;
    std::vector<std::string> choices = {empty, empty, install};
    m_onDialog = [&](QDialog& dialog) {
        auto* text = dialog.findChild<QLineEdit*>("txtLocation");
        shown.push_back(text->text().toStdString());
        text->setText(Q(choices.at(shown.size() - 1)));
        QTest::mouseClick(dialog.findChild<QPushButton*>("OKButton"), Qt::LeftButton);
        return dialog.result();
    };
    const std::string question =
        " has no Trains folder, so it does not look like a Microsoft Train Simulator "
        "installation.  Use it anyway?";
    m_prompts
        .ExpectMessage(MessageIcon::Information, "Vantor v1.0-75",
                       "No Microsoft Train Simulator installation was found.  Choose the folder "
                       "it is installed in: the folder that holds Trains and Routes.")
        .ExpectMessage(MessageIcon::Exclamation, "Set MSTS Location", empty + question, Answer::No,
                       MessageButtons::YesNo)
        .ExpectMessage(MessageIcon::Exclamation, "Set MSTS Location", empty + question, Answer::No,
                       MessageButtons::YesNo);
    window->WelcomeIfNotInstalled();
    EXPECT_EQ(shown.size(), 3u) << "the dialog opens again after No, on the folder refused";
    EXPECT_EQ(shown.at(1), empty);
    EXPECT_EQ(m_installation.MSTSPath(), install);
    EXPECT_THAT(window->Documents().at(0)->ConsistRows(), ElementsAre("Freight"));

    // Known now, and stored on closing: the next start says nothing.
    window->close();
    m_onDialog = nullptr;
    Start()->WelcomeIfNotInstalled();
}

TEST_F(DesktopTest, ChecksWithoutAnInstallationSayThereIsNothingToCheck) {
    UseRegistry({});
    auto window = Start();
    const std::string nothing =
        "There is nothing to check: no Microsoft Train Simulator installation is set.  Choose its "
        "folder with File, Set MSTS Location.";
    for (const char* check : {"mnuStockCheckAll", "mnuConsistCheckStock"}) {
        m_prompts.ExpectMessage(MessageIcon::Information, "Vantor v1.0-75", nothing);
        Trigger(*window, check);
    }
    EXPECT_EQ(window->Area()->subWindowList().size(), 1) << "no results window";
}

TEST_F(DesktopTest, AConsistThatCannotBeReadOpensNoWindow) {
    const std::string install = MakeMixedCaseInstallation();
    MakeFile(fs::path(install) / "TRAINS" / "consists" / "Broken.con",
             consist_test::ConsistBytes("Wagon ( x )"));
    auto window = Start();
    const std::string path = install + "\\Trains\\Consists\\Broken.con";
    m_prompts.ExpectMessage(MessageIcon::Critical, "Load Consist",
                            path + " is not a usable consist: it has no \"Train\" item.");
    window->OpenFile(path);
    EXPECT_THAT(Captions(*window), ElementsAre("Consist List 1"));
}

TEST_F(DesktopTest, ExitAsksAboutEveryUnsavedConsistBeforeAnyWindowCloses) {
    const std::string install = MakeMixedCaseInstallation();
    auto window = Start();
    vantor::DocumentWindow* first = window->NewDocumentByMode(DocumentMode::Consist, "");
    vantor::DocumentWindow* second = window->NewDocumentByMode(DocumentMode::Consist, "");
    ASSERT_TRUE(first->Editor().Changed() && second->Editor().Changed());

    const auto asked = [this](Answer one, Answer other) {
        for (const Answer answer : {one, other}) {
            m_prompts.ExpectMessage(MessageIcon::Question, "Close", kCloseQuestion, answer,
                                    MessageButtons::YesNoCancel);
        }
    };
    asked(Answer::No, Answer::Cancel);
    EXPECT_FALSE(window->close());
    EXPECT_THAT(Captions(*window), ElementsAre("Consist List 1", "Consist 1", "Consist 2"));
    EXPECT_TRUE(first->Editor().Changed());

    // Asked again, both times: No to both closes everything.
    asked(Answer::No, Answer::No);
    EXPECT_TRUE(window->close());
    EXPECT_TRUE(window->Area()->subWindowList().isEmpty());
}

TEST_F(DesktopTest, StandardKeysAndIconsAreOnTheActionsAndCutHasNoKey) {
    auto window = Start();
    const std::pair<const char*, QKeySequence::StandardKey> keys[] = {
        {"mnuFileNewConsist", QKeySequence::New},
        {"mnuFileOpen", QKeySequence::Open},
        {"mnuFileSave", QKeySequence::Save},
        {"mnuFileSaveAs", QKeySequence::SaveAs},
        {"mnuFileClose", QKeySequence::Close},
        {"mnuFilePrint", QKeySequence::Print},
        {"mnuEditCopy", QKeySequence::Copy},
        {"mnuEditPaste", QKeySequence::Paste},
        {"mnuHelpContents", QKeySequence::HelpContents},
        {"mnuViewRefresh", QKeySequence::Refresh},
        {"mnuWindowNext", QKeySequence::NextChild},
        {"mnuWindowPrevious", QKeySequence::PreviousChild},
        {"mnuEditUndo", QKeySequence::Undo},
        {"mnuEditRedo", QKeySequence::Redo},
    };
    for (const auto& [name, key] : keys) {
        auto* action = window->findChild<QAction*>(name);
        ASSERT_NE(action, nullptr) << name;
        EXPECT_FALSE(action->shortcuts().isEmpty()) << name;
        if (!QKeySequence::keyBindings(key).isEmpty()) {
            EXPECT_EQ(action->shortcuts(), QKeySequence::keyBindings(key)) << name;
        }
    }
    EXPECT_TRUE(window->findChild<QAction*>("mnuEditCut")->shortcut().isEmpty());
    EXPECT_EQ(window->findChild<QAction*>("mnuHelpContents")->shortcut(), QKeySequence("F1"));
    EXPECT_EQ(window->findChild<QAction*>("mnuViewRefresh")->shortcut(), QKeySequence("F5"));

    // Without a theme, Copy and Paste show the program's own pictures; the window its icon.
    for (const char* name : {"tbCopy", "tbPaste", "tbPrint", "tbSave"}) {
        EXPECT_FALSE(window->findChild<QAction*>(name)->icon().isNull()) << name;
    }
    EXPECT_FALSE(window->windowIcon().isNull());
    EXPECT_FALSE(window->windowIcon().pixmap(32).isNull()) << "the SVG icon renders";
}

TEST_F(DesktopTest, ItemsAndButtonsAreEnabledWhereTheyCanActAndUndoRedoFollowTheEditor) {
    const std::string install = MakeMixedCaseInstallation();
    auto window = Start();
    auto* toolCopy = window->findChild<QAction*>("tbCopy");
    EXPECT_TRUE(Enabled(*window, "mnuEditCopy"));
    EXPECT_FALSE(Enabled(*window, "mnuFileSaveAs"));
    EXPECT_TRUE(toolCopy->isEnabled());

    vantor::DocumentWindow* editor =
        window->NewDocumentWindow(install + "\\Trains\\Consists\\Freight.con",
                                  DocumentMode::Consist, "Consist - Freight", nullptr);
    window->Area()->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(editor->parentWidget()));
    EXPECT_FALSE(Enabled(*window, "mnuEditCopy"));
    EXPECT_FALSE(toolCopy->isEnabled()) << "the button follows its menu item";
    EXPECT_TRUE(Enabled(*window, "mnuFileSaveAs"));
    EXPECT_FALSE(Enabled(*window, "mnuEditUndo")) << "nothing to undo yet";

    QTreeWidget* vehicles = editor->EditorView()->VehicleList();
    vehicles->setCurrentItem(vehicles->topLevelItem(0));
    editor->MoveClick(vantor::MoveCommand::Flip);
    EXPECT_TRUE(Enabled(*window, "mnuEditUndo"));
    Trigger(*window, "mnuEditUndo");
    EXPECT_EQ(editor->Editor().Rows().at(0).type, "Engine");
    EXPECT_FALSE(editor->Editor().Changed());
    EXPECT_TRUE(Enabled(*window, "mnuEditRedo"));
    Trigger(*window, "mnuEditRedo");
    EXPECT_EQ(editor->Editor().Rows().at(0).type, "Engine*");

    // In the consist list Undo keeps its message.
    window->Area()->setActiveSubWindow(window->Area()->subWindowList(QMdiArea::CreationOrder)[0]);
    EXPECT_FALSE(Enabled(*window, "mnuEditRedo"));
    m_prompts.ExpectMessage(MessageIcon::Critical, "Vantor", "Edit Undo not yet implemented");
    Trigger(*window, "mnuEditUndo");
    EXPECT_EQ(editor->Editor().Rows().at(0).type, "Engine*");

    // No window at all.
    m_prompts.ExpectMessage(MessageIcon::Question, "Close", kCloseQuestion, Answer::No,
                            MessageButtons::YesNoCancel);
    window->Area()->closeAllSubWindows();
    QCoreApplication::processEvents();
    for (const char* name : {"mnuFileClose", "mnuFileSave", "mnuEditCopy", "mnuViewRefresh",
                             "mnuFilePrint", "mnuFilePrintPreview"}) {
        EXPECT_FALSE(Enabled(*window, name)) << name;
    }
}

TEST_F(DesktopTest, TheConsistListFollowsFilesChangedOutsideAndKeepsItsSelection) {
    const std::string install = MakeMixedCaseInstallation();
    auto window = Start();
    vantor::DocumentWindow* list = window->Documents().at(0);
    auto* rows = list->findChild<QTreeWidget*>("lvConsists");
    rows->setCurrentItem(rows->topLevelItem(0));
    const fs::path folder = fs::path(install) / "TRAINS" / "consists";
    fs::copy_file(folder / "Freight.con", folder / "Coal.con");
    EXPECT_TRUE(Eventually([&] { return list->ConsistRows().size() == 2; }));
    EXPECT_THAT(list->SelectedConsists(), ElementsAre("Freight"));
    fs::remove(folder / "Freight.con");
    EXPECT_TRUE(
        Eventually([&] { return list->ConsistRows() == std::vector<std::string>{"Coal"}; }));
    EXPECT_TRUE(list->SelectedConsists().empty());
}

}  // namespace
