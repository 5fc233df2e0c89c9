// The splash for real: a known setup.bmp beside this program, shown by
// ShowSplash in a centred popup window, closed by WM_DESTROY.
#include <windows.h>

#include <gtest/gtest.h>

#include "splash/splash.h"
#include "splash/splash_window.h"
#include "splash_window_checks.h"

using namespace splash_checks;

namespace {

// Odd sizes, so that centring rounds and rows carry padding.
const Picture PICTURE = {201, 121};

TEST(SplashPictureWindow, ShowsThePictureCentredAndGoesAtWmDestroy)
{
    WriteBitmapFile(SplashPictureBesideProgram(), PICTURE);
    HWND window = ShowSplash(GetModuleHandleA(nullptr), SW_SHOW);
    ASSERT_NE(nullptr, window);
    ExpectSplashWindow(window, PICTURE.width, PICTURE.height);

    std::vector<POINT> points = {{0, 0},   {200, 0},  {0, 120},  {200, 120}, {99, 59}, {100, 60},
                                 {40, 30}, {160, 30}, {40, 100}, {160, 100}};
    ScreenShows(window, points, [](int x, int y) { return PICTURE.At(x, y); });

    EXPECT_TRUE(ClosesAtWmDestroy(window));
    EXPECT_EQ(nullptr, FindWindowA(SPLASH_CLASS_NAME, nullptr));
}

struct PlacementCase {
    const char* label;
    int width;
    int height;
};

const PlacementCase PLACEMENT_CASES[] = {
    {"even", 400, 300},
    {"odd", 401, 301},
    {"three wider than the screen", 1027, 200},
    {"as large as the screen", 1024, 768},
};

// FitSplashWindow and CentreSplashWindow on windows of the real window system.
TEST(SplashPlacement, FitsAndCentresRealWindows)
{
    RECT desktop = {};
    GetWindowRect(GetDesktopWindow(), &desktop);
    for (const PlacementCase& c : PLACEMENT_CASES) {
        SCOPED_TRACE(c.label);
        HWND window = CreateWindowExA(0, "STATIC", "", WS_POPUP, 7, 9, 10, 10, nullptr, nullptr,
                                      GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(nullptr, window);
        FitSplashWindow(window, c.width, c.height);
        RECT own = {};
        GetWindowRect(window, &own);
        EXPECT_EQ(c.width, own.right - own.left);
        EXPECT_EQ(c.height, own.bottom - own.top);
        EXPECT_EQ((desktop.right - desktop.left - c.width) / 2, own.left);
        EXPECT_EQ((desktop.bottom - desktop.top - c.height) / 2, own.top);
        DestroyWindow(window);
    }
}

}  // namespace
