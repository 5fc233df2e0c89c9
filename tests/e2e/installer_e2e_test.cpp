// The whole job, as a user starts it: the launcher unpacks a pack whose
// Installer.exe is the test installer, starts it, waits for it, and cleans up.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

#include "encoder/encoder.h"
#include "platform/paths.h"
#include "support/test_support.h"
#include "unit/installer/installer_report.h"

namespace fs = std::filesystem;
using namespace testing_support;

namespace {

#ifdef _WIN32
const bool HAVE_WINDOWS = true;
#else
const bool HAVE_WINDOWS = false;
#endif

// A small 24-bit picture, so the launcher's splash has something to show.
Bytes SmallBitmap()
{
    Bytes file = {'B', 'M'};
    const uint32_t width = 4, height = 2, imageBytes = width * 3 * height;
    PutUint32(file, 54 + imageBytes);
    PutUint32(file, 0);
    PutUint32(file, 54);
    PutUint32(file, 40);
    PutUint32(file, width);
    PutUint32(file, height);
    PutUint32(file, 1 | (24 << 16));  // planes, bits per pixel
    for (int i = 0; i < 6; ++i) PutUint32(file, 0);
    for (uint32_t i = 0; i < imageBytes; ++i) file.push_back(static_cast<uint8_t>(i * 37));
    return file;
}

class InstallerRun : public ::testing::Test {
protected:
    InstallerRun()
        : scratch("e2e-installer"),
          temp(scratch / "temp"),
          shipped(scratch / "shipped"),
          elsewhere(scratch / "elsewhere"),
          reports(scratch / "reports")
    {
        for (const std::string& folder : {temp, shipped, elsewhere, reports}) MakeFolders(folder);
        SetTempFolder(temp);
        fs::copy_file(QDX_LAUNCHER_PROGRAM, Join(shipped, LAUNCHER_NAME));
        WriteBytes(Join(shipped, "setup.bmp"), SmallBitmap());
    }
    ~InstallerRun() override
    {
        installer_report::Direct("", "");
        RestoreTempFolder();
    }

    static Bytes StoredInstaller()
    {
        ScratchFolder work("e2e-compress");
        std::string stored = work / "Installer.q";
        EXPECT_EQ(1, CompressFile(QDX_TEST_INSTALLER, stored.c_str()));
        return ReadBytes(stored);
    }

    // The test installer at the top, with a folder and two files beside it.
    void ShipPack()
    {
        PackImage image;
        image.Folder("\\data");
        image.File("\\data\\held.txt", STORED_ABABBA);
        image.File("\\readme.txt", STORED_A);
        image.File("\\Installer.exe", StoredInstaller());
        WriteBytes(Join(shipped, "Pack.qdx"), image.Build());
    }

    int RunLauncher(const std::vector<std::string>& arguments = {})
    {
        return RunProgram(Join(shipped, LAUNCHER_NAME), arguments, elsewhere, 120);
    }

    std::string InstallFolder(int number) const { return Join(temp, "ZoQalInst" + std::to_string(number)); }

    ScratchFolder scratch;
    std::string temp;
    std::string shipped;
    std::string elsewhere;
    std::string reports;
};

TEST_F(InstallerRun, InstallerStartsFromTheInstallFolderAndEverythingGoesAfterIt)
{
    ShipPack();
    installer_report::Direct(reports, "window");
    EXPECT_EQ(0, RunLauncher({"/S", "two words", "--x"}));

    installer_report::Report report = installer_report::Read(reports, "ZoQalInst0");
    ASSERT_FALSE(report.empty()) << "the installer did not run, or did not see its environment";
    std::string installer = Join(InstallFolder(0), "Installer.exe");
    EXPECT_EQ(installer, report["command"]) << "the bare path: no quotes, no arguments";
    EXPECT_EQ("1", report["arguments"]);
    EXPECT_EQ(fs::canonical(elsewhere), fs::canonical(report["folder"])) << "the launcher's working folder";
    EXPECT_EQ("Installer.exe|data|readme.txt", report["beside"]);
    if (HAVE_WINDOWS) {
        EXPECT_EQ("1", report["window_visible"]);
        EXPECT_EQ("1", report["window_topmost"]);
    }
    EXPECT_TRUE(fs::is_empty(temp)) << "no ZoQalInst* or latmp*.tmp may be left";
    EXPECT_TRUE(fs::is_empty(elsewhere));
}

TEST_F(InstallerRun, WithoutAPackNothingIsStartedNotEvenAnInstallerBesideTheLauncher)
{
    fs::copy_file(QDX_TEST_INSTALLER, Join(shipped, "Installer.exe"));
    installer_report::Direct(reports, "window");
    EXPECT_EQ(0, RunLauncher());
    EXPECT_TRUE(fs::is_empty(reports)) << "an installer ran";
    EXPECT_TRUE(fs::is_empty(temp));
}

TEST_F(InstallerRun, TwoLaunchersAtOnceGetTwoInstallFoldersAndRemoveBoth)
{
    ShipPack();
    installer_report::Direct(reports, "hold");
    int first = -100;
    int second = -100;
    std::thread one([&] { first = RunLauncher(); });
    bool firstUp = installer_report::WaitFor(reports, "ZoQalInst0");
    std::thread two([&] { second = RunLauncher(); });
    bool secondUp = installer_report::WaitFor(reports, "ZoQalInst1");
    // Both installers are held: both folders stand side by side now.
    bool bothFolders = fs::is_directory(InstallFolder(0)) && fs::is_directory(InstallFolder(1));
    installer_report::Release(reports);
    one.join();
    two.join();

    EXPECT_TRUE(firstUp);
    EXPECT_TRUE(secondUp);
    EXPECT_TRUE(bothFolders);
    EXPECT_EQ(Join(InstallFolder(0), "Installer.exe"), installer_report::Read(reports, "ZoQalInst0")["command"]);
    EXPECT_EQ(Join(InstallFolder(1), "Installer.exe"), installer_report::Read(reports, "ZoQalInst1")["command"]);
    EXPECT_EQ(0, first);
    EXPECT_EQ(0, second);
    EXPECT_TRUE(fs::is_empty(temp));
}

#ifdef _WIN32
TEST_F(InstallerRun, InstallerThatStartsAnotherProgramAndEndsLeavesOnlyWhatThatProgramHolds)
{
    ShipPack();
    installer_report::Direct(reports, "spawn");
    SetEnvironment("QDX_INSTALLER_HELPER", QDX_TEST_INSTALLER);
    std::string held = Join(InstallFolder(0), "data\\held.txt");
    SetEnvironment("QDX_INSTALLER_HELD", held);

    // The launcher ends with Installer.exe, while the other program still runs.
    EXPECT_EQ(0, RunLauncher());
    installer_report::Report report = installer_report::Read(reports, "ZoQalInst0");
    EXPECT_EQ("1", report["helper_holding"]);
    std::map<std::string, std::string> left = SnapshotTree(temp);
    installer_report::Release(reports);

    std::map<std::string, std::string> expected = {
        {"ZoQalInst0", "<dir>"}, {"ZoQalInst0/data", "<dir>"}, {"ZoQalInst0/data/held.txt", "ababba"}};
    EXPECT_EQ(expected, left);
    // Let the other program end and let go of the file before the scratch folder goes.
    for (int i = 0; i < 500 && Exists(held); ++i) {
        std::error_code ignored;
        fs::remove(held, ignored);
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}
#endif

}  // namespace
