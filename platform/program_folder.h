#pragma once
// Files that ship beside the program file (Pack.qdx, setup.bmp).

// Leaves "<folder of this program file><separator><name>" in out (264
// bytes) and returns 1. The folder is the program file's own, never the
// current working folder; it is everything before the last separator of the
// module path, so a program at the root of a drive gives "C:\name". When the
// module path cannot be had, does not fit in 260 bytes, has no separator, or
// the result would not fit, out is left empty and 0 is returned.
int FileBesideProgram(char* out, const char* name);
