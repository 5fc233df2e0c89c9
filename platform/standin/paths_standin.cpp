#include "platform/paths.h"

const char PATH_SEPARATOR = '/';

int IsAbsoluteFolder(const char* path)
{
    if (path == nullptr) return 0;
    return path[0] == '/' && path[1] != '\0' ? 1 : 0;
}

void MapStoredSeparators(char* text)
{
    for (; *text != '\0'; ++text) {
        if (*text == '\\') *text = '/';
    }
}
