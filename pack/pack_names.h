#pragma once
// Which stored names the reader accepts. A name is a backslash path relative
// to the staging folder; one that could lead out of it, or that Windows would
// take for something other than a plain file or folder name, is refused.

// Longest stored name, in bytes, without terminator.
enum { MAX_NAME_LENGTH = 259 };

// Returns null when name is acceptable, otherwise a short description of the
// problem ("has a '..' component"), for tools to print.
const char* PackNameProblem(const char* name);
