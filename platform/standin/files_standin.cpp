// Files and folders of the stand-in, on POSIX calls.
#include "platform/standin/windows_standin.h"

#include <dirent.h>
#include <errno.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

void (*standinBeforeCreateDirectory)(const char* path) = nullptr;

namespace {

thread_local DWORD lastError = ERROR_SUCCESS;

void SetErrorFromErrno()
{
    switch (errno) {
    case ENOENT: lastError = ERROR_PATH_NOT_FOUND; break;
    case EEXIST: lastError = ERROR_ALREADY_EXISTS; break;
    case ENOTEMPTY: lastError = ERROR_DIR_NOT_EMPTY; break;
    case ENOTDIR: lastError = ERROR_DIRECTORY; break;
    default: lastError = ERROR_ACCESS_DENIED; break;
    }
}

DWORD AttributesOf(const char* path)
{
    struct stat info;
    if (lstat(path, &info) != 0) return INVALID_FILE_ATTRIBUTES;
    if (S_ISLNK(info.st_mode)) {
        struct stat target;
        DWORD attributes = FILE_ATTRIBUTE_REPARSE_POINT;
        if (stat(path, &target) == 0 && S_ISDIR(target.st_mode)) attributes |= FILE_ATTRIBUTE_DIRECTORY;
        return attributes;
    }
    DWORD attributes = 0;
    if (S_ISDIR(info.st_mode)) attributes |= FILE_ATTRIBUTE_DIRECTORY;
    if ((info.st_mode & S_IWUSR) == 0) attributes |= FILE_ATTRIBUTE_READONLY;
    return attributes != 0 ? attributes : FILE_ATTRIBUTE_NORMAL;
}

// An open listing: the folder stream and the folder's path, for attributes.
struct StandinFind {
    DIR* folder;
    char folderPath[4096];
};

// Fills data with the next entry of the listing that fits cFileName.
BOOL DeliverNext(StandinFind* find, WIN32_FIND_DATAA* data)
{
    for (;;) {
        errno = 0;
        struct dirent* entry = readdir(find->folder);
        if (entry == nullptr) {
            lastError = ERROR_NO_MORE_FILES;
            return FALSE;
        }
        size_t length = strlen(entry->d_name);
        if (length >= sizeof data->cFileName) continue;
        char child[4096 + 264];
        size_t folderLength = strlen(find->folderPath);
        if (folderLength + 1 + length + 1 > sizeof child) continue;
        memcpy(child, find->folderPath, folderLength);
        child[folderLength] = '/';
        memcpy(child + folderLength + 1, entry->d_name, length + 1);
        DWORD attributes = AttributesOf(child);
        if (attributes == INVALID_FILE_ATTRIBUTES) continue;  // gone meanwhile
        data->dwFileAttributes = attributes;
        memcpy(data->cFileName, entry->d_name, length + 1);
        return TRUE;
    }
}

}  // namespace

DWORD GetLastError()
{
    return lastError;
}

void SetLastError(DWORD error)
{
    lastError = error;
}

DWORD GetModuleFileNameA(HMODULE, char* buffer, DWORD size)
{
    if (size == 0) return 0;
    char path[4096];
    ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0) {
        lastError = ERROR_FILE_NOT_FOUND;
        return 0;
    }
    if (static_cast<DWORD>(length) >= size) {
        memcpy(buffer, path, size - 1);
        buffer[size - 1] = '\0';
        lastError = ERROR_INSUFFICIENT_BUFFER;
        return size;
    }
    memcpy(buffer, path, static_cast<size_t>(length));
    buffer[length] = '\0';
    return static_cast<DWORD>(length);
}

DWORD GetTempPathA(DWORD size, char* buffer)
{
    const char* folder = getenv("TMPDIR");
    if (folder == nullptr || folder[0] == '\0') folder = "/tmp";
    if (folder[0] != '/') {
        lastError = ERROR_PATH_NOT_FOUND;
        return 0;
    }
    size_t length = strlen(folder);
    bool addSeparator = folder[length - 1] != '/';
    size_t total = length + (addSeparator ? 1 : 0);
    if (total + 1 > size) return static_cast<DWORD>(total + 1);
    memcpy(buffer, folder, length);
    if (addSeparator) buffer[length] = '/';
    buffer[total] = '\0';
    return static_cast<DWORD>(total);
}

DWORD GetFileAttributesA(const char* path)
{
    DWORD attributes = AttributesOf(path);
    if (attributes == INVALID_FILE_ATTRIBUTES) lastError = ERROR_FILE_NOT_FOUND;
    return attributes;
}

BOOL CreateDirectoryA(const char* path, void*)
{
    if (standinBeforeCreateDirectory != nullptr) standinBeforeCreateDirectory(path);
    if (mkdir(path, 0777) != 0) {
        SetErrorFromErrno();
        return FALSE;
    }
    return TRUE;
}

HANDLE FindFirstFileA(const char* pattern, WIN32_FIND_DATAA* data)
{
    const char* last = strrchr(pattern, '/');
    if (last == nullptr || (strcmp(last + 1, "*.*") != 0 && strcmp(last + 1, "*") != 0)) {
        lastError = ERROR_PATH_NOT_FOUND;
        return INVALID_HANDLE_VALUE;
    }
    size_t folderLength = static_cast<size_t>(last - pattern);
    StandinFind* find = static_cast<StandinFind*>(malloc(sizeof(StandinFind)));
    if (find == nullptr || folderLength >= sizeof find->folderPath) {
        free(find);
        lastError = ERROR_PATH_NOT_FOUND;
        return INVALID_HANDLE_VALUE;
    }
    memcpy(find->folderPath, pattern, folderLength);
    find->folderPath[folderLength] = '\0';
    if (folderLength == 0) strcpy(find->folderPath, "/");
    find->folder = opendir(find->folderPath);
    if (find->folder == nullptr) {
        SetErrorFromErrno();
        free(find);
        return INVALID_HANDLE_VALUE;
    }
    if (!DeliverNext(find, data)) {
        closedir(find->folder);
        free(find);
        lastError = ERROR_FILE_NOT_FOUND;
        return INVALID_HANDLE_VALUE;
    }
    return find;
}

BOOL FindNextFileA(HANDLE handle, WIN32_FIND_DATAA* data)
{
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE) return FALSE;
    return DeliverNext(static_cast<StandinFind*>(handle), data);
}

BOOL FindClose(HANDLE handle)
{
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE) return FALSE;
    StandinFind* find = static_cast<StandinFind*>(handle);
    closedir(find->folder);
    free(find);
    return TRUE;
}

BOOL DeleteFileA(const char* path)
{
    struct stat info;
    if (lstat(path, &info) != 0) {
        SetErrorFromErrno();
        return FALSE;
    }
    if (S_ISDIR(info.st_mode)) {
        lastError = ERROR_ACCESS_DENIED;
        return FALSE;
    }
    if (!S_ISLNK(info.st_mode) && (info.st_mode & S_IWUSR) == 0) {
        lastError = ERROR_ACCESS_DENIED;
        return FALSE;
    }
    if (unlink(path) != 0) {
        SetErrorFromErrno();
        return FALSE;
    }
    return TRUE;
}

BOOL RemoveDirectoryA(const char* path)
{
    struct stat info;
    if (lstat(path, &info) != 0) {
        SetErrorFromErrno();
        return FALSE;
    }
    if (S_ISLNK(info.st_mode)) {
        struct stat target;
        if (stat(path, &target) != 0 || !S_ISDIR(target.st_mode)) {
            lastError = ERROR_DIRECTORY;
            return FALSE;
        }
        if (unlink(path) != 0) {
            SetErrorFromErrno();
            return FALSE;
        }
        return TRUE;
    }
    if (rmdir(path) != 0) {
        SetErrorFromErrno();
        return FALSE;
    }
    return TRUE;
}

char* lstrcpyA(char* destination, const char* source)
{
    return strcpy(destination, source);
}

char* lstrcatA(char* destination, const char* source)
{
    return strcat(destination, source);
}

int lstrcmpA(const char* first, const char* second)
{
    return strcmp(first, second);
}

int lstrlenA(const char* text)
{
    return text == nullptr ? 0 : static_cast<int>(strlen(text));
}
