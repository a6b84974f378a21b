#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestInstallation.h"
#include "validation/TSValidation.h"

namespace {

using validation_tests::ExposedValidation;
using vantor::TSValidation;

TEST(TranslateErrorTest, EveryCodeRaisedAndFieldLayout) {
    struct Row {
        const char* fault;
        vantor::Finding finding;
        const char* line;
    };
    const Row rows[] = {
        {"missing reference names both files", {6, "a", "b"}, "ERROR: a references missing file b"},
        {"reference is information", {7, "a", "b"}, "INFO: a references file b"},
        {"empty reference names the file alone", {1, "Route XY", ""}, "ERROR: Route XY is MISSING"},
        {"reference first, then referenced by",
         {1, "all", "c"},
         "ERROR: c referenced by all is MISSING"},
        {"blank reference counts as empty", {3, "x.eng", " "}, "ERROR: x.eng appears CORRUPT"},
        {"valid is OK", {0, "x.sms", ""}, "INFO: x.sms is OK"},
        {"compressed", {2, "x.s", ""}, "ERROR: x.s is COMPRESSED"},
        {"suspect",
         {5, "x", "y"},
         "ERROR: y referenced by x is SUSPECT due to problems with dependent files"},
        {"the reason a file could not be read follows the file",
         {3, "x.con", "", "Error 75 - Permission denied"},
         "ERROR: x.con appears CORRUPT (Error 75 - Permission denied)"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(TSValidation::TranslateError(row.finding), row.line) << row.fault;
    }
}

// Records the events a validator raises as texts: "error <code> <file>|<reference>"
// and "message <level> <text>".
class EventsTest : public testing::Test {
protected:
    EventsTest() {
        m_validator.OnErrorRaised([this](TSValidation::Status code, const std::string& file,
                                         const std::string& reference) {
            m_events.push_back("error " + std::to_string(code) + " " + file + "|" + reference);
        });
        m_validator.OnMessageRaised([this](std::int16_t level, const std::string& message) {
            m_events.push_back("message " + std::to_string(level) + " " + message);
        });
    }
    ExposedValidation m_validator{"C:\\MSTS"};
    std::vector<std::string> m_events;
};

TEST_F(EventsTest, FindingsAndProgressAreStoredAndRaised) {
    EXPECT_EQ(m_validator.RaiseError(TSValidation::IsValid(), "a", "b"), TSValidation::IsValid());
    EXPECT_EQ(m_validator.RaiseError(TSValidation::HasMissingReference(), "a", "b"), 6);
    EXPECT_EQ(m_validator.Errors(), (std::vector<vantor::Finding>{{6, "a", "b"}}));
    EXPECT_EQ(m_events, std::vector<std::string>{"error 6 a|b"})
        << "a valid finding leaves no trace unless verbose";

    m_events.clear();
    m_validator.SetVerboseMessages(true);
    m_validator.RaiseError(TSValidation::HasMissingReference(), "a", "b");
    m_validator.RaiseError(TSValidation::IsValid(), "c.wav", "");
    EXPECT_EQ(m_events, (std::vector<std::string>{"error 6 a|b",
                                                  "message 2 ERROR: a references missing file b",
                                                  "message 1 INFO: c.wav is OK"}));
    EXPECT_EQ(m_validator.Errors().size(), 2U) << "valid findings are never stored";

    // Progress is level 0 whatever the verbosity.
    m_events.clear();
    m_validator.RaiseProgress("Done");
    EXPECT_EQ(m_events, std::vector<std::string>{"message 0 Done"});
}

}  // namespace
