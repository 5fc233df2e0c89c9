// The second unpacking stage: staged files decompressed into the install folder.
#include "pack/staging_expansion.h"

#include "decoder/decoder.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/test_support.h"

namespace fs = std::filesystem;
using namespace testing_support;

namespace {

const Bytes STORED_DAMAGED = {0x06, 0x00, 0x00, 0x00, 0xB0};  // first code an index code

class StagingExpansion : public ::testing::Test {
protected:
    StagingExpansion() : scratch("expand"), staging(scratch / "staging"), install(scratch / "install")
    {
        MakeFolders(staging);
        MakeFolders(install);
    }

    void Expand()
    {
        problems.clear();
        ExtractReport report = {&StagingExpansion::Collect, &StagingExpansion::CollectDecode, this};
        ExpandStagingTree(staging.c_str(), install.c_str(), &report);
    }

    static void Collect(void* context, const char* subject, const char*)
    {
        static_cast<StagingExpansion*>(context)->problems.push_back(subject);
    }

    static void CollectDecode(void* context, const char* destination, const DecodeFailure* failure)
    {
        EXPECT_NE(DECODE_NO_FAILURE, failure->kind);
        static_cast<StagingExpansion*>(context)->problems.push_back(destination);
    }

    ScratchFolder scratch;
    std::string staging;
    std::string install;
    std::vector<std::string> problems;
};

TEST_F(StagingExpansion, EmptyStagingFolderCreatesNothing)
{
    Expand();
    EXPECT_TRUE(fs::is_empty(install));
    EXPECT_TRUE(problems.empty());
}

TEST_F(StagingExpansion, EveryFileIsDecodedAndEveryFolderMadeWithoutTouchingTheSource)
{
    MakeFolders(Join(staging, "D/E"));
    MakeFolders(Join(staging, "empty"));
    WriteBytes(Join(staging, "D/f1"), STORED_A);
    WriteBytes(Join(staging, "D/E/f2.txt"), STORED_ABABBA);
    WriteBytes(Join(staging, "no_extension"), STORED_A);
    WriteBytes(Join(staging, ".dot"), STORED_A);
    WriteBytes(Join(staging, "..dots"), STORED_ABABBA);
    Tree stagedBefore = SnapshotTree(staging);

    Expand();

    Tree expected = {{"D", "<dir>"},           {"D/E", "<dir>"},      {"empty", "<dir>"}, {"D/f1", "A"},
                     {"D/E/f2.txt", "ababba"}, {"no_extension", "A"}, {".dot", "A"},      {"..dots", "ababba"}};
    EXPECT_EQ(expected, SnapshotTree(install));
    EXPECT_EQ(stagedBefore, SnapshotTree(staging));
    EXPECT_TRUE(problems.empty());
}

TEST_F(StagingExpansion, ExistingDestinationFoldersAreWrittenInto)
{
    MakeFolders(Join(install, "D"));
    WriteText(Join(install, "D/already.txt"), "was here");
    WriteText(Join(install, "D/replaced"), "old contents");
    MakeFolders(Join(staging, "D"));
    WriteBytes(Join(staging, "D/replaced"), STORED_ABABBA);
    WriteBytes(Join(staging, "D/new"), STORED_A);

    Expand();

    EXPECT_EQ((Tree{{"D", "<dir>"}, {"D/already.txt", "was here"}, {"D/replaced", "ababba"}, {"D/new", "A"}}),
              SnapshotTree(install));
}

TEST_F(StagingExpansion, AFileThatDoesNotDecodeLeavesNoFileAndTheWalkGoesOn)
{
    MakeFolders(Join(staging, "sub"));
    WriteBytes(Join(staging, "sub/bad"), STORED_DAMAGED);
    WriteBytes(Join(staging, "sub/short"), Bytes{0x01, 0x00});
    WriteBytes(Join(staging, "sub/good"), STORED_A);
    WriteBytes(Join(staging, "top"), STORED_ABABBA);

    Expand();

    EXPECT_EQ((Tree{{"sub", "<dir>"}, {"sub/good", "A"}, {"top", "ababba"}}), SnapshotTree(install));
    EXPECT_EQ(2u, problems.size());
}

TEST_F(StagingExpansion, AMissingSourceFolderCreatesNothing)
{
    fs::remove_all(staging);
    Expand();
    EXPECT_TRUE(fs::is_empty(install));
}

#ifndef _WIN32
TEST_F(StagingExpansion, LinksInTheSourceAreNotFollowed)
{
    std::string elsewhere = scratch / "elsewhere";
    MakeFolders(elsewhere);
    WriteBytes(Join(elsewhere, "secret"), STORED_A);
    fs::create_directory_symlink(elsewhere, Join(staging, "link"));
    fs::create_symlink(Join(elsewhere, "secret"), Join(staging, "file_link"));
    WriteBytes(Join(staging, "real"), STORED_A);

    Expand();

    EXPECT_EQ((Tree{{"real", "A"}}), SnapshotTree(install));
}
#endif

}  // namespace
