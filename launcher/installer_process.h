#pragma once
// Starting the installer and bringing its first window to the front.
#include "platform/platform.h"

// How long the installer gets to become ready for input, in milliseconds.
enum : DWORD { INSTALLER_IDLE_WAIT = 5000 };

// Starts command (the installer's full path, the whole command line: no
// quotes, no arguments) with inheritable handles, the launcher's environment
// and working folder, and the default error mode. When it becomes idle within
// INSTALLER_IDLE_WAIT, the first window of its first thread is made topmost,
// shown, brought to the foreground and activated. Returns the process handle,
// which is never closed, or null when nothing was started.
HANDLE LaunchInstaller(char* command);

// The first window EnumThreadWindows reports for the thread, or null.
HWND FindFirstThreadWindow(DWORD threadId);
