#include "test_installer.h"

#include <stdio.h>
#include <stdlib.h>

#include <algorithm>

namespace test_installer {

namespace {

const int BOUND = 60000;

std::string Separator()
{
#ifdef _WIN32
    return "\\";
#else
    return "/";
#endif
}

std::string FolderOf(const std::string& path)
{
    size_t cut = path.find_last_of("\\/");
    return cut == std::string::npos ? std::string() : path.substr(0, cut);
}

std::string NameOf(const std::string& path)
{
    size_t cut = path.find_last_of("\\/");
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

std::string Reports()
{
    return Environment("QDX_INSTALLER_REPORTS");
}

bool WaitForFile(const std::string& path)
{
    for (int waited = 0; waited < BOUND; waited += 20) {
        if (FileExists(path)) return true;
        Pause(20);
    }
    return false;
}

// Written beside and renamed into place, so a reader never sees half of it.
void WriteReport(const std::vector<std::string>& arguments, const WindowState& window, const std::string& extra)
{
    std::string self = OwnPath();
    std::vector<std::string> beside = NamesIn(FolderOf(self));
    std::sort(beside.begin(), beside.end());
    std::string text;
    text += "command=" + CommandLineText() + "\n";
    text += "arguments=" + std::to_string(arguments.size()) + "\n";
    text += "program=" + self + "\n";
    text += "folder=" + CurrentFolder() + "\n";
    text += "beside=";
    for (size_t i = 0; i < beside.size(); ++i) text += (i ? "|" : "") + beside[i];
    text += "\n";
    text += std::string("window_made=") + (window.made ? "1" : "0") + "\n";
    text += std::string("window_visible=") + (window.visible ? "1" : "0") + "\n";
    text += std::string("window_topmost=") + (window.topmost ? "1" : "0") + "\n";
    text += extra;

    std::string report = Reports() + Separator() + NameOf(FolderOf(self)) + ".txt";
    std::string partial = report + ".part";
    FILE* out = fopen(partial.c_str(), "wb");
    if (out == nullptr) return;
    fwrite(text.data(), 1, text.size(), out);
    fclose(out);
    remove(report.c_str());
    rename(partial.c_str(), report.c_str());
}

// Done once the launcher has brought the window forward; at once without one.
bool BroughtForward(const WindowState& state)
{
    return !state.made || (state.visible && state.topmost);
}

bool Released(const WindowState&)
{
    return FileExists(Reports() + Separator() + "release");
}

}  // namespace

std::string Environment(const char* name)
{
    const char* value = getenv(name);
    return value != nullptr ? value : "";
}

bool FileExists(const std::string& path)
{
    FILE* file = fopen(path.c_str(), "rb");
    if (file == nullptr) return false;
    fclose(file);
    return true;
}

int RunTestInstaller(const std::vector<std::string>& arguments)
{
    // The helper of spawn mode: hold the file, say so, wait for the release.
    if (arguments.size() == 3 && arguments[1] == "hold") {
        if (!HoldOpen(arguments[2])) return 3;
        FILE* holding = fopen((Reports() + Separator() + "holding").c_str(), "wb");
        if (holding != nullptr) fclose(holding);
        WaitForFile(Reports() + Separator() + "release");
        return 0;
    }
    if (Reports().empty()) return 2;  // the environment did not come through

    std::string mode = Environment("QDX_INSTALLER_MODE");
    if (mode == "busy") {
        WindowState state = BlockWithHiddenWindow(Reports() + Separator() + "release");
        WriteReport(arguments, state, "");
    } else if (mode == "hold") {
        WriteReport(arguments, WindowState(), "");
        ServeHiddenWindow(Released, BOUND);
    } else if (mode == "spawn") {
        bool started = StartHelper(Environment("QDX_INSTALLER_HELPER"), Environment("QDX_INSTALLER_HELD"));
        bool holding = started && WaitForFile(Reports() + Separator() + "holding");
        WriteReport(arguments, WindowState(), std::string("helper_holding=") + (holding ? "1" : "0") + "\n");
    } else {
        WindowState state = ServeHiddenWindow(BroughtForward, 10000);
        WriteReport(arguments, state, "");
    }
    return 0;
}

}  // namespace test_installer
