#include "test_installer.h"

#include <windows.h>

#include <stdlib.h>

namespace test_installer {

namespace {

const char CLASS_NAME[] = "QdxTestInstallerWnd";

HWND MakeHiddenWindow()
{
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = CLASS_NAME;
    RegisterClassA(&windowClass);
    // Made without WS_VISIBLE: only the launcher can show it.
    return CreateWindowExA(0, CLASS_NAME, "Test installer", WS_OVERLAPPEDWINDOW, 50, 60, 300, 200, nullptr, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
}

WindowState StateOf(HWND window)
{
    WindowState state;
    state.made = window != nullptr;
    state.visible = window != nullptr && IsWindowVisible(window);
    state.topmost = window != nullptr && (GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
    return state;
}

}  // namespace

std::string CommandLineText()
{
    return GetCommandLineA();
}

std::string OwnPath()
{
    char path[MAX_PATH + 1];
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    return std::string(path, length);
}

std::string CurrentFolder()
{
    char path[MAX_PATH + 1];
    DWORD length = GetCurrentDirectoryA(MAX_PATH, path);
    return std::string(path, length);
}

std::vector<std::string> NamesIn(const std::string& folder)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA entry;
    HANDLE listing = FindFirstFileA((folder + "\\*").c_str(), &entry);
    if (listing == INVALID_HANDLE_VALUE) return names;
    do {
        std::string name = entry.cFileName;
        if (name != "." && name != "..") names.push_back(name);
    } while (FindNextFileA(listing, &entry));
    FindClose(listing);
    return names;
}

void Pause(int milliseconds)
{
    Sleep(static_cast<DWORD>(milliseconds));
}

WindowState ServeHiddenWindow(bool (*done)(const WindowState&), int milliseconds)
{
    HWND window = MakeHiddenWindow();
    SetTimer(nullptr, 0, 20, nullptr);
    DWORD start = GetTickCount();
    MSG message;
    while (!done(StateOf(window)) && GetTickCount() - start < static_cast<DWORD>(milliseconds) &&
           GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return StateOf(window);
}

WindowState BlockWithHiddenWindow(const std::string& releaseFile)
{
    HWND window = MakeHiddenWindow();
    // Sleeping is not waiting for input: the program never becomes idle.
    for (int waited = 0; waited < 60000 && !FileExists(releaseFile); waited += 20) Sleep(20);
    return StateOf(window);
}

bool StartHelper(const std::string& program, const std::string& heldPath)
{
    std::string command = "\"" + program + "\" hold \"" + heldPath + "\"";
    std::vector<char> line(command.begin(), command.end());
    line.push_back('\0');
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started = {};
    if (!CreateProcessA(program.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &started)) {
        return false;
    }
    CloseHandle(started.hThread);
    CloseHandle(started.hProcess);
    return true;
}

bool HoldOpen(const std::string& path)
{
    // No FILE_SHARE_DELETE: nobody deletes it while this handle is open. The
    // handle stays open until the program ends.
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    return file != INVALID_HANDLE_VALUE;
}

}  // namespace test_installer

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    std::vector<std::string> arguments(__argv, __argv + __argc);
    return test_installer::RunTestInstaller(arguments);
}
