#include "launcher/installer_process.h"

namespace {

// Record sizes as on 32-bit Windows; the values handed to the platform.
const DWORD STARTUP_INFO_SIZE = 68;
const DWORD SECURITY_ATTRIBUTES_SIZE = 12;
#if defined(_WIN32) && !defined(_WIN64)
static_assert(sizeof(STARTUPINFOA) == STARTUP_INFO_SIZE, "STARTUPINFOA is 68 bytes on 32-bit Windows");
static_assert(sizeof(SECURITY_ATTRIBUTES) == SECURITY_ATTRIBUTES_SIZE, "SECURITY_ATTRIBUTES is 12 bytes");
#endif

// The default error mode rather than the launcher's, at normal priority.
const DWORD INSTALLER_CREATION_FLAGS = CREATE_DEFAULT_ERROR_MODE | NORMAL_PRIORITY_CLASS;  // 0x04000020

// Keeps the first window reported and stops the enumeration there.
BOOL CALLBACK TakeFirstWindow(HWND window, LPARAM result)
{
    *reinterpret_cast<HWND*>(result) = window;
    return FALSE;
}

// Topmost (not merely at the top of the ordinary windows), shown even when
// it was made hidden, in front and active; no result is tested.
void BringForward(HWND window)
{
    SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    ShowWindow(window, SW_SHOW);
    ShowWindowAsync(window, SW_SHOW);
    SetForegroundWindow(window);
    SetActiveWindow(window);
}

}  // namespace

HWND FindFirstThreadWindow(DWORD threadId)
{
    HWND first = nullptr;
    EnumThreadWindows(threadId, TakeFirstWindow, reinterpret_cast<LPARAM>(&first));
    return first;
}

HANDLE LaunchInstaller(char* command)
{
    // The launcher's own start-up record, asking the child to take up none of it.
    STARTUPINFOA startup;
    GetStartupInfoA(&startup);
    startup.lpTitle = nullptr;
    startup.lpDesktop = nullptr;
    startup.dwFlags = 0;
    startup.cb = STARTUP_INFO_SIZE;

    // One record for both the process and its first thread: both handles inheritable.
    SECURITY_ATTRIBUTES inheritable;
    inheritable.bInheritHandle = TRUE;
    inheritable.lpSecurityDescriptor = nullptr;
    inheritable.nLength = SECURITY_ATTRIBUTES_SIZE;

    PROCESS_INFORMATION started;
    if (!CreateProcessA(nullptr, command, &inheritable, &inheritable, TRUE, INSTALLER_CREATION_FLAGS, nullptr, nullptr,
                        &startup, &started)) {
        return nullptr;
    }
    // started.hThread is neither used nor closed, like started.hProcess.
    if (WaitForInputIdle(started.hProcess, INSTALLER_IDLE_WAIT) != 0) return started.hProcess;
    HWND window = FindFirstThreadWindow(started.dwThreadId);
    if (window != nullptr) BringForward(window);
    return started.hProcess;
}
