// Hostile trees and timing: what others do to the install folder while the
// installer runs, and many launchers at once. The test installer (hold mode)
// reports that it runs and waits for a release, so the test can act meanwhile.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "support/test_support.h"
#include "unit/installer/installer_report.h"

namespace fs = std::filesystem;
using namespace testing_support;

namespace {

// A launcher run on a thread of its own, so the test can act while it waits.
class BackgroundRun {
public:
    BackgroundRun(const std::string& program, const std::string& workingFolder)
        : code_(-100), thread_([this, program, workingFolder] { code_ = RunProgram(program, {}, workingFolder, 180); })
    {
    }
    int Finish()
    {
        thread_.join();
        return code_;
    }

private:
    int code_;
    std::thread thread_;
};

class HostileTree : public ::testing::Test {
protected:
    HostileTree()
        : scratch("hostile-tree"),
          temp(scratch / "temp"),
          shipped(scratch / "shipped"),
          canary(scratch / "canary"),
          elsewhere(scratch / "elsewhere"),
          reports(scratch / "reports"),
          payload(scratch / "payload")
    {
        for (const std::string& folder : {temp, shipped, elsewhere, reports}) MakeFolders(folder);
        MakeFolders(Join(canary, "docs"));
        WriteText(Join(canary, "docs/letter.txt"), "dear user");
        WriteText(Join(canary, "photo.jpg"), std::string(5000, 'p'));
        canaryBefore = SnapshotTree(canary);
        program = Join(shipped, LAUNCHER_NAME);
        fs::copy_file(QDX_LAUNCHER_PROGRAM, program);
        SetTempFolder(temp);
        installer_report::Direct(reports, "hold");
    }
    ~HostileTree() override
    {
        installer_report::Direct("", "");
        RestoreTempFolder();
    }

    // A payload with the test installer at its top, packed by qdxpack.
    void ShipPayload()
    {
        MakeFolders(Join(payload, "bin/plugins"));
        MakeFolders(Join(payload, "empty"));
        fs::copy_file(QDX_TEST_INSTALLER, Join(payload, "Installer.exe"));
        WriteText(Join(payload, "readme.txt"), "Read me.\r\n");
        WriteText(Join(payload, "bin/tool.dll"), std::string(70000, 'd') + "tail");
        WriteText(Join(payload, "bin/plugins/.config"), "x=1\n");
        WriteText(Join(payload, "zero"), "");
        std::string output = scratch / "qdxpack.txt";
        ASSERT_EQ(0, RunProgram(QDXPACK_PROGRAM, {"create", payload, Join(shipped, "Pack.qdx")}, "", 120, output));
    }

    std::string InstallFolder(int number) const { return Join(temp, "ZoQalInst" + std::to_string(number)); }

    ScratchFolder scratch;
    std::string temp;
    std::string shipped;
    std::string canary;
    std::string elsewhere;
    std::string reports;
    std::string payload;
    std::string program;
    Tree canaryBefore;
};

TEST_F(HostileTree, APackFromQdxpackUnpacksByteForByteThroughTheLauncher)
{
    ShipPayload();
    BackgroundRun run(program, elsewhere);
    ASSERT_TRUE(installer_report::WaitFor(reports, "ZoQalInst0"));
    Tree installed = SnapshotTree(InstallFolder(0));
    installer_report::Release(reports);
    EXPECT_EQ(0, run.Finish());
    EXPECT_EQ(SnapshotTree(payload), installed);
    EXPECT_TRUE(fs::is_empty(temp));
}

TEST_F(HostileTree, ALinkPlantedInTheInstallFolderLeadsTheCleanUpNowhere)
{
    ShipPayload();
    BackgroundRun run(program, elsewhere);
    ASSERT_TRUE(installer_report::WaitFor(reports, "ZoQalInst0"));
    bool planted = PlantFolderLink(Join(InstallFolder(0), "bin/to_user_data"), canary);
    installer_report::Release(reports);
    EXPECT_EQ(0, run.Finish());
    ASSERT_TRUE(planted);
    EXPECT_EQ(canaryBefore, SnapshotTree(canary));
    EXPECT_FALSE(Exists(Join(InstallFolder(0), "readme.txt")));
#ifndef _WIN32
    EXPECT_TRUE(fs::is_empty(temp));
#endif
}

TEST_F(HostileTree, AReadOnlyFileStaysWithItsFoldersAndEverythingElseGoes)
{
    ShipPayload();
    BackgroundRun run(program, elsewhere);
    ASSERT_TRUE(installer_report::WaitFor(reports, "ZoQalInst0"));
    std::string locked = Join(InstallFolder(0), "bin/plugins/locked.dat");
    WriteText(locked, "kept");
    fs::permissions(locked, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    installer_report::Release(reports);
    EXPECT_EQ(0, run.Finish());
    EXPECT_EQ((Tree{{"bin", "<dir>"}, {"bin/plugins", "<dir>"}, {"bin/plugins/locked.dat", "kept"}}),
              SnapshotTree(InstallFolder(0)));
    EXPECT_EQ(1u, ListNames(temp).size());
    EXPECT_EQ(canaryBefore, SnapshotTree(canary));
}

TEST_F(HostileTree, TenLaunchersAtOnceGetTenFoldersAndRemoveThemAll)
{
    ShipPayload();
    const int COUNT = 10;
    std::vector<std::unique_ptr<BackgroundRun>> runs;
    for (int i = 0; i < COUNT; ++i) runs.push_back(std::make_unique<BackgroundRun>(program, elsewhere));
    int reported = 0;
    for (int i = 0; i < COUNT; ++i) reported += installer_report::WaitFor(reports, "ZoQalInst" + std::to_string(i));
    installer_report::Release(reports);
    for (auto& run : runs) EXPECT_EQ(0, run->Finish());
    EXPECT_EQ(COUNT, reported) << "each installer reports under its own install folder's name";
    EXPECT_TRUE(fs::is_empty(temp));
}

}  // namespace
