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
