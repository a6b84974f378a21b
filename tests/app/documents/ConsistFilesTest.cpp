#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <set>
#include <string>
#include <system_error>
#include <vector>

#include "ConsistTestSupport.h"
#include "FileSizeLimit.h"
#include "ScriptedPrompter.h"
#include "TempFolder.h"
#include "documents/ConsistFiles.h"

namespace {

namespace fs = std::filesystem;
using consist_test::ConsistBytes;
using consist_test::Lines;
using testing::HasSubstr;
using testing_support::MakeFile;
using testing_support::ReadBytes;
using testing_support::ScriptedPrompter;
using testing_support::TempFolder;
using vantor::Answer;
using vantor::MessageButtons;
using vantor::MessageIcon;
using vantor::SaveOutcome;

// A consist window as the save operation sees it, saving through SaveConsistForm.
class ConsistWindow : public vantor::ConsistSaveTarget {
public:
    explicit ConsistWindow(vantor::Prompter& prompts) : m_prompts(prompts) { editor.New(); }
    [[nodiscard]] std::string FileName() const override { return fileName; }
    void SetFileName(const std::string& name) override { fileName = name; }
    void SetCaption(const std::string& text) override { caption = text; }
    bool SaveForm(bool quiet) override {
        return vantor::SaveConsistForm(editor, fileName, quiet, m_prompts);
    }

    vantor::ConsistEditor editor;
    std::string fileName;
    std::string caption = "Consist 1";

private:
    vantor::Prompter& m_prompts;
};

class FakeClipboard : public vantor::Clipboard {
public:
    [[nodiscard]] std::string Text() const override { return text; }
    void SetText(const std::string& value) override { text = value; }
    std::string text;
};

// The template consist as saved under a name.
std::string TemplateBytes(const std::string& name) {
    return ConsistBytes(Lines({"Train (", "\tTrainCfg ( " + name, "\t\tName ( " + name + " )",
                               "\t\tMaxVelocity ( 40.00000 1.00000 )", "\t\tNextWagonUID ( 1 )",
                               "\t\tDurability ( 1.0 )", "\t)", ")"}));
}

std::string Overwrite(const std::string& path) {
    return path + " already exists.  Do you want to overwrite it?";
}

class ConsistFilesTest : public testing::Test {
protected:
    // Expects the question before a save replaces a file.
    void ExpectOverwrite(const std::string& path, Answer answer) {
        m_prompts.ExpectMessage(MessageIcon::Question, "Save Consist", Overwrite(path), answer,
                                MessageButtons::YesNoCancel);
    }
    // Expects the question for the pasted consist's name and answers it.
    void ExpectName(const std::string& consist, const std::string& typed) {
        m_prompts.ExpectInput("Enter new consist name:", "Copy Consist", "Copy of " + consist,
                              typed);
    }

    TempFolder m_folder;
    ScriptedPrompter m_prompts;
    ConsistWindow m_window{m_prompts};
    const std::string m_old = MakeFile(m_folder.Path() / "Old.con", "old bytes");
};

TEST_F(ConsistFilesTest, SaveDialogAnswersThatNameNoFileSaveNothing) {
    const std::string folder = m_folder.Path().string();
    struct Row {
        const char* fault;
        std::string answer;
        bool refused;  // a wildcard name is refused and the dialog asked again
    };
    const Row rows[] = {
        {"cancelled", "", false},
        {"the start name pressed unchanged", folder + "/*.con", false},
        {"the start name with a Windows folder", "C:\\Trains\\*.con", false},
        {"the folder alone", folder + "/", false},
        {"a wildcard name written a file named \"*.con\"", folder + "/Freight*.con", true},
        {"a question mark", folder + "/Fr?ight", true},
    };
    for (const Row& row : rows) {
        m_prompts.ExpectSaveFile("Save Consist As", row.answer);
        if (row.refused) {
            m_prompts
                .ExpectMessage(
                    MessageIcon::Critical, "Save Consist",
                    row.answer + " cannot be a file name: \"*\" and \"?\" stand for other names.")
                .ExpectSaveFile("Save Consist As", "");
        }
        EXPECT_EQ(vantor::SaveCurrentConsist(m_window, false, m_prompts), SaveOutcome::Cancelled)
            << row.fault;
        EXPECT_TRUE(m_prompts.Done()) << row.fault;
        EXPECT_EQ(m_prompts.LastFileRequest().filter,
                  "Consist Files (*.con)|*.con|All Files (*.*)|*.*");
        EXPECT_TRUE(m_window.editor.Changed()) << row.fault;
        EXPECT_EQ(m_window.caption, "Consist 1") << row.fault;
        EXPECT_EQ(std::distance(fs::directory_iterator(m_folder.Path()), {}), 1)
            << row.fault << ": only Old.con is there";
    }
}

// A name without an extension gets one, and then it is a file that exists.
TEST_F(ConsistFilesTest, NoAsksForAnotherNameAndYesReplacesTheFile) {
    m_prompts.ExpectSaveFile("Save Consist As", m_old);
    ExpectOverwrite(m_old, Answer::No);
    m_prompts.ExpectSaveFile("Save Consist As", m_folder.File("Old"));
    ExpectOverwrite(m_old, Answer::Yes);
    m_prompts.ExpectMessage(MessageIcon::Information, "Save Consist", m_old + " saved");
    EXPECT_EQ(vantor::SaveCurrentConsist(m_window, false, m_prompts), SaveOutcome::Saved);
    EXPECT_EQ(ReadBytes(m_old), TemplateBytes("Old"));
    EXPECT_EQ(m_window.caption, "Consist - " + m_old);
    EXPECT_EQ(m_window.fileName, m_old);
    EXPECT_FALSE(m_window.editor.Changed());
}

TEST_F(ConsistFilesTest, CancelOfTheOverwriteQuestionSaysSoAndKeepsTheFile) {
    m_window.fileName = m_old;
    ExpectOverwrite(m_old, Answer::Cancel);
    m_prompts.ExpectMessage(MessageIcon::Critical, "Save Consist",
                            "Save of " + m_old + " cancelled by user!");
    EXPECT_EQ(vantor::SaveCurrentConsist(m_window, false, m_prompts), SaveOutcome::Cancelled);
    EXPECT_EQ(ReadBytes(m_old), "old bytes");
    EXPECT_TRUE(m_window.editor.Changed());
    EXPECT_EQ(m_window.caption, "Consist 1");
}

TEST_F(ConsistFilesTest, QuietSaveKeepsTheCaptionAndSaysNothing) {
    m_window.fileName = m_folder.File("Temporary Consist.con");
    EXPECT_EQ(vantor::SaveCurrentConsist(m_window, true, m_prompts), SaveOutcome::Saved);
    EXPECT_EQ(ReadBytes(m_window.fileName), TemplateBytes("\"Temporary Consist\""));
    EXPECT_EQ(m_window.caption, "Consist 1");
}

TEST_F(ConsistFilesTest, FailedWriteAfterYesKeepsTheOldFileAndTheChanges) {
    if (!testing_support::FileSizeLimit::kSupported) {
        GTEST_SKIP() << "no file size limit to make the write fail";
    }
    for (int i = 0; i < 100; ++i) {
        m_window.editor.Move(vantor::MoveCommand::Add, vantor::StockRow{"Wagon", "Box", "Car"});
    }
    m_window.fileName = m_old;
    const std::string description =
        std::system_error(EFBIG, std::generic_category(), "Cannot save " + m_old).what();
    ExpectOverwrite(m_old, Answer::Yes);
    m_prompts.ExpectMessage(MessageIcon::Critical, "Save Consist", description);
    {
        testing_support::FileSizeLimit limit(4096);
        EXPECT_EQ(vantor::SaveCurrentConsist(m_window, false, m_prompts), SaveOutcome::Failed);
    }
    EXPECT_EQ(ReadBytes(m_old), "old bytes");
    EXPECT_TRUE(m_window.editor.Changed());
    EXPECT_TRUE(m_window.editor.CanApply());
    EXPECT_EQ(std::distance(fs::directory_iterator(m_folder.Path()), fs::directory_iterator()), 1)
        << "no temporary file is left";
}

TEST_F(ConsistFilesTest, ANameTheReaderWouldSplitIsRefusedBeforeAnythingIsWritten) {
    m_window.fileName = m_folder.File("Freight (2).con");
    ExpectOverwrite(m_window.fileName, Answer::Yes);
    m_prompts.ExpectMessage(MessageIcon::Critical, "Save Consist",
                            "The consist name \"Freight (2)\" holds \"(\", which a consist file "
                            "cannot hold: the simulator reads it as the bound of an item; " +
                                m_window.fileName + " was not written.");
    MakeFile(m_window.fileName, "kept");
    EXPECT_EQ(vantor::SaveCurrentConsist(m_window, false, m_prompts), SaveOutcome::Failed);
    EXPECT_EQ(ReadBytes(m_window.fileName), "kept");
    EXPECT_TRUE(m_window.editor.Changed());
}

TEST_F(ConsistFilesTest, TheFirstSaveOverATruncatedConsistAsksFirst) {
    const std::string cut =
        MakeFile(m_folder.Path() / "Cut.con",
                 ConsistBytes(Lines({"Train (", "\tTrainCfg ( Cut", "\t\tName ( Cut )",
                                     "\t\tMaxVelocity ( 1 2 )", "\t\tNextWagonUID ( 1 )",
                                     "\t\tDurability ( 1 )"})));
    m_window.editor.Load(cut);
    ASSERT_TRUE(m_window.editor.Truncated());
    const std::string question = vantor::TruncatedSaveQuestion(cut);
    EXPECT_THAT(question, HasSubstr("ends inside an item"));
    const std::string before = ReadBytes(cut);
    m_prompts.ExpectMessage(MessageIcon::Exclamation, "Save Consist", question, Answer::No,
                            MessageButtons::YesNo);
    EXPECT_FALSE(vantor::SaveConsistForm(m_window.editor, cut, true, m_prompts));
    EXPECT_EQ(ReadBytes(cut), before) << "No writes nothing";

    EXPECT_TRUE(
        vantor::SaveConsistForm(m_window.editor, m_folder.File("Other.con"), true, m_prompts))
        << "a save elsewhere asks nothing";
    m_prompts.ExpectMessage(MessageIcon::Exclamation, "Save Consist", question, Answer::Yes,
                            MessageButtons::YesNo);
    EXPECT_TRUE(vantor::SaveConsistForm(m_window.editor, cut, true, m_prompts));
    EXPECT_TRUE(vantor::SaveConsistForm(m_window.editor, cut, true, m_prompts))
        << "asked once only";
    EXPECT_TRUE(m_prompts.Done());
}

TEST_F(ConsistFilesTest, CopyAndCutActOnTheSelectedConsist) {
    FakeClipboard clipboard;
    clipboard.text = "before";
    vantor::CopyConsist(std::nullopt, clipboard);
    EXPECT_EQ(clipboard.text, "before");
    vantor::CopyConsist("GP38 Set", clipboard);
    EXPECT_EQ(clipboard.text, "GP38 Set");

    const std::string install = m_folder.Path().string();
    const fs::path file = MakeFile(m_folder.Path() / "TRAINS" / "consists" / "GP38 Set.con", "x");
    const std::string path = install + "\\Trains\\Consists\\gp38 set.con";
    m_prompts
        .ExpectMessage(MessageIcon::Question, "Delete", "Delete " + path + " ?", Answer::No,
                       MessageButtons::YesNo)
        .ExpectMessage(MessageIcon::Question, "Delete", "Delete " + path + " ?", Answer::Yes,
                       MessageButtons::YesNo)
        .ExpectMessage(MessageIcon::Critical, "Delete", "No consist is selected.");
    EXPECT_FALSE(vantor::CutConsist(install, "gp38 set", m_prompts));
    EXPECT_TRUE(fs::exists(file));
    EXPECT_TRUE(vantor::CutConsist(install, "gp38 set", m_prompts));
    EXPECT_FALSE(fs::exists(file));
    EXPECT_FALSE(vantor::CutConsist(install, "gp38 set", m_prompts)) << "no file: no question";
    EXPECT_FALSE(vantor::CutConsist(install, std::nullopt, m_prompts));
}

TEST_F(ConsistFilesTest, PasteCopiesUnderTheTypedNameAndAsksBeforeOverwriting) {
    const std::string install = m_folder.Path().string();
    const fs::path consists = m_folder.Path() / "Trains" / "Consists";
    MakeFile(consists / "GP38 Set.con", "source");
    FakeClipboard clipboard;
    clipboard.text = "GP38 Set";
    const std::string target = install + "\\Trains\\Consists\\Copy of GP38 Set.con";
    ExpectName("GP38 Set", "");
    ExpectName("GP38 Set", "Copy of GP38 Set");
    m_prompts.ExpectMessage(MessageIcon::Information, "Paste", "Created " + target);
    EXPECT_EQ(vantor::PasteConsist(install, clipboard, m_prompts), "");
    EXPECT_EQ(vantor::PasteConsist(install, clipboard, m_prompts), target);
    EXPECT_EQ(ReadBytes((consists / "Copy of GP38 Set.con").string()), "source");

    MakeFile(consists / "Copy of GP38 Set.con", "edited copy");
    for (const Answer answer : {Answer::No, Answer::Yes}) {
        ExpectName("GP38 Set", "copy of gp38 set");
        const std::string typed = install + "\\Trains\\Consists\\copy of gp38 set.con";
        m_prompts.ExpectMessage(MessageIcon::Question, "Copy Consist", Overwrite(typed), answer,
                                MessageButtons::YesNo);
        if (answer == Answer::Yes) {
            m_prompts.ExpectMessage(MessageIcon::Information, "Paste", "Created " + typed);
        }
        vantor::PasteConsist(install, clipboard, m_prompts);
        EXPECT_EQ(ReadBytes((consists / "Copy of GP38 Set.con").string()),
                  answer == Answer::No ? "edited copy" : "source");
    }

    clipboard.text = "Ghost";
    const std::string source = install + "\\Trains\\Consists\\Ghost.con";
    ExpectName("Ghost", "Ghost 2");
    m_prompts.ExpectMessage(MessageIcon::Critical, "Paste", "File not found: " + source);
    EXPECT_EQ(vantor::PasteConsist(install, clipboard, m_prompts), "");
}

TEST_F(ConsistFilesTest, PasteRefusesNamesThatCannotBeFileNames) {
    EXPECT_EQ(vantor::ConsistNameProblem("a/b"),
              "\"a/b\" cannot be a consist name: a file name cannot hold a folder separator, any "
              "of : * ? \" < > | or a control character.");
    const fs::path consists = m_folder.Path() / "Trains" / "Consists";
    MakeFile(consists / "Yard.con", "source");
    FakeClipboard clipboard;
    clipboard.text = "Yard";
    for (const char* name : {"a/b", "..\\Yard", "x:y", "tab\tname", "Com1.old"}) {
        ExpectName("Yard", name);
        m_prompts.ExpectMessage(MessageIcon::Critical, "Paste", vantor::ConsistNameProblem(name));
        EXPECT_EQ(vantor::PasteConsist(m_folder.Path().string(), clipboard, m_prompts), "");
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(consists), fs::directory_iterator()), 1);
    EXPECT_EQ(
        std::distance(fs::directory_iterator(m_folder.Path() / "Trains"), fs::directory_iterator()),
        1);
}

TEST(TemporaryConsistTest, GoesToTheProgramFolderWhenWritableElseTheCache) {
    TempFolder folder;
    const std::string program = (folder.Path() / "bin").string();
    fs::create_directory(program);
    const std::string cache = (folder.Path() / "cache").string();
    EXPECT_EQ(vantor::TemporaryConsistPath(program, cache),
              (fs::path(program) / "Temporary Consist.con").string());
    EXPECT_EQ(std::distance(fs::directory_iterator(program), fs::directory_iterator()), 0)
        << "the test of the folder leaves nothing behind";

    // A file where the folder should be cannot be written into, even by root.
    const std::string blocked = MakeFile(folder.Path() / "not-a-folder", "x");
    EXPECT_EQ(vantor::TemporaryConsistPath(blocked, cache),
              (fs::path(cache) / "Vantor" / "Temporary Consist.con").string());
    EXPECT_TRUE(fs::is_directory(cache + "/Vantor"));
}

class AssociationTest : public testing::Test {
protected:
    AssociationTest() {
        m_setup.prompts = &m_prompts;
        m_setup.launcher = &m_launcher;
        m_setup.findProgram = m_finder;
        m_setup.programFile = "/opt/My Tools/Vantor";
        m_setup.dataFolder = m_folder.File("data");
    }
    void ExpectQuestion(Answer answer) {
        m_prompts.ExpectMessage(MessageIcon::Question, "Set File Association",
                                "Do you want to associate .CON files with Vantor?\r\n\r\n(Doing "
                                "this will make Vantor load when you double click on a consist "
                                "file)",
                                answer, MessageButtons::YesNo);
    }

    TempFolder m_folder;
    ScriptedPrompter m_prompts;
    std::set<std::string> m_installed{"update-mime-database", "xdg-mime"};
    std::vector<std::vector<std::string>> m_started;
    vantor::platform::ProgramFinder m_finder = [this](std::string_view name) {
        return m_installed.count(std::string(name)) ? "/usr/bin/" + std::string(name)
                                                    : std::string();
    };
    vantor::platform::Launcher m_launcher{
        m_finder, [this](const std::vector<std::string>& command, const std::string&, bool) {
            m_started.push_back(command);
            return std::string();
        }};
    vantor::AssociationSetup m_setup;
};

TEST_F(AssociationTest, RegistersAMimeTypeAndADesktopEntryForTheUser) {
    ExpectQuestion(Answer::No);
    vantor::SetFileAssociations(m_setup);
    EXPECT_FALSE(fs::exists(m_setup.dataFolder));

    ExpectQuestion(Answer::Yes);
    m_prompts.ExpectMessage(MessageIcon::Information, "Set Association",
                            "Consist files now associations with Vantor.");
    vantor::SetFileAssociations(m_setup);
    const std::string data = m_setup.dataFolder;
    const std::string mime = ReadBytes(data + "/mime/packages/vantor-consist.xml");
    EXPECT_THAT(mime, HasSubstr("<mime-type type=\"application/x-msts-consist\">"));
    EXPECT_THAT(mime, HasSubstr("<glob pattern=\"*.con\"/>\n    <glob pattern=\"*.CON\"/>"));
    const std::string entry = ReadBytes(data + "/applications/vantor.desktop");
    EXPECT_THAT(entry, HasSubstr("\nExec=\"/opt/My Tools/Vantor\" %f\n"));
    EXPECT_THAT(entry, HasSubstr("\nMimeType=application/x-msts-consist;\n"));
    // update-desktop-database is not installed here, so it is not run.
    EXPECT_EQ(
        m_started,
        (std::vector<std::vector<std::string>>{
            {"/usr/bin/update-mime-database", data + "/mime"},
            {"/usr/bin/xdg-mime", "default", "vantor.desktop", "application/x-msts-consist"}}));
}

TEST_F(AssociationTest, FailuresAreReportedWithTheirDescription) {
    m_installed = {"update-desktop-database"};
    ExpectQuestion(Answer::Yes);
    m_prompts.ExpectMessage(MessageIcon::Critical, "Set Association",
                            "Consist files are registered, but Vantor could not be made the "
                            "program that opens them: Cannot find xdg-mime");
    vantor::SetFileAssociations(m_setup);
    EXPECT_EQ(m_started,
              (std::vector<std::vector<std::string>>{
                  {"/usr/bin/update-desktop-database", m_setup.dataFolder + "/applications"}}));
}

}  // namespace
