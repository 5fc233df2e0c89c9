// Hostile packs: whatever Pack.qdx holds, the launcher exits 0 within a
// bounded time, leaves every canary file intact, creates nothing outside its
// temporary folder and leaves no install or staging folder behind.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/test_support.h"

namespace fs = std::filesystem;
using namespace testing_support;

namespace {

struct HostileCase {
    std::string label;
    Bytes pack;
};

PackImage OneFile(const std::string& name)
{
    PackImage image;
    image.File(name, STORED_A);
    image.File("\\Installer.exe", STORED_A);
    return image;
}

Bytes RawTable(int32_t folderCount, const Bytes& rest)
{
    Bytes pack;
    PutUint32(pack, static_cast<uint32_t>(folderCount));
    pack.insert(pack.end(), rest.begin(), rest.end());
    return pack;
}

// A valid pack whose every prefix and every damaged byte is a case too.
PackImage SmallValidPack()
{
    PackImage image;
    image.Folder("\\d");
    image.File("\\d\\f", STORED_ABABBA);
    image.File("\\Installer.exe", STORED_A);
    return image;
}

std::vector<HostileCase> NameCases()
{
    const std::string names[] = {
        "\\..\\x", "\\a\\..\\..\\x", "\\..", "C:\\x", "\\C:x", "\\\\server\\share\\x", "\\a:stream",
        "\\a/../x", "\\CON", "\\nul.txt", "\\COM1.log", "\\a.", "\\a ", std::string("\\a\x01") + "b", "\\a\\\\b",
        "x", "..\\canary\\x", "\\..\\..\\canary\\docs\\letter.txt", "\\..\\..\\..\\..\\..\\..\\tmp\\x",
        "\\" + std::string(258, 'n'),  // 259 bytes: fits the record, not the staged path
        "\\" + std::string(200, 'n'),  // a staged path just over 260 bytes
    };
    std::vector<HostileCase> cases;
    for (const std::string& name : names) {
        std::string label = "name " + name.substr(0, 40);
        cases.push_back({label + " (file)", OneFile(name).Build()});
        PackImage folder = OneFile("\\ok");
        folder.Folder(name);
        cases.push_back({label + " (folder)", folder.Build()});
    }
    PackImage tooLong = OneFile("\\" + std::string(259, 'n'));  // 260 bytes: a damaged table
    cases.push_back({"name of 260 bytes", tooLong.Build()});
    return cases;
}

std::vector<HostileCase> TableCases()
{
    std::vector<HostileCase> cases;
    Bytes noRows;
    PutUint32(noRows, 0);
    cases.push_back({"negative folder count", RawTable(-5, noRows)});
    cases.push_back({"huge folder count", RawTable(0x7FFFFFFF, noRows)});
    Bytes hugeFiles;
    PutUint32(hugeFiles, 0x7FFFFFFF);
    cases.push_back({"huge file count", RawTable(0, hugeFiles)});
    Bytes negativeFiles;
    PutUint32(negativeFiles, 0x80000000u);
    cases.push_back({"most negative file count", RawTable(0, negativeFiles)});
    for (uint32_t length : {0xFFFFFFFFu, 0x7FFFFFFFu, 260u}) {
        Bytes row;
        PutUint32(row, length);
        row.insert(row.end(), 300, '\\');
        PutUint32(row, 0);
        cases.push_back({"name length " + std::to_string(static_cast<int32_t>(length)), RawTable(1, row)});
    }
    PackImage parentLater;
    parentLater.Folder("\\a\\b");
    parentLater.Folder("\\a");
    parentLater.File("\\a\\b\\f", STORED_A);
    cases.push_back({"folder before its parent", parentLater.Build()});
    PackImage duplicates;
    duplicates.File("\\same", STORED_A);
    duplicates.File("\\same", STORED_ABABBA);
    duplicates.Folder("\\same");
    cases.push_back({"duplicate names", duplicates.Build()});
    cases.push_back({"empty file", {}});

    Bytes whole = SmallValidPack().Build();
    for (size_t length = 0; length < whole.size(); ++length) {
        cases.push_back({"truncated at " + std::to_string(length),
                         Bytes(whole.begin(), whole.begin() + static_cast<long>(length))});
    }
    return cases;
}

std::vector<HostileCase> EntryCases()
{
    std::vector<HostileCase> cases;
    PackImage image = SmallValidPack();
    uint32_t dataLength = static_cast<uint32_t>(image.data.size());
    struct Row {
        const char* label;
        uint32_t offset;
        uint32_t size;
    };
    const Row rows[] = {
        {"offset past the end", dataLength + 10, 6},
        {"size past the end", 0, dataLength + 1},
        {"size 4 GiB - 1", 0, 0xFFFFFFFFu},
        {"offset near 2 GiB", 0x7FFFFFF0u, 6},
        {"offset past 2 GiB", 0x80000000u, 6},
        {"offset 4 GiB - 1", 0xFFFFFFFFu, 1},
        {"overlapping entries", 1, dataLength - 1},
        {"entry of 0 bytes", 0, 0},
    };
    for (const Row& row : rows) {
        PackImage hostile = SmallValidPack();
        hostile.files.push_back({"\\hostile", row.offset, row.size});
        cases.push_back({std::string("entry: ") + row.label, hostile.Build()});
    }
    Bytes whole = image.Build();
    size_t dataStart = whole.size() - image.data.size();
    for (size_t at = dataStart; at < whole.size(); ++at) {
        for (uint8_t value : {static_cast<uint8_t>(0xFF), static_cast<uint8_t>(0x00)}) {
            Bytes damaged = whole;
            damaged[at] = value;
            cases.push_back({"entry byte " + std::to_string(at) + " set to " + std::to_string(value), damaged});
        }
    }
    return cases;
}

class HostilePack : public ::testing::Test {
protected:
    HostilePack()
        : scratch("hostile"), temp(scratch / "temp"), shipped(scratch / "shipped"), canary(scratch / "canary"),
          elsewhere(scratch / "elsewhere")
    {
        MakeFolders(temp);
        MakeFolders(shipped);
        MakeFolders(Join(canary, "docs"));
        MakeFolders(elsewhere);
        WriteText(Join(canary, "docs/letter.txt"), "dear user");
        WriteText(Join(canary, "x"), "the user's own x");
        program = Join(shipped, LAUNCHER_NAME);
        fs::copy_file(QDX_LAUNCHER_PROGRAM, program);
        SetTempFolder(temp);
        canaryBefore = SnapshotTree(canary);
    }
    ~HostilePack() override { RestoreTempFolder(); }

    void RunAll(const std::vector<HostileCase>& cases)
    {
        for (const HostileCase& c : cases) {
            SCOPED_TRACE(c.label);
            WriteBytes(Join(shipped, "Pack.qdx"), c.pack);
            EXPECT_EQ(0, RunProgram(program, {}, elsewhere, 60));
            EXPECT_EQ(canaryBefore, SnapshotTree(canary));
            EXPECT_TRUE(fs::is_empty(temp)) << ListNames(temp).front();
            EXPECT_TRUE(fs::is_empty(elsewhere));
            EXPECT_EQ(2u, ListNames(shipped).size());
            EXPECT_EQ(4u, ListNames(scratch.path()).size());
            if (HasFailure()) {
                fs::remove_all(temp);
                MakeFolders(temp);
            }
        }
    }

    ScratchFolder scratch;
    std::string temp;
    std::string shipped;
    std::string canary;
    std::string elsewhere;
    std::string program;
    Tree canaryBefore;
};

TEST_F(HostilePack, Names)
{
    RunAll(NameCases());
}

TEST_F(HostilePack, Tables)
{
    RunAll(TableCases());
}

TEST_F(HostilePack, Entries)
{
    RunAll(EntryCases());
}

}  // namespace
