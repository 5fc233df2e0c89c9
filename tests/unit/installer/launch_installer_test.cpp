// LaunchInstaller against the test installer: what the started program sees,
// what happens to its window, and what is returned.
#include "launcher/installer_process.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "installer_report.h"
#include "support/test_support.h"

namespace fs = std::filesystem;
using namespace testing_support;

namespace {

#ifdef _WIN32
const bool HAVE_WINDOWS = true;
const char PROGRAM_NAME[] = "Installer.exe";
#else
const bool HAVE_WINDOWS = false;  // no window system in the stand-in
const char PROGRAM_NAME[] = "Installer";
#endif

class LaunchInstallerTest : public ::testing::Test {
protected:
    LaunchInstallerTest()
        : scratch("installer"),
          install(scratch / "ZoQalInst7"),
          reports(scratch / "reports"),
          work(scratch / "work"),
          before(fs::current_path())
    {
        MakeFolders(install);
        MakeFolders(reports);
        MakeFolders(work);
        program = Join(install, PROGRAM_NAME);
        fs::copy_file(QDX_TEST_INSTALLER, program);
        // An unpacked file: no execute permission, which the stand-in adds.
        fs::permissions(program, fs::perms::owner_read | fs::perms::owner_write);
        WriteText(Join(install, "data.txt"), "payload");
        fs::current_path(work);
    }
    ~LaunchInstallerTest() override
    {
        fs::current_path(before);
        installer_report::Direct("", "");
    }

    // Starts the program the way the launcher does; its handle, waited for.
    installer_report::Report LaunchAndWait(const std::string& mode)
    {
        installer_report::Direct(reports, mode);
        std::vector<char> command(program.begin(), program.end());
        command.push_back('\0');
        HANDLE process = LaunchInstaller(command.data());
        EXPECT_NE(nullptr, process);
        if (process == nullptr) return {};
        EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(process, 60000));
        return installer_report::Read(reports, "ZoQalInst7");
    }

    ScratchFolder scratch;
    std::string install;
    std::string reports;
    std::string work;
    fs::path before;
    std::string program;
};

TEST_F(LaunchInstallerTest, StartsTheBarePathInTheCallersFolderWithItsEnvironment)
{
    installer_report::Report report = LaunchAndWait("window");
    ASSERT_FALSE(report.empty()) << "the installer wrote no report";
    EXPECT_EQ(program, report["command"]) << "the command line is the bare path, no quotes, no arguments";
    EXPECT_EQ("1", report["arguments"]);
    EXPECT_EQ(fs::path(program), fs::path(report["program"]));
    EXPECT_EQ(fs::canonical(work), fs::canonical(report["folder"]));
    EXPECT_EQ(std::string(PROGRAM_NAME) + "|data.txt", report["beside"]);
}

TEST_F(LaunchInstallerTest, HiddenFirstWindowEndsUpShownAndTopmost)
{
    if (!HAVE_WINDOWS) GTEST_SKIP() << "no window system in the stand-in";
    installer_report::Report report = LaunchAndWait("window");
    EXPECT_EQ("1", report["window_made"]);
    EXPECT_EQ("1", report["window_visible"]);
    EXPECT_EQ("1", report["window_topmost"]);
}

TEST_F(LaunchInstallerTest, InstallerNeverIdleIsLeftAloneAfterTheTimeOut)
{
    installer_report::Direct(reports, "busy");
    std::vector<char> command(program.begin(), program.end());
    command.push_back('\0');
    HANDLE process = LaunchInstaller(command.data());
    ASSERT_NE(nullptr, process);
    // The installer blocks until released, so LaunchInstaller came back on
    // its own time-out (or, in the stand-in, its failed idle wait).
    EXPECT_EQ(WAIT_TIMEOUT, WaitForSingleObject(process, 0));
    installer_report::Release(reports);
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(process, 60000));
    installer_report::Report report = installer_report::Read(reports, "ZoQalInst7");
    EXPECT_EQ(HAVE_WINDOWS ? "1" : "0", report["window_made"]);
    EXPECT_EQ("0", report["window_visible"]);
    EXPECT_EQ("0", report["window_topmost"]);
}

struct NothingCase {
    const char* label;
    const char* name;  // below the install folder; "" for the folder itself
};

const NothingCase NOTHING_CASES[] = {
    {"no such file", "missing.exe"},
    {"a folder", ""},
    {"a file that is no program", "data.txt"},
    {"below a missing folder", "nowhere\\Installer.exe"},
};

TEST_F(LaunchInstallerTest, NothingStartedGivesNull)
{
    for (const NothingCase& c : NOTHING_CASES) {
        SCOPED_TRACE(c.label);
        std::string path = c.name[0] != '\0' ? Join(install, c.name) : install;
        std::vector<char> command(path.begin(), path.end());
        command.push_back('\0');
        EXPECT_EQ(nullptr, LaunchInstaller(command.data()));
    }
    EXPECT_EQ(TextBytes("payload"), ReadBytes(Join(install, "data.txt")));
}

#ifdef _WIN32
// A thread that makes count hidden windows and then waits to be told to end.
struct WindowThread {
    explicit WindowThread(int windowCount) : count(windowCount), ready(CreateEventA(nullptr, TRUE, FALSE, nullptr))
    {
        thread = CreateThread(nullptr, 0, Run, this, 0, &id);
        WaitForSingleObject(ready, 10000);
    }
    ~WindowThread()
    {
        PostThreadMessageA(id, WM_QUIT, 0, 0);
        WaitForSingleObject(thread, 10000);
        CloseHandle(thread);
        CloseHandle(ready);
    }
    static DWORD WINAPI Run(void* parameter)
    {
        WindowThread* self = static_cast<WindowThread*>(parameter);
        for (int i = 0; i < self->count; ++i) {
            self->windows.push_back(CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                                    GetModuleHandleA(nullptr), nullptr));
        }
        MSG message;
        PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE);  // the queue exists before ready
        SetEvent(self->ready);
        while (GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
        return 0;
    }
    static BOOL CALLBACK Collect(HWND window, LPARAM list)
    {
        reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
        return TRUE;
    }
    int count;
    HANDLE ready;
    HANDLE thread = nullptr;
    DWORD id = 0;
    std::vector<HWND> windows;
};

TEST(FindFirstThreadWindow, IsTheFirstWindowReportedForThatThreadOrNull)
{
    WindowThread none(0);
    EXPECT_EQ(nullptr, FindFirstThreadWindow(none.id));

    WindowThread three(3);
    std::vector<HWND> reported;
    EnumThreadWindows(three.id, WindowThread::Collect, reinterpret_cast<LPARAM>(&reported));
    // The window system may add windows of its own (an input method window).
    for (HWND made : three.windows) EXPECT_NE(reported.end(), std::find(reported.begin(), reported.end(), made));
    ASSERT_FALSE(reported.empty());
    HWND first = FindFirstThreadWindow(three.id);
    EXPECT_EQ(reported.front(), first);
    EXPECT_EQ(three.id, GetWindowThreadProcessId(first, nullptr));
}
#endif

}  // namespace
