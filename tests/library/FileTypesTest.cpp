#include <gtest/gtest.h>

#include <string>

#include "corvane/TSFile.h"

namespace {

TEST(FileTypes, NameSelectsTypeElementAndHeader) {
    struct Row {
        const char* fileName;
        const char* filetype;
        const char* subFileType;
        const char* firstElement;
        const char* code;  // header code, empty for none
    };
    const Row rows[] = {
        {"C:\\Trains\\Consists\\My Train.CON", "con", "", "Train", "D0t"},
        {"C:\\Route\\carspawn.dat", "dat", "carspawn", "#CarSpawnerItem", "v1t"},
        {"C:\\Route\\CarSpawn.dat", "dat", "CarSpawn", "TrGUI_", "w1t"},  // case counts
        {"C:\\Route\\sigscr.DAT", "dat", "sigscr", "", ""},
#if defined(_WIN32)
        {"C:/Route/carspawn.dat", "dat", "C:/Route/carspawn", "TrGUI_",
         "w1t"},  // only "\" separates
#else
        // "/" separates folders here: a list file in a folder is still a list file.
        {"sub/carspawn.dat", "dat", "carspawn", "#CarSpawnerItem", "v1t"},
        {"C:\\Route/sub\\forest.dat", "dat", "forest", "#Forest", "F0t"},
#endif
        {"README", "", "", "", ""},
        {"C:\\a.b\\README", "b\\readme", "", "", ""},  // the last dot anywhere counts
    };
    for (const Row& row : rows) {
        corvane::TSFile file("old.wag");
        file.SetFileName(row.fileName);  // a new name recomputes the type
        EXPECT_EQ(file.Filetype(), row.filetype) << row.fileName;
        EXPECT_EQ(file.SubFileType(), row.subFileType) << row.fileName;
        EXPECT_EQ(file.FirstElement(), row.firstElement) << row.fileName;
        const std::string code = row.code;
        // The first line starts with the characters 255 and 254.
        EXPECT_EQ(file.FirstLine(), code.empty()
                                        ? "\xC3\xBF\xC3\xBE"
                                        : "\xC3\xBF\xC3\xBESIMISA@@@@@@@@@@JINX0" + code + "______")
            << row.fileName;
    }
}

}  // namespace
