#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#if !defined(_WIN32)
#include <sys/stat.h>
#endif

#include "TempFolder.h"
#include "TreeText.h"
#include "corvane/TSFile.h"

namespace {

using testing::ElementsAre;
using testing_support::Describe;
using testing_support::TempFolder;

constexpr const char* kConsistHeader = "SIMISA@@@@@@@@@@JINX0D0t______\r\n\r\n";

// Loads a file and returns the progress events it raised.
std::vector<int> LoadEvents(corvane::TSFile& file) {
    std::vector<int> events;
    file.OnStatus([&](const std::string& message, std::int32_t n) {
        EXPECT_EQ(message, "load");
        events.push_back(n);
    });
    file.Load();
    file.OnStatus(nullptr);
    return events;
}

// Writes bytes to a file in the folder and returns the tree read from it.
std::vector<std::string> TreeOf(const TempFolder& folder, const std::string& name,
                                const std::string& bytes) {
    testing_support::WriteBytes(folder.File(name), bytes);
    corvane::TSFile file(folder.File(name));
    file.Load();
    return Describe(*file.Items());
}

// Every reading rule holds for 8-bit files and for UTF-16 files alike.
class ReaderTest : public testing::TestWithParam<bool> {
protected:
    bool Utf16() const { return GetParam(); }

    // Writes text (UTF-8, line ends as given) in the encoding under test and loads it.
    std::unique_ptr<corvane::TSFile> Loaded(const std::string& name, const std::string& text) {
        testing_support::WriteBytes(m_folder.File(name),
                                    Utf16() ? testing_support::Utf16Bytes(text) : text);
        auto file = std::make_unique<corvane::TSFile>(m_folder.File(name));
        file->Load();
        return file;
    }

    std::vector<std::string> Tree(const std::string& name, const std::string& text) {
        return Describe(*Loaded(name, text)->Items());
    }

    TempFolder m_folder;
};

INSTANTIATE_TEST_SUITE_P(Encodings, ReaderTest, testing::Values(false, true),
                         [](const auto& param) { return param.param ? "Utf16" : "EightBit"; });

TEST_P(ReaderTest, FilesReadAsTrees) {
    const std::string con = kConsistHeader;
    struct Row {
        const char* why;
        const char* name;
        std::string text;
        const char* items;  // top-level items joined by " & "
    };
    const Row rows[] = {
        {"indented consist keeps a quoted name as two parameters", "a.con",
         con + "Train (\r\n\tTrainCfg ( \"Two Car\"\r\n\t\tName ( \"Two Car\" )\r\n\t)\r\n)",
         "train{TrainCfg<\"Two|Car\">{Name<\"Two|Car\">}}"},
        {"a lone line feed stays inside the line, a lone carriage return ends it", "a.con",
         "Train ( 1\n2 3\r4 )", "train<1\n2|34>"},
        {"engine file keeps the blank after its second top-level name", "a.eng",
         con + "Wagon ( GP38\r\n\tMass ( 100t )\r\n)\r\nEngine ( GP38\r\n\tType ( Diesel )\r\n)",
         "wagon<GP38>{Mass<100t>} & Engine <GP38>{Type<Diesel>}"},
        {"the type of a .dat file comes from the name after the last \\", "\\carspawn.dat",
         "SIMISA@@@@@@@@@@JINX0v1t______\r\n\r\n10\r\nCarSpawnerItem ( \"car1.s\" 10 )\r\n"
         "CarSpawnerItem ( \"car2.s\" 12 )\r\n)",
         "10 & CarSpawnerItem<\"car1.s\"|10> & CarSpawnerItem <\"car2.s\"|12>"},
        {"reference file takes whatever name the file gives", "a.ref",
         "SIMISA@@@@@@@@@@JINX0r1t______\r\n\r\nStatic (\r\n\tClass ( X )\r\n)",
         "Static {Class<X>}"},
        {"first element found in any case, named in lower case", "a.con", con + "TRAIN ( x )",
         "train<x>"},
        {"missing closing parentheses end the open items", "x.txt", "A ( B ( C ( 1 2",
         "{B{C<1|2>}}"},
        // Files not written by the library may end with a whole item on their last line.
        {"last line of an engine", "a.eng", con + "Wagon ( a ) Engine ( b )",
         "wagon<a> &  Engine <b>"},
        {"no first element reads no items", "b.con", con + "Wagon ( x )", ""},
        {"a file without any CR ends its lines at LF, keeping a second top-level name's blank",
         "a.eng", con.substr(0, 30) + "\n\nWagon ( \"Two Car\"\n\tName ( x )\n)\nEngine ( b\n)",
         "wagon<\"Two|Car\">{Name<x>} & Engine <b>"},
    };
    for (const Row& row : rows) {
        std::string items;
        for (const std::string& item : Tree(row.name, row.text)) {
            items += (items.empty() ? "" : " & ") + item;
        }
        EXPECT_EQ(items, row.items) << row.why;
    }
    EXPECT_THROW(Tree("\\forest.dat", "SIMISA@@@@@@@@@@JINX0F0t______\r\n\r\n3\r\nTree ( 1 )"),
                 std::invalid_argument)
        << "a list file without its element";
}

// A CR anywhere, even at the very end of a long file, keeps LF an ordinary character.
TEST_P(ReaderTest, OneCarriageReturnAnywhereKeepsLineFeedsInsideLines) {
    std::string lines;
    for (int i = 0; i < 20000; ++i) {
        lines += "A ( " + std::to_string(i) + " )\n";
    }
    for (const bool crAtEnd : {false, true}) {
        const auto items = Tree("x.txt", lines + (crAtEnd ? "B ( 1 )\r" : "B ( 1 )"));
        ASSERT_EQ(items.size(), 20001u);
        EXPECT_EQ(items[1], crAtEnd ? "\nA <1>" : "A <1>") << crAtEnd;
        EXPECT_EQ(items.back(), crAtEnd ? "\nB <1>" : "B <1>") << crAtEnd;
    }
}

// The reader still reads binary and compressed files as text; it tells what they are.
TEST_P(ReaderTest, BinaryAndCompressedFilesAreToldApartFromText) {
    struct Row {
        const char* why;
        std::string bytes;
        corvane::FileForm form;
    };
    const Row rows[] = {
        {"binary shape", std::string("SIMISA@@@@@@@@@@JINX0s1b______\0\x05\x07(", 35),
         corvane::FileForm::Binary},
        {"compressed file", std::string("SIMISA@F\x30\0\0\0@@@@\x78\x9c\x0b(", 20),
         corvane::FileForm::Compressed},
        {"text shape", "SIMISA@@@@@@@@@@JINX0s1t______\r\n\r\nshape ( 1 )",
         corvane::FileForm::Text},
        {"header cut short", "SIMISA@@@@@@@@@@JINX0s1", corvane::FileForm::Text},
        {"no header", "shape ( SIMISA@F )", corvane::FileForm::Text},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(Loaded("a.s", row.bytes)->Form(), row.form) << row.why;
    }
}

TEST_P(ReaderTest, FileEndingInsideAnItemIsToldAndKeepsWhatWasRead) {
    struct Row {
        const char* why;
        std::string text;
        bool truncated;
        const char* items;
    };
    const Row rows[] = {
        {"consist cut inside a wagon",
         std::string(kConsistHeader) +
             "Train (\r\n\tTrainCfg ( x\r\n\t\tWagon (\r\n\t\t\tUiD ( 1 )\r\n\t\t)\r\n\t\tWagon (",
         true, "train{TrainCfg<x>{Wagon{UiD<1>};Wagon}}"},
        {"cut inside a parameter list", std::string(kConsistHeader) + "Train ( 1 2", true,
         "train<1|2>"},
        {"whole consist with text after it", std::string(kConsistHeader) + "Train ( x ) y", false,
         "train<x>"},
    };
    for (const Row& row : rows) {
        const auto file = Loaded("a.con", row.text);
        EXPECT_EQ(file->Truncated(), row.truncated) << row.why;
        EXPECT_THAT(Describe(*file->Items()), ElementsAre(row.items)) << row.why;
    }
}

// A CR unit stands at an even offset: the bytes 0D 00 across two characters are none.
TEST(ReaderUtf16, CarriageReturnBytesAcrossTwoCharactersAreNoLineEnd) {
    TempFolder folder;
    // U+0D41 U+0100 are the bytes 41 0D 00 01.
    EXPECT_THAT(
        TreeOf(folder, "a.txt", testing_support::Utf16Bytes("A ( \xE0\xB5\x81\xC4\x80 )\nB ( 1 )")),
        ElementsAre("<\xE0\xB5\x81\xC4\x80>", "B <1>"));
}

TEST_P(ReaderTest, LongLinesAndPositionsBeyondSixteenBitsRead) {
    std::string numbers;
    for (int i = 0; i < 40000; ++i) {
        numbers += " " + std::to_string(i);
    }
    const auto file = Loaded("x.txt", "Item (" + numbers + " Child ( last ) )");
    ASSERT_EQ(file->Items()->Count(), 1);
    const auto& item = *file->Items()->Item(1);
    EXPECT_EQ(item.NumParameters(), 40000);
    EXPECT_EQ(item.Parameter(39999), "39999");
    EXPECT_EQ(item.Child("Child")->Parameter(0), "last");
}

TEST_P(ReaderTest, NonAsciiTextDecodes) {
    // 8-bit files are Windows-1252: 0x80 is the euro sign, 0xE9 e with acute.
    const std::string euroAndE = "\xE2\x82\xAC\xC3\xA9";
    EXPECT_THAT(
        Tree("x.txt", Utf16() ? "Item ( " + euroAndE + " \xF0\x9F\x9A\x82 )"
                              : std::string("Item ( \x80\xE9 \x81 )")),
        ElementsAre("<" + euroAndE + "|" + (Utf16() ? "\xF0\x9F\x9A\x82" : "\xC2\x81") + ">"));
}

// UTF-16 lines are read several characters at a time: a wide character, a line
// end or a parenthesis at any place in a run must still read as it stands.
TEST(ReaderUtf16, AnyCharacterAtAnyPlaceOfALineReads) {
    TempFolder folder;
    for (std::size_t length = 1; length <= 24; ++length) {
        for (std::size_t at = 0; at < length; ++at) {
            for (const std::string odd : {"\xC3\xA9", "\r", " Child ( x"}) {
                std::string word(length, 'a');
                word.replace(at, 1, odd);
                // A carriage return ends the line; lines join with nothing between.
                const auto words = [](std::size_t n) {
                    return n > 0 ? "<" + std::string(n, 'a') + ">" : std::string();
                };
                std::string expected = "<" + word + ">";
                if (odd == "\r") {
                    expected = words(length - 1);
                } else if (odd != "\xC3\xA9") {
                    expected = words(at) + "{Child<x" + std::string(length - at - 1, 'a') + ">}";
                }
                ASSERT_THAT(TreeOf(folder, "runs.txt",
                                   testing_support::Utf16Bytes("\t\tItem ( " + word + " ) )\r\n")),
                            ElementsAre(expected))
                    << "length " << length << ", at " << at;
            }
        }
    }
}

TEST(ReaderProgress, EveryFileFoundEndsWithOneHundredPercentAndLargeFilesCountWithoutOverflow) {
    TempFolder folder;
    for (const std::string& bytes : {std::string(), std::string(kConsistHeader) + "Wagon ( x )"}) {
        testing_support::WriteBytes(folder.File("p.con"), bytes);
        corvane::TSFile file(folder.File("p.con"));
        const std::vector<int> events = LoadEvents(file);
        ASSERT_FALSE(events.empty());
        EXPECT_EQ(events.back(), 100) << "also when the first element is missing";
    }
    // Beyond 21 MB the percentage product no longer fits 32 bits.
    std::string text;
    text.reserve(23'000'000);
    while (text.size() < 22'500'000) {
        text += std::string(1000, 'x') + "\r\n";
    }
    testing_support::WriteBytes(folder.File("big.txt"), text);
    corvane::TSFile file(folder.File("big.txt"));
    // Two bytes are counted per 8-bit character: an event at every tenth of the file
    // size counted, up to 190 percent, then the closing 100.
    std::vector<int> expected;
    for (int percent = 10; percent <= 190; percent += 10) {
        expected.push_back(percent);
    }
    expected.push_back(100);
    EXPECT_EQ(LoadEvents(file), expected);
}

// (Names holding a backslash open through the native path: WriterTest loads such names.)
TEST(ReaderFiles, MissingFileFolderOrPipeReadsNothingAndRaisesNoEvent) {
    TempFolder folder;
    corvane::TSFile file(folder.File("none.con"));
    EXPECT_EQ(LoadEvents(file), std::vector<int>{});
    EXPECT_EQ(file.Items()->Count(), 0);
    corvane::TSFile folderItself(folder.Path().string());
    folderItself.Load();
    EXPECT_EQ(folderItself.Items()->Count(), 0);
#if !defined(_WIN32)
    // Opening a pipe for reading waits for a writer; nothing ever writes to this one.
    ASSERT_EQ(::mkfifo(folder.File("pipe.con").c_str(), 0600), 0);
    corvane::TSFile pipe(folder.File("pipe.con"));
    pipe.Load();
    EXPECT_EQ(pipe.Items()->Count(), 0);
#endif
}

TEST(ReaderDepth, AMillionOpeningParenthesesReadWithoutExhaustingTheStack) {
    TempFolder folder;
    testing_support::WriteBytes(folder.File("deep.con"), "Train " + std::string(1'000'000, '('));
    auto file = std::make_unique<corvane::TSFile>(folder.File("deep.con"));
    file->Load();
    ASSERT_EQ(file->Items()->Count(), 1);
    int depth = 1;
    for (auto item = file->Items()->Item(1); item->HasChildren(); ++depth) {
        ASSERT_EQ(item->Children()->Count(), 1);
        item = item->Children()->Item(1);
    }
    EXPECT_EQ(depth, 1'000'000);
    file.reset();  // releasing the tree must not recurse either
}

}  // namespace
