#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestInstallation.h"
#include "validation/TSValidation.h"

namespace {

using validation_tests::ExposedValidation;
using vantor::TSValidation;

TEST(TranslateErrorTest, EveryCodeAndFieldLayout) {
    struct Row {
        const char* fault;
        const char* entry;
        const char* line;
    };
    const Row rows[] = {
        {"missing reference names both files", "6|C:\\A\\b.con|C:\\A\\c.eng",
         "ERROR: C:\\A\\b.con references missing file C:\\A\\c.eng"},
        {"reference is information", "7|C:\\A\\b.con|C:\\A\\c.eng",
         "INFO: C:\\A\\b.con references file C:\\A\\c.eng"},
        {"empty reference names the file alone", "1|Route XY|", "ERROR: Route XY is MISSING"},
        {"reference comes first with referenced by", "1|all consists|C:\\A\\c.eng",
         "ERROR: C:\\A\\c.eng referenced by all consists is MISSING"},
        {"blank reference counts as empty", "3|C:\\A\\x.eng| ",
         "ERROR: C:\\A\\x.eng appears CORRUPT"},
        {"valid is OK", "0|C:\\A\\x.sms|", "INFO: C:\\A\\x.sms is OK"},
        {"IsOK reads like valid", "-1|C:\\A\\x.sms|", "INFO: C:\\A\\x.sms is OK"},
        {"compressed", "2|x.s|", "ERROR: x.s is COMPRESSED"},
        {"empty", "4|x|", "ERROR: x is EMPTY"},
        {"suspect with its reference", "5|x.s|Image count",
         "ERROR: Image count referenced by x.s is SUSPECT due to problems with dependent files"},
        {"summary of a missing reference keeps its final blank", "6|x.cvf|",
         "ERROR: x.cvf references missing file "},
        {"unknown code gives an empty message", "9|x|", "ERROR: "},
        {"code out of 16-bit range is unknown", "99999|x|", "ERROR: "},
        {"non-numeric code reads as 0", "abc|x|", "INFO: x is OK"},
        {"leading number of the code field", " 3abc|x|", "ERROR: x appears CORRUPT"},
        {"code rounds to a whole number", "1.6|x|", "ERROR: x is COMPRESSED"},
        {"a bar in a name shifts the fields", "1|a|b|c", "ERROR: b|c referenced by a is MISSING"},
        {"text without a bar passes through", "no bar here", "no bar here"},
        {"one bar only: no reference", "7|a", "INFO: a references file "},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(TSValidation::TranslateError(row.entry), row.line) << row.fault;
    }
}

// One event as a test receives it.
struct Event {
    std::string kind;
    int number = 0;
    std::string first;
    std::string second;
    friend bool operator==(const Event&, const Event&) = default;
};

class EventsTest : public testing::Test {
protected:
    EventsTest() {
        m_validator.OnErrorRaised([this](TSValidation::Status code, const std::string& file,
                                         const std::string& reference) {
            m_events.push_back({"error", code, file, reference});
        });
        m_validator.OnMessageRaised([this](std::int16_t level, const std::string& message) {
            m_events.push_back({"message", level, message, ""});
        });
    }
    ExposedValidation m_validator{"C:\\MSTS"};
    std::vector<Event> m_events;
};

TEST_F(EventsTest, ValidFindingWithoutVerboseLeavesNoTrace) {
    EXPECT_EQ(m_validator.RaiseError(TSValidation::IsValid(), "a", "b"), TSValidation::IsValid());
    EXPECT_TRUE(m_validator.Errors().empty());
    EXPECT_TRUE(m_events.empty());
}

TEST_F(EventsTest, FindingIsStoredThenRaisedThenAnnouncedWhenVerbose) {
    EXPECT_EQ(m_validator.RaiseError(TSValidation::HasMissingReference(), "a", "b"), 6);
    EXPECT_EQ(m_validator.Errors(), std::vector<std::string>{"6|a|b"});
    EXPECT_EQ(m_events, (std::vector<Event>{{"error", 6, "a", "b"}}));

    m_events.clear();
    m_validator.SetVerboseMessages(true);
    m_validator.RaiseError(TSValidation::HasMissingReference(), "a", "b");
    m_validator.RaiseError(TSValidation::IsValid(), "c.wav", "");
    const std::vector<Event> expected = {
        {"error", 6, "a", "b"},
        {"message", 2, "ERROR: a references missing file b", ""},
        {"message", 1, "INFO: c.wav is OK", ""},
    };
    EXPECT_EQ(m_events, expected);
    EXPECT_EQ(m_validator.Errors().size(), 2U) << "valid findings are never stored";
}

TEST_F(EventsTest, ProgressIsLevelZeroWhateverVerbose) {
    m_validator.RaiseProgress("Checking x");
    m_validator.SetVerboseMessages(true);
    m_validator.RaiseProgress("Done");
    EXPECT_EQ(m_events,
              (std::vector<Event>{{"message", 0, "Checking x", ""}, {"message", 0, "Done", ""}}));
    EXPECT_TRUE(m_validator.Errors().empty());
}

TEST_F(EventsTest, ResetEmptiesTheListsAndKeepsVerbose) {
    EXPECT_FALSE(m_validator.VerboseMessages()) << "a new validator is not verbose";
    m_validator.SetVerboseMessages(true);
    m_validator.RaiseError(TSValidation::IsCorrupt(), "x", "");
    m_validator.Reset();
    EXPECT_TRUE(m_validator.Errors().empty());
    EXPECT_TRUE(m_validator.Messages().empty());
    EXPECT_TRUE(m_validator.VerboseMessages());
}

}  // namespace
