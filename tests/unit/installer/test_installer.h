#pragma once
// A stand-in for a real Installer.exe, started by the launcher in tests. It
// writes what it sees into a report and behaves as QDX_INSTALLER_MODE says:
//   window  (default) makes a hidden window and serves its messages until the
//           window is visible and topmost (or 10 s have passed), then reports;
//   busy    makes a hidden window, then blocks without serving messages until
//           the release file exists, so it never becomes idle; then reports;
//   hold    reports at once, then serves messages until the release file exists;
//   spawn   starts QDX_INSTALLER_HELPER holding QDX_INSTALLER_HELD open, waits
//           until the helper holds it, reports and ends at once.
// Reports go to the folder QDX_INSTALLER_REPORTS, one per install folder,
// named after the folder the program runs from ("ZoQalInst0.txt"); the
// release file is "release" in that folder. Every wait is bounded (60 s).
#include <string>
#include <vector>

namespace test_installer {

// What the platform part observed about the installer's window.
struct WindowState {
    bool made = false;
    bool visible = false;
    bool topmost = false;
};

std::string Environment(const char* name);
bool FileExists(const std::string& path);

// The platform parts.
std::string CommandLineText();
std::string OwnPath();
std::string CurrentFolder();
std::vector<std::string> NamesIn(const std::string& folder);
void Pause(int milliseconds);
// Makes a hidden window; serves messages until done() or the time is up.
WindowState ServeHiddenWindow(bool (*done)(const WindowState&), int milliseconds);
// Makes a hidden window, then waits for the release file without serving it.
WindowState BlockWithHiddenWindow(const std::string& releaseFile);
// Starts program with the arguments "hold" and heldPath; whether it started.
bool StartHelper(const std::string& program, const std::string& heldPath);
// Opens path so that nobody may delete it while open; false on failure.
bool HoldOpen(const std::string& path);

// The platform-independent behaviour; returns the exit code.
int RunTestInstaller(const std::vector<std::string>& arguments);

}  // namespace test_installer
