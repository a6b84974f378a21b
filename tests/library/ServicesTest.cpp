
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <system_error>
#include <thread>

#include "TempFolder.h"
#include "corvane/TSFile.h"

namespace {

TEST(Preview, StartsTheViewerWithTheFileNameAsOneArgumentOrFailsWhenItCannot) {
    testing_support::TempFolder folder;
    const std::string record = folder.File("args.txt");
    const std::string viewer = folder.File("viewer.sh");
    testing_support::WriteBytes(viewer, "#!/bin/sh\necho \"$#|$1\" > \"" + record +
                                            ".part\" && mv \"" + record + ".part\" \"" + record +
                                            "\"\n");
    std::filesystem::permissions(viewer, std::filesystem::perms::owner_all);
    const testing_support::ScopedEnvironment setting("CORVANE_VIEWER", viewer);
    const std::string consist = folder.File("My Train.con");
    corvane::TSFile(consist).Preview();
    for (int i = 0; i < 100 && !std::filesystem::exists(record); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    EXPECT_EQ(testing_support::ReadBytes(record), "1|" + consist + "\n");

    const testing_support::ScopedEnvironment missing("CORVANE_VIEWER", folder.File("gone"));
    EXPECT_THROW(corvane::TSFile(consist).Preview(), std::system_error);
}

}  // namespace
