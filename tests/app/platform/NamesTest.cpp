#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/Names.h"

namespace {

using vantor::platform::UpperCase;

TEST(NamesTest, UpperCaseCoversAccentedAndCyrillicLettersAndKeepsBrokenBytes) {
    struct Row {
        const char* why;
        std::string text;
        std::string upper;
    };
    const Row rows[] = {
        {"ascii letters only", "Gp38-2_x", "GP38-2_X"},
        {"latin-1 letter", "caf\xC3\xA9", "CAF\xC3\x89"},
        {"y with diaeresis leaves latin-1", "\xC3\xBF", "\xC5\xB8"},
        {"division sign is no letter", "\xC3\xB7", "\xC3\xB7"},
        {"cyrillic", "\xD0\xB6\xD1\x91", "\xD0\x96\xD0\x81"},
        {"greek final sigma", "\xCF\x82", "\xCE\xA3"},
        {"invalid byte stays", "a\xFFz", "A\xFFZ"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(UpperCase(row.text), row.upper) << row.why;
    }
}

TEST(NamesTest, PatternsMatchAsOnWindows) {
    struct Row {
        const char* why;
        const char* name;
        const char* pattern;
        bool matches;
    };
    const Row rows[] = {
        {"star dot star takes a name without extension", "README", "*.*", true},
        {"star dot takes a folder name", "GP38", "*.", true},
        {"star dot drops a name with extension", "GP38.eng", "*.", false},
        {"??g takes eng", "GP38.eng", "*.??g", true},
        {"??g drops two-letter extension", "x.pg", "*.??g", false},
        {"??g uses the last dot", "a.b.wag", "*.??g", true},
        {"question mark takes no more than one", "abc", "a?", false},
        {"trailing question marks take shorter names", "a", "a??", true},
        {"star inside the name", "GP38 Set.con", "GP*Set.con", true},
        {"accented letters ignore case", "\xC3\x84rger.con", "\xC3\xA4*.con", true},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(vantor::platform::NamePattern(row.pattern).Matches(row.name), row.matches)
            << row.why;
    }
}

}  // namespace
