// The launcher program as a user starts it: from its own folder beside
// Pack.qdx, from any working folder, with whatever arguments.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/paths.h"
#include "support/test_support.h"

namespace fs = std::filesystem;
using namespace testing_support;

namespace {

class LauncherRun : public ::testing::Test {
protected:
    LauncherRun()
        : scratch("e2e"), temp(scratch / "temp"), shipped(scratch / "shipped"), elsewhere(scratch / "elsewhere")
    {
        MakeFolders(temp);
        MakeFolders(shipped);
        MakeFolders(elsewhere);
        SetTempFolder(temp);
    }
    ~LauncherRun() override { RestoreTempFolder(); }

    std::string Ship(const std::string& folder)
    {
        std::string program = Join(folder, LAUNCHER_NAME);
        fs::copy_file(QDX_LAUNCHER_PROGRAM, program, fs::copy_options::overwrite_existing);
        return program;
    }

    static Bytes SmallPack()
    {
        PackImage image;
        image.Folder("\\data");
        image.File("\\data\\a.txt", STORED_A);
        image.File("\\Installer.exe", STORED_A);
        return image.Build();
    }

    ScratchFolder scratch;
    std::string temp;
    std::string shipped;
    std::string elsewhere;
};

TEST_F(LauncherRun, FromAnotherFolderWithArgumentsExitsZeroAndLeavesNothing)
{
    std::string program = Ship(shipped);
    WriteBytes(Join(shipped, "Pack.qdx"), SmallPack());
    EXPECT_EQ(0, RunProgram(program, {"/S", "--unknown", "two words"}, elsewhere, 60));
    EXPECT_TRUE(fs::is_empty(temp)) << "left behind: " << ListNames(temp).size() << " entries";
    EXPECT_TRUE(fs::is_empty(elsewhere));
    EXPECT_EQ(2u, ListNames(shipped).size());
}

TEST_F(LauncherRun, WithoutAPackExitsZeroAndLeavesNothing)
{
    std::string program = Ship(shipped);
    WriteBytes(Join(elsewhere, "Pack.qdx"), SmallPack());  // in the working folder: never used
    EXPECT_EQ(0, RunProgram(program, {}, elsewhere, 60));
    EXPECT_TRUE(fs::is_empty(temp));
    EXPECT_EQ(1u, ListNames(elsewhere).size());
}

TEST_F(LauncherRun, WithoutAUsableTemporaryPathMakesNothing)
{
    std::string program = Ship(shipped);
    WriteBytes(Join(shipped, "Pack.qdx"), SmallPack());
    SetTempFolder(Join(temp, std::string(300, 't')));
    EXPECT_EQ(0, RunProgram(program, {}, elsewhere, 60));
    EXPECT_TRUE(fs::is_empty(temp));
    EXPECT_TRUE(fs::is_empty(elsewhere));
}

TEST_F(LauncherRun, FromAFolderPathTooLongForItsBufferExitsZero)
{
    std::string deep = shipped;
    while (deep.size() < 270) deep = Join(deep, "deep_folder");
    std::error_code error;
    fs::create_directories(deep, error);
    if (error) GTEST_SKIP() << "this system cannot make a folder path of 270 bytes";
    std::string program = Ship(deep);
    WriteBytes(Join(deep, "Pack.qdx"), SmallPack());
    int result = RunProgram(program, {}, elsewhere, 60);
    if (result == NOT_STARTED) GTEST_SKIP() << "this system cannot start a program from such a path";
    EXPECT_EQ(0, result);
    EXPECT_TRUE(fs::is_empty(temp));
}

}  // namespace
