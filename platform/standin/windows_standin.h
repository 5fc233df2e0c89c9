#pragma once
// Our stand-in for the Win32 calls the product uses, for builds on Linux.
// Each call keeps what the product relies on from the real one:
// the separator is '/', names and paths are plain byte strings, and a file
// without its owner's write permission stands for a read-only file.
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
