#pragma once
// The splash picture: setup.bmp from the program's folder, in a borderless
// window centred on the screen, served by a thread of its own until the
// launcher sends WM_DESTROY to the window.
#include <atomic>

#include "platform/platform.h"

// How long ShowSplash waits for the splash thread at most, in milliseconds.
enum : DWORD { SPLASH_READY_WAIT = 30000 };

// The wait ShowSplash uses: SPLASH_READY_WAIT, except where a test shortens it.
extern DWORD splashReadyWait;

// How ShowSplash hands the work to the splash thread and gets the window
// back. Both threads hold it, and its event, from the start of the thread:
// whichever lets go last (ReleaseSplashHandshake) frees them. So a splash
// thread that signals after ShowSplash gave up waiting still finds both valid.
struct SplashHandshake {
    HANDLE readyEvent;          // manual reset, signalled once, after window is stored
    HINSTANCE instance;
    int showCommand;
    std::atomic<HWND> window;   // null until the splash thread stores its result
    std::atomic<int> holders;   // 2 while both threads hold the record
};

// Starts the splash thread and waits until its window is up (at most
// splashReadyWait ms). Returns the window, or null when none was made in
// time (no window system, no thread, no event, or too slow).
HWND ShowSplash(HINSTANCE instance, int showCommand);

// The splash thread: makes and shows the window, stores it in the handshake
// and signals, lets go of the handshake, then serves the window's messages
// until WM_QUIT. Returns 0. parameter is the SplashHandshake.
DWORD WINAPI SplashThread(void* parameter);

// One holder lets go; the last one closes the event and frees the record.
void ReleaseSplashHandshake(SplashHandshake* handshake);
