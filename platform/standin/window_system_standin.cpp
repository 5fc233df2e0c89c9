// Windows, messages and drawing of the stand-in: there is no window system,
// so nothing registers, no window is ever made, and every call on a window
// does nothing. What runs for real is the code around these calls.
#include "platform/standin/windows_standin.h"

#include <string.h>

void (*standinBeforeCreateWindow)() = nullptr;

ATOM RegisterClassExA(const WNDCLASSEXA*)
{
    return 0;
}

HCURSOR LoadCursorA(HINSTANCE, LPCSTR)
{
    return nullptr;
}

HWND CreateWindowExA(DWORD, LPCSTR, LPCSTR, DWORD, int, int, int, int, HWND, HMENU, HINSTANCE, void*)
{
    if (standinBeforeCreateWindow != nullptr) standinBeforeCreateWindow();
    return nullptr;
}

BOOL ShowWindow(HWND, int)
{
    return FALSE;
}

BOOL ShowWindowAsync(HWND, int)
{
    return FALSE;
}

BOOL UpdateWindow(HWND)
{
    return FALSE;
}

BOOL SetWindowPos(HWND, HWND, int, int, int, int, UINT)
{
    return FALSE;
}

BOOL SetForegroundWindow(HWND)
{
    return FALSE;
}

HWND SetActiveWindow(HWND)
{
    return nullptr;
}

HWND GetDesktopWindow()
{
    return nullptr;
}

BOOL GetWindowRect(HWND, RECT* rect)
{
    memset(rect, 0, sizeof *rect);
    return FALSE;
}

BOOL EnumThreadWindows(DWORD, WNDENUMPROC, LPARAM)
{
    return FALSE;
}

BOOL GetMessageA(MSG* message, HWND, UINT, UINT)
{
    memset(message, 0, sizeof *message);
    message->message = WM_QUIT;
    return FALSE;
}

BOOL TranslateMessage(const MSG*)
{
    return FALSE;
}

LRESULT DispatchMessageA(const MSG*)
{
    return 0;
}

LRESULT DefWindowProcA(HWND, UINT, WPARAM, LPARAM)
{
    return 0;
}

LRESULT SendMessageA(HWND, UINT, WPARAM, LPARAM)
{
    return 0;
}

void PostQuitMessage(int)
{
}

HDC BeginPaint(HWND, PAINTSTRUCT* paint)
{
    memset(paint, 0, sizeof *paint);
    return nullptr;
}

BOOL EndPaint(HWND, const PAINTSTRUCT*)
{
    return FALSE;
}

HDC CreateCompatibleDC(HDC)
{
    return nullptr;
}

HGDIOBJ SelectObject(HDC, HGDIOBJ)
{
    return nullptr;
}

BOOL BitBlt(HDC, int, int, int, int, HDC, int, int, DWORD)
{
    return FALSE;
}

BOOL DeleteDC(HDC)
{
    return FALSE;
}

HANDLE LoadImageA(HINSTANCE, LPCSTR, UINT, int, int, UINT)
{
    return nullptr;
}

int GetObjectA(HANDLE, int, void*)
{
    return 0;
}
