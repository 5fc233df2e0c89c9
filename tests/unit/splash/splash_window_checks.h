#pragma once
// Looking at a splash window on the real window system: a picture file with
// known pixels, the window's facts, and the screen's pixels.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace splash_checks {

// A picture in four quadrants of distinct colours, for checking orientation,
// size and position on the screen at once.
struct Picture {
    int width;
    int height;
    COLORREF At(int x, int y) const;
};

// Writes picture as a 24-bit Windows bitmap file (rows bottom-up, padded).
void WriteBitmapFile(const std::string& path, const Picture& picture);

// setup.bmp beside the running test program.
std::string SplashPictureBesideProgram();

// Polls condition every 20 ms for at most milliseconds; whether it held.
bool WaitUntil(const std::function<bool()>& condition, int milliseconds);

// Checks the splash window's class, empty title, popup style without frame,
// visibility, thread, size and centred position on the desktop.
void ExpectSplashWindow(HWND window, int width, int height);

// Whether the screen shows colourAt(x, y) at each point (window-relative),
// waiting a bounded time for the window system to put the window on the screen.
bool ScreenShows(HWND window, const std::vector<POINT>& points, const std::function<COLORREF(int, int)>& colourAt);

// Sends WM_DESTROY as the launcher does; whether the window is then gone
// within a few seconds.
bool ClosesAtWmDestroy(HWND window);

}  // namespace splash_checks
