#pragma once
// The splash window itself, all on the splash thread: its class, creation,
// window procedure, the picture and the placement.
#include "platform/platform.h"

extern const char SPLASH_CLASS_NAME[];  // "ZoQatSetupWnd"

// Without a picture the window is this size and plain white.
enum { PLAIN_SPLASH_WIDTH = 320, PLAIN_SPLASH_HEIGHT = 200 };

// Registers "ZoQatSetupWnd" for SplashWindowProc, with the arrow cursor and
// no background brush. A failure shows later as a failed creation.
void RegisterSplashClass(HINSTANCE instance);

// Creates the hidden popup window (sized and centred during WM_CREATE), shows
// it with showCommand and paints it. Returns the window, or null.
HWND CreateSplashWindow(HINSTANCE instance, int showCommand);

// Loads the picture at the first message, sizes the window at WM_CREATE,
// paints at WM_PAINT, posts the quit message at WM_DESTROY, and hands every
// message to DefWindowProcA, whose result it returns.
LRESULT CALLBACK SplashWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// setup.bmp beside the program as a bitmap of its own size, or null.
HBITMAP LoadSplashBitmap();

// Leaves "<program folder><separator>setup.bmp" in buffer (264 bytes), or an
// empty string when the program's path cannot be had or does not fit.
void LocateSplashBitmap(char* buffer);

// Gives the window width by height and centres it on the desktop.
void FitSplashWindow(HWND window, int width, int height);

// Moves the window to the centre of the desktop, keeping its size.
void CentreSplashWindow(HWND window);

// Where CentreSplashWindow puts a window: half of the difference of the two
// widths and heights, truncated toward zero, counted from the screen origin
// (the desktop's own left and top do not enter).
POINT SplashOrigin(const RECT& desktop, const RECT& window);
