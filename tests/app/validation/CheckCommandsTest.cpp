#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ScriptedPrompter.h"
#include "TempFolder.h"
#include "TestInstallation.h"
#include "common/Text.h"
#include "validation/CheckCommands.h"

namespace {

using Mode = vantor::DocumentMode;

using testing_support::ScriptedPrompter;
using validation_tests::TestInstallation;
using vantor::Answer;
using vantor::CheckContext;
using vantor::MessageButtons;
using vantor::MessageIcon;
using Texts = std::vector<std::string>;

// Returns the report line of a file that references a missing file.
std::string Missing(const std::string& file, const std::string& reference) {
    return "ERROR: " + file + " references missing file " + reference + "\r\n";
}

// Returns the report line of a file that references a file.
std::string Uses(const std::string& file, const std::string& reference) {
    return "INFO: " + file + " references file " + reference + "\r\n";
}

// An installation with the wagon Boxcar (its sound definition missing), the
// consists Freight (with the Boxcar) and Light, and the routes R1 ("Route One":
// a service running Freight and an activity with the Boxcar) and R2 (no route file).
class CheckCommandsTest : public testing::Test {
protected:
    CheckCommandsTest() {
        m_install.Sim("Trains/Trainset/Boxcar/Boxcar.wag",
                      {"Wagon ( Boxcar WagonShape ( Boxcar.s ) Sound ( Boxcar.sms ) )"});
        m_install.Touch("Trains/Trainset/Boxcar/Boxcar.s");
        m_install.Touch("Trains/Trainset/Boxcar/Boxcar.sd");
        m_install.Sim("Trains/Consists/Freight.con",
                      {"Train ( TrainCfg ( Freight Wagon ( WagonData ( Boxcar Boxcar ) ) ) )"});
        m_install.Sim("Trains/Consists/Light.con",
                      {"Train ( TrainCfg ( Light Engine ( EngineData ( GP38 GP38 ) ) ) )"});
        m_install.Sim("Routes/R1/R1.trk", {"Tr_RouteFile ( Name ( \"Route One\" ) )"});
        m_install.Sim("Routes/R1/SERVICES/Goods.srv",
                      {"Service_Definition ( Goods Train_Config ( Freight ) )"});
        m_install.Sim("Routes/R1/ACTIVITIES/Shunt.act",
                      {"Tr_Activity ( Tr_Activity_File ( ActivityObjects ( ActivityObject (",
                       " ObjectType ( WagonsList ) Train_Config ( TrainCfg ( Loose",
                       " Wagon ( WagonData ( Boxcar Boxcar ) ) ) ) ) ) ) )"});
        m_install.Touch("Routes/R2/SERVICES/readme.txt");

        m_context.installFolder = m_install.Folder();
        m_context.prompter = &m_prompter;
        m_context.showStatus = [this](const std::string& text) { m_status.push_back(text); };
        m_context.letEventsRun = [] {};
        m_context.currentTime = [] { return std::string("2024-05-01 12:00:00"); };
        m_context.chooseRoutes = [this](const std::string& caption, const std::string& list) {
            m_chooserCalls.push_back(caption + " / " + list);
            return m_routes;
        };
    }
    [[nodiscard]] std::string Boxcar() const {
        return m_install.Path("Trains\\Trainset\\Boxcar\\Boxcar.wag");
    }
    [[nodiscard]] std::string Sound() const {
        return m_install.Path("Trains\\Trainset\\Boxcar\\Sound\\Boxcar.sms");
    }

    TestInstallation m_install;
    ScriptedPrompter m_prompter;
    CheckContext m_context;
    Texts m_status;
    Texts m_chooserCalls;
    std::string m_routes;
};

TEST_F(CheckCommandsTest, StockDependenciesInTheChosenRoutes) {
    m_routes = "R1|R2";
    const auto report =
        vantor::FileCheckDep({true, Mode::Consist, "", Boxcar(), {}, ""}, m_context);
    ASSERT_TRUE(report);
    EXPECT_EQ(report->caption, "Usage check of Boxcar");
    EXPECT_EQ(report->text,
              "Check Time  : 2024-05-01 12:00:00\r\nMSTS Path   : " + m_install.Folder() +
                  "\r\n\r\nStock Name  : " + Boxcar() + "\r\n\r\n" + Missing(Boxcar(), Sound()) +
                  Uses(m_install.Path("Trains\\Consists\\Freight.con"), Boxcar()) +
                  Uses(m_install.Path("Routes\\R1\\Activities\\Shunt.act"), Boxcar()));
    EXPECT_EQ(m_chooserCalls, Texts{"Select Routes to Check / R1(Route One)|R2"});
    EXPECT_EQ(m_status.back(), "Done") << "progress texts reach the status bar";
}

TEST_F(CheckCommandsTest, ConsistsInTheChosenRoutesOrNothingSelected) {
    // Cancel in the route dialog, or OK with nothing selected, opens no window.
    EXPECT_FALSE(vantor::FileCheckDep(
        {true, Mode::Consist3D, m_install.Path("Trains\\Consists\\Freight.con"), "", {}, ""},
        m_context));
    EXPECT_EQ(m_chooserCalls.size(), 1U);
    EXPECT_FALSE(m_context.validator) << "no check ran";

    m_routes = "R1|R2";
    const auto report = vantor::FileCheckDep(
        {true, Mode::ConsistList, "", "", {"Freight", "Light"}, ""}, m_context);
    ASSERT_TRUE(report);
    EXPECT_EQ(report->caption, "Usage check of Freight|Light");
    EXPECT_EQ(report->text, Uses(m_install.Path("Routes\\R1\\Services\\Goods.srv"),
                                 m_install.Path("Trains\\Consists\\Freight.con")))
        << "no header for consists";

    m_prompter.ExpectMessage(MessageIcon::Critical, "Check Dependencies", "Nothing selected!",
                             Answer::Ok, MessageButtons::Ok);
    EXPECT_FALSE(vantor::FileCheckDep({true, Mode::ConsistList, "", "", {}, "Freight"}, m_context));
    EXPECT_TRUE(m_prompter.Done()) << "a consist list without a selection";
    EXPECT_EQ(m_chooserCalls.size(), 2U);
}

TEST_F(CheckCommandsTest, StockCheckOfTheCurrentConsist) {
    const auto report =
        vantor::ConsistCheckStock({true, Mode::ConsistList, "", "", {}, "Light"}, m_context);
    ASSERT_TRUE(report);
    EXPECT_EQ(report->caption, "Stock check of Light");
    EXPECT_EQ(report->text, Missing(m_install.Path("Trains\\Consists\\Light.con"),
                                    m_install.Path("Trains\\Trainset\\GP38\\GP38.eng")));
}

TEST_F(CheckCommandsTest, CheckAllStockAsksFirst) {
    m_prompter.ExpectMessage(MessageIcon::Question, "Check All Stock",
                             "About to check all stock file dependencies in your TS installtion.  "
                             "This may take some time.  Do you want to continue?",
                             Answer::No, MessageButtons::YesNo);
    EXPECT_FALSE(vantor::StockCheckAll(m_context));
    EXPECT_FALSE(m_context.validator);

    m_prompter.ExpectMessage(MessageIcon::Question, "Check All Stock",
                             vantor::kCheckAllStockQuestion, Answer::Yes, MessageButtons::YesNo);
    const auto report = vantor::StockCheckAll(m_context);
    ASSERT_TRUE(report);
    EXPECT_EQ(report->caption, "TS Installation Check");
    EXPECT_EQ(report->text, Missing(Boxcar(), Sound()));
}

TEST(SelectorTest, RowsDetailsAndChoices) {
    vantor::Selector selector("Select Routes to Check");
    selector.SetSelectFrom("ABC(My Route)| DEF |GHI(Two (Words))");
    Texts rows;
    for (const auto& row : selector.Rows()) {
        rows.push_back(row.text + " / " + row.details);
    }
    EXPECT_EQ(rows, (Texts{"ABC / My Route", "DEF / DEF route", "GHI / Two (Words"}))
        << "every ) is removed";
    selector.Click(1);
    EXPECT_EQ(selector.Details(), "DEF route");

    selector.SetRowSelected(2, true);
    selector.SetRowSelected(0, true);
    selector.Ok();
    EXPECT_EQ(selector.Selected(), "ABC|GHI") << "list order, no leading bar";

    vantor::Selector cancelled;
    cancelled.SetSelectFrom("ABC");
    cancelled.SelectAll(true);
    cancelled.Cancel();
    EXPECT_EQ(cancelled.Selected(), "");
}

// The separator of the platform's paths, which proposed report names use.
#ifdef _WIN32
constexpr const char* kSeparator = "\\";
#else
constexpr const char* kSeparator = "/";
#endif

TEST(ResultsWindowTest, SaveAppendsAFramedCopyAndPropertiesCountCharacters) {
    testing_support::TempFolder folder;
    const std::string program = folder.Path().string();
    const vantor::ResultsWindow window("Usage check of X", "ERROR: a is MISSING\r\n");

    ScriptedPrompter prompter;
    const std::string log = testing_support::MakeFile(folder.Path() / "Saved.log", "old\r\n");
    const std::string unwritable = folder.File("no/such/folder/x.log");
    const std::string proposed = program + kSeparator + "X.log";
    prompter.ExpectInput("Enter file name:", "Save Results", proposed, log)
        .ExpectInput("Enter file name:", "Save Results", proposed, unwritable)
        .ExpectMessage(MessageIcon::Critical, "Save Results", "Cannot write " + unwritable,
                       Answer::Ok, MessageButtons::Ok);
    EXPECT_TRUE(window.Save(prompter, program));
    EXPECT_FALSE(window.Save(prompter, program));
    const std::string frame(80, '=');
    EXPECT_EQ(testing_support::ReadBytes(log),
              "old\r\n" + frame + "\r\nERROR: a is MISSING\r\n\r\n" + frame + "\r\n");

    const vantor::ResultsWindow total("TS Installation Check", "x");
    EXPECT_EQ(total.DefaultLogName("P"), std::string("P") + kSeparator + " Check.log")
        << "the caption from its 16th character on, blank included";

    // Properties count characters, not bytes.
    const vantor::ResultsWindow text("Results", std::string(1232, 'x') + "\xC3\xA9\r");
    prompter.ExpectMessage(MessageIcon::Information, "Message Properties",
                           "1234 characters in message", Answer::Ok, MessageButtons::Ok);
    text.ShowProperties(prompter);
    EXPECT_TRUE(prompter.Done());
}

}  // namespace
