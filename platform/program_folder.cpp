#include "platform/program_folder.h"

#include "platform/platform.h"

#include <string.h>

int FileBesideProgram(char* out, const char* name)
{
    char module[PATH_BUFFER_SIZE];
    DWORD length = GetModuleFileNameA(nullptr, module, MAX_PATH);
    // MAX_PATH or more means the path was cut short to fit.
    char* separator = length > 0 && length < MAX_PATH ? strrchr(module, PATH_SEPARATOR) : nullptr;
    if (separator == nullptr) {
        out[0] = '\0';
        return 0;
    }
    *separator = '\0';
    return FormatPath(out, PATH_BUFFER_SIZE, "%s%c%s", module, PATH_SEPARATOR, name);
}
