// The demo's Installer.exe: shows a window that says where it runs from and
// what was unpacked beside it, closes itself after a few seconds, and keeps a
// short log in its working folder (the launcher's) of what it saw.
#include <windows.h>

#include <stdio.h>
#include <string.h>

namespace {

const char CLASS_NAME[] = "QdxExampleInstallerWnd";
const UINT CLOSE_TIMER = 1;
const UINT SHOW_MILLISECONDS = 5000;
// Where the window stands and its background, which the demo looks for on the screen.
const int WINDOW_X = 232, WINDOW_Y = 254, WINDOW_WIDTH = 560, WINDOW_HEIGHT = 260;
const COLORREF BACKGROUND = RGB(0xFF, 0xF2, 0xCC);

char ownFolder[MAX_PATH + 1];
char lines[4][MAX_PATH + 64];
HBRUSH background;

// Fills ownFolder and the window's lines; returns the number of files and
// folders beside the program, itself included, and logs each name.
int LookAround(FILE* log)
{
    GetModuleFileNameA(nullptr, ownFolder, MAX_PATH);
    char* cut = strrchr(ownFolder, '\\');
    if (cut != nullptr) *cut = '\0';

    char pattern[MAX_PATH + 8];
    snprintf(pattern, sizeof pattern, "%s\\*", ownFolder);
    int count = 0;
    WIN32_FIND_DATAA entry;
    HANDLE listing = FindFirstFileA(pattern, &entry);
    if (listing != INVALID_HANDLE_VALUE) {
        do {
            if (strcmp(entry.cFileName, ".") == 0 || strcmp(entry.cFileName, "..") == 0) continue;
            ++count;
            if (log != nullptr) {
                bool folder = (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
                fprintf(log, "beside: %s%s\n", entry.cFileName, folder ? "\\" : "");
            }
        } while (FindNextFileA(listing, &entry));
        FindClose(listing);
    }
    snprintf(lines[0], sizeof lines[0], "The example installer is running.");
    snprintf(lines[1], sizeof lines[1], "From: %s", ownFolder);
    snprintf(lines[2], sizeof lines[2], "Unpacked beside it: %d entries, this program included.", count);
    snprintf(lines[3], sizeof lines[3], "This window closes by itself in %u seconds.", SHOW_MILLISECONDS / 1000);
    return count;
}

void Paint(HWND window)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(0x20, 0x20, 0x20));
    for (int i = 0; i < 4; ++i) {
        RECT line = {24, 28 + i * 36, WINDOW_WIDTH - 24, 60 + i * 36};
        DrawTextA(dc, lines[i], -1, &line, DT_LEFT | DT_SINGLELINE | DT_PATH_ELLIPSIS);
    }
    EndPaint(window, &paint);
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT: Paint(window); return 0;
    case WM_TIMER: DestroyWindow(window); return 0;
    case WM_DESTROY: PostQuitMessage(0); return 0;
    default: return DefWindowProcA(window, message, wParam, lParam);
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    FILE* log = fopen("installer-log.txt", "w");
    if (log != nullptr) fprintf(log, "started: %s\n", GetCommandLineA());
    LookAround(log);

    background = CreateSolidBrush(BACKGROUND);
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = background;
    windowClass.lpszClassName = CLASS_NAME;
    RegisterClassA(&windowClass);
    HWND window = CreateWindowExA(0, CLASS_NAME, "Example installer", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU,
                                  WINDOW_X, WINDOW_Y, WINDOW_WIDTH, WINDOW_HEIGHT, nullptr, nullptr, instance, nullptr);
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);
    SetTimer(window, CLOSE_TIMER, SHOW_MILLISECONDS, nullptr);

    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    if (log != nullptr) {
        fprintf(log, "ended: window closed after %u ms\n", SHOW_MILLISECONDS);
        fclose(log);
    }
    return 0;
}
