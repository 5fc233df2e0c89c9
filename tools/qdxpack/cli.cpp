#include <cstdio>
#include <cstring>

#include "commands.h"

bool fastParseRequested = false;

bool TakesFastOption(const char* command)
{
    return strcmp(command, "compress") == 0 || strcmp(command, "create") == 0;
}

void ReportFileError(const char* file, const char* problem)
{
    fprintf(stderr, "qdxpack: %s: %s\n", file, problem);
}

int ReportUsageError(const char* command, const char* problem)
{
    fprintf(stderr, "qdxpack %s: %s\nTry 'qdxpack help %s'.\n", command, problem, command);
    return EXIT_USAGE;
}

bool HasOperands(const char* command, int operandCount, int expected)
{
    if (operandCount == expected) {
        return true;
    }
    char problem[96];
    snprintf(problem, sizeof problem, "expects %d operands, got %d", expected, operandCount);
    ReportUsageError(command, problem);
    return false;
}

bool SamePath(const char* first, const char* second)
{
    return strcmp(first, second) == 0;
}
