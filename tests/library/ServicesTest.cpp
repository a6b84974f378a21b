#include <stdlib.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <system_error>
#include <thread>

#include "TempFolder.h"
#include "corvane/TSFile.h"

namespace {

using testing_support::TempFolder;

TEST(Services, AboutNamesTheLibraryAndItsVersion) {
    EXPECT_EQ(corvane::Version(), "1.0.75");
    EXPECT_NE(corvane::TSFile::About().find("Corvane 1.0.75"), std::string::npos);
}

class PreviewTest : public testing::Test {
protected:
    void TearDown() override { ::unsetenv("CORVANE_VIEWER"); }
    TempFolder m_folder;
};

TEST_F(PreviewTest, StartsTheViewerWithTheFileNameAsOneArgument) {
    const std::string record = m_folder.File("args.txt");
    const std::string viewer = m_folder.File("viewer.sh");
    testing_support::WriteBytes(viewer, "#!/bin/sh\necho \"$#|$1\" > \"" + record +
                                            ".part\" && mv \"" + record + ".part\" \"" + record +
                                            "\"\n");
    std::filesystem::permissions(viewer, std::filesystem::perms::owner_all);
    ::setenv("CORVANE_VIEWER", viewer.c_str(), 1);

    const std::string consist = m_folder.File("My Train.con");
    corvane::TSFile file(consist);
    file.Preview();
    for (int i = 0; i < 100 && !std::filesystem::exists(record); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    EXPECT_EQ(testing_support::ReadBytes(record), "1|" + consist + "\n");
}

TEST_F(PreviewTest, ViewerThatCannotStartIsAnError) {
    ::setenv("CORVANE_VIEWER", m_folder.File("missing-viewer").c_str(), 1);
    corvane::TSFile file(m_folder.File("a.con"));
    EXPECT_THROW(file.Preview(), std::system_error);
}

}  // namespace
