#include "platform/paths.h"

#include <stdarg.h>
#include <stdio.h>

int FormatPath(char* out, size_t size, const char* format, ...)
{
    if (out == nullptr || size == 0) return 0;
    va_list args;
    va_start(args, format);
    int needed = vsnprintf(out, size, format, args);
    va_end(args);
    if (needed < 0 || static_cast<size_t>(needed) >= size) {
        out[0] = '\0';
        return 0;
    }
    return 1;
}
