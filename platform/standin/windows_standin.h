#pragma once
// Our stand-in for the Win32 calls the product uses, for builds on Linux.
// Each call keeps what the product relies on from the real one:
// the separator is '/', names and paths are plain byte strings, and a file
// without its owner's write permission stands for a read-only file.
#include <stddef.h>
#include <stdint.h>

typedef uint32_t DWORD;
typedef int BOOL;
typedef void* HANDLE;
typedef struct StandinModule* HMODULE;
typedef struct StandinModule* HINSTANCE;
typedef char* LPSTR;
typedef const char* LPCSTR;

#define TRUE 1
#define FALSE 0
#define MAX_PATH 260
#define INVALID_HANDLE_VALUE (reinterpret_cast<HANDLE>(static_cast<intptr_t>(-1)))
#define INVALID_FILE_ATTRIBUTES 0xFFFFFFFFu

enum : DWORD {
    FILE_ATTRIBUTE_READONLY = 0x1,
    FILE_ATTRIBUTE_DIRECTORY = 0x10,
    FILE_ATTRIBUTE_NORMAL = 0x80,
    FILE_ATTRIBUTE_REPARSE_POINT = 0x400,
};

enum : DWORD {
    ERROR_SUCCESS = 0,
    ERROR_FILE_NOT_FOUND = 2,
    ERROR_PATH_NOT_FOUND = 3,
    ERROR_ACCESS_DENIED = 5,
    ERROR_INVALID_HANDLE = 6,
    ERROR_NOT_ENOUGH_MEMORY = 8,
    ERROR_NO_MORE_FILES = 18,
    ERROR_INSUFFICIENT_BUFFER = 122,
    ERROR_DIR_NOT_EMPTY = 145,
    ERROR_ALREADY_EXISTS = 183,
    ERROR_DIRECTORY = 267,
};

struct WIN32_FIND_DATAA {
    DWORD dwFileAttributes;
    char cFileName[MAX_PATH];
};

DWORD GetLastError();
void SetLastError(DWORD error);

// The running program's own full path (from /proc/self/exe). Truncated to
// size - 1 bytes and returning size when it does not fit, like the real call.
DWORD GetModuleFileNameA(HMODULE module, char* buffer, DWORD size);

// TMPDIR (or /tmp), always ending with '/'. Returns the length without the
// terminator; the size needed with its terminator when it does not fit;
// 0 when TMPDIR is set to a relative path (no usable temporary path).
DWORD GetTempPathA(DWORD size, char* buffer);

// INVALID_FILE_ATTRIBUTES when nothing of that name exists. A symbolic link is
// reported as a reparse point (with the directory bit when it leads to a folder).
DWORD GetFileAttributesA(const char* path);

// Makes one folder whose parent exists; fails on an existing name
// (ERROR_ALREADY_EXISTS) like the real call.
BOOL CreateDirectoryA(const char* path, void* securityAttributes);

// Lists a folder: the pattern is a folder path, the separator, and "*.*" or "*".
HANDLE FindFirstFileA(const char* pattern, WIN32_FIND_DATAA* data);
BOOL FindNextFileA(HANDLE find, WIN32_FIND_DATAA* data);
BOOL FindClose(HANDLE find);

// Deletes a file or a symbolic link; refuses folders and read-only files.
BOOL DeleteFileA(const char* path);

// Removes an empty folder, or a symbolic link that leads to a folder (the link
// only, never what it leads to).
BOOL RemoveDirectoryA(const char* path);

char* lstrcpyA(char* destination, const char* source);
char* lstrcatA(char* destination, const char* source);
int lstrcmpA(const char* first, const char* second);
int lstrlenA(const char* text);

// Test seam: when set, called by CreateDirectoryA just before the folder is
// made, so tests can let another party take the name in the gap.
extern void (*standinBeforeCreateDirectory)(const char* path);

// --- Processes, threads and events ----------------------------------------
// Handles of these are records of the stand-in's own, counted per kind so that
// tests can see that none is left open. Every wait takes milliseconds;
// INFINITE waits without limit.

#define WINAPI
#define CALLBACK
#define INFINITE 0xFFFFFFFFu

typedef uint16_t WORD;
typedef unsigned char BYTE;
typedef BYTE* LPBYTE;
typedef DWORD (*LPTHREAD_START_ROUTINE)(void* parameter);

enum : DWORD {
    WAIT_OBJECT_0 = 0,
    WAIT_TIMEOUT = 0x102,
    WAIT_FAILED = 0xFFFFFFFFu,
};

enum : DWORD {
    NORMAL_PRIORITY_CLASS = 0x20,
    CREATE_DEFAULT_ERROR_MODE = 0x04000000,
};

struct SECURITY_ATTRIBUTES {
    DWORD nLength;
    void* lpSecurityDescriptor;
    BOOL bInheritHandle;
};

struct STARTUPINFOA {
    DWORD cb;
    LPSTR lpReserved;
    LPSTR lpDesktop;
    LPSTR lpTitle;
    DWORD dwX;
    DWORD dwY;
    DWORD dwXSize;
    DWORD dwYSize;
    DWORD dwXCountChars;
    DWORD dwYCountChars;
    DWORD dwFillAttribute;
    DWORD dwFlags;
    WORD wShowWindow;
    WORD cbReserved2;
    LPBYTE lpReserved2;
    HANDLE hStdInput;
    HANDLE hStdOutput;
    HANDLE hStdError;
};

struct PROCESS_INFORMATION {
    HANDLE hProcess;
    HANDLE hThread;
    DWORD dwProcessId;
    DWORD dwThreadId;
};

// This program's start-up record: everything zero but cb.
void GetStartupInfoA(STARTUPINFOA* info);

// Starts the program named by applicationName, or else by the whole command
// line taken as one path (no quotes, no arguments are parsed), with that path
// as its only argument; environment, working folder and open files are the
// caller's. An unpacked program has no execute permission on Linux, while any
// program file may be started on Windows, so the owner's execute permission is
// added to a regular file before it is started. hThread stands for the new
// program's first thread and ends with it; dwThreadId is its process id.
// Fails (ERROR_FILE_NOT_FOUND) when the program cannot be started.
BOOL CreateProcessA(const char* applicationName, char* commandLine, SECURITY_ATTRIBUTES* processAttributes,
                    SECURITY_ATTRIBUTES* threadAttributes, BOOL inheritHandles, DWORD creationFlags, void* environment,
                    const char* currentFolder, STARTUPINFOA* startupInfo, PROCESS_INFORMATION* processInformation);

// Runs start(parameter) on a new thread at once. The handle ends with the thread.
HANDLE CreateThread(SECURITY_ATTRIBUTES* attributes, size_t stackSize, LPTHREAD_START_ROUTINE start,
                    void* parameter, DWORD creationFlags, DWORD* threadId);

// An unnamed event (a mutex and a condition); only manual-reset events are made.
HANDLE CreateEventA(SECURITY_ATTRIBUTES* attributes, BOOL manualReset, BOOL initialState, const char* name);
BOOL SetEvent(HANDLE event);

// Waits for a process or thread to end or an event to be signalled.
// WAIT_FAILED at once for a null or unknown handle.
DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds);

// Ends this holder's use of a handle; the record goes with its last holder.
BOOL CloseHandle(HANDLE handle);

// Test seams. While standinRefuseThreads or standinRefuseEvents is set,
// CreateThread or CreateEventA fails. StandinOpenEvents counts the events
// made and not yet closed; StandinRunningThreads the threads started whose
// start routine has not yet returned.
extern int standinRefuseThreads;
extern int standinRefuseEvents;
int StandinOpenEvents();
int StandinRunningThreads();

// --- Windows, messages and drawing -----------------------------------------
// There is no window system: classes do not register, windows are never
// created, and calls on a window (always null here) do nothing and fail.

typedef struct StandinWindow* HWND;
typedef struct StandinDrawing* HDC;
typedef struct StandinGdiObject* HGDIOBJ;
typedef struct StandinGdiObject* HBITMAP;
typedef struct StandinGdiObject* HBRUSH;
typedef struct StandinCursor* HICON;
typedef struct StandinCursor* HCURSOR;
typedef struct StandinMenu* HMENU;
typedef unsigned int UINT;
typedef int32_t LONG;
typedef uintptr_t WPARAM;
typedef intptr_t LPARAM;
typedef intptr_t LRESULT;
typedef uint16_t ATOM;
typedef LRESULT (*WNDPROC)(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
typedef BOOL (*WNDENUMPROC)(HWND window, LPARAM parameter);

#define MAKEINTRESOURCEA(number) (reinterpret_cast<LPSTR>(static_cast<uintptr_t>(static_cast<WORD>(number))))
#define IDC_ARROW MAKEINTRESOURCEA(32512)
#define HWND_TOPMOST (reinterpret_cast<HWND>(static_cast<intptr_t>(-1)))
#define CW_USEDEFAULT (static_cast<int>(0x80000000u))

enum : UINT {
    WM_CREATE = 0x0001,
    WM_DESTROY = 0x0002,
    WM_PAINT = 0x000F,
    WM_QUIT = 0x0012,
};

enum : DWORD {
    WS_POPUP = 0x80000000u,
    CS_VREDRAW = 0x0001,
    CS_HREDRAW = 0x0002,
    SRCCOPY = 0x00CC0020,
    WHITENESS = 0x00FF0062,
};

enum : UINT {
    SWP_NOSIZE = 0x0001,
    SWP_NOMOVE = 0x0002,
    SWP_NOZORDER = 0x0004,
    SWP_NOOWNERZORDER = 0x0200,
    IMAGE_BITMAP = 0,
    LR_LOADFROMFILE = 0x0010,
};

enum : int {
    SW_HIDE = 0,
    SW_SHOW = 5,
};

struct POINT {
    LONG x;
    LONG y;
};

struct RECT {
    LONG left;
    LONG top;
    LONG right;
    LONG bottom;
};

struct MSG {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    DWORD time;
    POINT pt;
};

struct PAINTSTRUCT {
    HDC hdc;
    BOOL fErase;
    RECT rcPaint;
    BOOL fRestore;
    BOOL fIncUpdate;
    BYTE rgbReserved[32];
};

struct BITMAP {
    LONG bmType;
    LONG bmWidth;
    LONG bmHeight;
    LONG bmWidthBytes;
    WORD bmPlanes;
    WORD bmBitsPixel;
    void* bmBits;
};

struct WNDCLASSEXA {
    UINT cbSize;
    UINT style;
    WNDPROC lpfnWndProc;
    int cbClsExtra;
    int cbWndExtra;
    HINSTANCE hInstance;
    HICON hIcon;
    HCURSOR hCursor;
    HBRUSH hbrBackground;
    LPCSTR lpszMenuName;
    LPCSTR lpszClassName;
    HICON hIconSm;
};

ATOM RegisterClassExA(const WNDCLASSEXA* windowClass);
HCURSOR LoadCursorA(HINSTANCE instance, LPCSTR name);
HWND CreateWindowExA(DWORD extendedStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y, int width,
                     int height, HWND parent, HMENU menu, HINSTANCE instance, void* parameter);
BOOL ShowWindow(HWND window, int showCommand);
BOOL ShowWindowAsync(HWND window, int showCommand);
BOOL UpdateWindow(HWND window);
BOOL SetWindowPos(HWND window, HWND insertAfter, int x, int y, int width, int height, UINT flags);
BOOL SetForegroundWindow(HWND window);
HWND SetActiveWindow(HWND window);
HWND GetDesktopWindow();
BOOL GetWindowRect(HWND window, RECT* rect);
BOOL EnumThreadWindows(DWORD threadId, WNDENUMPROC callback, LPARAM parameter);
DWORD WaitForInputIdle(HANDLE process, DWORD milliseconds);

// GetMessageA gives 0 (as at WM_QUIT): no window means no messages.
BOOL GetMessageA(MSG* message, HWND window, UINT first, UINT last);
BOOL TranslateMessage(const MSG* message);
LRESULT DispatchMessageA(const MSG* message);
LRESULT DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void PostQuitMessage(int exitCode);

HDC BeginPaint(HWND window, PAINTSTRUCT* paint);
BOOL EndPaint(HWND window, const PAINTSTRUCT* paint);
HDC CreateCompatibleDC(HDC dc);
HGDIOBJ SelectObject(HDC dc, HGDIOBJ object);
BOOL BitBlt(HDC destination, int x, int y, int width, int height, HDC source, int sourceX, int sourceY, DWORD rop);
BOOL DeleteDC(HDC dc);
HANDLE LoadImageA(HINSTANCE instance, LPCSTR name, UINT type, int width, int height, UINT flags);
int GetObjectA(HANDLE object, int size, void* buffer);

// Test seam: when set, called by CreateWindowExA before it fails, on the
// calling thread, so tests can hold the splash thread at that point.
extern void (*standinBeforeCreateWindow)();
