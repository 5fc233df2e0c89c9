#include "support/test_support.h"

#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

namespace testing_support {

void SetEnvironment(const std::string& name, const std::string& value)
{
    setenv(name.c_str(), value.c_str(), 1);
}

void SetTempFolder(const std::string& folder)
{
    SetEnvironment("TMPDIR", folder);
}

bool PlantFolderLink(const std::string& link, const std::string& target)
{
    return symlink(target.c_str(), link.c_str()) == 0;
}

std::string SelfPath()
{
    char path[4096];
    ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    return length > 0 ? std::string(path, static_cast<size_t>(length)) : std::string();
}

int RunProgram(const std::string& program, const std::vector<std::string>& arguments,
               const std::string& workingFolder, int timeoutSeconds, const std::string& outputPath)
{
    pid_t child = fork();
    if (child < 0) return NOT_STARTED;
    if (child == 0) {
        if (!outputPath.empty()) {
            int output = open(outputPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            if (output < 0) _exit(127);
            dup2(output, 1);
            dup2(output, 2);
            close(output);
        }
        if (!workingFolder.empty() && chdir(workingFolder.c_str()) != 0) _exit(127);
        std::vector<char*> argv;
        argv.push_back(const_cast<char*>(program.c_str()));
        for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
        argv.push_back(nullptr);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    struct timespec pause = {0, 10 * 1000 * 1000};
    for (long waited = 0; waited < timeoutSeconds * 100L; ++waited) {
        int status = 0;
        pid_t done = waitpid(child, &status, WNOHANG);
        if (done == child) return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        if (done < 0) return -1;
        nanosleep(&pause, nullptr);
    }
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    return -1;
}

}  // namespace testing_support
