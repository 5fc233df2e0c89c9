#pragma once
// Path text: bounded composition and the few facts about paths that differ
// between platforms. Every path the product builds goes through FormatPath.
#include <stddef.h>

// Size of every path buffer; platform calls that fill one are told MAX_PATH.
enum { PATH_BUFFER_SIZE = 264 };

// The separator between path components: '\' on Windows, '/' in the stand-in.
extern const char PATH_SEPARATOR;

// Formats like snprintf into out (size bytes). Returns 1 when the whole
// result fits with its terminator; otherwise returns 0 and leaves out empty,
// so that a cut-off path can never be used by mistake.
int FormatPath(char* out, size_t size, const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 3, 4)))
#endif
    ;

// 1 when path names a location from a root (a drive or share on Windows, '/'
// in the stand-in) and is more than the bare root; 0 for empty or relative paths.
int IsAbsoluteFolder(const char* path);

// Rewrites the backslashes of a stored pack name as this platform's separator.
void MapStoredSeparators(char* text);
