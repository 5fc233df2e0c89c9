#pragma once
#include "platform/platform.h"

// The launcher's whole job, run once from the program's entry: show the
// splash, find the pack beside the program, make a fresh install folder,
// unpack into it, close the splash, start the installer from the folder,
// wait for it to end, delete the folder. Returns 0 always. No step's result
// stops a later one, except that without an install folder nothing is
// unpacked, started or deleted.
int RunLauncher(HINSTANCE instance);

// Leaves "<launcher folder><sep>Pack.qdx" in out (264 bytes); the folder is
// the program file's own, never the current working folder. When the module
// path does not fit, or has no separator, out is left empty (no pack opens).
void LocatePackFile(char* out);

// Leaves "<installFolder><sep>Installer.exe" in out (264 bytes) and returns
// 1. Returns 0 with out empty when installFolder is empty or the command
// would not fit; then no installer is started.
int MakeInstallerCommand(char* out, const char* installFolder);

// The installer's name at the top of the install folder.
extern const char INSTALLER_NAME[];
