#pragma once
#include "platform/platform.h"

// The launcher's whole job, run once from the program's entry: find the pack
// beside the program, make a fresh install folder, unpack into it, start the
// installer from it, wait for it to end, delete the folder. Returns 0 always.
int RunLauncher(HINSTANCE instance);

// Leaves "<launcher folder><sep>Pack.qdx" in out (264 bytes); the folder is
// the program file's own, never the current working folder. When the module
// path does not fit, or has no separator, out is left empty (no pack opens).
void LocatePackFile(char* out);

// The installer's name at the top of the install folder.
extern const char INSTALLER_NAME[];
