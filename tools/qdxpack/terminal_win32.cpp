#include <io.h>
#include <stdio.h>

#include "pack_tool.h"

bool StderrIsTerminal()
{
    return _isatty(_fileno(stderr)) != 0;
}
