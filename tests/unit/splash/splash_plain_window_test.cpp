// The splash without a picture: no setup.bmp beside this program still gives
// a window, a plain white one of a fixed size, shown and closed as usual.
#include <windows.h>

#include <gtest/gtest.h>

#include "splash/splash.h"
#include "splash/splash_window.h"
#include "splash_window_checks.h"

using namespace splash_checks;

namespace {

TEST(SplashPlainWindow, MissingPictureStillGivesAWindowThatCloses)
{
    DeleteFileA(SplashPictureBesideProgram().c_str());
    ASSERT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(SplashPictureBesideProgram().c_str()));

    HWND window = ShowSplash(GetModuleHandleA(nullptr), SW_SHOW);
    ASSERT_NE(nullptr, window);
    ExpectSplashWindow(window, PLAIN_SPLASH_WIDTH, PLAIN_SPLASH_HEIGHT);
    std::vector<POINT> points = {{0, 0}, {319, 0}, {0, 199}, {319, 199}, {160, 100}};
    ScreenShows(window, points, [](int, int) { return RGB(255, 255, 255); });

    // Messages keep coming, each retrying the load: still no picture, no harm.
    InvalidateRect(window, nullptr, FALSE);
    SendMessageA(window, WM_NULL, 0, 0);
    EXPECT_TRUE(IsWindowVisible(window));

    EXPECT_TRUE(ClosesAtWmDestroy(window));
    EXPECT_EQ(nullptr, FindWindowA(SPLASH_CLASS_NAME, nullptr));
}

}  // namespace
