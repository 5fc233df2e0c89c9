// qdxpack create, list, check and extract, run as a user runs them.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <random>
#include <string>

#include "support/test_support.h"

namespace fs = std::filesystem;
using namespace testing_support;

namespace {

class QdxpackPack : public ::testing::Test {
protected:
    QdxpackPack() : scratch("qdxpack"), output(scratch / "output.txt") {}

    // Runs qdxpack with arguments; returns the exit code, output in `said`.
    int Qdxpack(const std::vector<std::string>& arguments)
    {
        int code = RunProgram(QDXPACK_PROGRAM, arguments, scratch.path(), 300, output);
        Bytes text = Exists(output) ? ReadBytes(output) : Bytes();
        said.assign(text.begin(), text.end());
        return code;
    }

    // An ordinary tree with every shape the launcher must carry.
    void MakeOrdinaryTree(const std::string& root, bool reversed = false)
    {
        std::vector<std::pair<std::string, std::string>> files = {
            {"Installer.exe", "MZ pretend installer"},
            {"readme.txt", "Read me first.\r\nSecond line.\n"},
            {"no_extension", "plain"},
            {".hidden", "dot file"},
            {"..double", "two dots and more"},
            {"empty.bin", ""},
            {"data/one.dat", std::string(1000, 'x')},
            {"data/sub/deeper/two.dat", "deep"},
            {"data/sub/.config", "cfg"},
            {"mixed/file.txt", "beside a folder"},
            {"mixed/child/inner.txt", "inside"},
        };
        std::vector<std::string> folders = {"empty_folder", "data/empty_too", "mixed/child"};
        if (reversed) {
            std::reverse(files.begin(), files.end());
            std::reverse(folders.begin(), folders.end());
        }
        MakeFolders(root);
        for (const std::string& folder : folders) MakeFolders(Join(root, folder));
        for (const auto& file : files) {
            MakeFolders(fs::path(Join(root, file.first)).parent_path().string());
            WriteText(Join(root, file.first), file.second);
        }
        // Several megabytes of mixed content: text-like runs and noise.
        std::mt19937 random(20261211);
        std::string big;
        while (big.size() < 3 * 1000 * 1000) {
            if (random() % 3 == 0) {
                for (int i = 0; i < 200; ++i) big.push_back(static_cast<char>(random()));
            } else {
                big += "line " + std::to_string(random() % 1000) + " of a log that repeats itself\n";
            }
        }
        WriteText(Join(root, "data/big.log"), big);
    }

    ScratchFolder scratch;
    std::string output;
    std::string said;
};

TEST_F(QdxpackPack, CreateThenExtractGivesBackTheSameTree)
{
    std::string tree = scratch / "tree";
    MakeOrdinaryTree(tree);
    std::string pack = scratch / "Pack.qdx";
    ASSERT_EQ(0, Qdxpack({"create", tree, pack})) << said;
    EXPECT_EQ(std::string::npos, said.find("warning")) << said;

    ASSERT_EQ(0, Qdxpack({"check", pack})) << said;
    EXPECT_NE(std::string::npos, said.find("sound")) << said;

    std::string unpacked = scratch / "unpacked/not/yet/made";
    ASSERT_EQ(0, Qdxpack({"extract", pack, unpacked})) << said;
    EXPECT_EQ(SnapshotTree(tree), SnapshotTree(unpacked));
}

TEST_F(QdxpackPack, SameTreeGivesTheSameBytesWhateverOrderItWasMadeIn)
{
    std::string first = scratch / "first";
    std::string second = scratch / "second";
    MakeOrdinaryTree(first);
    MakeOrdinaryTree(second, true);
    ASSERT_EQ(0, Qdxpack({"create", first, scratch / "a.qdx"})) << said;
    ASSERT_EQ(0, Qdxpack({"create", second, scratch / "b.qdx"})) << said;
    ASSERT_EQ(0, Qdxpack({"create", first, scratch / "c.qdx"})) << said;
    Bytes a = ReadBytes(scratch / "a.qdx");
    EXPECT_EQ(a, ReadBytes(scratch / "b.qdx"));
    EXPECT_EQ(a, ReadBytes(scratch / "c.qdx"));
    EXPECT_FALSE(Exists(scratch / "a.qdx.part"));
}

TEST_F(QdxpackPack, ListShowsEveryRowAndTotals)
{
    std::string tree = scratch / "tree";
    MakeFolders(Join(tree, "sub/empty"));
    WriteText(Join(tree, "Installer.exe"), std::string(5000, 'i'));
    WriteText(Join(tree, "sub/notes.txt"), "notes");
    ASSERT_EQ(0, Qdxpack({"create", tree, scratch / "p.qdx"})) << said;
    ASSERT_EQ(0, Qdxpack({"list", scratch / "p.qdx"})) << said;
    EXPECT_NE(std::string::npos, said.find("folder")) << said;
    EXPECT_NE(std::string::npos, said.find("\\sub\\empty")) << said;
    EXPECT_NE(std::string::npos, said.find("\\sub\\notes.txt")) << said;
    EXPECT_NE(std::string::npos, said.find("5000")) << said;
    EXPECT_NE(std::string::npos, said.find("2 folders, 2 files")) << said;
}

TEST_F(QdxpackPack, CreateWarnsWithoutAnInstaller)
{
    std::string tree = scratch / "tree";
    MakeFolders(tree);
    WriteText(Join(tree, "setup.ini"), "x");
    ASSERT_EQ(0, Qdxpack({"create", tree, scratch / "p.qdx"})) << said;
    EXPECT_NE(std::string::npos, said.find("no Installer.exe")) << said;
}

TEST_F(QdxpackPack, CheckNamesTheDamagedRow)
{
    std::string tree = scratch / "tree";
    MakeFolders(tree);
    WriteText(Join(tree, "Installer.exe"), "installer bytes");
    std::string text;
    for (int i = 0; i < 3000; ++i) text += "word" + std::to_string(i % 97) + " ";
    WriteText(Join(tree, "victim.txt"), text);
    std::string pack = scratch / "p.qdx";
    ASSERT_EQ(0, Qdxpack({"create", tree, pack})) << said;

    // Rows are sorted, so victim.txt's entry is the last one: damage its middle.
    Bytes bytes = ReadBytes(pack);
    Bytes damaged = bytes;
    for (size_t i = damaged.size() - 200; i < damaged.size() - 150; ++i) damaged[i] = 0xFF;
    WriteBytes(pack, damaged);
    EXPECT_EQ(1, Qdxpack({"check", pack}));
    EXPECT_NE(std::string::npos, said.find("\\victim.txt")) << said;
    EXPECT_EQ(std::string::npos, said.find("\\Installer.exe'")) << said;

    // A table cut short.
    WriteBytes(pack, Bytes(bytes.begin(), bytes.begin() + 20));
    EXPECT_EQ(1, Qdxpack({"check", pack}));
    EXPECT_NE(std::string::npos, said.find("not a readable pack")) << said;
}

TEST_F(QdxpackPack, CheckAndExtractNameHostileRows)
{
    PackImage image;
    image.Folder("\\..");
    image.File("\\Installer.exe", STORED_A);
    image.File("\\..\\escape.txt", STORED_A);
    image.File("\\CON", STORED_A);
    image.files.push_back({"\\outside", 1000, 10});
    std::string pack = scratch / "hostile.qdx";
    WriteBytes(pack, image.Build());

    EXPECT_EQ(1, Qdxpack({"check", pack}));
    for (const char* name : {"\\..\\escape.txt", "\\CON", "\\outside"}) {
        EXPECT_NE(std::string::npos, said.find(name)) << name << " in: " << said;
    }

    std::string unpacked = scratch / "unpacked";
    EXPECT_EQ(1, Qdxpack({"extract", pack, unpacked}));
    EXPECT_NE(std::string::npos, said.find("\\..\\escape.txt")) << said;
    EXPECT_NE(std::string::npos, said.find("\\outside")) << said;
    EXPECT_EQ((Tree{{"Installer.exe", "A"}}), SnapshotTree(unpacked));
    EXPECT_FALSE(Exists(scratch / "escape.txt"));
}

// Windows would put \A\b inside \a, a file system that tells case apart
// would not: check calls such a pack unsound wherever it runs.
TEST_F(QdxpackPack, CheckNamesAFolderFoundOnlyInOtherLetterCase)
{
    PackImage image;
    image.Folder("\\a");
    image.Folder("\\A\\b");
    image.File("\\Installer.exe", STORED_A);
    image.File("\\a\\b\\x.txt", STORED_A);
    std::string pack = scratch / "case.qdx";
    WriteBytes(pack, image.Build());
    EXPECT_EQ(1, Qdxpack({"check", pack}));
    EXPECT_NE(std::string::npos, said.find("'\\A\\b': its folder stands in the folder table before it only in other letter case")) << said;
    EXPECT_NE(std::string::npos, said.find("'\\a\\b\\x.txt': its folder stands in the folder table before it only in other letter case")) << said;
    EXPECT_NE(std::string::npos, said.find("2 problems")) << said;
}

TEST_F(QdxpackPack, ErrorsNameTheFileAndExitNonZero)
{
    EXPECT_EQ(1, Qdxpack({"list", scratch / "missing.qdx"}));
    EXPECT_NE(std::string::npos, said.find("missing.qdx")) << said;
    EXPECT_EQ(1, Qdxpack({"create", scratch / "no_such_dir", scratch / "p.qdx"}));
    EXPECT_NE(std::string::npos, said.find("no_such_dir")) << said;
    EXPECT_FALSE(Exists(scratch / "p.qdx"));
    EXPECT_EQ(2, Qdxpack({"create", "only_one"}));
    EXPECT_EQ(0, Qdxpack({"create", "--help"}));
    EXPECT_NE(std::string::npos, said.find("usage: qdxpack create DIR PACK")) << said;
}

TEST_F(QdxpackPack, CreateRefusesWhatTheLauncherWouldNotUnpack)
{
    std::string tree = scratch / "tree";
    MakeFolders(tree);
    WriteText(Join(tree, "Installer.exe"), "x");
    std::string longName = "d";
    while (longName.size() < 190) longName += "/dddddddddd";
    std::error_code error;
    fs::create_directories(Join(tree, longName), error);
    if (error) GTEST_SKIP() << "this system cannot make a path that deep";
    std::string pack = scratch / "p.qdx";
    WriteText(pack, "an older pack that must survive a refused create");
    EXPECT_EQ(1, Qdxpack({"create", tree, pack}));
    EXPECT_NE(std::string::npos, said.find("too long")) << said;
    EXPECT_EQ(TextBytes("an older pack that must survive a refused create"), ReadBytes(pack));
}

#ifndef _WIN32
// Names only a POSIX file system lets one make, and links.
TEST_F(QdxpackPack, CreateRefusesNamesAndLinksTheLauncherWouldSkip)
{
    const char* refused[] = {"CON", "nul.txt", "colon:name", "trailing.", "trailing ", "back\\slash", "tab\tname"};
    for (const char* name : refused) {
        SCOPED_TRACE(name);
        std::string tree = scratch / ("tree_" + std::to_string(std::hash<std::string>()(name)));
        MakeFolders(tree);
        WriteText(Join(tree, "Installer.exe"), "x");
        WriteText(tree + "/" + name, "refused");
        EXPECT_EQ(1, Qdxpack({"create", tree, scratch / "p.qdx"}));
        EXPECT_NE(std::string::npos, said.find(name)) << said;
        EXPECT_FALSE(Exists(scratch / "p.qdx"));
    }
    std::string tree = scratch / "linked";
    MakeFolders(Join(tree, "sub"));
    fs::create_directory_symlink(scratch.path(), Join(tree, "sub/link"));
    EXPECT_EQ(1, Qdxpack({"create", tree, scratch / "p.qdx"}));
    EXPECT_NE(std::string::npos, said.find("is a link")) << said;
    EXPECT_FALSE(Exists(scratch / "p.qdx"));
}
#endif

}  // namespace
