#include "support/test_support.h"

#include <windows.h>

namespace testing_support {

void SetEnvironment(const std::string& name, const std::string& value)
{
    SetEnvironmentVariableA(name.c_str(), value.c_str());
}

void SetTempFolder(const std::string& folder)
{
    SetEnvironment("TMP", folder);
    SetEnvironment("TEMP", folder);
}

namespace {

bool IsLink(const std::string& path)
{
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

// The host path of a Windows path, through Wine's own export; empty elsewhere.
std::string HostPath(const std::string& path)
{
    typedef char*(__cdecl * UnixNameCall)(const wchar_t*);
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    UnixNameCall unixName = reinterpret_cast<UnixNameCall>(
        reinterpret_cast<void*>(GetProcAddress(kernel, "wine_get_unix_file_name")));
    if (unixName == nullptr) return std::string();
    std::wstring wide(path.begin(), path.end());
    char* host = unixName(wide.c_str());
    if (host == nullptr) return std::string();
    std::string result = host;
    HeapFree(GetProcessHeap(), 0, host);
    return result;
}

}  // namespace

bool PlantFolderLink(const std::string& link, const std::string& target)
{
    typedef BOOLEAN(WINAPI * LinkCall)(LPCSTR, LPCSTR, DWORD);
    LinkCall makeLink = reinterpret_cast<LinkCall>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "CreateSymbolicLinkA")));
    if (makeLink != nullptr && makeLink(link.c_str(), target.c_str(), 1 /* a folder */) && IsLink(link)) return true;

    size_t cut = link.find_last_of('\\');
    std::string hostFolder = HostPath(link.substr(0, cut));
    std::string hostTarget = HostPath(target);
    if (hostFolder.empty() || hostTarget.empty()) return false;
    std::string hostLink = hostFolder + "/" + link.substr(cut + 1);
    // Wine neither waits for a host program nor passes on its exit code;
    // the link itself tells when it is done.
    RunProgram("Z:\\bin\\ln", {"-s", hostTarget, hostLink}, "", 30);
    for (int waited = 0; waited < 5000 && !IsLink(link); waited += 10) Sleep(10);
    return IsLink(link);
}

std::string SelfPath()
{
    char path[MAX_PATH + 1];
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    return std::string(path, length);
}

int RunProgram(const std::string& program, const std::vector<std::string>& arguments,
               const std::string& workingFolder, int timeoutSeconds, const std::string& outputPath)
{
    std::string command = "\"" + program + "\"";
    for (const std::string& argument : arguments) command += " \"" + argument + "\"";
    std::vector<char> line(command.begin(), command.end());
    line.push_back('\0');
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    HANDLE output = INVALID_HANDLE_VALUE;
    if (!outputPath.empty()) {
        SECURITY_ATTRIBUTES inheritable = {sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
        output = CreateFileA(outputPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inheritable,
                             CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (output == INVALID_HANDLE_VALUE) return NOT_STARTED;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
        startup.hStdOutput = output;
        startup.hStdError = output;
    }
    BOOL started = CreateProcessA(program.c_str(), line.data(), nullptr, nullptr, output != INVALID_HANDLE_VALUE, 0,
                                  nullptr, workingFolder.empty() ? nullptr : workingFolder.c_str(), &startup, &process);
    if (output != INVALID_HANDLE_VALUE) CloseHandle(output);
    if (!started) return NOT_STARTED;
    CloseHandle(process.hThread);
    int result = -1;
    if (WaitForSingleObject(process.hProcess, static_cast<DWORD>(timeoutSeconds) * 1000) == WAIT_OBJECT_0) {
        DWORD code = 0;
        if (GetExitCodeProcess(process.hProcess, &code)) result = static_cast<int>(code);
    } else {
        TerminateProcess(process.hProcess, 1);
        WaitForSingleObject(process.hProcess, 5000);
    }
    CloseHandle(process.hProcess);
    return result;
}

}  // namespace testing_support
