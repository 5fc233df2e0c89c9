#include "launcher/temp_folders.h"

#include "platform/platform.h"

namespace {

// Picks the first number whose name is free and makes that folder, in a
// buffer of its own; copies the name to out only once the folder exists.
// A name is taken by a file or a folder alike. When the creation fails
// because the name appeared after the test, the next number is tried, so the
// folder handed back is always one this call made. Returns 1 on success.
int MakeNumberedFolder(const char* pattern, char* out)
{
    char tempPath[PATH_BUFFER_SIZE];
    DWORD length = GetTempPathA(MAX_PATH, tempPath);
    if (length == 0 || length >= MAX_PATH || !IsAbsoluteFolder(tempPath)) return 0;

    char candidate[PATH_BUFFER_SIZE];
    for (int number = 0; number < MAX_FOLDER_NUMBERS; ++number) {
        // Folder paths must fit what the platform calls take: MAX_PATH with the terminator.
        if (!FormatPath(candidate, MAX_PATH, pattern, tempPath, number)) return 0;
        if (GetFileAttributesA(candidate) != INVALID_FILE_ATTRIBUTES) continue;
        if (CreateDirectoryA(candidate, nullptr)) {
            lstrcpyA(out, candidate);
            return 1;
        }
        if (GetLastError() != ERROR_ALREADY_EXISTS) return 0;
    }
    return 0;
}

}  // namespace

void MakeUniqueTempFolder(char* out)
{
    if (!MakeNumberedFolder("%sZoQalInst%d", out)) out[0] = '\0';
}

void MakeStagingFolder(char* out)
{
    MakeNumberedFolder("%slatmp%d.tmp", out);
}

void RemoveTree(const char* folder)
{
    if (!IsAbsoluteFolder(folder)) return;

    char pattern[PATH_BUFFER_SIZE + 8];
    if (!FormatPath(pattern, sizeof pattern, "%s%c*.*", folder, PATH_SEPARATOR)) return;

    WIN32_FIND_DATAA entry;
    HANDLE listing = FindFirstFileA(pattern, &entry);
    if (listing == INVALID_HANDLE_VALUE || listing == nullptr) return;

    do {
        if (lstrcmpA(".", entry.cFileName) == 0 || lstrcmpA("..", entry.cFileName) == 0) continue;
        char child[PATH_BUFFER_SIZE];
        if (!FormatPath(child, sizeof child, "%s%c%s", folder, PATH_SEPARATOR, entry.cFileName)) continue;
        bool isFolder = (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        bool isLink = (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
        if (isLink) {
            // A junction or link: what lies behind it is not ours to delete.
            // Windows removes a folder link as a folder; some systems (Wine
            // with a host link) only as a file. Neither call follows it.
            if (!isFolder || !RemoveDirectoryA(child)) DeleteFileA(child);
        } else if (isFolder) {
            RemoveTree(child);
        } else {
            DeleteFileA(child);
        }
    } while (FindNextFileA(listing, &entry));

    FindClose(listing);
    RemoveDirectoryA(folder);
}
