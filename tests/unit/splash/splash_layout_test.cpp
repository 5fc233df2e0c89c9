// The pieces of the splash that need no window system: where the window
// goes, and where the picture is looked for.
#include "splash/splash_window.h"

#include <gtest/gtest.h>

#include <string.h>

#include <filesystem>
#include <string>

#include "support/test_support.h"

namespace fs = std::filesystem;

namespace {

struct OriginCase {
    const char* label;
    RECT desktop;
    RECT window;
    LONG x;
    LONG y;
};

const OriginCase ORIGIN_CASES[] = {
    {"even sizes", {0, 0, 800, 600}, {0, 0, 400, 300}, 200, 150},
    {"odd sizes round toward the top left", {0, 0, 800, 600}, {0, 0, 401, 301}, 199, 149},
    {"wider than the desktop truncates toward zero", {0, 0, 800, 600}, {0, 0, 803, 300}, -1, 150},
    {"much wider and taller", {0, 0, 800, 600}, {0, 0, 1000, 1001}, -100, -200},
    {"the desktop's own origin does not enter", {100, 50, 900, 650}, {0, 0, 400, 300}, 200, 150},
    {"nor the window's own position", {0, 0, 800, 600}, {-30, 700, 371, 1001}, 199, 149},
    {"same size as the desktop", {0, 0, 1024, 768}, {5, 5, 1029, 773}, 0, 0},
    {"an empty window", {0, 0, 1024, 768}, {0, 0, 0, 0}, 512, 384},
};

TEST(SplashOrigin, CentresByHalfTheDifferenceTruncatedTowardZero)
{
    for (const OriginCase& c : ORIGIN_CASES) {
        SCOPED_TRACE(c.label);
        POINT origin = SplashOrigin(c.desktop, c.window);
        EXPECT_EQ(c.x, origin.x);
        EXPECT_EQ(c.y, origin.y);
    }
}

TEST(LocateSplashBitmap, IsThePictureBesideTheProgramFileWhateverTheWorkingFolder)
{
    fs::path before = fs::current_path();
    fs::current_path(fs::temp_directory_path());
    char path[PATH_BUFFER_SIZE];
    memset(path, 'x', sizeof path);
    LocateSplashBitmap(path);
    fs::current_path(before);

    std::string self = testing_support::SelfPath();
    std::string folder = self.substr(0, self.find_last_of(PATH_SEPARATOR));
    EXPECT_EQ(folder + PATH_SEPARATOR + "setup.bmp", path);
}

}  // namespace
