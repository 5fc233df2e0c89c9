#include <unistd.h>

#include "pack_tool.h"

bool StderrIsTerminal()
{
    return isatty(STDERR_FILENO) != 0;
}
