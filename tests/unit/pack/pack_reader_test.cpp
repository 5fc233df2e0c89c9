// The pack reader: tables, stored entries, staging and hostile packs.
#include "pack/pack_reader.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/platform.h"
#include "support/test_support.h"

namespace fs = std::filesystem;
using namespace testing_support;

namespace {

// Compressed files whose decoding is known: "A", "ababba" and the empty file.
const Bytes STORED_EMPTY = {0x00, 0x00, 0x00, 0x00};


class PackReaderTest : public ::testing::Test {
protected:
    PackReaderTest()
        : scratch("pack"), temp(scratch / "temp"), install(scratch / "install"), outside(scratch / "outside"),
          packPath(scratch / "Pack.qdx")
    {
        MakeFolders(temp);
        MakeFolders(install);
        MakeFolders(Join(outside, "docs"));
        WriteText(Join(outside, "docs/letter.txt"), "dear user");
        WriteText(Join(outside, "x"), "user's x");
        SetTempFolder(temp);
        outsideBefore = SnapshotTree(outside);
    }
    ~PackReaderTest() override { RestoreTempFolder(); }

    int Extract(const Bytes& pack)
    {
        WriteBytes(packPath, pack);
        problems.clear();
        ExtractReport report = {&PackReaderTest::Collect, &PackReaderTest::CollectDecode, this};
        return ExtractPack(packPath.c_str(), install.c_str(), &report);
    }

    static void Collect(void* context, const char* subject, const char* description)
    {
        static_cast<PackReaderTest*>(context)->problems.push_back(std::string(subject) + ": " + description);
    }

    static void CollectDecode(void* context, const char* destination, const DecodeFailure*)
    {
        static_cast<PackReaderTest*>(context)->problems.push_back(std::string(destination) + ": does not decode");
    }

    // Nothing was written anywhere but the install folder, and the staging
    // folder is gone.
    void ExpectNothingOutside()
    {
        EXPECT_EQ(outsideBefore, SnapshotTree(outside));
        EXPECT_TRUE(fs::is_empty(temp)) << "left in the temporary folder: " << ListNames(temp).size();
        std::vector<std::string> top = ListNames(scratch.path());
        EXPECT_EQ(4u, top.size());
    }

    ScratchFolder scratch;
    std::string temp;
    std::string install;
    std::string outside;
    std::string packPath;
    Tree outsideBefore;
    std::vector<std::string> problems;
};

TEST_F(PackReaderTest, WorkedExampleUnpacksAFolderAndItsFile)
{
    Bytes pack;
    PutUint32(pack, 1);
    PutUint32(pack, 2);
    pack.push_back('\\');
    pack.push_back('D');
    PutUint32(pack, 0xDEADBEEF);  // a folder row's offset and size are not read
    PutUint32(pack, 0x12345678);
    PutUint32(pack, 1);
    PutUint32(pack, 4);
    for (char c : std::string("\\D\\F")) pack.push_back(static_cast<uint8_t>(c));
    PutUint32(pack, 0);
    PutUint32(pack, static_cast<uint32_t>(STORED_ABABBA.size()));
    ASSERT_EQ(38u, pack.size());  // the data area begins right after the file table
    pack.insert(pack.end(), STORED_ABABBA.begin(), STORED_ABABBA.end());

    EXPECT_EQ(1, Extract(pack));
    EXPECT_EQ((Tree{{"D", "<dir>"}, {"D/F", "ababba"}}), SnapshotTree(install));
    EXPECT_TRUE(problems.empty());
    ExpectNothingOutside();
}

TEST_F(PackReaderTest, EmptyPackStagesNothingAndSucceeds)
{
    EXPECT_EQ(1, Extract(PackImage().Build()));
    EXPECT_TRUE(fs::is_empty(install));
    ExpectNothingOutside();
}

TEST_F(PackReaderTest, MissingPackLeavesNothingAndFails)
{
    problems.clear();
    EXPECT_EQ(0, ExtractPack(packPath.c_str(), install.c_str()));
    EXPECT_TRUE(fs::is_empty(install));
    EXPECT_TRUE(fs::is_empty(temp));
}

TEST_F(PackReaderTest, NestedFoldersEmptyFoldersAndFilesAtEveryLevel)
{
    PackImage image;
    image.Folder("\\a");
    image.Folder("\\a\\b");
    image.Folder("\\empty");
    image.Folder("\\.dotted");
    image.File("\\top.txt", STORED_A);
    image.File("\\a\\mid", STORED_ABABBA);
    image.File("\\a\\b\\..deep", STORED_EMPTY);
    image.File("\\.dotted\\x", STORED_A);
    EXPECT_EQ(1, Extract(image.Build()));
    Tree expected = {{"a", "<dir>"},       {"a/b", "<dir>"},  {"empty", "<dir>"},   {".dotted", "<dir>"},
                     {"top.txt", "A"},     {"a/mid", "ababba"}, {"a/b/..deep", ""}, {".dotted/x", "A"}};
    EXPECT_EQ(expected, SnapshotTree(install));
    ExpectNothingOutside();
}

TEST_F(PackReaderTest, EntriesStoredOutOfOrderAndWithGapsAreFoundByOffset)
{
    PackImage image;
    image.data.assign(3, 0xEE);
    uint32_t second = static_cast<uint32_t>(image.data.size());
    image.data.insert(image.data.end(), STORED_ABABBA.begin(), STORED_ABABBA.end());
    image.data.insert(image.data.end(), 2, 0xEE);
    uint32_t first = static_cast<uint32_t>(image.data.size());
    image.data.insert(image.data.end(), STORED_A.begin(), STORED_A.end());
    image.files.push_back({"\\first", first, static_cast<uint32_t>(STORED_A.size())});
    image.files.push_back({"\\second", second, static_cast<uint32_t>(STORED_ABABBA.size())});
    image.files.push_back({"\\again", second, static_cast<uint32_t>(STORED_ABABBA.size())});
    EXPECT_EQ(1, Extract(image.Build()));
    EXPECT_EQ((Tree{{"first", "A"}, {"second", "ababba"}, {"again", "ababba"}}), SnapshotTree(install));
}

TEST_F(PackReaderTest, NegativeFolderCountReadsNoFolderRows)
{
    Bytes pack;
    PutUint32(pack, 0xFFFFFFFF);
    PutUint32(pack, 1);
    PutUint32(pack, 2);
    pack.push_back('\\');
    pack.push_back('f');
    PutUint32(pack, 0);
    PutUint32(pack, static_cast<uint32_t>(STORED_A.size()));
    pack.insert(pack.end(), STORED_A.begin(), STORED_A.end());
    EXPECT_EQ(1, Extract(pack));
    EXPECT_EQ((Tree{{"f", "A"}}), SnapshotTree(install));
}

TEST_F(PackReaderTest, FolderBeforeItsParentIsMissingWithItsFiles)
{
    PackImage image;
    image.Folder("\\a\\b");
    image.Folder("\\a");
    image.File("\\a\\b\\lost", STORED_A);
    image.File("\\a\\kept", STORED_A);
    EXPECT_EQ(1, Extract(image.Build()));
    EXPECT_EQ((Tree{{"a", "<dir>"}, {"a/kept", "A"}}), SnapshotTree(install));
    ASSERT_EQ(1u, problems.size());
    EXPECT_EQ(0u, problems[0].find("\\a\\b\\lost: cannot be staged")) << problems[0];
    ExpectNothingOutside();
}

TEST_F(PackReaderTest, LaterDuplicateRowReplacesTheEarlier)
{
    PackImage image;
    image.File("\\same", STORED_A);
    image.File("\\same", STORED_ABABBA);
    EXPECT_EQ(1, Extract(image.Build()));
    EXPECT_EQ((Tree{{"same", "ababba"}}), SnapshotTree(install));
}

TEST_F(PackReaderTest, EntriesOutsideThePackAreSkipped)
{
    PackImage image;
    image.File("\\good", STORED_A);
    uint32_t dataLength = static_cast<uint32_t>(image.data.size());
    image.files.push_back({"\\past_end", dataLength, 1});
    image.files.push_back({"\\straddles", dataLength - 2, 4});
    image.files.push_back({"\\huge", 0, 0xFFFFFFFFu});
    image.files.push_back({"\\far", 0x7FFFFFF0u, 4});
    image.files.push_back({"\\farther", 0xFFFFFFF0u, 4});
    image.files.push_back({"\\empty_entry", dataLength, 0});
    EXPECT_EQ(1, Extract(image.Build()));
    // An entry of 0 bytes is inside the pack; it is staged and then fails to decode.
    EXPECT_EQ((Tree{{"good", "A"}}), SnapshotTree(install));
    EXPECT_EQ(6u, problems.size());
    ExpectNothingOutside();
}

TEST_F(PackReaderTest, DamagedTablesAreTreatedLikeAnUnreadablePack)
{
    struct TableCase {
        const char* label;
        Bytes pack;
    };
    Bytes huge;
    PutUint32(huge, 0x7FFFFFFF);
    PutUint32(huge, 0);
    Bytes minusOne;
    PutUint32(minusOne, 1);
    PutUint32(minusOne, 0xFFFFFFFF);
    PutUint32(minusOne, 0);
    PutUint32(minusOne, 0);
    PutUint32(minusOne, 0);
    Bytes maxLength;
    PutUint32(maxLength, 0);
    PutUint32(maxLength, 1);
    PutUint32(maxLength, 0x7FFFFFFF);
    PutUint32(maxLength, 0);
    PutUint32(maxLength, 0);
    PackImage tooLong;
    tooLong.File("\\" + std::string(259, 'n'), STORED_A);
    Bytes shortCount = {0x00, 0x00};
    const TableCase cases[] = {
        {"huge folder count", huge},
        {"name length -1", minusOne},
        {"name length 2^31-1", maxLength},
        {"name length 260", tooLong.Build()},
        {"count cut short", shortCount},
        {"empty file", {}},
    };
    for (const TableCase& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(0, Extract(c.pack));
        EXPECT_TRUE(fs::is_empty(install));
        EXPECT_EQ(1u, problems.size());
        ExpectNothingOutside();
    }
}

TEST_F(PackReaderTest, PackTruncatedAtEveryByteNeverWritesOutside)
{
    PackImage image;
    image.Folder("\\d");
    image.File("\\d\\f", STORED_ABABBA);
    image.File("\\g", STORED_A);
    Bytes whole = image.Build();
    size_t tableEnd = whole.size() - image.data.size();
    for (size_t length = 0; length < whole.size(); ++length) {
        SCOPED_TRACE("length " + std::to_string(length));
        fs::remove_all(install);
        MakeFolders(install);
        int result = Extract(Bytes(whole.begin(), whole.begin() + static_cast<long>(length)));
        EXPECT_EQ(length >= tableEnd ? 1 : 0, result);
        Tree tree = SnapshotTree(install);
        for (const auto& entry : tree) {
            EXPECT_TRUE(entry.first == "d" || entry.first == "d/f" || entry.first == "g") << entry.first;
        }
        ExpectNothingOutside();
    }
}

TEST_F(PackReaderTest, HostileNamesAreSkippedAndNothingLeavesTheStagingFolder)
{
    const std::string hostile[] = {
        "\\..\\x",     "\\a\\..\\..\\x", "\\..",        "C:\\x",   "\\C:x",  "\\\\server\\share\\x",
        "\\a:stream",  "\\a/../x",       "\\CON",       "\\nul.txt", "\\COM1.log", "\\a.",
        "\\a ",        "\\a\x01",        "\\a\\\\b",    "x",       "",       "\\..\\..\\..\\outside\\x",
        "\\" + std::string(258, 'n'),  // fits the record, not the staged path
    };
    PackImage image;
    for (const std::string& name : hostile) image.Folder(name);
    for (const std::string& name : hostile) image.File(name, STORED_A);
    image.File("\\fine", STORED_A);
    EXPECT_EQ(1, Extract(image.Build()));
    EXPECT_EQ((Tree{{"fine", "A"}}), SnapshotTree(install));
    EXPECT_EQ(2 * (sizeof hostile / sizeof hostile[0]), problems.size());
    ExpectNothingOutside();
}

// --- CopyStoredEntry ----------------------------------------------------

TEST_F(PackReaderTest, CopyStoredEntryCopiesExactlyTheEntry)
{
    Bytes source(3 * 4096 + 17);
    for (size_t i = 0; i < source.size(); ++i) source[i] = static_cast<uint8_t>(i * 7 + i / 251);
    std::string sourcePath = scratch / "source.bin";
    WriteBytes(sourcePath, source);
    const uint32_t sizes[] = {0, 1, 4095, 4096, 4097, 2 * 4096 + 5};
    for (uint32_t size : sizes) {
        SCOPED_TRACE("size " + std::to_string(size));
        FILE* pack = fopen(sourcePath.c_str(), "rb");
        ASSERT_NE(nullptr, pack);
        std::string staged = scratch / "staged.bin";
        EXPECT_EQ(1, CopyStoredEntry(staged.c_str(), pack, 5, size));
        fclose(pack);
        EXPECT_EQ(Bytes(source.begin() + 5, source.begin() + 5 + size), ReadBytes(staged));
    }
}

TEST_F(PackReaderTest, CopyStoredEntryStopsAtTheEndOfThePack)
{
    std::string sourcePath = scratch / "source.bin";
    WriteBytes(sourcePath, Bytes(5000, 0x5A));
    FILE* pack = fopen(sourcePath.c_str(), "rb");
    ASSERT_NE(nullptr, pack);
    std::string staged = scratch / "staged.bin";
    EXPECT_EQ(1, CopyStoredEntry(staged.c_str(), pack, 10, 9000));
    fclose(pack);
    EXPECT_EQ(Bytes(4990, 0x5A), ReadBytes(staged));
}

TEST_F(PackReaderTest, CopyStoredEntryToAnUncreatableFileLeavesThePackAlone)
{
    std::string sourcePath = scratch / "source.bin";
    WriteBytes(sourcePath, Bytes(100, 1));
    FILE* pack = fopen(sourcePath.c_str(), "rb");
    ASSERT_NE(nullptr, pack);
    fseek(pack, 33, SEEK_SET);
    std::string staged = scratch / "no_such_folder/staged.bin";
    EXPECT_EQ(0, CopyStoredEntry(staged.c_str(), pack, 5, 10));
    EXPECT_EQ(33, ftell(pack));
    fclose(pack);
    EXPECT_FALSE(Exists(staged));
}

TEST(PackEntryList, KeepsRowsInOrderAndCountsThem)
{
    PackEntryList list;
    EXPECT_EQ(nullptr, list.head);
    EXPECT_EQ(nullptr, list.tail);
    for (int i = 0; i < 3; ++i) {
        PackEntry* record = static_cast<PackEntry*>(malloc(sizeof(PackEntry)));
        snprintf(record->name, sizeof record->name, "\\row%d", i);
        record->next = nullptr;
        list.Append(record);
    }
    EXPECT_EQ(3, list.count);
    EXPECT_STREQ("\\row0", list.head->name);
    EXPECT_STREQ("\\row1", list.head->next->name);
    EXPECT_STREQ("\\row2", list.tail->name);
    EXPECT_EQ(list.tail, list.head->next->next);
}

}  // namespace
