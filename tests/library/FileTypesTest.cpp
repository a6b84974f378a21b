#include <gtest/gtest.h>

#include <string>

#include "corvane/TSFile.h"

namespace {

const std::string kMark = "\xC3\xBF\xC3\xBE";  // the characters 255 and 254

struct TypeRow {
    const char* fileName;
    const char* filetype;
    const char* subFileType;
    const char* firstElement;
    const char* code;  // header code, empty for none
};

TEST(FileTypes, NameSelectsTypeElementAndHeader) {
    const TypeRow rows[] = {
        {"C:\\Trains\\Consists\\My Train.CON", "con", "", "Train", "D0t"},
        {"C:\\Route\\carspawn.dat", "dat", "carspawn", "#CarSpawnerItem", "v1t"},
        {"C:\\Route\\CarSpawn.dat", "dat", "CarSpawn", "TrGUI_", "w1t"},  // case counts
        {"C:\\Route\\x.sigscr.dat", "dat", "x.sigscr", "TrGUI_", "w1t"},
        {"C:\\Route\\sigscr.DAT", "dat", "sigscr", "", ""},
        {"C:/Route/carspawn.dat", "dat", "C:/Route/carspawn", "TrGUI_",
         "w1t"},  // only "\" separates
        {"C:\\Route\\forest.dat", "dat", "forest", "#Forest", "F0t"},
        {"README", "", "", "", ""},
        {"C:\\a.b\\README", "b\\readme", "", "", ""},  // the last dot anywhere counts
        {"x.eng", "eng", "", "Wagon", "D0t"},
        {"x.s", "s", "", "Shape", "s1t"},
        {"x.ref", "ref", "", "*", "r1t"},
        {"x.td", "td", "", "", "d1b"},
        {"x.txt", "txt", "", "", ""},
    };
    for (const TypeRow& row : rows) {
        const corvane::TSFile file(row.fileName);
        EXPECT_EQ(file.Filetype(), row.filetype) << row.fileName;
        EXPECT_EQ(file.SubFileType(), row.subFileType) << row.fileName;
        EXPECT_EQ(file.FirstElement(), row.firstElement) << row.fileName;
        const std::string code = row.code;
        EXPECT_EQ(file.FirstLine(),
                  code.empty() ? kMark : kMark + "SIMISA@@@@@@@@@@JINX0" + code + "______")
            << row.fileName;
    }
}

TEST(FileTypes, NewNameRecomputesTheType) {
    corvane::TSFile file("a.con");
    file.SetFileName("b.WAG");
    EXPECT_EQ(file.Filetype(), "wag");
    EXPECT_EQ(file.FirstElement(), "Wagon");
}

}  // namespace
