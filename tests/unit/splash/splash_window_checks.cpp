#include "splash_window_checks.h"

#include <gtest/gtest.h>

#include <fstream>

#include "splash/splash_window.h"
#include "support/test_support.h"

namespace splash_checks {

COLORREF Picture::At(int x, int y) const
{
    bool right = x >= width / 2;
    bool bottom = y >= height / 2;
    if (!bottom) return right ? RGB(0, 255, 0) : RGB(255, 0, 0);
    return right ? RGB(0x80, 0x40, 0xC0) : RGB(0, 0, 255);
}

namespace {
void Put16(std::string& out, unsigned value)
{
    out.push_back(static_cast<char>(value & 0xFF));
    out.push_back(static_cast<char>((value >> 8) & 0xFF));
}
void Put32(std::string& out, unsigned value)
{
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}
}  // namespace

void WriteBitmapFile(const std::string& path, const Picture& picture)
{
    unsigned rowBytes = (static_cast<unsigned>(picture.width) * 3 + 3) & ~3u;
    unsigned imageBytes = rowBytes * static_cast<unsigned>(picture.height);
    std::string file;
    file += "BM";
    Put32(file, 54 + imageBytes);
    Put32(file, 0);
    Put32(file, 54);
    Put32(file, 40);
    Put32(file, static_cast<unsigned>(picture.width));
    Put32(file, static_cast<unsigned>(picture.height));  // positive: bottom row first
    Put16(file, 1);
    Put16(file, 24);
    Put32(file, 0);
    Put32(file, imageBytes);
    Put32(file, 2835);
    Put32(file, 2835);
    Put32(file, 0);
    Put32(file, 0);
    for (int y = picture.height - 1; y >= 0; --y) {
        std::string row;
        for (int x = 0; x < picture.width; ++x) {
            COLORREF colour = picture.At(x, y);
            row.push_back(static_cast<char>(GetBValue(colour)));
            row.push_back(static_cast<char>(GetGValue(colour)));
            row.push_back(static_cast<char>(GetRValue(colour)));
        }
        row.resize(rowBytes, '\0');
        file += row;
    }
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(file.data(), static_cast<std::streamsize>(file.size()));
    ASSERT_TRUE(out.good()) << "cannot write " << path;
}

std::string SplashPictureBesideProgram()
{
    std::string self = testing_support::SelfPath();
    return self.substr(0, self.find_last_of('\\')) + "\\setup.bmp";
}

bool WaitUntil(const std::function<bool()>& condition, int milliseconds)
{
    for (int waited = 0; waited <= milliseconds; waited += 20) {
        if (condition()) return true;
        Sleep(20);
    }
    return condition();
}

void ExpectSplashWindow(HWND window, int width, int height)
{
    char className[64] = "";
    GetClassNameA(window, className, sizeof className);
    EXPECT_STREQ("ZoQatSetupWnd", className);

    char title[64] = "not read";
    EXPECT_EQ(0, GetWindowTextA(window, title, sizeof title));
    EXPECT_STREQ("", title);

    LONG style = GetWindowLongA(window, GWL_STYLE);
    EXPECT_TRUE(style & WS_POPUP);
    EXPECT_FALSE(style & (WS_CAPTION | WS_BORDER | WS_THICKFRAME | WS_SYSMENU | WS_CHILD));
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_EQ(0, GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST);
    // Served by the splash thread, not the caller of ShowSplash.
    EXPECT_NE(GetCurrentThreadId(), GetWindowThreadProcessId(window, nullptr));

    RECT own = {};
    ASSERT_TRUE(GetWindowRect(window, &own));
    EXPECT_EQ(width, own.right - own.left);
    EXPECT_EQ(height, own.bottom - own.top);
    RECT client = {};
    GetClientRect(window, &client);
    EXPECT_EQ(width, client.right);
    EXPECT_EQ(height, client.bottom);

    RECT desktop = {};
    GetWindowRect(GetDesktopWindow(), &desktop);
    EXPECT_EQ((desktop.right - desktop.left - width) / 2, own.left);
    EXPECT_EQ((desktop.bottom - desktop.top - height) / 2, own.top);
}

bool ScreenShows(HWND window, const std::vector<POINT>& points, const std::function<COLORREF(int, int)>& colourAt)
{
    RECT own = {};
    GetWindowRect(window, &own);
    std::string mismatch;
    bool shown = WaitUntil(
        [&] {
            HDC screen = GetDC(nullptr);
            mismatch.clear();
            for (const POINT& point : points) {
                COLORREF seen = GetPixel(screen, own.left + point.x, own.top + point.y);
                COLORREF wanted = colourAt(point.x, point.y);
                if (seen != wanted) {
                    char line[128];
                    snprintf(line, sizeof line, " (%ld,%ld): %06lx not %06lx", point.x, point.y,
                             static_cast<unsigned long>(seen), static_cast<unsigned long>(wanted));
                    mismatch += line;
                }
            }
            ReleaseDC(nullptr, screen);
            return mismatch.empty();
        },
        5000);
    if (!shown) ADD_FAILURE() << "screen differs at" << mismatch;
    return shown;
}

bool ClosesAtWmDestroy(HWND window)
{
    SendMessageA(window, WM_DESTROY, 0, 0);
    return WaitUntil([&] { return !IsWindow(window); }, 10000);
}

}  // namespace splash_checks
