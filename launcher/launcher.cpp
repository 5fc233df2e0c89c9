#include "launcher/launcher.h"

#include "launcher/temp_folders.h"
#include "pack/pack_reader.h"

#include <string.h>

const char INSTALLER_NAME[] = "Installer.exe";

void LocatePackFile(char* out)
{
    DWORD length = GetModuleFileNameA(nullptr, out, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        out[0] = '\0';
        return;
    }
    out[length] = '\0';
    char* separator = strrchr(out, PATH_SEPARATOR);
    if (separator == nullptr) {
        out[0] = '\0';
        return;
    }
    *separator = '\0';
    // The folder is shorter than the module path, which ended in a file name,
    // so the separator and "Pack.qdx" may still not fit: test before appending.
    static const char PACK_NAME[] = "Pack.qdx";
    if (strlen(out) + 1 + sizeof PACK_NAME > PATH_BUFFER_SIZE) {
        out[0] = '\0';
        return;
    }
    const char separatorText[2] = {PATH_SEPARATOR, '\0'};
    lstrcatA(out, separatorText);
    lstrcatA(out, PACK_NAME);
}

int RunLauncher(HINSTANCE)
{
    char packPath[PATH_BUFFER_SIZE];
    char installFolder[PATH_BUFFER_SIZE];

    LocatePackFile(packPath);
    MakeUniqueTempFolder(installFolder);
    if (installFolder[0] == '\0') {
        // No folder of our own: nothing is unpacked, started or deleted.
        return 0;
    }

    ExtractPack(packPath, installFolder);

    RemoveTree(installFolder);
    return 0;
}
