#include <gtest/gtest.h>

#include <map>
#include <string>

#include "TempFolder.h"
#include "platform/IniFile.h"

namespace {

using testing_support::TempFolder;
using Values = std::map<std::string, std::string>;

TEST(IniFileTest, ValuesLoseTheQuotesAndEscapesTheyAreWrittenWith) {
    struct Row {
        const char* why;
        const char* written;
        const char* value;
    };
    const Row rows[] = {
        {"doubled backslashes", "C:\\\\Program Files\\\\MSTS", "C:\\Program Files\\MSTS"},
        {"semicolon inside quotes", "\"a;b\"", "a;b"},
        {"unquoted semicolon starts a comment", "a ; note", "a "},
        {"control characters", "a\\tb\\x1f", "a\tb\x1f"},
        {"hex escape of a wide character", "\\x4e2d", "\xE4\xB8\xAD"},
        {"a leading @ is doubled", "@@home", "@home"},
    };
    for (const Row& row : rows) {
        const std::string text = std::string("[Settings]\nMSTSDir=") + row.written + "\n";
        EXPECT_EQ(vantor::ParseIniGroup(text, "Settings"), (Values{{"MSTSDir", row.value}}))
            << row.why;
    }
}

TEST(IniFileTest, OnlyTheAskedGroupCountsAndAFileThatCannotBeReadHasNoValues) {
    const std::string text =
        "\xEF\xBB\xBF[General]\r\nMSTSDir=/general\r\n\r\n; comment\r\n[Settings]\r\n"
        "MainLeft = 1012.5\r\nMSTSDir=/first\r\nMSTSDir=/last\r\nno equals sign\r\n"
        "[Settings2]\r\nMSTSDir=/other\r\n";
    EXPECT_EQ(vantor::ParseIniGroup(text, "Settings"),
              (Values{{"MainLeft", "1012.5"}, {"MSTSDir", "/last"}}));
    EXPECT_EQ(vantor::ParseIniGroup(text, "settings"), Values{}) << "group names keep their case";
    TempFolder folder;
    testing_support::WriteBytes(folder.File("Vantor.conf"), text);
    EXPECT_EQ(vantor::ReadIniGroup(folder.File("Vantor.conf"), "Settings2"),
              (Values{{"MSTSDir", "/other"}}));
    EXPECT_EQ(vantor::ReadIniGroup(folder.File("missing.conf"), "Settings"), Values{});
}

}  // namespace
