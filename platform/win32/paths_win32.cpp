#include "platform/paths.h"

const char PATH_SEPARATOR = '\\';

int IsAbsoluteFolder(const char* path)
{
    if (path == nullptr) return 0;
    // X:\something
    char drive = path[0];
    bool letter = (drive >= 'A' && drive <= 'Z') || (drive >= 'a' && drive <= 'z');
    if (letter && path[1] == ':' && path[2] == '\\' && path[3] != '\0') return 1;
    // \\server\share...
    if (path[0] == '\\' && path[1] == '\\' && path[2] != '\0' && path[2] != '\\') return 1;
    return 0;
}

void MapStoredSeparators(char*)
{
}
