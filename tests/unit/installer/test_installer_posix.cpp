#include "test_installer.h"

#include <dirent.h>
#include <limits.h>
#include <time.h>
#include <unistd.h>

namespace test_installer {

namespace {
std::string commandLine;
}

std::string CommandLineText()
{
    return commandLine;
}

std::string OwnPath()
{
    char path[PATH_MAX];
    ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    return length > 0 ? std::string(path, static_cast<size_t>(length)) : std::string();
}

std::string CurrentFolder()
{
    char path[PATH_MAX];
    return getcwd(path, sizeof path) != nullptr ? path : "";
}

std::vector<std::string> NamesIn(const std::string& folder)
{
    std::vector<std::string> names;
    DIR* listing = opendir(folder.c_str());
    if (listing == nullptr) return names;
    while (struct dirent* entry = readdir(listing)) {
        std::string name = entry->d_name;
        if (name != "." && name != "..") names.push_back(name);
    }
    closedir(listing);
    return names;
}

void Pause(int milliseconds)
{
    struct timespec pause = {milliseconds / 1000, (milliseconds % 1000) * 1000000L};
    nanosleep(&pause, nullptr);
}

// No window system: no window is made; waiting is plain polling.
WindowState ServeHiddenWindow(bool (*done)(const WindowState&), int milliseconds)
{
    WindowState none;
    for (int waited = 0; waited < milliseconds && !done(none); waited += 20) Pause(20);
    return none;
}

WindowState BlockWithHiddenWindow(const std::string& releaseFile)
{
    for (int waited = 0; waited < 60000 && !FileExists(releaseFile); waited += 20) Pause(20);
    return WindowState();
}

bool StartHelper(const std::string&, const std::string&)
{
    return false;
}

bool HoldOpen(const std::string&)
{
    return false;
}

}  // namespace test_installer

int main(int argc, char** argv)
{
    std::vector<std::string> arguments(argv, argv + argc);
    // What the program was started with, arguments joined by spaces.
    for (int i = 0; i < argc; ++i) test_installer::commandLine += (i ? " " : "") + arguments[static_cast<size_t>(i)];
    return test_installer::RunTestInstaller(arguments);
}
