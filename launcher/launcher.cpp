#include "launcher/launcher.h"

#include "launcher/installer_process.h"
#include "launcher/temp_folders.h"
#include "pack/pack_reader.h"
#include "platform/program_folder.h"
#include "splash/splash.h"

const char INSTALLER_NAME[] = "Installer.exe";

void LocatePackFile(char* out)
{
    FileBesideProgram(out, "Pack.qdx");
}

int MakeInstallerCommand(char* out, const char* installFolder)
{
    if (installFolder[0] == '\0') {
        out[0] = '\0';
        return 0;
    }
    return FormatPath(out, PATH_BUFFER_SIZE, "%s%c%s", installFolder, PATH_SEPARATOR, INSTALLER_NAME);
}

int RunLauncher(HINSTANCE instance)
{
    char packPath[PATH_BUFFER_SIZE];
    char installFolder[PATH_BUFFER_SIZE];
    char installerCommand[PATH_BUFFER_SIZE];

    // Always SW_SHOW, whatever show command the program was started with.
    HWND splash = ShowSplash(instance, SW_SHOW);
    LocatePackFile(packPath);
    MakeUniqueTempFolder(installFolder);
    // Without a folder of our own nothing is unpacked, started or deleted.
    bool haveFolder = installFolder[0] != '\0';
    if (haveFolder) ExtractPack(packPath, installFolder);

    // Sent, not posted: the splash thread has taken it when this returns.
    // A null splash window makes it a no-op.
    SendMessageA(splash, WM_DESTROY, 0, 0);

    HANDLE installer = nullptr;
    if (MakeInstallerCommand(installerCommand, installFolder)) installer = LaunchInstaller(installerCommand);
    if (installer != nullptr) WaitForSingleObject(installer, INFINITE);

    if (haveFolder) RemoveTree(installFolder);
    return 0;
}
