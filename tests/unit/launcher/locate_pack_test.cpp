// The pack is looked for beside the program file, whatever the working folder.
#include "launcher/launcher.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/test_support.h"

namespace fs = std::filesystem;

TEST(LocatePackFile, IsThePackBesideTheProgramFile)
{
    fs::path before = fs::current_path();
    fs::current_path(fs::temp_directory_path());
    char path[PATH_BUFFER_SIZE];
    LocatePackFile(path);
    fs::current_path(before);

    std::string self = testing_support::SelfPath();
    std::string folder = self.substr(0, self.find_last_of(PATH_SEPARATOR));
    EXPECT_EQ(folder + PATH_SEPARATOR + "Pack.qdx", path);
}
