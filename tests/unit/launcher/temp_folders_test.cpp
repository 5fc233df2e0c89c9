// Numbered temporary folders and the recursive removal.
#include "launcher/temp_folders.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/platform.h"
#include "support/test_support.h"

namespace fs = std::filesystem;
using namespace testing_support;

namespace {

// A private temporary folder for the platform calls of one test.
class TempFolderTest : public ::testing::Test {
protected:
    TempFolderTest() : scratch("temp"), temp(scratch / "temp"), outside(scratch / "outside")
    {
        MakeFolders(temp);
        MakeFolders(outside);
        SetTempFolder(temp);
    }
    ~TempFolderTest() override { RestoreTempFolder(); }

    // The name as the makers compose it: the temporary path, then the name.
    std::string TempName(const std::string& name) const
    {
        char tempPath[PATH_BUFFER_SIZE];
        GetTempPathA(MAX_PATH, tempPath);
        return std::string(tempPath) + name;
    }

    ScratchFolder scratch;
    std::string temp;
    std::string outside;
};

struct NumberingCase {
    const char* label;
    std::vector<std::string> folders;  // present as folders
    std::vector<std::string> files;    // present as files
    const char* install;
    const char* staging;
};

const NumberingCase NUMBERING_CASES[] = {
    {"empty temporary folder", {}, {}, "ZoQalInst0", "latmp0.tmp"},
    {"gap filled", {"ZoQalInst0", "ZoQalInst2"}, {}, "ZoQalInst1", "latmp0.tmp"},
    {"run of three", {"ZoQalInst0", "ZoQalInst1", "ZoQalInst2"}, {}, "ZoQalInst3", "latmp0.tmp"},
    {"file takes the name", {}, {"ZoQalInst0"}, "ZoQalInst1", "latmp0.tmp"},
    {"staging names do not move the install counter", {"latmp0.tmp"}, {"latmp1.tmp"}, "ZoQalInst0", "latmp2.tmp"},
    {"install names do not move the staging counter", {"ZoQalInst0"}, {"ZoQalInst1"}, "ZoQalInst2", "latmp0.tmp"},
    {"look-alike names are not taken", {"ZoQalInst", "ZoQalInst00", "latmp0"}, {"latmp.tmp"}, "ZoQalInst0",
     "latmp0.tmp"},
};

TEST_F(TempFolderTest, MakersTakeTheLowestFreeNumber)
{
    for (const NumberingCase& c : NUMBERING_CASES) {
        SCOPED_TRACE(c.label);
        fs::remove_all(temp);
        MakeFolders(temp);
        for (const std::string& name : c.folders) MakeFolders(Join(temp, name));
        for (const std::string& name : c.files) WriteText(Join(temp, name), "taken");

        char install[PATH_BUFFER_SIZE];
        MakeUniqueTempFolder(install);
        EXPECT_EQ(TempName(c.install), install);
        EXPECT_TRUE(fs::is_directory(install));
        EXPECT_TRUE(fs::is_empty(install));

        char staging[PATH_BUFFER_SIZE];
        MakeStagingFolder(staging);
        EXPECT_EQ(TempName(c.staging), staging);
        EXPECT_TRUE(fs::is_directory(staging));

        for (const std::string& name : c.files) EXPECT_EQ(TextBytes("taken"), ReadBytes(Join(temp, name)));
    }
}

TEST_F(TempFolderTest, NoUsableTemporaryPathMakesNothing)
{
    // A temporary path longer than the platform's limit cannot be had.
    std::string tooLong = Join(outside, std::string(300, 'x'));
    SetTempFolder(tooLong);

    char install[PATH_BUFFER_SIZE] = "untouched";
    MakeUniqueTempFolder(install);
    EXPECT_STREQ("", install);

    char staging[PATH_BUFFER_SIZE] = "untouched";
    MakeStagingFolder(staging);
    EXPECT_STREQ("untouched", staging);

    EXPECT_TRUE(fs::is_empty(outside));
    EXPECT_TRUE(fs::is_empty(temp));
}

TEST_F(TempFolderTest, NameTooLongForItsBufferMakesNothing)
{
    // The temporary path fits, but no numbered name after it does.
    std::string deep = temp;
    while (deep.size() < 250) deep = Join(deep, "d");
    std::error_code error;
    fs::create_directories(deep, error);
    if (error) GTEST_SKIP() << "this system cannot make a folder path of 250 bytes";
    SetTempFolder(deep);
    char install[PATH_BUFFER_SIZE] = "untouched";
    MakeUniqueTempFolder(install);
    EXPECT_STREQ("", install);
    EXPECT_TRUE(fs::is_empty(deep));
}

#ifndef _WIN32
TEST(TempFolderStandin, RelativeTemporaryPathIsNoTemporaryPath)
{
    SetTempFolder("relative/temp");
    char install[PATH_BUFFER_SIZE] = "untouched";
    MakeUniqueTempFolder(install);
    EXPECT_STREQ("", install);
    RestoreTempFolder();
}

// Another party takes the chosen name between the test and the creation,
// with a folder of its own or with a file.
std::string racedName;
bool raceWithFile = false;
void TakeNameFirst(const char* path)
{
    std::string name = path;
    bool candidate = name.find("ZoQalInst0") != std::string::npos || name.find("latmp0.tmp") != std::string::npos;
    if (!racedName.empty() || !candidate) return;
    racedName = name;
    if (raceWithFile) {
        WriteText(name, "their file");
    } else {
        fs::create_directory(name);
        WriteText(Join(name, "theirs.txt"), "not ours");
    }
}

TEST_F(TempFolderTest, NameTakenInTheGapMovesToTheNextNumber)
{
    for (bool withFile : {false, true}) {
        SCOPED_TRACE(withFile ? "a file takes the name" : "a folder takes the name");
        fs::remove_all(temp);
        MakeFolders(temp);
        raceWithFile = withFile;

        racedName.clear();
        standinBeforeCreateDirectory = TakeNameFirst;
        char install[PATH_BUFFER_SIZE];
        MakeUniqueTempFolder(install);
        std::string theirs = racedName;

        racedName.clear();
        char staging[PATH_BUFFER_SIZE];
        MakeStagingFolder(staging);
        standinBeforeCreateDirectory = nullptr;

        ASSERT_EQ(TempName("latmp0.tmp"), racedName);
        EXPECT_EQ(TempName("ZoQalInst1"), install);
        EXPECT_EQ(TempName("latmp1.tmp"), staging);
        EXPECT_TRUE(fs::is_empty(install));
        if (withFile) {
            EXPECT_EQ(TextBytes("their file"), ReadBytes(theirs));
        } else {
            EXPECT_EQ(TextBytes("not ours"), ReadBytes(Join(theirs, "theirs.txt")));
        }
    }
}
#endif

// --- RemoveTree ---------------------------------------------------------

TEST_F(TempFolderTest, RemoveTreeDeletesEverythingBelowAndTheFolder)
{
    std::string top = Join(temp, "top");
    MakeFolders(Join(top, "a/b/c"));
    MakeFolders(Join(top, "empty"));
    WriteText(Join(top, "f.txt"), "1");
    WriteText(Join(top, "a/.hidden"), "2");
    WriteText(Join(top, "a/b/..two"), "3");
    WriteText(Join(top, "a/b/c/no_extension"), "4");
    RemoveTree(top.c_str());
    EXPECT_FALSE(Exists(top));
    EXPECT_TRUE(fs::is_directory(temp));
}

TEST_F(TempFolderTest, RemoveTreeOnAnEmptyFolderRemovesIt)
{
    std::string top = Join(temp, "empty");
    MakeFolders(top);
    RemoveTree(top.c_str());
    EXPECT_FALSE(Exists(top));
}

TEST_F(TempFolderTest, RemoveTreeOnAMissingFolderOrAFileDoesNothing)
{
    std::string missing = Join(temp, "missing");
    RemoveTree(missing.c_str());
    EXPECT_FALSE(Exists(missing));
    std::string file = Join(temp, "file");
    WriteText(file, "kept");
    RemoveTree(file.c_str());
    EXPECT_TRUE(Exists(file));
}

TEST_F(TempFolderTest, RemoveTreeLeavesAReadOnlyFileAndTheFoldersAboveIt)
{
    std::string top = Join(temp, "top");
    MakeFolders(Join(top, "keep/deeper"));
    MakeFolders(Join(top, "gone/sub"));
    WriteText(Join(top, "keep/deeper/locked.txt"), "read-only");
    WriteText(Join(top, "keep/deeper/free.txt"), "x");
    WriteText(Join(top, "keep/free.txt"), "x");
    WriteText(Join(top, "gone/sub/free.txt"), "x");
    WriteText(Join(top, "free.txt"), "x");
    fs::permissions(Join(top, "keep/deeper/locked.txt"), fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);

    RemoveTree(top.c_str());

    std::map<std::string, std::string> expected = {
        {"keep", "<dir>"}, {"keep/deeper", "<dir>"}, {"keep/deeper/locked.txt", "read-only"}};
    EXPECT_EQ(expected, SnapshotTree(top));
}

TEST_F(TempFolderTest, RemoveTreeRefusesEmptyAndRelativePaths)
{
    std::string work = Join(temp, "work");
    MakeFolders(Join(work, "relative"));
    WriteText(Join(work, "relative/x.txt"), "x");
    WriteText(Join(work, "y.txt"), "y");
    fs::path before = fs::current_path();
    fs::current_path(work);
    RemoveTree("");
    RemoveTree("relative");
    RemoveTree(".");
    fs::current_path(before);
    EXPECT_TRUE(Exists(Join(work, "relative/x.txt")));
    EXPECT_TRUE(Exists(Join(work, "y.txt")));
}

// A link inside the tree is removed itself; what it leads to survives.
TEST_F(TempFolderTest, RemoveTreeNeverEntersALink)
{
    std::string canary = Join(outside, "canary");
    MakeFolders(Join(canary, "inner"));
    WriteText(Join(canary, "precious.txt"), "user data");
    WriteText(Join(canary, "inner/more.txt"), "more user data");
    std::map<std::string, std::string> canaryBefore = SnapshotTree(canary);

    std::string top = Join(temp, "top");
    MakeFolders(Join(top, "sub"));
    WriteText(Join(top, "sub/ours.txt"), "ours");
    ASSERT_TRUE(PlantFolderLink(Join(top, "sub/link"), canary));

    RemoveTree(top.c_str());

    EXPECT_EQ(canaryBefore, SnapshotTree(canary));
    EXPECT_FALSE(Exists(Join(top, "sub/ours.txt")));
#ifdef _WIN32
    // Wine cannot remove a host link through any Win32 call (Windows removes a
    // folder link with RemoveDirectoryA), so there the link and its folders stay.
    if (!(GetFileAttributesA(Join(top, "sub/link").c_str()) & FILE_ATTRIBUTE_REPARSE_POINT)) {
        EXPECT_FALSE(Exists(top));
    }
#else
    EXPECT_FALSE(Exists(top));
#endif
}

}  // namespace
